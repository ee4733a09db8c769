// Velmar properties through velmar-sim's protocol: a download linking a composite writes them on the walls
// built of it, a saved project keeps them, an update rewrites them and Settings renames them into the new
// language.
#include "VelmarSimRun.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using Velmar::Testing::ParseAnswer;
using Velmar::Testing::RunSteps;
using Velmar::Testing::RunVelmarSim;
using Velmar::Testing::SimRun;
using Velmar::Testing::TempFolder;

std::string GuidOf(const std::string& answer)
{
    const auto document = ParseAnswer(answer);
    return document.IsObject() && document.HasMember("guid") ? document["guid"].GetString() : "(" + answer + ")";
}

// "group/name=value, ..." of the element's properties in the given groups' names starting with "Velmar".
std::string VelmarValues(const std::string& answer)
{
    const auto document = ParseAnswer(answer);
    if (!document.IsObject() || !document.HasMember("values"))
        return "(" + answer + ")";
    std::string text;
    for (const auto& value : document["values"].GetArray()) {
        const std::string group = value["group"].GetString();
        if (group.rfind("Velmar", 0) != 0 || std::string(value["status"].GetString()) != "normal")
            continue;
        std::string shown;
        if (value["value"].IsString())
            shown = value["value"].GetString();
        else if (value["value"].IsNumber())
            shown = std::to_string(value["value"].GetDouble()).substr(0, 6);
        else if (value["value"].IsBool())
            shown = value["value"].GetBool() ? "true" : "false";
        text += (text.empty() ? "" : ", ") + group + "/" + value["name"].GetString() + "=" + shown;
    }
    return text;
}

// The installation's mapping without classification lists, as the user's copy: the tests' walls are not
// classified, and definitions with no list are every element's.
void WriteUnclassifiedMapping(const TempFolder& root)
{
    std::ifstream shipped(VELMAR_MAPPING_FILE);
    std::stringstream mapping;
    mapping << shipped.rdbuf();
    std::string text = mapping.str();
    for (const char* list : {"\"wallClassifications\"", "\"floorClassifications\"", "\"ceilingClassifications\""})
        text.replace(text.find(list), std::string(list).size(), std::string("\"unused") + (list + 1));
    std::filesystem::create_directories(root / "data/user/Velmar/Archicad");
    Velmar::Testing::WriteFile(root / "data/user/Velmar/Archicad/PropertyMapping.28.json", text);
}

// The composite's total thickness in an attributes answer.
std::string ThicknessOf(const std::string& answer, const std::string& composite)
{
    const auto document = ParseAnswer(answer);
    if (!document.IsObject() || !document.HasMember("attributes"))
        return "(" + answer + ")";
    for (const auto& attribute : document["attributes"].GetArray()) {
        if (attribute["name"].GetString() == composite)
            return std::to_string(attribute["thickness"].GetDouble()).substr(0, 6);
    }
    return "(none)";
}

// A composite "Wall A" with a wall on it (answer 1), linked on download to a picked product at LOD 300
// (answer 5); the commands after it follow from answer 6.
std::vector<std::string> AfterLinkingWallA(std::vector<std::string> then)
{
    std::vector<std::string> commands = {
        R"({"cmd":"attribute.new","type":"composite","name":"Wall A"})",  // 0
        R"({"cmd":"element.new","type":"wall","composite":"Wall A"})",    // 1
        R"({"cmd":"choose","menu":32500,"item":1})",                      // 2
        R"({"cmd":"pick","product":"VELMAR-MS75-1x12.5"})",               // 3
        R"({"cmd":"wait","ms":20000,"until":{"window":4}})",              // 4
        R"({"cmd":"call","window":4,"fn":"download_processDownload","arg":"{\"existingCompositeName\":\"Wall A\",\"selectedLod\":300}"})",  // 5
    };
    commands.insert(commands.end(), then.begin(), then.end());
    return commands;
}

// Runs AfterLinkingWallA with `more` and saves the project to `project`; answers the linked wall's guid.
std::string SavedAfterLinkingWallA(const TempFolder& root, const std::string& project, std::vector<std::string> more)
{
    more.push_back(R"({"cmd":"project.save","path":")" + project + R"("})");
    const SimRun download = RunVelmarSim(root, AfterLinkingWallA(more));
    EXPECT_EQ(download.answers.size(), 6u + more.size()) << download.errors;
    EXPECT_EQ(download.answers.at(5), R"({"ok":true,"answer":true})");
    EXPECT_EQ(download.answers.back(), R"({"ok":true})") << download.errors;
    return GuidOf(download.answers.at(1));
}

// A system the brand publishes again is offered on the Update page; running the update rebuilds the
// composite and rewrites the walls' properties in one step, and offers nothing more; undo takes back the
// walls' values. Choosing another language in Settings afterwards renames the properties as one step of its own.
TEST(UpdateScenario, APublishedSystemRebuildsItsCompositeAndPropertiesInOneStep)
{
    TempFolder root;
    WriteUnclassifiedMapping(root);
    const std::string project = root / "project.json";
    const std::string wall = SavedAfterLinkingWallA(root, project, {});

    const std::string listUpdates = R"({"cmd":"call","window":3,"fn":"update_getSystemsToUpdate"})";
    const std::string properties = R"({"cmd":"element.properties","guid":")" + wall + R"("})";
    // clang-format off
    const SimRun run = RunSteps(root, {
        {R"({"cmd":"project.open","path":")" + project + R"("})"},
        {R"({"cmd":"platform.publish","id":"VELMAR-MS75-1x12.5","values":{"Thickness":"110","TOTAL_THICKNESS":"110"}})"},
        {R"({"cmd":"choose","menu":32502,"item":1})"},
        {listUpdates, R"({"ok":true,"answer":["VELMAR-MS75-1x12.5"]})"},
        {R"({"cmd":"call","window":3,"fn":"update_runUpdate"})", R"({"ok":true,"answer":true})"},
        {listUpdates, R"({"ok":true,"answer":[]})"},  // the stored text is the platform's now
        {R"({"cmd":"attributes","type":"composite"})"},  // 6
        {properties},  // 7
        {R"({"cmd":"undo.list"})"},  // 8
        {R"({"cmd":"undo"})", R"({"ok":true,"step":"Update Velmar systems"})"},
        {R"({"cmd":"attributes","type":"composite"})"},  // 10
        {listUpdates, R"({"ok":true,"answer":[]})"},  // the stored version stays the platform's
        {R"({"cmd":"window.close","window":3})"},
        {R"({"cmd":"choose","menu":32503,"item":1})"},
        {R"({"cmd":"call","window":2,"fn":"config_setActiveCountryAndLanguage","arg":"{\"countryCode\":\"INT\",\"languageCode\":\"en-US\"}"})",
         R"({"ok":true,"answer":true})"},
        {properties},  // 15
        {R"({"cmd":"undo.list"})"},  // 16
    });
    // clang-format on
    EXPECT_EQ(ThicknessOf(run.answers[6], "Wall A"), "0.1100");
    EXPECT_NE(VelmarValues(run.answers[7]).find("Velmar Afmetingen/Totale dikte=0.11"), std::string::npos)
        << VelmarValues(run.answers[7]);
    EXPECT_EQ(run.answers[8].rfind(R"({"ok":true,"steps":["Update Velmar systems")", 0), 0u) << run.answers[8];
    // Undo takes back the walls' values only: Archicad leaves attributes and module data as they are.
    EXPECT_EQ(ThicknessOf(run.answers[10], "Wall A"), "0.1100");
    const std::string english = VelmarValues(run.answers[15]);
    EXPECT_NE(english.find("Velmar/System type=SchW"), std::string::npos) << english;
    EXPECT_NE(english.find("Velmar/Merk=Velmar"), std::string::npos) << "a name the mapping gives stays: " << english;
    EXPECT_EQ(run.answers[16].rfind(R"({"ok":true,"steps":["update parameter")", 0), 0u) << run.answers[16];
}

// Update rebuilds the composite tagged with the system, whichever composite its first wall stands on, and
// never the user's own; a system whose rebuild Archicad refuses keeps its stored text and is offered again.
TEST(UpdateScenario, RebuildsTheTaggedCompositeOrLeavesTheSystemToBeOfferedAgain)
{
    TempFolder root;
    WriteUnclassifiedMapping(root);
    const std::string project = root / "project.json";
    const std::string wall = SavedAfterLinkingWallA(
        root, project,
        {R"({"cmd":"attribute.new","type":"composite","name":"Wall B","skins":[{"material":"Gypsum Board","thickness":0.2}]})"});
    const Velmar::Testing::Step runUpdate = {R"({"cmd":"call","window":3,"fn":"update_runUpdate"})",
                                             R"({"ok":true,"answer":true})"};
    const std::string listUpdates = R"({"cmd":"call","window":3,"fn":"update_getSystemsToUpdate"})";
    // clang-format off
    const SimRun run = RunSteps(root, {
        {R"({"cmd":"project.open","path":")" + project + R"("})"},
        {R"({"cmd":"element.set","guid":")" + wall + R"(","composite":"Wall B"})", R"({"ok":true})"},
        {R"({"cmd":"platform.publish","id":"VELMAR-MS75-1x12.5","values":{"Thickness":"110"}})"},
        {R"({"cmd":"fault","op":"ACAPI_Attribute_ModifyExt","error":-2130313215,"times":1})"},
        {R"({"cmd":"choose","menu":32502,"item":1})"},
        runUpdate,
        // One report, in the project's language.
        {R"({"cmd":"reports"})", R"({"ok":true,"reports":[{"text":"Niet bijgewerkt, omdat Archicad de nieuwe versie niet )"
                                 R"(wilde schrijven: VELMAR-MS75-1x12.5. Ze worden bij de volgende update opnieuw )"
                                 R"(aangeboden.","alert":false}]})"},
        {listUpdates, R"({"ok":true,"answer":["VELMAR-MS75-1x12.5"]})"},  // the stored text is the old one
        {R"({"cmd":"attributes","type":"composite"})"},  // 8
        runUpdate,
        {listUpdates, R"({"ok":true,"answer":[]})"},
        {R"({"cmd":"attributes","type":"composite"})"},  // 11
    });
    // clang-format on
    EXPECT_EQ(ThicknessOf(run.answers[8], "Wall A"), "0.1000");
    EXPECT_EQ(ThicknessOf(run.answers[11], "Wall A"), "0.1100");
    EXPECT_EQ(ThicknessOf(run.answers[11], "Wall B"), "0.2000") << "the user's own composite stays theirs";
}

}  // namespace

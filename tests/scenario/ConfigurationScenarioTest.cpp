// Start-up with configuration files a user may end up with, through velmar-sim only; which settings copy
// is kept or replaced is ConfigurationTest's.
#include "Base64.hpp"
#include "VelmarSimRun.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace Velmar::Testing;

const std::string SettingsFile = "Velmar/Archicad/DatabaseSettings.28.json";
const std::string MappingFile = "Velmar/Archicad/PropertyMapping.28.json";

TEST(ConfigurationScenario, StartupCompletesAndTheMenusWorkWhateverTheFilesHold)
{
    const std::string tenMegabytes = "{\"version\":\"x\",\"padding\":\"" + std::string(10 << 20, 'x') + "\"}";
    struct Case {
        const char* name;
        const char* folder;
        const std::string* file;
        std::string content;
        const char* language;  // what the menus show afterwards
    };
    const Case cases[] = {
        {"wrongly typed members", "shared", &SettingsFile,
         R"({"version":7,"databaseSettings":{"countryCode":"BE"},"defaultCountry":["BE"],"defaultLanguage":3})",
         "Dutch"},
        {"unknown default country", "shared", &SettingsFile,
         R"({"version":"9","databaseSettings":[{"countryCode":"BE","languages":[{"code":"en-US"}]}],"defaultCountry":"QQ","defaultLanguage":"en-US"})",
         "English"},
        {"country without languages", "shared", &SettingsFile,
         R"({"version":"9","databaseSettings":[{"countryCode":"BE","enableOptionBrandLess":true}],"defaultCountry":"BE","defaultLanguage":"fr-BE"})",
         "French"},
        {"10 MB mapping", "shared", &MappingFile, tenMegabytes, "Dutch"},
        {"mapping that is not JSON", "user", &MappingFile, "properties: none", "Dutch"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder root;
        const std::string data = root / "data";
        // The installation's copies are placed first, then the case's file replaces one of them.
        RunVelmarSim(data, root / "install.jsonl", {R"({"cmd":"quit"})"});
        std::filesystem::create_directories(std::filesystem::path(data + "/" + c.folder + "/" + *c.file).parent_path());
        WriteFile(data + "/" + c.folder + "/" + *c.file, c.content);
        std::filesystem::remove(data + "/user/velmar/archicad/log.txt");

        const SimRun run = RunVelmarSim(data, root / "script.jsonl",
                                        {R"({"cmd":"choose","menu":32501,"item":2})", R"({"cmd":"state"})",
                                         R"({"cmd":"log"})", R"({"cmd":"quit"})"});
        EXPECT_EQ(run.exitCode, 0);
        ASSERT_EQ(run.answers.size(), 4u);
        EXPECT_TRUE(ParseAnswer(run.answers[0])["ok"].GetBool()) << run.answers[0];
        const auto state = ParseAnswer(run.answers[1]);
        EXPECT_STREQ(state["menuLanguage"].GetString(), c.language);
        EXPECT_EQ(state["checkedLod"].GetInt(), 200);
        for (const char* line : {"\"Velmar Plugin initialised\"", "\"menu routine terminated\""})
            EXPECT_NE(run.answers[2].find(line), std::string::npos) << line;
    }
}

// The add-on's settings kept in the project: read when a project opens, written when a LOD is chosen.
std::string ProjectWithSettings(const std::string& settingsText, int version = 1)
{
    return R"({"format":"velmar-sim-project","version":1,"moduleData":[{"name":"VelmarProjectSettings","version":)" +
           std::to_string(version) + R"(,"platformSign":22359,"data":")" +
           Sim::EncodeBase64(settingsText + std::string(1, '\0')) + R"("}]})";
}

TEST(ProjectSettingsScenario, OpeningAProjectAppliesItsSettings)
{
    struct Case {
        const char* name;
        std::string project;
        int checkedLod;
        const char* selector;  // the language's page Search opens
        bool neutral;
    };
    const std::string french = R"({"db":"BE","language":"fr-BE","lod":300,"neutral":true,"classificationMapping":[]})";
    const char* flemish = "https://selector.velmar.example/be/nl/systemen?BimId=";
    const Case cases[] = {
        {"the project's choice", ProjectWithSettings(french), 300,
         "https://selector.velmar.example/be/fr/systemes?BimId=", true},
        {"an unknown level keeps the active one", ProjectWithSettings(R"({"db":"BE","language":"fr-BE","lod":250})"),
         200, "https://selector.velmar.example/be/fr/systemes?BimId=", false},
        {"another data version is ignored", ProjectWithSettings(french, 2), 200, flemish, false},
        {"a project without settings changes nothing", R"({"format":"velmar-sim-project","version":1})", 200, flemish,
         false},
        {"neutral is forced off where the country has no brand-less option",
         ProjectWithSettings(R"({"db":"NL","language":"nl-NL","lod":400,"neutral":true})"), 400,
         "https://selector.velmar.example/nl/nl/systemen?BimId=", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder root;
        WriteFile(root / "project.json", c.project);
        const SimRun run = RunVelmarSim(root, {R"({"cmd":"choose","menu":32501,"item":2})",
                                               R"({"cmd":"project.open","path":")" + (root / "project.json") + R"("})",
                                               R"({"cmd":"state"})", R"({"cmd":"choose","menu":32500,"item":1})",
                                               R"({"cmd":"shell"})"});
        ASSERT_EQ(run.answers.size(), 5u);
        EXPECT_TRUE(ParseAnswer(run.answers[1])["ok"].GetBool()) << run.answers[1];
        const auto state = ParseAnswer(run.answers[2]);
        EXPECT_EQ(state["checkedLod"].GetInt(), c.checkedLod);
        EXPECT_EQ(state["neutralChecked"].GetBool(), c.neutral);
        const auto shell = ParseAnswer(run.answers[4]);
        ASSERT_EQ(shell["opened"].Size(), 1u) << run.answers[4];
        EXPECT_EQ(std::string(shell["opened"][0].GetString()).rfind(c.selector, 0), 0u)
            << shell["opened"][0].GetString();
    }
}

TEST(ProjectSettingsScenario, ChoosingALodStoresTheSettingsWithATerminatingZero)
{
    TempFolder root;
    const SimRun run = RunVelmarSim(root, {R"({"cmd":"choose","menu":32501,"item":2})",
                                           R"({"cmd":"project.save","path":")" + (root / "saved.json") + R"("})"});
    ASSERT_EQ(run.answers.size(), 2u);
    const auto project = ParseAnswer(ReadFile(root / "saved.json"));
    ASSERT_TRUE(project.IsObject());
    const auto& entry = project["moduleData"][0];
    EXPECT_STREQ(entry["name"].GetString(), "VelmarProjectSettings");
    EXPECT_EQ(entry["version"].GetInt(), 1);
    EXPECT_EQ(entry["platformSign"].GetInt(), 0x5757);
    const auto bytes = Sim::DecodeBase64(entry["data"].GetString());
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes,
              std::string(R"({"db":"BE","language":"nl-BE","lod":200,"neutral":false,"classificationMapping":[]})") +
                  std::string(1, '\0'));
}

}  // namespace

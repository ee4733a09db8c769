// Drives the velmar-sim program as a script would and checks its answers line by line.
#include "VelmarSimRun.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using Velmar::Testing::SimRun;
using Velmar::Testing::TempFolder;

SimRun RunScript(const TempFolder& root, const std::vector<std::string>& lines)
{
    return Velmar::Testing::RunVelmarSim(root / "data", root / "script.jsonl", lines);
}

rapidjson::Document Parse(const std::string& answer)
{
    return Velmar::Testing::ParseAnswer(answer);
}

TEST(VelmarSim, AnswersEveryLineAndKeepsGoingAfterBadOnes)
{
    TempFolder root;
    const std::string wallLine = R"({"cmd":"element.new","type":"wall"})";
    const SimRun run = RunScript(root, {
                                           R"({"cmd":"menus"})",                                      // 0
                                           "not json",                                                // 1
                                           R"({"nocmd":1})",                                          // 2
                                           R"({"cmd":"fly"})",                                        // 3
                                           R"({"cmd":"fault","op":"ACAPI_Nothing","error":-1})",      // 4
                                           R"({"cmd":"choose","menu":32501,"item":4})",               // 5
                                           R"({"cmd":"choose","menu":32501,"item":9})",               // 6
                                           wallLine,                                                  // 7
                                           R"({"cmd":"project.open","path":"/nonexistent/p.json"})",  // 8
                                           R"({"cmd":"log"})",                                        // 9
                                           R"({"cmd":"quit"})",                                       // 10
                                           R"({"cmd":"menus"})",  // after quit: not answered
                                       });
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.answers.size(), 11u);

    const auto menus = Parse(run.answers[0]);
    ASSERT_TRUE(menus["ok"].GetBool());
    ASSERT_EQ(menus["menus"].Size(), 6u);
    EXPECT_EQ(menus["menus"][3]["id"].GetInt(), 32501);
    EXPECT_STREQ(menus["menus"][3]["items"][0]["text"].GetString(), "Lod 100");
    EXPECT_EQ(menus["menus"][3]["items"][0]["flags"].GetInt(), 2);

    for (int bad : {1, 2, 3, 4, 6, 8}) {
        const auto answer = Parse(run.answers[bad]);
        ASSERT_TRUE(answer.IsObject()) << run.answers[bad];
        EXPECT_FALSE(answer["ok"].GetBool()) << run.answers[bad];
        EXPECT_TRUE(answer["error"].IsString());
    }
    EXPECT_TRUE(Parse(run.answers[5])["ok"].GetBool()) << run.answers[5];
    EXPECT_TRUE(Parse(run.answers[7])["guid"].IsString());

    const auto log = Parse(run.answers[9]);
    const auto& lines = log["lines"];
    ASSERT_GE(lines.Size(), 2u);
    EXPECT_STREQ(lines[lines.Size() - 2].GetString(), "Loading LOD menu");
    EXPECT_STREQ(lines[lines.Size() - 1].GetString(), "menu routine terminated");
    EXPECT_TRUE(Parse(run.answers[10])["ok"].GetBool());
}

// The host refuses the first observer: that wall stays unobserved, with a debug line, and the others do not.
TEST(VelmarSim, SelectionAttachesObserversToWallsAndSlabsOnlyAndProjectsSurviveSaving)
{
    TempFolder root;
    const char* guids[] = {"11111111-1111-4111-8111-111111111111", "22222222-2222-4222-8222-222222222222",
                           "33333333-3333-4333-8333-333333333333", "44444444-4444-4444-8444-444444444444"};
    const char* types[] = {"wall", "door", "slab", "wall"};
    std::string house = R"({"format":"velmar-sim-project","version":1,"elements":[)";
    std::string select = R"({"cmd":"select","guids":[)";
    for (int i = 0; i < 4; ++i) {
        house += std::string(i == 0 ? "" : ",") + R"({"guid":")" + guids[i] + R"(","type":")" + types[i] + R"("})";
        select += std::string(i == 0 ? "\"" : ",\"") + guids[i] + "\"";
    }
    Velmar::Testing::WriteFile(root / "house.json", house + "]}");
    const SimRun run =
        RunScript(root, {
                            R"({"cmd":"project.open","path":")" + (root / "house.json") + R"("})",
                            R"({"cmd":"fault","op":"ACAPI_Element_AttachObserver","error":-2130313215,"times":1})",
                            select + "]}",
                            R"({"cmd":"elements"})",
                            R"({"cmd":"project.save","path":")" + (root / "saved.json") + R"("})",
                            R"({"cmd":"log"})",
                            R"({"cmd":"debug"})",
                        });
    ASSERT_EQ(run.answers.size(), 7u);
    for (int good : {0, 1, 2})
        EXPECT_TRUE(Parse(run.answers[good])["ok"].GetBool()) << run.answers[good];
    const auto elements = Parse(run.answers[3]);
    ASSERT_EQ(elements["elements"].Size(), 4u);
    const bool observed[] = {false, false, true, true};  // the refused wall, the door, the slab, the other wall
    for (rapidjson::SizeType i = 0; i < 4; ++i) {
        EXPECT_STREQ(elements["elements"][i]["guid"].GetString(), guids[i]);
        EXPECT_EQ(elements["elements"][i]["observed"].GetBool(), observed[i]) << i;
    }
    EXPECT_NE(run.answers[6].find(std::string("Velmar: no observer on element ") + guids[0] + " (-2130313215)"),
              std::string::npos)
        << run.answers[6];
    const std::string saved = Velmar::Testing::ReadFile(root / "saved.json");
    for (const char* guid : guids)
        EXPECT_NE(saved.find(guid), std::string::npos) << guid;
    const auto logAnswer = Parse(run.answers[5]);
    const auto& log = logAnswer["lines"];
    ASSERT_GT(log.Size(), 0u);
    EXPECT_STREQ(log[log.Size() - 1].GetString(), "Modules flushed") << "opening the project flushed the modules";
}

// A composite tag naming GYP-MS-100 in base64; its last group holds the LOD ("LAEAAA==" 300, "ZAAAAA==" 100).
std::string TagData(const char* lodGroup)
{
    return "R1lQLU1TLTEwMA" + std::string(328, 'A') + "ECAwQFBgcICQoLDA0ODxDoBwsAAAAFAA4AAwA7AAAA" + lodGroup;
}

TEST(VelmarSim, TaggedCompositesKeepIndexGuidAndUserDataThroughSaveAndOpen)
{
    TempFolder root;
    const std::string tags[] = {TagData("LAEAAA=="), TagData("ZAAAAA==")};
    const auto newComposite = [](const std::string& name, const std::string& data) {
        return R"({"cmd":"attribute.new","type":"composite","name":")" + name +
               R"(","userData":{"version":1,"platformSign":22359,"data":")" + data + R"("}})";
    };
    const SimRun run = RunScript(
        root,
        {
            newComposite("GYP-MS-100 LOD 300", tags[0]),                     // 0
            newComposite("GYP-MS-100 LOD 100", tags[1]),                     // 1
            R"({"cmd":"attribute.new","type":"composite","name":"Plain"})",  // 2
            R"({"cmd":"attribute.new","type":"composite","name":"Plain"})",  // 3 taken
            R"({"cmd":"attribute.new","type":"layer","name":"X"})",          // 4 no such type
            R"({"cmd":"attribute.new","type":"surface","name":"P","userData":{"version":1,"data":""}})",  // 5 no sign
            R"({"cmd":"project.save","path":")" + (root / "p.json") + R"("})",                            // 6
            R"({"cmd":"project.new"})",                                                                   // 7
            R"({"cmd":"attributes","type":"composite"})",                                                 // 8
            R"({"cmd":"project.open","path":")" + (root / "p.json") + R"("})",                            // 9
            R"({"cmd":"attributes","type":"composite"})",                                                 // 10
            R"({"cmd":"attributes","type":"surface"})",                                                   // 11
        });
    ASSERT_EQ(run.answers.size(), 12u);
    for (int bad : {3, 4, 5})
        EXPECT_FALSE(Parse(run.answers[bad])["ok"].GetBool()) << run.answers[bad];
    for (int good : {0, 1, 2, 6, 7, 9})
        EXPECT_TRUE(Parse(run.answers[good])["ok"].GetBool()) << run.answers[good];
    EXPECT_EQ(Parse(run.answers[8])["attributes"].Size(), 0u) << "a new project has no composites";
    EXPECT_EQ(Parse(run.answers[11])["attributes"].Size(), 4u) << "the refused surface was not created";

    const auto listed = Parse(run.answers[10]);
    const auto& composites = listed["attributes"];
    ASSERT_EQ(composites.Size(), 3u) << run.answers[10];
    const char* names[] = {"GYP-MS-100 LOD 300", "GYP-MS-100 LOD 100", "Plain"};
    for (rapidjson::SizeType i = 0; i < 3; ++i) {
        const auto created = Parse(run.answers[i]);
        EXPECT_EQ(created["index"].GetInt(), static_cast<int>(i + 1));
        EXPECT_EQ(composites[i]["index"].GetInt(), static_cast<int>(i + 1));
        EXPECT_STREQ(composites[i]["name"].GetString(), names[i]);
        EXPECT_STREQ(composites[i]["guid"].GetString(), created["guid"].GetString());
        EXPECT_EQ(composites[i].HasMember("userData"), i < 2) << i;
    }
    for (rapidjson::SizeType i = 0; i < 2; ++i) {
        const auto& userData = composites[i]["userData"];
        EXPECT_EQ(userData["version"].GetInt(), 1);
        EXPECT_EQ(userData["platformSign"].GetInt(), 22359);
        EXPECT_EQ(userData["data"].GetString(), tags[i]);
    }
}

// Each case fails for root too, whom permission bits do not stop.
TEST(VelmarSim, AnUnreadableSharedDataFolderEndsTheRunWithItsNameAndTheReason)
{
    struct Case {
        const char* name;
        std::function<void(const std::string& data)> damage;
        const char* named;  // in the data folder
        const char* reason;
    };
    const Case cases[] = {
        {"a file where the folder belongs",
         [](const std::string& data) {
             std::filesystem::create_directories(data);
             Velmar::Testing::WriteFile(data + "/shared", "");
         },
         "/shared: ", "Not a directory"},
        {"a link to itself inside it",
         [](const std::string& data) {
             std::filesystem::create_directories(data + "/shared");
             std::filesystem::create_directory_symlink("Velmar", data + "/shared/Velmar");
         },
         "/shared/Velmar/Archicad/", "Too many levels of symbolic links"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder root;
        c.damage(root / "data");
        const SimRun run = RunScript(root, {R"({"cmd":"menus"})"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.answers.empty());
        EXPECT_NE(run.errors.find(root / "data" + c.named), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find(c.reason), std::string::npos) << run.errors;
    }
}

}  // namespace

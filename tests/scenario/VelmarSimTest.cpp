// Drives the velmar-sim program as a script would and checks its answers line by line.
#include "VelmarSimRun.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using Velmar::Testing::ParseAnswer;
using Velmar::Testing::RunVelmarSim;
using Velmar::Testing::SimRun;
using Velmar::Testing::TempFolder;

TEST(VelmarSim, AnswersEveryLineAndKeepsGoingAfterBadOnes)
{
    TempFolder root;
    // clang-format off
    const SimRun run = RunVelmarSim(root, {
            R"({"cmd":"menus"})",                                                                         // 0
            "not json",                                                                                   // 1
            R"({"nocmd":1})",                                                                             // 2
            R"({"cmd":"fly"})",                                                                           // 3
            R"({"cmd":"fault","op":"ACAPI_Nothing","error":-1})",                                         // 4
            R"({"cmd":"choose","menu":32501,"item":4})",                                                  // 5
            R"({"cmd":"choose","menu":32501,"item":9})",                                                  // 6
            R"({"cmd":"element.new","type":"wall"})",                                                     // 7
            R"({"cmd":"project.open","path":"/nonexistent/p.json"})",                                     // 8
            R"({"cmd":"attribute.new","type":"composite","name":"Plain"})",                               // 9
            R"({"cmd":"attribute.new","type":"composite","name":"Plain"})",                               // 10 taken
            R"({"cmd":"attribute.new","type":"layer","name":"X"})",                                       // 11 no such type
            R"({"cmd":"attribute.new","type":"surface","name":"P","userData":{"version":1,"data":""}})",  // 12 no sign
            R"({"cmd":"quit"})",                                                                          // 13
            R"({"cmd":"menus"})",  // after quit: not answered
        });
    // clang-format on
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.answers.size(), 14u);

    const auto menus = ParseAnswer(run.answers[0]);
    ASSERT_TRUE(menus["ok"].GetBool());
    ASSERT_EQ(menus["menus"].Size(), 6u);
    EXPECT_EQ(menus["menus"][3]["id"].GetInt(), 32501);
    EXPECT_STREQ(menus["menus"][3]["items"][0]["text"].GetString(), "Lod 100");
    EXPECT_EQ(menus["menus"][3]["items"][0]["flags"].GetInt(), 2);

    for (int bad : {1, 2, 3, 4, 6, 8, 10, 11, 12}) {
        const auto answer = ParseAnswer(run.answers[bad]);
        ASSERT_TRUE(answer.IsObject()) << run.answers[bad];
        EXPECT_FALSE(answer["ok"].GetBool()) << run.answers[bad];
        EXPECT_TRUE(answer["error"].IsString());
    }
    for (int good : {5, 9, 13})
        EXPECT_TRUE(ParseAnswer(run.answers[good])["ok"].GetBool()) << run.answers[good];
    EXPECT_TRUE(ParseAnswer(run.answers[7])["guid"].IsString());
    EXPECT_EQ(ParseAnswer(run.answers[9])["index"].GetInt(), 1);
}

// The host refuses the first observer: that wall stays unobserved, with a debug line, and the others do not.
TEST(VelmarSim, SelectionAttachesObserversToWallsAndSlabsOnly)
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
    // clang-format off
    const SimRun run = RunVelmarSim(root, {
            R"({"cmd":"project.open","path":")" + (root / "house.json") + R"("})",
            R"({"cmd":"fault","op":"ACAPI_Element_AttachObserver","error":-2130313215,"times":1})",
            select + "]}",
            R"({"cmd":"elements"})",
            R"({"cmd":"log"})",
            R"({"cmd":"debug"})",
        });
    // clang-format on
    ASSERT_EQ(run.answers.size(), 6u);
    for (int good : {0, 1, 2})
        EXPECT_TRUE(ParseAnswer(run.answers[good])["ok"].GetBool()) << run.answers[good];
    const auto elements = ParseAnswer(run.answers[3]);
    ASSERT_EQ(elements["elements"].Size(), 4u);
    const bool observed[] = {false, false, true, true};  // the refused wall, the door, the slab, the other wall
    for (rapidjson::SizeType i = 0; i < 4; ++i) {
        EXPECT_STREQ(elements["elements"][i]["guid"].GetString(), guids[i]);
        EXPECT_EQ(elements["elements"][i]["observed"].GetBool(), observed[i]) << i;
    }
    EXPECT_NE(run.answers[5].find(std::string("Velmar: no observer on element ") + guids[0] + " (-2130313215)"),
              std::string::npos)
        << run.answers[5];
    const auto logAnswer = ParseAnswer(run.answers[4]);
    const auto& log = logAnswer["lines"];
    ASSERT_GT(log.Size(), 0u);
    EXPECT_STREQ(log[log.Size() - 1].GetString(), "Modules flushed") << "opening the project flushed the modules";
}

// The script's commands reach a modal dialog while it runs, its page's functions and a user's resize and
// close. What the page's functions answer, and a drag below the dialog's size, are the bridge's and the
// browser window's tests.
TEST(VelmarSim, SettingsRunsTheConfigDialogWhileTheScriptCallsItsPageUntilTheUserClosesIt)
{
    const std::string config = R"("id":2,"title":"Config","url":"https://app.velmar.example/configuration",)";
    TempFolder root;
    // clang-format off
    EXPECT_EQ(Velmar::Testing::RunSteps(root, {
        {R"({"cmd":"choose","menu":32503,"item":1})", R"({"ok":true,"modal":true})"},
        {R"({"cmd":"windows"})", R"({"ok":true,"windows":[{)" + config + R"("width":1244,"height":788,"visible":true,"modal":true}]})"},
        {R"({"cmd":"window.resize","window":2,"width":1400,"height":900})",
         R"({"ok":true,"window":{)" + config + R"("width":1400,"height":900,"visible":true,"modal":true}})"},
        // An object is not a text: Bad cast, reported to the user.
        {R"({"cmd":"call","window":2,"fn":"config_resize","arg":{"x":800}})", R"({"ok":true,"answer":null})"},
        // The title function leaves its failure to the page's script engine.
        {R"({"cmd":"call","window":2,"fn":"setWindowTitle","arg":[1]})",
         R"({"ok":false,"error":"setWindowTitle threw ClassCastException: Bad cast."})"},
        {R"({"cmd":"reports"})", R"({"ok":true,"reports":[{"text":"failed\n Bad cast.","alert":true}]})"},
        {R"({"cmd":"window.close","window":2})", R"({"ok":true})"},
        {R"({"cmd":"windows"})", R"({"ok":true,"windows":[]})"},
        {R"({"cmd":"call","window":2,"fn":"getVersionInfo"})", R"({"ok":false,"error":"no open window 2"})"},
    }).exitCode, 0);
    // clang-format on
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
        const SimRun run = RunVelmarSim(root, {R"({"cmd":"menus"})"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.answers.empty());
        EXPECT_NE(run.errors.find(root / "data" + c.named), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find(c.reason), std::string::npos) << run.errors;
    }
}

}  // namespace

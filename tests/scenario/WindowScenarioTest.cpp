// The add-on's windows through velmar-sim's protocol: a modal dialog taking the script's commands while
// it is open, its page's functions, a user's resize and close, and the shell behind the page.
#include "Base64.hpp"
#include "VelmarSimRun.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Velmar::Testing::ParseAnswer;
using Velmar::Testing::RunVelmarSim;
using Velmar::Testing::SimRun;
using Velmar::Testing::TempFolder;

std::vector<std::string> Texts(const rapidjson::Value& array)
{
    std::vector<std::string> texts;
    for (const auto& item : array.GetArray())
        texts.push_back(item.GetString());
    return texts;
}

TEST(WindowScenario, SettingsRunsTheConfigDialogUntilTheUserClosesIt)
{
    TempFolder root;
    const SimRun run = RunVelmarSim(root / "data", root / "script.jsonl",
                                    {
                                        R"({"cmd":"choose","menu":32503,"item":1})",                            // 0
                                        R"({"cmd":"windows"})",                                                 // 1
                                        R"({"cmd":"window.resize","window":2,"width":1400,"height":900})",      // 2
                                        R"({"cmd":"window.resize","window":2,"width":1000,"height":500})",      // 3
                                        R"({"cmd":"call","window":2,"fn":"getVersionInfo"})",                   // 4
                                        R"({"cmd":"call","window":2,"fn":"setWindowTitle","arg":"Réglages"})",  // 5
                                        R"({"cmd":"call","window":2,"fn":"config_resize","arg":{"x":800}})",    // 6
                                        R"({"cmd":"call","window":2,"fn":"setWindowTitle","arg":[1]})",         // 7
                                        R"({"cmd":"reports"})",                                                 // 8
                                        R"({"cmd":"window.close","window":2})",                                 // 9
                                        R"({"cmd":"windows"})",                                                 // 10
                                        R"({"cmd":"call","window":2,"fn":"getVersionInfo"})",                   // 11
                                        R"({"cmd":"log"})",                                                     // 12
                                    });
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.answers.size(), 13u);
    EXPECT_EQ(run.answers[0], R"({"ok":true,"modal":true})");
    EXPECT_EQ(run.answers[1], R"({"ok":true,"windows":[{"id":2,"title":"Config",)"
                              R"("url":"https://app.velmar.example/configuration","width":1244,"height":788,)"
                              R"("visible":true,"modal":true}]})");

    const auto grown = ParseAnswer(run.answers[2]);
    EXPECT_EQ(grown["window"]["width"].GetInt(), 1400);
    EXPECT_EQ(grown["window"]["height"].GetInt(), 900);
    const auto shrunk = ParseAnswer(run.answers[3]);
    EXPECT_EQ(shrunk["window"]["width"].GetInt(), 1244) << "the dialog keeps the size it opened at as its minimum";
    EXPECT_EQ(shrunk["window"]["height"].GetInt(), 788);

    EXPECT_EQ(run.answers[4], R"({"ok":true,"answer":"v2.0.1"})");
    EXPECT_EQ(run.answers[5], R"({"ok":true,"answer":true})");
    EXPECT_EQ(run.answers[6], R"({"ok":true,"answer":null})") << "an object is not a text: Bad cast.";
    // The title function leaves its failure to the page's script engine.
    EXPECT_EQ(run.answers[7], R"({"ok":false,"error":"setWindowTitle threw ClassCastException: Bad cast."})");
    const auto reports = ParseAnswer(run.answers[8]);
    ASSERT_EQ(reports["reports"].Size(), 1u);
    EXPECT_STREQ(reports["reports"][0]["text"].GetString(), "failed\n Bad cast.");

    EXPECT_EQ(run.answers[9], R"({"ok":true})");
    EXPECT_EQ(run.answers[10], R"({"ok":true,"windows":[]})");
    EXPECT_EQ(run.answers[11], R"({"ok":false,"error":"no open window 2"})");
    const auto log = Texts(ParseAnswer(run.answers[12])["lines"]);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"Loading settings", "menu routine terminated"}));
}

TEST(WindowScenario, EachMenuCommandLogsWhatItLoadsAndThenTheEndOfTheRoutine)
{
    struct Case {
        int menu;
        const char* line;
        int window;  // the dialog it runs until the user closes it; 0 for none
    };
    const Case cases[] = {
        {32500, "Loading selector", 0},
        {32502, "Loading update", 3},
        {32504, "Loading Rules", 1},
        {32505, "Changing Neutral settings", 0},
    };
    std::vector<std::string> script;
    for (const Case& c : cases) {
        script.push_back(R"({"cmd":"choose","menu":)" + std::to_string(c.menu) + R"(,"item":1})");
        script.push_back(R"({"cmd":"log"})");
        if (c.window != 0) {
            script.push_back(R"({"cmd":"window.close","window":)" + std::to_string(c.window) + "}");
            script.push_back(R"({"cmd":"log"})");
        }
    }
    TempFolder root;
    const SimRun run = RunVelmarSim(root / "data", root / "script.jsonl", script);
    ASSERT_EQ(run.answers.size(), script.size()) << run.errors;
    const auto tail = [&](std::size_t answer, std::size_t count) {
        const auto lines = Texts(ParseAnswer(run.answers[answer])["lines"]);
        return std::vector<std::string>(lines.end() - static_cast<long>(std::min(count, lines.size())), lines.end());
    };
    std::size_t answer = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(run.answers[answer], c.window != 0 ? R"({"ok":true,"modal":true})" : R"({"ok":true,"result":0})");
        if (c.window != 0) {
            EXPECT_EQ(tail(answer + 1, 1), std::vector<std::string>{c.line}) << "logged before the dialog runs";
            answer += 2;
        }
        EXPECT_EQ(tail(answer + 1, 2), (std::vector<std::string>{c.line, "menu routine terminated"}));
        answer += 2;
    }
}

TEST(WindowScenario, ThePageOpensWebAddressesInTheShellAndNothingElse)
{
    TempFolder root;
    const SimRun run =
        RunVelmarSim(root / "data", root / "script.jsonl",
                     {
                         R"({"cmd":"choose","menu":32503,"item":1})",
                         R"({"cmd":"call","window":2,"fn":"config_openUrl","arg":"https://app.velmar.example/help"})",
                         R"({"cmd":"call","window":2,"fn":"config_openUrl","arg":"ms-msdt:/id PCWDiagnostic"})",
                         R"({"cmd":"call","window":2,"fn":"config_openUrl","arg":"\\\\attacker\\share"})",
                         R"({"cmd":"shell"})",
                         R"({"cmd":"window.close","window":2})",
                     });
    ASSERT_EQ(run.answers.size(), 6u);
    const auto shell = ParseAnswer(run.answers[4]);
    EXPECT_EQ(Texts(shell["opened"]), std::vector<std::string>{"https://app.velmar.example/help"});
    EXPECT_EQ(Texts(shell["refused"]), (std::vector<std::string>{"ms-msdt:/id PCWDiagnostic", "\\\\attacker\\share"}));
}

// A composite tag as the composite builder writes it: system name, stored-system id, time stamp, LOD.
std::string CompositeTagBase64(int lod)
{
    std::string bytes(292, '\0');
    bytes.replace(0, 13, "VELMAR-MS-100");
    for (int i = 0; i < 4; ++i)
        bytes[288 + i] = static_cast<char>((lod >> (8 * i)) & 0xFF);
    return Sim::EncodeBase64(bytes);
}

TEST(WindowScenario, ChoosingAnotherLodOpensTheLodPageOnlyWhenCompositesAreAtAnotherLevel)
{
    TempFolder root;
    const std::string composite = R"({"cmd":"attribute.new","type":"composite","name":"Wand MS 100",)"
                                  R"("userData":{"version":1,"platformSign":22359,"data":")" +
                                  CompositeTagBase64(100) + R"("}})";
    const SimRun run = RunVelmarSim(root / "data", root / "script.jsonl",
                                    {
                                        R"({"cmd":"choose","menu":32501,"item":1})",             // 0: at its level
                                        R"({"cmd":"windows"})",                                  // 1
                                        composite,                                               // 2
                                        R"({"cmd":"choose","menu":32501,"item":3})",             // 3: opens Lod
                                        R"({"cmd":"call","window":6,"fn":"lod_getLodStatus"})",  // 4
                                        R"({"cmd":"call","window":6,"fn":"lod_close"})",         // 5
                                        R"({"cmd":"windows"})",                                  // 6
                                        R"({"cmd":"state"})",                                    // 7
                                    });
    ASSERT_EQ(run.answers.size(), 8u);
    EXPECT_EQ(ParseAnswer(run.answers[1])["windows"].Size(), 0u) << "no tagged composite yet: no page";
    EXPECT_TRUE(ParseAnswer(run.answers[2])["ok"].GetBool()) << run.answers[2];
    EXPECT_TRUE(ParseAnswer(run.answers[3])["modal"].GetBool()) << run.answers[3];
    EXPECT_STREQ(ParseAnswer(run.answers[4])["answer"].GetString(),
                 R"({"hasElementsWitHigherLod":false,"hasElementsWithLowerLod":true,"activeLod":300})");
    EXPECT_TRUE(ParseAnswer(run.answers[5])["answer"].GetBool());
    EXPECT_EQ(ParseAnswer(run.answers[6])["windows"].Size(), 0u);
    EXPECT_EQ(ParseAnswer(run.answers[7])["checkedLod"].GetInt(), 300);
}

TEST(WindowScenario, APageOfAnotherSiteInsideTheWindowIsNotAnswered)
{
    TempFolder root;
    const SimRun run = RunVelmarSim(root / "data", root / "script.jsonl",
                                    {
                                        R"({"cmd":"choose","menu":32503,"item":1})",
                                        R"({"cmd":"window.navigate","window":2,"url":"https://evil.example/x"})",
                                        R"({"cmd":"call","window":2,"fn":"config_getDatabaseConfiguration"})",
                                        R"({"cmd":"window.navigate","window":2,"url":"https://app.velmar.example/configuration"})",
                                        R"({"cmd":"call","window":2,"fn":"getVersionInfo"})",
                                        R"({"cmd":"window.close","window":2})",
                                        R"({"cmd":"log"})",
                                    });
    ASSERT_EQ(run.answers.size(), 7u);
    EXPECT_TRUE(ParseAnswer(run.answers[2])["answer"].IsNull()) << run.answers[2];
    EXPECT_STREQ(ParseAnswer(run.answers[4])["answer"].GetString(), "v2.0.1");
    const auto log = ParseAnswer(run.answers[6]);
    const auto lines = Texts(log["lines"]);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "refused config_getDatabaseConfiguration from https://evil.example/x"),
              lines.end());
}

}  // namespace

// Start-up with every kind of configuration file a user may end up with, through velmar-sim only.
#include "VelmarSimRun.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace Velmar::Testing;

const std::string SettingsFile = "Velmar/Archicad/DatabaseSettings.28.json";
const std::string MappingFile = "Velmar/Archicad/PropertyMapping.28.json";

bool HasLine(const rapidjson::Value& lines, const std::string& wanted)
{
    for (const auto& line : lines.GetArray()) {
        if (wanted == line.GetString())
            return true;
    }
    return false;
}

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
        {"empty user settings", "user", &SettingsFile, "", "Dutch"},
        {"truncated user settings", "user", &SettingsFile, "{\"version\":\"1\",\"databaseSett", "Dutch"},
        {"array-rooted shared settings", "shared", &SettingsFile, "[1,2]", "Dutch"},
        {"byte order mark in shared settings", "shared", &SettingsFile, "\xEF\xBB\xBF{\"defaultLanguage\":\"en-US\"}",
         "Dutch"},
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
        const auto log = ParseAnswer(run.answers[2]);
        EXPECT_TRUE(HasLine(log["lines"], "Velmar Plugin initialised"));
        EXPECT_TRUE(HasLine(log["lines"], "menu routine terminated"));
    }
}

TEST(ConfigurationScenario, AChosenLanguageIsKeptAcrossRestartsUntilTheInstallationChangesVersion)
{
    TempFolder root;
    const std::string data = root / "data";
    const SimRun first =
        RunVelmarSim(data, root / "a.jsonl",
                     {R"({"cmd":"state"})", R"({"cmd":"file.read","folder":"user","path":")" + SettingsFile + R"("})"});
    ASSERT_EQ(first.answers.size(), 2u);
    EXPECT_STREQ(ParseAnswer(first.answers[0])["menuLanguage"].GetString(), "Dutch");
    EXPECT_FALSE(ParseAnswer(first.answers[0])["neutralDisabled"].GetBool()) << "Belgium offers the Neutral option";
    std::string settings = ParseAnswer(first.answers[1])["text"].GetString();

    // The user's copy now says English for the international site, as the configuration page stores it.
    const auto replace = [&](const std::string& from, const std::string& to) {
        settings.replace(settings.find(from), from.size(), to);
    };
    replace(R"("defaultCountry": "BE")", R"("defaultCountry": "INT")");
    replace(R"("defaultLanguage": "nl-BE")", R"("defaultLanguage": "en-US")");
    WriteFile(data + "/user/" + SettingsFile, settings);
    const SimRun second = RunVelmarSim(data, root / "b.jsonl", {R"({"cmd":"state"})", R"({"cmd":"menus"})"});
    EXPECT_STREQ(ParseAnswer(second.answers[0])["menuLanguage"].GetString(), "English");
    EXPECT_STREQ(ParseAnswer(second.answers[1])["menus"][4]["items"][0]["text"].GetString(), "Settings");

    // A new installation version replaces the user's copy and with it the choice.
    const std::string shared = ReadFile(data + "/shared/" + SettingsFile);
    WriteFile(data + "/shared/" + SettingsFile,
              std::string(shared).replace(shared.find("\"version\""), 9, "\"version\": \"new\", \"old\""));
    const SimRun third = RunVelmarSim(data, root / "c.jsonl", {R"({"cmd":"state"})"});
    EXPECT_STREQ(ParseAnswer(third.answers[0])["menuLanguage"].GetString(), "Dutch");
}

}  // namespace

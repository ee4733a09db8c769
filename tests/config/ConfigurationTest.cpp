#include "ConfigurationService.hpp"
#include "CorvanaDatabase.hpp"
#include "DataFiles.hpp"
#include "DownloadServices.hpp"
#include "HostText.hpp"
#include "SmallStackThread.hpp"
#include "State.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>

namespace {

using Velmar::Services::ConfigurationService;
using Velmar::Services::StartDownloadServices;
using Velmar::Testing::ReadFile;
using Velmar::Testing::TempFolder;
using Velmar::Testing::WriteFile;

const char* SettingsPath = "Velmar/Archicad/DatabaseSettings.28.json";
const char* MappingPath = "Velmar/Archicad/PropertyMapping.28.json";

std::string Settings(const std::string& version, const std::string& country = "BE",
                     const std::string& language = "nl-BE")
{
    return R"({"version":")" + version +
           R"(","databaseSettings":[)"
           R"({"countryLabel":"België","countryCode":"BE","tokenUrl":"https://t.example","corvanaUrl":"https://c.example/be",)"
           R"("enableOptionBrandLess":true,"languages":[{"selectorUrl":"https://s.example/nl","code":"nl-BE","label":"NL"},)"
           R"({"selectorUrl":"https://s.example/fr","code":"fr-BE","label":"Français"}]},)"
           R"({"countryLabel":"Nederland","countryCode":"NL","enableOptionBrandLess":false,"languages":[)"
           R"({"selectorUrl":"https://s.example/nl-nl","code":"nl-NL"}]},)"
           R"({"countryLabel":"Nowhere","countryCode":"XX"}],)"
           R"("defaultCountry":")" +
           country + R"(","defaultLanguage":")" + language + R"("})";
}

class Configuration : public ::testing::Test {
protected:
    void SetUp() override
    {
        IO::fileSystem.SetSpecialLocation(Velmar::UserDataFolder, IO::Location(HostText::Uni(root_ / "user")));
        IO::fileSystem.SetSpecialLocation(Velmar::SharedDataFolder, IO::Location(HostText::Uni(root_ / "shared")));
        std::filesystem::create_directories(root_ / "user/Velmar/Archicad");
        std::filesystem::create_directories(root_ / "shared/Velmar/Archicad");
    }

    std::string User(const char* path = SettingsPath) const { return root_ / (std::string("user/") + path); }
    std::string Shared(const char* path = SettingsPath) const { return root_ / (std::string("shared/") + path); }
    // The log with plain line ends.
    std::string Log() const
    {
        std::string text = ReadFile(root_ / "user/velmar/archicad/log.txt");
        for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
            text.erase(at, 1);
        return text;
    }

    TempFolder root_;
};

TEST_F(Configuration, UserCopyIsKeptOrReplacedByTheSharedCopy)
{
    const std::string tenMegabytes = Settings("big").insert(1, R"("padding":")" + std::string(10 << 20, 'x') + R"(",)");
    struct Case {
        const char* name;
        std::optional<std::string> shared, user;
        std::optional<std::string> loadedVersion;  // none: nothing could be loaded
        bool userReplaced;
        bool userLinked = false;  // the user copy is a symbolic link to a file elsewhere (none: to nothing)
    };
    const Case cases[] = {
        {"only shared", Settings("1"), std::nullopt, "1", true},
        {"versions differ", Settings("2", "NL", "nl-NL"), Settings("1"), "2", true},
        {"versions differ in case only", Settings("V1"), Settings("v1", "NL"), "v1", false},
        {"no shared copy", std::nullopt, Settings("1"), "1", false},
        {"neither", std::nullopt, std::nullopt, std::nullopt, false},
        {"user copy is an array", Settings("1"), "[]", "1", true},
        {"user copy is truncated", Settings("1"), Settings("1").substr(0, 40), "1", true},
        {"user copy is empty", Settings("1"), "", "1", true},
        {"user version has another type", Settings("1"), R"({"version":1})", "1", true},
        {"shared copy has a byte order mark", "\xEF\xBB\xBF" + Settings("2"), Settings("1"), "1", false},
        {"shared copy is empty, no user copy", "", std::nullopt, std::nullopt, true},
        {"shared copy of 10 MB", tenMegabytes, Settings("1"), "big", true},
        {"user copy linked, versions differ in case only", Settings("V1"), Settings("v1", "NL"), "v1", false, true},
        {"user copy linked, no shared copy", std::nullopt, Settings("1"), "1", false, true},
        {"user copy linked to nothing", Settings("1"), std::nullopt, "1", true, true},
    };
    const std::string elsewhere = root_ / "elsewhere.json";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(User());
        std::filesystem::remove(Shared());
        std::filesystem::remove(elsewhere);
        if (c.shared)
            WriteFile(Shared(), *c.shared);
        if (c.user)
            WriteFile(c.userLinked ? elsewhere : User(), *c.user);
        if (c.userLinked)
            std::filesystem::create_symlink(elsewhere, User());
        const auto loaded = Velmar::Cnf::LoadSettingsFile(SettingsPath);
        EXPECT_EQ(loaded != nullptr && loaded->version.HasValue()
                      ? std::optional<std::string>(HostText::Utf8(loaded->version.Get()))
                      : std::nullopt,
                  c.loadedVersion);
        if (c.userReplaced) {
            EXPECT_EQ(ReadFile(User()), c.shared.value_or(""));
        } else if (c.user) {
            EXPECT_EQ(ReadFile(User()), *c.user);
            EXPECT_EQ(std::filesystem::is_symlink(User()), c.userLinked) << "a kept link stays a link";
        }
        if (c.shared) {
            EXPECT_EQ(ReadFile(Shared()), *c.shared) << "the shared copy is never written";
        }
    }
}

TEST_F(Configuration, ReadingLogsEachStepAndEachLanguageCode)
{
    WriteFile(User(), R"({"version":"1","databaseSettings":[{"countryCode":"BE","languages":[{"code":"fr-BE"},{}]}]})");
    ASSERT_NE(Velmar::Cnf::ReadSettingsFile(Velmar::UserDataFolder, SettingsPath), nullptr);
    EXPECT_EQ(Log(), "reading database configuration file\ndocument was json\ndoc looks like object\nLoading version\n"
                     "Loading settings\nParsing Country Label\nParsing Country Code\nParsingtoken url\n"
                     "corvana base url\nbrand less option\nloading languages\n"
                     "loading Selector Url\nloading code\nfr-BE\nloading label\nloading help\nlang loaded\n"
                     "loading Selector Url\nloading code\n\nloading label\nloading help\nlang loaded\n"
                     "dsb loaded\nLoading country\nLoading default language\nconfig loaded from json file\n");

    std::filesystem::remove(root_ / "user/velmar/archicad/log.txt");
    WriteFile(User(), "[1]");
    EXPECT_EQ(Velmar::Cnf::ReadSettingsFile(Velmar::UserDataFolder, SettingsPath), nullptr);
    EXPECT_EQ(Log(), "reading database configuration file\ndocument was json\n");
}

TEST_F(Configuration, AUserCopyThatCannotBeReplacedLeavesNoConfigurationButNoFailure)
{
    WriteFile(Shared(), Settings("2"));
    std::filesystem::create_directories(User());  // a folder, not empty, where the file should be
    WriteFile(User() + "/inside", "x");
    EXPECT_EQ(Velmar::Cnf::LoadSettingsFile(SettingsPath), nullptr);
    ConfigurationService service(SettingsPath, MappingPath, StartDownloadServices);
    EXPECT_FALSE(service.GetLanguageCode().has_value());
    EXPECT_FALSE(service.IsBrandLessEnabled());
    EXPECT_EQ(Velmar::App::State::instance()->languageIndex, std::optional<Int32>(1));
}

TEST_F(Configuration, ApplyingTheChoiceSetsLanguageSelectorServicesAndNeutral)
{
    struct Case {
        const char* country;
        const char* language;
        Int32 languageIndex;
        const char* selector;  // the address State keeps
        bool brandLess;
        const char* platform;  // the client's base address
    };
    const Case cases[] = {
        {"BE", "nl-BE", 1, "https://s.example/nl", true, "https://c.example/be"},
        {"BE", "FR-be", 2, "https://s.example/fr", true, "https://c.example/be"},
        {"NL", "nl-NL", 1, "https://s.example/nl-nl", false, ""},
        {"be", "fr-BE", 2, "https://s.example/fr", false, "https://c.example/be"},  // matched, but not exactly
        {"XX", "en-US", 3, "https://s.example/fr", false, ""},                      // no languages: selector stays
        {"ZZ", "nl-BE", 1, "https://s.example/fr", false, ""},                      // unknown: all stays
    };
    const auto state = Velmar::App::State::instance();
    WriteFile(User(), Settings("1"));
    ConfigurationService service(SettingsPath, MappingPath, StartDownloadServices);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.country) + " " + c.language);
        state->SetNeutral(true);  // taken where the country before has the brand-less option
        const bool wasNeutral = state->IsNeutral();
        service.SetCountryAndLanguage(c.country, c.language);
        EXPECT_EQ(state->languageIndex, std::optional<Int32>(c.languageIndex));
        EXPECT_EQ(HostText::Utf8(state->selectorUrl), c.selector);
        EXPECT_EQ(service.IsBrandLessEnabled(), c.brandLess);
        if (std::string(c.country) != "ZZ") {
            EXPECT_EQ(state->IsBrandLessEnabled(), c.brandLess);
            EXPECT_EQ(state->IsNeutral(), wasNeutral && c.brandLess) << "Neutral is forced off without the option";
            state->SetNeutral(true);
            EXPECT_EQ(state->IsNeutral(), c.brandLess) << "and cannot be set again";
        }
        const auto client = Velmar::Services::CorvanaDatabase::Get();
        ASSERT_NE(client, nullptr);
        if (*c.platform != '\0') {
            EXPECT_EQ(HostText::Utf8(client->GetDataUrl()), c.platform);
        }
    }
}

TEST_F(Configuration, TheChoiceIsStoredCompactWithNullsAndReadAtTheNextStart)
{
    WriteFile(Shared(), Settings("1"));
    {
        ConfigurationService service(SettingsPath, MappingPath, StartDownloadServices);
        service.SetCountryAndLanguage("NL", "nl-NL");
    }
    const std::string stored = ReadFile(User());
    EXPECT_EQ(stored.find(' '), std::string::npos);
    EXPECT_NE(stored.find(R"("helpUrl":null)"), std::string::npos);
    EXPECT_NE(
        stored.find(
            R"("countryCode":"XX","tokenUrl":null,"corvanaUrl":null,"enableOptionBrandLess":null,"languages":[])"),
        std::string::npos);
    EXPECT_NE(stored.find(R"("defaultCountry":"NL","defaultLanguage":"nl-NL")"), std::string::npos);

    ConfigurationService restarted(SettingsPath, MappingPath, StartDownloadServices);
    EXPECT_EQ(HostText::Utf8(*restarted.GetCountryCode()), "NL");
    EXPECT_EQ(HostText::Utf8(Velmar::App::State::instance()->selectorUrl), "https://s.example/nl-nl");
}

TEST_F(Configuration, MappingFileLookupsAndNesting)
{
    WriteFile(
        Shared(MappingPath),
        R"({"version":"1","properties":[{"key":"Thickness","name":"first"},{"key":"THICKNESS","name":"second"},{"name":"no key"}],)"
        R"("wallClassifications":[{"name":"NL-SfB","children":[{"name":"1","children":[{"name":"2","children":[)"
        R"({"name":"3","children":[{"name":"4","children":[{"name":"5"}]}]}]}]}]}],)"
        R"("classificationCodes":["NL-SfB",7,"STABU"]})");
    const auto mapping = Velmar::Cnf::LoadMappingFile(MappingPath);
    const auto* found = Velmar::Cnf::FindProperty(mapping.properties.Items(), "thickness");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(HostText::Utf8(found->name.Get()), "first");
    EXPECT_EQ(Velmar::Cnf::FindProperty(mapping.properties.Items(), "no key"), nullptr);
    const auto* item = &mapping.wallClassifications.Items()[0].children.Items()[0];
    for (int depth = 2; depth <= 5; ++depth)
        item = &item->children.Items()[0];
    EXPECT_EQ(HostText::Utf8(item->name.Get()), "5");
    EXPECT_EQ(mapping.classificationCodes.Items(), (GS::Array<GS::UniString>{"NL-SfB", "STABU"}));
    // The shared copy is read, then the user copy it became.
    const std::string reading =
        "reading property file\nproperty file read\nlooks like an object\nproperty file loaded\n";
    EXPECT_EQ(Log(), reading + reading);

    // The deepest classification tree the JSON reader takes (root, list, system and its children first, then
    // two levels an item), and one level more: read on a stack as small as a host's main thread, or refused.
    const int deepest = static_cast<int>(Velmar::Json::MaxNestingDepth - 4) / 2;
    for (const int levels : {deepest, deepest + 1}) {
        SCOPED_TRACE(levels);
        std::string tree;
        for (int level = 1; level <= levels; ++level)
            tree += R"({"name":")" + std::to_string(level) + R"(","children":[)";
        for (int level = 1; level <= levels; ++level)
            tree += "]}";
        std::filesystem::remove(User(MappingPath));
        std::filesystem::remove(root_ / "user/velmar/archicad/log.txt");
        WriteFile(Shared(MappingPath),
                  R"({"version":"2","wallClassifications":[{"name":"NL-SfB","children":[)" + tree + "]}]}");
        int read = 0;
        Velmar::Testing::RunOnSmallStack([&] {
            const auto deep = Velmar::Cnf::LoadMappingFile(MappingPath);
            for (const auto* items = deep.wallClassifications.Items().IsEmpty()
                                         ? nullptr
                                         : &deep.wallClassifications.Items()[0].children.Items();
                 items != nullptr && !items->IsEmpty(); items = &(*items)[0].children.Items())
                ++read;
        });
        const bool refused = levels > deepest;
        EXPECT_EQ(read, refused ? 0 : levels);
        const std::string log = Log(), refusal = "property file nests deeper than 1024 levels: not read\n";
        int refusals = 0;
        for (std::size_t at = log.find(refusal); at != std::string::npos; at = log.find(refusal, at + 1))
            ++refusals;
        EXPECT_EQ(refusals, refused ? 2 : 0);
    }
}

TEST_F(Configuration, TheShippedFilesLoadWithTheirCountriesAndMappings)
{
    for (const char* path : {SettingsPath, MappingPath})
        std::filesystem::copy_file(std::string(VELMAR_SHARE_DIR) + "/" + path, Shared(path));
    ConfigurationService service(SettingsPath, MappingPath, StartDownloadServices);
    std::vector<std::string> languages;
    for (const auto& country : service.GetSettingsFile().databaseSettings.Items())
        for (const auto& language : country.languages.Items())
            languages.push_back(HostText::Utf8(country.countryCode.Get()) + "/" + HostText::Utf8(language.code.Get()));
    EXPECT_EQ(languages, (std::vector<std::string>{"BE/nl-BE", "BE/fr-BE", "NL/nl-NL", "INT/en-US"}));
    EXPECT_TRUE(service.IsBrandLessEnabled());
    const auto& mapping = service.GetMappingFile();
    for (const char* key : {"RTF", "BRANDWERENDHEID", "ASIRW", "LUCHTGELUIDISOLATIE_DNT_A_K", "DILATATIE", "Weight"})
        EXPECT_NE(Velmar::Cnf::FindProperty(mapping.properties.Items(), key), nullptr) << key;
    EXPECT_FALSE(mapping.wallClassifications.Items().IsEmpty());
    EXPECT_EQ(HostText::Utf8(Velmar::Services::ConfigurationService::ActiveMapping()->version.Get()),
              HostText::Utf8(mapping.version.Get()));
}

}  // namespace

// The "ACAPI" functions as a page calls them, with the module's code and the simulated host's table.
#include "AcapiBridge.hpp"
#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "ConfigurationService.hpp"
#include "DownloadServices.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "PaletteController.hpp"
#include "RecordingWindow.hpp"
#include "RuleProject.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>

extern "C" const RS::ModuleData GSResourceModuleData;

namespace {

using namespace brixlab::xdWebEngine;
using brixlab::controllers::PaletteController;
using Velmar::Testing::ReadFile;
using Velmar::Testing::WriteFile;
using Answer = GS::Ref<JS::Base>;

using Velmar::Testing::RecordingWindow;

// In the order a page's script finds them, each followed by a space.
const std::string FunctionNames =
    "getVersionInfo setWindowTitle "
    "config_getDatabaseConfiguration config_getActiveCountryAndLanguage config_setActiveCountryAndLanguage "
    "config_openUrl config_close config_resize "
    "download_productDetails download_getComposites download_processDownload download_close download_resize "
    "rules_getRules rules_getProperties rules_runRules rules_resize rules_close "
    "ruleresult_getResults ruleresult_highlightElements ruleresult_resize ruleresult_close "
    "update_getSystemsToUpdate update_runUpdate update_resize update_close "
    "lod_getLodStatus lod_updateLower lod_updateAll lod_resize lod_close ";

class Bridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        host_.OpenResources(&GSResourceModuleData);
        Velmar::Host::SetHostFunctions(&Sim::HostFunctions());
        WriteFile(
            root_ / "data/user/settings.json",
            R"({"version":"1","databaseSettings":[{"countryCode":"BE","languages":[{"code":"nl-BE"},{"code":"fr-BE"}]}],)"
            R"("defaultCountry":"BE","defaultLanguage":"nl-BE"})");
        Velmar::Services::ConfigurationService::Replace(std::make_shared<Velmar::Services::ConfigurationService>(
            "settings.json", "mapping.json", Velmar::Services::StartDownloadServices));
        const auto controller = PaletteController::instance();
        for (const auto id : {PaletteIdentifiers::Config, PaletteIdentifiers::Rules, PaletteIdentifiers::Result}) {
            controller->AddFactory(id, [this, id] { return windows_[id] = std::make_shared<RecordingWindow>(); });
            controller->AddTitle(id, "window");
            controller->AddSize(id, {1244, 788});
            controller->AddAddressProvider(id, [] { return GS::UniString("https://app.velmar.example/page"); });
        }
        acapi_.reset(CreateAcapiObject(caller_, [this] { return pageAddress_; }));
    }
    void TearDown() override { Velmar::Host::SetHostFunctions(nullptr); }

    Answer Call(const char* name, const Answer& argument = nullptr)
    {
        const auto function = acapi_->FindFunction(name);
        EXPECT_NE(function, nullptr) << name;
        return function != nullptr ? function->Invoke(argument) : nullptr;
    }
    static Answer Text(const std::string& text) { return Answer(new JS::Value(HostText::Uni(text))); }
    static std::string Describe(const Answer& answer)
    {
        const auto value = GS::DynamicCast<JS::Value>(answer);
        if (value == nullptr)
            return answer == nullptr ? "null" : "array";
        switch (value->GetType()) {
            case JS::Value::BOOL:
                return value->GetBool() ? "true" : "false";
            case JS::Value::STRING:
                return HostText::Utf8(value->GetString());
            default:
                return "undefined";
        }
    }
    std::vector<std::string> Reports()
    {
        std::vector<std::string> texts;
        for (const auto& report : host_.Reports())
            texts.push_back(report.text + (report.alert ? "" : " (no alert)"));
        host_.Reports().clear();
        return texts;
    }

    Velmar::Testing::TempFolder root_;
    Sim::Archicad host_{root_ / "data"};
    RecordingWindow caller_;
    GS::UniString pageAddress_{"https://app.velmar.example/configuration"};
    std::map<PaletteIdentifiers, std::shared_ptr<RecordingWindow>> windows_;
    std::unique_ptr<JS::Object> acapi_;
};

TEST_F(Bridge, RegistersTheThirtyOneFunctionsInOrder)
{
    ASSERT_EQ(HostText::Utf8(acapi_->GetName()), "ACAPI");
    std::string names;
    for (const auto& item : acapi_->GetItemArray())
        names += HostText::Utf8(GS::DynamicCast<JS::Function>(item)->GetName()) + " ";
    EXPECT_EQ(names, FunctionNames);
}

TEST_F(Bridge, OnlyTheBrandsPagesReachTheModule)
{
    struct Case {
        const char* address;
        bool answered;
    };
    const Case cases[] = {
        {"https://app.velmar.example/configuration", true},
        {"https://app.velmar.example", true},
        {"HTTPS://APP.VELMAR.EXAMPLE/lod?x=1", true},
        {"https://app.velmar.example#top", true},
        {"https://app.velmar.example.evil.example/", false},
        {"http://app.velmar.example/configuration", false},
        {"https://evil.example/?https://app.velmar.example/", false},
        {"", false},
    };
    for (const auto& c : cases) {
        pageAddress_ = c.address;
        caller_.title.clear();
        EXPECT_EQ(Describe(Call("getVersionInfo", Text("ignored"))), c.answered ? "v2.0.1" : "undefined") << c.address;
        EXPECT_EQ(Describe(Call("config_getActiveCountryAndLanguage")) != "undefined", c.answered) << c.address;
        EXPECT_EQ(Describe(Call("setWindowTitle", Text("Réglages"))), c.answered ? "true" : "undefined") << c.address;
        EXPECT_EQ(caller_.title, c.answered ? "Réglages" : "") << c.address;
    }
    EXPECT_TRUE(Reports().empty()) << "a refused page is logged, not reported to the user";
    const std::string log = ReadFile(root_ / "data/user/velmar/archicad/log.txt");
    EXPECT_NE(
        log.find(
            "refused config_getActiveCountryAndLanguage from https://evil.example/?https://app.velmar.example/\r\n"),
        std::string::npos);
}

TEST_F(Bridge, BadArgumentsAreReportedAndAnsweredWithUndefined)
{
    const Answer object(new JS::Array());
    const std::string huge(1 << 20, '{');
    struct Case {
        const char* function;
        Answer argument;
        const char* report;
    };
    const Case cases[] = {
        {"config_setActiveCountryAndLanguage", object, "failed\n Bad cast."},
        {"config_setActiveCountryAndLanguage", nullptr, "failed\n the argument is not a JSON object"},
        {"config_setActiveCountryAndLanguage", Text("not json"), "failed\n the argument is not a JSON object"},
        {"config_setActiveCountryAndLanguage", Text("[\"BE\",\"fr-BE\"]"),
         "failed\n the argument is not a JSON object"},
        {"config_setActiveCountryAndLanguage", Text(huge), "failed\n the argument is not a JSON object"},
        {"config_setActiveCountryAndLanguage", Text(R"({"countryCode":"BE"})"),
         "failed\n a choice needs countryCode and languageCode"},
        {"config_resize", Answer(new JS::Value(true)), "failed\n the argument is not a JSON object"},
        {"rules_resize", Text(R"({"x":"800","y":600})"), "failed\n a resize request needs x and y"},
        {"lod_resize", object, "failed\n Bad cast."},
        {"config_openUrl", object, "failed\n Bad cast."},
        {"ruleresult_highlightElements", object, "failed\n Bad cast."},
        {"rules_runRules", object, "failed\n Bad cast."},
        {"rules_runRules", Text("[]"), "failed\n the argument is not a JSON object"},
        // A standard exception from deep inside a service is the user's to see as much as the host's own.
        {"rules_runRules", Text(R"({"activeRules":[{"Label":"Maximale lengte"}],"targetProperties":[]})"),
         "failed\n invalid stod argument"},
    };
    // Check compares the wall's length with an expansion-joint length that is no number.
    const GS::Guid system = HostGuid::New();
    host_.CurrentProject().StoreModuleData(
        HostText::Utf8(system.ToUniString()),
        Sim::UserData{1, 0x5757, Velmar::Testing::SystemText("SYS-C", {{"DILATATIE", "", "abc", "String"}}) + '\0'});
    Sim::Element wall = Sim::NewElement(API_WallID);
    wall.record.wall.endC = API_Coord{12.0, 0.0};
    wall.userData = Velmar::Testing::LinkData(system);
    host_.PlaceElement(wall);
    const std::string settingsBefore = ReadFile(root_ / "data/user/settings.json");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.function) + " " + c.report);
        EXPECT_EQ(Describe(Call(c.function, c.argument)), "undefined");
        EXPECT_EQ(Reports(), std::vector<std::string>{c.report});
    }
    EXPECT_EQ(ReadFile(root_ / "data/user/settings.json"), settingsBefore) << "no bad call changed the settings";
    EXPECT_THROW(Call("setWindowTitle", object), GS::ClassCastException) << "raised to the page's script engine";
}

TEST_F(Bridge, ConfigurationFunctionsReadAndStoreTheChoice)
{
    EXPECT_EQ(Describe(Call("config_getDatabaseConfiguration")),
              R"([{"countryCode":"BE","languages":[{"code":"nl-BE"},{"code":"fr-BE"}]}])");
    EXPECT_EQ(Describe(Call("config_getActiveCountryAndLanguage")), R"({"countryCode":"BE","languageCode":"nl-BE"})");

    PaletteController::instance()->OpenWindow(PaletteIdentifiers::Config);
    ASSERT_TRUE(windows_[PaletteIdentifiers::Config]->visible);
    EXPECT_EQ(
        Describe(Call("config_setActiveCountryAndLanguage", Text(R"({"countryCode":"BE","languageCode":"fr-BE"})"))),
        "true");
    EXPECT_FALSE(windows_[PaletteIdentifiers::Config]->visible) << "the page closes with the choice";
    EXPECT_NE(ReadFile(root_ / "data/user/settings.json").find(R"("defaultLanguage":"fr-BE")"), std::string::npos);
    EXPECT_EQ(Describe(Call("config_getActiveCountryAndLanguage")), R"({"countryCode":"BE","languageCode":"fr-BE"})");

    EXPECT_EQ(Describe(Call("config_openUrl", Text("https://www.velmar.example/help"))), "true");
    ASSERT_EQ(host_.ShellRequests().size(), 1u);
    EXPECT_EQ(host_.ShellRequests()[0].address, "https://www.velmar.example/help");
    EXPECT_TRUE(Reports().empty());
}

TEST_F(Bridge, WindowFunctionsActOnlyOnOpenWindows)
{
    struct Case {
        const char* function;
        const char* argument;
        const char* answer;
        std::pair<Int16, Int16> size;  // of the Rules window afterwards
    };
    PaletteController::instance()->OpenWindow(PaletteIdentifiers::Rules);
    const auto rules = windows_[PaletteIdentifiers::Rules];
    const Case cases[] = {
        {"rules_resize", R"({"x":800,"y":600})", "true", {800, 600}},
        {"rules_resize", R"({"X":1000,"Y":500,"z":1})", "true", {1000, 500}},
        {"rules_resize", R"({"x":70000,"y":-3})", "true", {4464, -3}},  // the low 16 bits, as JSON integers read
        {"config_resize", R"({"x":10,"y":10})", "true", {4464, -3}},    // no Config window: nothing happens
        {"rules_close", nullptr, "true", {4464, -3}},
        {"rules_close", nullptr, "true", {4464, -3}},
        {"config_close", nullptr, "undefined", {4464, -3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.function) + " " + (c.argument ? c.argument : ""));
        EXPECT_EQ(Describe(Call(c.function, c.argument ? Text(c.argument) : nullptr)), c.answer);
        EXPECT_EQ(rules->size, c.size);
    }
    EXPECT_FALSE(rules->visible);
    EXPECT_EQ(windows_.count(PaletteIdentifiers::Config), 0u) << "closing or resizing never opens a window";
    EXPECT_TRUE(Reports().empty());
}

TEST_F(Bridge, HighlightingSelectsTheGivenElementsOnly)
{
    const API_Guid wall = host_.CreateElement(API_WallID);
    const API_Guid slab = host_.CreateElement(API_SlabID);
    host_.Select({slab});
    const std::string wallText = HostText::Utf8(APIGuidToString(wall));
    struct Case {
        std::string argument;
        std::vector<API_Guid> selected;
    };
    const Case cases[] = {
        {"[\"" + wallText + "\"]", {wall}},
        {"[\"" + wallText + "\", 5, \"no guid\"]", {wall}},
        {"[]", {}},
        {"{\"a\":1}", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Describe(Call("ruleresult_highlightElements", Text(c.argument))), "true") << c.argument;
        const auto& selection = host_.CurrentProject().Selection();
        EXPECT_EQ(selection.size(), c.selected.size()) << c.argument;
        EXPECT_TRUE(std::equal(selection.begin(), selection.end(), c.selected.begin(), c.selected.end(),
                               [](const API_Guid& a, const API_Guid& b) { return a == b; }));
        EXPECT_EQ(host_.ZoomedTo().size(), c.selected.size()) << "the view zooms to the selection";
    }
}

}  // namespace

#include "Startup.hpp"
#include "DGHost.hpp"
#include "HostText.hpp"
#include "SimHost.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Velmar::Testing::SimHost;

const std::vector<std::string> StartupLines = {
    "Velmar Plugin Loading configuration", "inserting LODs", "Velmar Plugin attaching handlers", "Menu Translated",
    "Velmar Plugin initialised",
};

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool DS01HandlerInstalled(Sim::Archicad& host)
{
    return host.CommandHandler({Velmar::AddOn::SelectedSystemCommand, 1}) != nullptr;
}

TEST(Startup, IdentifiesItselfRegistersSixMenusInDutchAndLogsItsSteps)
{
    SimHost sim;
    ASSERT_TRUE(sim.Loaded()) << sim->GetAddOn().error;
    const Sim::AddOnState& addOn = sim->GetAddOn();
    EXPECT_EQ(HostText::Utf8(addOn.name), "Velmar");
    EXPECT_EQ(HostText::Utf8(addOn.description), "v2.0.1");
    EXPECT_EQ(addOn.type, APIAddon_Preload);
    EXPECT_EQ(addOn.registerResult, NoError);
    EXPECT_EQ(addOn.initializeResult, NoError);
    EXPECT_TRUE(addOn.keepInMemory);
    EXPECT_TRUE(sim->IsServiceRegistered({Velmar::AddOn::SelectedSystemCommand, 1}));
    EXPECT_TRUE(DS01HandlerInstalled(sim.Host()));

    std::vector<Int16> order;
    for (const auto& menu : sim->Menus())
        order.push_back(menu.id);
    EXPECT_EQ(order, (std::vector<Int16>{32500, 32504, 32502, 32501, 32503, 32505}));

    auto expected = StartupLines;
    expected.push_back("Modules flushed");  // the host's first project arrives after start-up
    EXPECT_EQ(sim.LogLines(), expected);

    // Without a configured language the menus show Dutch; the Lod menu keeps its own texts.
    const std::pair<Int16, const char*> texts[] = {
        {32500, "Zoeken"}, {32504, "Controleer"}, {32502, "Update"}, {32503, "Instellingen"}, {32505, "Neutraal"},
    };
    for (const auto& [menu, text] : texts)
        EXPECT_EQ(sim.ItemText(menu, 1), text) << menu;
    for (Int32 item = 1; item <= 5; ++item)
        EXPECT_EQ(sim.ItemText(32501, item), "Lod " + std::to_string(item * 100));
    EXPECT_EQ(HostText::Utf8(sim->FindMenu(32501)->submenu), "Lod");
}

// Menu handler failures are logged in ascending list order.
TEST(Startup, EachFailingStartupStepIsLoggedAndOnlyTheNewElementHandlerFailsInitialize)
{
    struct Case {
        const char* operation;
        int times;
        std::vector<std::string> logged;  // one after the other
        bool initializeFails;
        bool handlerInstalled;
    };
    std::vector<std::string> everyMenu;
    for (int k = 1; k <= 6; ++k)
        everyMenu.push_back("Velmar Plugin failed to register menu item " + std::to_string(k));
    const Case cases[] = {
        {"ACAPI_MenuItem_InstallMenuHandler", 1, {everyMenu[0]}, false, true},
        {"ACAPI_MenuItem_InstallMenuHandler", Sim::FaultInjector::Every, everyMenu, false, true},
        {"ACAPI_Notification_CatchSelectionChange",
         1,
         {"Velmar Plugin failed: failed to attach Selection changed handler"},
         false,
         true},
        {"ACAPI_Element_InstallElementObserver",
         1,
         {"Velmar Plugin failed: failed to install elements observer"},
         false,
         true},
        {"ACAPI_ProjectOperation_CatchProjectEvent",
         1,
         {"Velmar Plugin failed: failed to attach projects handler"},
         false,
         true},
        {"ACAPI_Element_CatchNewElement",
         1,
         {"Velmar Plugin failed: failed to attach new elements handler"},
         true,
         false},
        {"ACAPI_AddOnIntegration_InstallModulCommandHandler", 1, {}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " x" + std::to_string(c.times));
        SimHost sim([&](Sim::Archicad& host) { host.Faults().Arm(c.operation, APIERR_GENERAL, c.times); });
        ASSERT_TRUE(sim.Loaded());
        EXPECT_EQ(sim->GetAddOn().initializeResult, c.initializeFails ? APIERR_GENERAL : NoError);
        EXPECT_EQ(DS01HandlerInstalled(sim.Host()), c.handlerInstalled);
        const auto lines = sim.LogLines();
        EXPECT_TRUE(std::search(lines.begin(), lines.end(), c.logged.begin(), c.logged.end()) != lines.end())
            << "not logged in this order from: " << (c.logged.empty() ? "" : c.logged.front());
        for (const auto& line : StartupLines)
            EXPECT_TRUE(Contains(lines, line)) << line;
    }
}

TEST(Startup, RegistrationFailuresReachTheHostAndItsDebugOutput)
{
    struct Case {
        const char* operation;
        int times;
        GSErrCode registerResult;
        bool serviceRegistered;
    };
    const Case cases[] = {
        // One error variable is overwritten by each menu: only a failure of the last menu is seen.
        {"ACAPI_MenuItem_RegisterMenu", 1, NoError, true},
        {"ACAPI_MenuItem_RegisterMenu", Sim::FaultInjector::Every, APIERR_BADID, false},
        {"ACAPI_AddOnAddOnCommunication_RegisterSupportedService", 1, APIERR_BADID, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " x" + std::to_string(c.times));
        SimHost sim([&](Sim::Archicad& host) { host.Faults().Arm(c.operation, APIERR_BADID, c.times); });
        EXPECT_EQ(sim->GetAddOn().registerResult, c.registerResult);
        EXPECT_EQ(sim->IsServiceRegistered({Velmar::AddOn::SelectedSystemCommand, 1}), c.serviceRegistered);
        EXPECT_EQ(Contains(sim->DebugLines(), "failed to register menu "), c.registerResult != NoError);
    }
}

TEST(Startup, AFileInThePlaceOfTheLogFolderFailsStartupWithoutCrashingTheHost)
{
    SimHost sim([](Sim::Archicad& host) { std::ofstream(host.DataRoot() + "/user/velmar") << "not a folder"; });
    ASSERT_TRUE(sim.Loaded());
    EXPECT_EQ(sim->GetAddOn().initializeResult, APIERR_GENERAL);
    const auto debug = sim->DebugLines();
    ASSERT_FALSE(debug.empty());
    EXPECT_NE(debug.back().find("Failed to ensure directory velmar"), std::string::npos) << debug.back();
}

// Each command logs what it loads before any dialog of it runs, and the end of the routine after it; the
// selector's address names the relay channel, which every Search reuses.
TEST(MenuCommands, EachCommandLogsWhatItLoadsAroundTheDialogItRuns)
{
    struct Case {
        Int16 menu;
        Int32 item;
        const char* line;
        const char* dialog;  // the title of the modal dialog it runs until the user closes it; empty for none
    };
    const Case cases[] = {
        {32500, 1, "Loading selector", ""},
        {32501, 3, "Loading LOD menu", ""},  // no composite the add-on built: no LOD page
        {32502, 1, "Loading update", "Update"},
        {32504, 1, "Loading Rules", "Rules"},
        {32503, 1, "Loading settings", "Config"},
        {32505, 1, "Changing Neutral settings", ""},
    };
    SimHost sim([](Sim::Archicad& host) { host.InstallSharedData(VELMAR_SHARE_DIR); });
    EXPECT_EQ(sim.ItemFlags(32501, 1), API_MenuItemChecked) << "LOD 100 at start";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string dialog;
        std::string lastLineThen;
        sim->Loop().Post([&] {
            for (auto windows = DG::ListWindows(); !windows.empty(); windows.pop_back()) {
                dialog = HostText::Utf8(windows.back().title);
                lastLineThen = sim.LogLines().back();
                DG::CloseWindowAsUser(windows.back().id);
            }
        });
        EXPECT_EQ(sim->ChooseMenuItem(c.menu, c.item), NoError);
        sim->Loop().RunUntilIdle();
        EXPECT_EQ(dialog, c.dialog);
        if (*c.dialog != '\0') {
            EXPECT_EQ(lastLineThen, c.line) << "logged before the dialog runs";
        }
        const auto lines = sim.LogLines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
                  (std::vector<std::string>{c.line, "menu routine terminated"}));
    }
    for (Int32 item = 1; item <= 5; ++item)
        EXPECT_EQ(sim.ItemFlags(32501, item), item == 3 ? API_MenuItemChecked : 0) << "the chosen level only: " << item;

    // Search again reuses the relay channel of the first.
    ASSERT_EQ(sim->ChooseMenuItem(32500, 1), NoError);
    const auto& opened = sim->ShellRequests();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].verb, "open");
    EXPECT_EQ(opened[0].address, opened[1].address);
    GS::Guid guid;
    EXPECT_EQ(guid.ConvertFromString(opened[0].address.substr(opened[0].address.find("?BimId=") + 7).c_str()), NoError)
        << opened[0].address;
    EXPECT_FALSE(guid.IsNull());
}

// A menu step the host refuses is reported once, its marks stay what the project holds, and the same
// choice works once the host complies.
TEST(MenuCommands, AMenuStepTheHostRefusesIsReportedOnceAndKeepsItsMarks)
{
    struct Case {
        Int16 menu;
        Int32 item;
        const char* operation;
        std::string report;
        GSFlags after;  // the chosen item's flags once the host complies
    };
    const Case cases[] = {
        {32505, 1, "ACAPI_CallUndoableCommand",
         "setting property was refused by the host (" + std::to_string(APIERR_GENERAL) + ")", API_MenuItemChecked},
        {32501, 3, "ACAPI_ModulData_Store",
         "the level of detail could not be stored in the project (" + std::to_string(APIERR_GENERAL) + ")",
         API_MenuItemChecked},
    };
    for (const Case& c : cases) {
        SimHost sim([](Sim::Archicad& host) { host.InstallSharedData(VELMAR_SHARE_DIR); });
        const GSFlags before = sim.ItemFlags(c.menu, c.item);
        const GSFlags firstLod = sim.ItemFlags(32501, 1);
        sim->Faults().Arm(c.operation, APIERR_GENERAL, 1);
        ASSERT_EQ(sim->ChooseMenuItem(c.menu, c.item), NoError) << c.operation;
        EXPECT_EQ(sim.ItemFlags(c.menu, c.item), before) << c.operation;
        EXPECT_EQ(sim.ItemFlags(32501, 1), firstLod) << c.operation;
        ASSERT_EQ(sim->Reports().size(), 1u) << c.operation;
        EXPECT_EQ(sim->Reports()[0].text, "failed\n " + c.report);
        ASSERT_EQ(sim->ChooseMenuItem(c.menu, c.item), NoError) << c.operation;
        EXPECT_EQ(sim.ItemFlags(c.menu, c.item), c.after) << c.operation;
    }
}

// Neutral stays off and disabled without a brand-less country.
TEST(MenuCommands, UnknownItemsOnlyEndTheRoutineAndNeutralNeedsABrandLessCountry)
{
    SimHost sim;
    EXPECT_EQ(sim.ItemFlags(32505, 1), API_MenuItemDisabled);
    EXPECT_EQ(sim->ChooseMenuItem(32505, 1), APIERR_REFUSEDCMD);
    const auto before = sim.LogLines().size();
    API_MenuParams params = {};
    params.menuItemRef = {32000, 1};
    ASSERT_NE(sim->FindMenu(32500)->handler, nullptr);
    EXPECT_EQ(sim->FindMenu(32500)->handler(&params), NoError);
    const auto lines = sim.LogLines();
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_EQ(lines.back(), "menu routine terminated");
}

}  // namespace

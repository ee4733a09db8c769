// The add-on's windows as the loaded module opens them from its menus, with the host's loop running
// nested while a dialog is open.
#include "DGBrowser.hpp"
#include "DGHost.hpp"
#include "SimHost.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Velmar::Testing::SimHost;

constexpr Int16 SettingsMenu = 32503;
constexpr Int16 CheckMenu = 32504;
constexpr Int32 RulesWindow = 1;
constexpr Int32 ConfigWindow = 2;

struct Seen {
    DG::WindowInfo window;
    Int32 loads = 0;
    int loopDepth = 0;
    std::size_t openWindows = 0;
};

Seen Look(SimHost& host, Int32 id)
{
    Seen seen;
    seen.window = DG::FindWindow(id).value_or(DG::WindowInfo{});
    if (const DG::Browser* browser = DG::FindWindowBrowser(id))
        seen.loads = browser->GetLoadCount();
    seen.loopDepth = host->Loop().Depth();
    seen.openWindows = DG::ListWindows().size();
    return seen;
}

// A user's close of every open window, front first: ends any modal run however deeply they nest.
void CloseAll()
{
    for (auto windows = DG::ListWindows(); !windows.empty(); windows.pop_back())
        DG::CloseWindowAsUser(windows.back().id);
}

// A page reaches the module by the address its window shows now, not the one the window opened at.
TEST(ModuleWindows, TheConfigDialogAnswersOnlyThePageItShowsNow)
{
    SimHost host;
    ASSERT_TRUE(host.Loaded());
    DG::FunctionCallResult closed;
    host->Loop().Post([&] {
        DG::FollowLinkAsUser(ConfigWindow, "https://evil.example/x");
        DG::CallBrowserFunction(ConfigWindow, "config_getDatabaseConfiguration", nullptr);
        DG::FollowLinkAsUser(ConfigWindow, "https://app.velmar.example/configuration");
        closed = DG::CallBrowserFunction(ConfigWindow, "config_close", nullptr);
    });
    // Only reached when the page's close left the dialog open.
    host->Loop().Post(CloseAll);
    EXPECT_EQ(host->ChooseMenuItem(SettingsMenu, 1), NoError);
    EXPECT_TRUE(host->Loop().HasPendingTasks()) << "config_close did not end the modal run";

    EXPECT_EQ(closed.status, DG::FunctionCallResult::Answered);
    EXPECT_TRUE(DG::ListWindows().empty());
    const auto log = host.LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "refused config_getDatabaseConfiguration from https://evil.example/x"),
              log.end());
}

// A second Check while Rules is open opens no second dialog; a closed Config dialog is gone, so Settings makes
// a fresh one (a kept one would have been reloaded, address and reload, before showing).
TEST(ModuleWindows, CheckingAgainOpensNoSecondDialogAndSettingsMakesAFreshOne)
{
    SimHost host;
    ASSERT_TRUE(host.Loaded());
    GSErrCode again = APIERR_GENERAL;
    Seen seen;
    host->Loop().Post([&] { again = host->ChooseMenuItem(CheckMenu, 1); });
    host->Loop().Post([&] {
        seen = Look(host, RulesWindow);
        CloseAll();
    });
    EXPECT_EQ(host->ChooseMenuItem(CheckMenu, 1), NoError);
    EXPECT_EQ(again, NoError);
    EXPECT_EQ(seen.openWindows, 1u);
    EXPECT_EQ(seen.loopDepth, 1) << "a second dialog would have nested the loop again";
    EXPECT_EQ(seen.window.title, "Rules");
    EXPECT_TRUE(host->DebugLines().empty()) << "a second modal run of the same dialog: " << host->DebugLines().front();

    std::vector<Int32> loads;
    for (int run = 0; run < 2; ++run) {
        host->Loop().Post([&] {
            loads.push_back(Look(host, ConfigWindow).loads);
            CloseAll();
        });
        ASSERT_EQ(host->ChooseMenuItem(SettingsMenu, 1), NoError);
    }
    EXPECT_EQ(loads, (std::vector<Int32>{1, 1}));
}

}  // namespace

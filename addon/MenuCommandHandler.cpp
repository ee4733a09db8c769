#include "MenuCommandHandler.hpp"

#include "ACAPinc.hpp"
#include "EventHandlers.hpp"
#include "GSDebug.hpp"
#include "GSException.hpp"
#include "HostBoundary.hpp"
#include "LodChangeInformation.hpp"
#include "LodProvider.hpp"
#include "Logger.hpp"
#include "MenuIds.hpp"
#include "MenuMarks.hpp"
#include "PaletteController.hpp"
#include "ProjectSettings.hpp"
#include "PropertyProvider.hpp"
#include "SimpleHttpPoller.hpp"
#include "Startup.hpp"
#include "State.hpp"
#include "WebApplication.hpp"

#include <optional>
#include <string>

namespace Velmar::AddOn {

namespace {

using brixlab::controllers::PaletteController;
using brixlab::xdWebEngine::PaletteIdentifiers;

constexpr Int32 ShowNormal = 1;
// Made by the first Search; read by the poller thread, which starts after it is set.
std::optional<GS::Guid> relayChannelId;

// What the relay hands over must look like a product id before the host is asked to load it: the page
// is outside the add-on, and the id ends up in a query and in a 255-character tag.
bool IsProductId(const GS::UniString& text)
{
    if (text.IsEmpty() || text.GetLength() > 255)
        return false;
    for (UIndex i = 0; i < text.GetLength(); ++i) {
        if (text[i] < 0x20 || text[i] == 0x7F)
            return false;
    }
    return true;
}

void Search(Int32)
{
    OpenSelector([](const GS::Guid& channelId) {
        const GS::UniString address = App::State::instance()->selectorUrl + "?BimId=" + channelId.ToUniString();
        // The selector page opens in the user's own browser; the choice comes back through the relay.
        if (const GSErrCode err = Shell_Execute("open", address, ShowNormal); err != NoError)
            DBPrintf("Velmar: the selector page was not opened (%d)\n", err);
    });
}

// The level holds, and its item is checked, once the project has stored it; refused, the level and the
// marks stay as they were and the user is told.
void ChangeLod(Int32 itemIndex)
{
    const auto provider = Lod::LodProvider::instance();
    const auto before = provider->GetActive();
    if (const auto index = provider->FindByValue(itemIndex * 100))
        provider->SetActive(provider->GetLevels()[*index]);
    if (const GSErrCode err = App::SaveProjectSettings(); err != NoError) {
        if (before)
            provider->SetActive(*before);
        throw GS::GeneralException(GS::UniString(
            ("the level of detail could not be stored in the project (" + std::to_string(err) + ")").c_str()));
    }
    Menus::CheckOnlyLodItem(itemIndex);
    // Composites built at another level are brought to the new one only when the user says so, on the LOD page.
    const auto change = Lod::ComputeLodChangeInformation(*provider);
    if (change.hasElementsWithLowerLod.ValueOr(false) || change.hasElementsWitHigherLod.ValueOr(false)) {
        const auto controller = PaletteController::instance();
        controller->ReloadWindow(PaletteIdentifiers::Lod);
        controller->OpenWindow(PaletteIdentifiers::Lod);
    }
}

void SetLod(Int32 itemIndex)
{
    ReportedAtHostBoundary("Changing the LOD", [itemIndex] {
        ChangeLod(itemIndex);
        return NoError;
    });
}

void Update(Int32)
{
    const auto controller = PaletteController::instance();
    controller->ReloadWindow(PaletteIdentifiers::Update);
    controller->OpenWindow(PaletteIdentifiers::Update);
}

void Settings(Int32)
{
    const auto controller = PaletteController::instance();
    controller->ReloadWindow(PaletteIdentifiers::Config);
    // Modal: returns once the page has stored its choice and closed, so the menus show the new language.
    controller->OpenWindow(PaletteIdentifiers::Config);
    TranslateMenus();
    if (const auto language = App::State::instance()->languageIndex)
        ReportedAtHostBoundary("Renaming Velmar properties", [&] {
            Services::PropertyProvider::instance()->RefreshDefinitions(*language);
            return NoError;
        });
}

void Check(Int32)
{
    const auto controller = PaletteController::instance();
    controller->CloseWindow(PaletteIdentifiers::Result);
    controller->ReloadWindow(PaletteIdentifiers::Rules);
    controller->OpenWindow(PaletteIdentifiers::Rules);
}

void ToggleNeutral(Int32)
{
    const auto state = App::State::instance();
    const bool before = state->IsNeutral();
    state->SetNeutral(!before);
    // A re-apply that ends early is reported; Archicad keeps the walls it wrote as a step of their own,
    // which Edit > Undo takes back, so the mark goes back to the setting the project was written with.
    if (ReportedAtHostBoundary("Re-applying Velmar properties", [] {
            Services::PropertyProvider::instance()->ReapplyToAll();
            return NoError;
        }) != NoError)
        state->SetNeutral(before);
}

struct MenuCommand {
    Int16 menu;
    bool firstItemOnly;
    const char* logLine;
    void (*run)(Int32 itemIndex);
};

constexpr MenuCommand MenuCommands[] = {
    {Menus::SearchMenu, true, "Loading selector", Search},
    {Menus::LodMenu, false, "Loading LOD menu", SetLod},
    {Menus::UpdateMenu, false, "Loading update", Update},
    {Menus::SettingsMenu, false, "Loading settings", Settings},
    {Menus::CheckMenu, false, "Loading Rules", Check},
    {Menus::NeutralMenu, false, "Changing Neutral settings", ToggleNeutral},
};

}  // namespace

void OpenSelector(const std::function<void(const GS::Guid& channelId)>& callback)
{
    const auto poller = brixlab::SimpleHttpPoller::instance();
    if (!poller->HasThread()) {
        GS::Guid channelId;
        if (const GSErrCode err = channelId.Generate(); err != NoError)
            throw GS::GeneralException(
                GS::UniString(("no relay channel id could be made (" + std::to_string(err) + ")").c_str()), __FILE__,
                __LINE__);
        relayChannelId = channelId;
        poller->Start(
            brixlab::xdWebEngine::RelayServiceAddress,
            [](const GS::UniString& payload) { return IsProductId(payload) && HandOverSystem(OwnModulID, payload); },
            [] { return *relayChannelId; });
    }
    callback(*relayChannelId);
}

namespace {
GSErrCode RunMenuCommand(const API_MenuParams* menuParams)
{
    const auto log = Services::logger::instance();
    const API_MenuItemRef& item = menuParams->menuItemRef;
    for (const auto& command : MenuCommands) {
        if (command.menu != item.menuResID || (command.firstItemOnly && item.itemIndex != 1))
            continue;
        log->log(command.logLine);
        command.run(item.itemIndex);
        break;
    }
    log->log("menu routine terminated");
    ACAPI_KeepInMemory(true);
    return NoError;
}
}  // namespace

GSErrCode MenuCommandHandler(const API_MenuParams* menuParams)
{
    return AtHostBoundary("menu command", [menuParams] { return RunMenuCommand(menuParams); });
}

}  // namespace Velmar::AddOn

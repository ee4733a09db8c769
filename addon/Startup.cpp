#include "Startup.hpp"

#include "ACAPinc.hpp"
#include "BrowserDialog.hpp"
#include "BrowserPalette.hpp"
#include "ConfigurationService.hpp"
#include "DownloadServices.hpp"
#include "EventHandlers.hpp"
#include "GSDebug.hpp"
#include "LanguageIndex.hpp"
#include "LodProvider.hpp"
#include "Logger.hpp"
#include "MenuCommandHandler.hpp"
#include "MenuIds.hpp"
#include "PaletteController.hpp"
#include "State.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"
#include "WebApplication.hpp"

namespace Velmar::AddOn {

namespace {

using brixlab::xdWebEngine::PaletteIdentifiers;

constexpr ConfigurationFileNames FilesByVersion[] = {
    {"Velmar/Archicad/DatabaseSettings.23.json", "Velmar/Archicad/PropertyMapping.23.json"},
    {"Velmar/Archicad/DatabaseSettings.24.json", "Velmar/Archicad/PropertyMapping.24.json"},
    {"Velmar/Archicad/DatabaseSettings.25.json", "Velmar/Archicad/PropertyMapping.25.json"},
    {"Velmar/Archicad/DatabaseSettings.26.json", "Velmar/Archicad/PropertyMapping.26.json"},
    {"Velmar/Archicad/DatabaseSettings.27.json", "Velmar/Archicad/PropertyMapping.27.json"},
    {"Velmar/Archicad/DatabaseSettings.28.json", "Velmar/Archicad/PropertyMapping.28.json"},
};
constexpr Int32 FirstVersionWithFiles = 23;

struct MenuRegistration {
    Int16 menu;
    Int16 prompts;
};
constexpr MenuRegistration MenuRegistrations[] = {
    {Menus::SearchMenu, 32520}, {Menus::CheckMenu, 32524},    {Menus::UpdateMenu, 32522},
    {Menus::LodMenu, 32521},    {Menus::SettingsMenu, 32523}, {Menus::NeutralMenu, 32525},
};

struct HandlerInstallation {
    Int16 menu;
    const char* failure;
};
constexpr HandlerInstallation HandlerInstallations[] = {
    {Menus::SearchMenu, "Velmar Plugin failed to register menu item 1"},
    {Menus::LodMenu, "Velmar Plugin failed to register menu item 2"},
    {Menus::UpdateMenu, "Velmar Plugin failed to register menu item 3"},
    {Menus::SettingsMenu, "Velmar Plugin failed to register menu item 4"},
    {Menus::CheckMenu, "Velmar Plugin failed to register menu item 5"},
    {Menus::NeutralMenu, "Velmar Plugin failed to register menu item 6"},
};

struct MenuTranslation {
    Int16 menu;
    GSResID texts;
};
// The Lod menu keeps its registered texts in every language.
constexpr MenuTranslation MenuTranslations[] = {
    {Menus::SearchMenu, 37000},   {Menus::CheckMenu, 37001},   {Menus::UpdateMenu, 37002},
    {Menus::SettingsMenu, 37004}, {Menus::NeutralMenu, 37005},
};

struct LodLevel {
    const char* name;
    bool layered;
    bool detailed;
    Int32 value;
};
constexpr LodLevel LodLevels[] = {
    {"100", false, false, 100}, {"200", false, false, 200}, {"300", true, false, 300},
    {"400", true, false, 400},  {"500", true, true, 500},
};

template <typename Window>
std::shared_ptr<brixlab::xdWebEngine::IBrowserWindow> MakeWindow(PaletteIdentifiers id)
{
    return std::make_shared<Window>(id);
}
using WindowMaker = std::shared_ptr<brixlab::xdWebEngine::IBrowserWindow> (*)(PaletteIdentifiers);
constexpr WindowMaker Dialog = MakeWindow<brixlab::ui::BrowserDialog>;
constexpr WindowMaker Palette = MakeWindow<brixlab::xdWebEngine::BrowserPalette>;

struct WindowRegistration {
    PaletteIdentifiers id;
    const char* title;
    const char* path;
    WindowMaker make;
};
// Only the rule results stay on screen beside the model; every other page holds the user until it closes.
constexpr WindowRegistration WindowRegistrations[] = {
    {PaletteIdentifiers::Config, "Config", "/configuration", Dialog},
    {PaletteIdentifiers::Download, "Download", "/download", Dialog},
    {PaletteIdentifiers::Rules, "Rules", "/rules", Dialog},
    {PaletteIdentifiers::Result, "Result", "/ruleresult", Palette},
    {PaletteIdentifiers::Update, "Update", "/update", Dialog},
    {PaletteIdentifiers::Lod, "Lod", "/lod", Dialog},
};
constexpr Int16 WindowWidth = 1244;
constexpr Int16 WindowHeight = 788;

void Log(const char* message)
{
    Services::logger::instance()->log(message);
}

GS::UniString ConfiguredLanguageCode()
{
    const auto configuration = Services::ConfigurationService::Get();
    const auto code = configuration != nullptr ? configuration->GetLanguageCode() : std::nullopt;
    return code.value_or(GS::UniString());
}

void StoreLanguageIndex()
{
    App::State::instance()->languageIndex = App::LanguageIndexOf(ConfiguredLanguageCode());
}

void InsertLods()
{
    Log("inserting LODs");
    const auto provider = Lod::LodProvider::instance();
    for (const auto& level : LodLevels)
        provider->AddLevel(Bo::LOD(level.name, level.layered, level.detailed, level.value));
    if (const auto index = provider->FindByName("100"))
        provider->SetActive(provider->GetLevels()[*index]);
}

void RegisterWindows()
{
    const auto controller = brixlab::controllers::PaletteController::instance();
    for (const auto& window : WindowRegistrations) {
        controller->AddFactory(window.id, [make = window.make, id = window.id] { return make(id); });
        controller->AddTitle(window.id, window.title);
        const GS::UniString address = GS::UniString(brixlab::xdWebEngine::WebApplicationBase) + window.path;
        controller->AddAddressProvider(window.id, [address] { return address; });
        controller->AddSize(window.id, {WindowWidth, WindowHeight});
    }
}

// One report, not an alert: the step completed, and these values are the ones it may leave.
void ReportSkippedValues(const std::vector<std::pair<GS::UniString, int>>& skipped)
{
    GS::UniString names;
    for (const auto& [property, count] : skipped) {
        const GS::UniString entry = property + UniStringOfUtf8(" (" + std::to_string(count) + " ×)");
        names += names.IsEmpty() ? entry : GS::UniString(", ") + entry;
    }
    ACAPI_WriteReport("%s", false, App::ActiveLanguageText(Menus::SkippedValuesText, names).ToCStr().Get());
}

}  // namespace

std::optional<ConfigurationFileNames> ConfigurationFilesFor(Int32 hostMajorVersion)
{
    const Int32 row = hostMajorVersion - FirstVersionWithFiles;
    if (row < 0 || row >= static_cast<Int32>(std::size(FilesByVersion)))
        return std::nullopt;
    return FilesByVersion[row];
}

API_AddonType CheckEnvironment(API_EnvirParams* envirParams)
{
    const GSResModule resources = ACAPI_GetOwnResModule();
    RSGetIndString(&envirParams->addOnInfo.name, Menus::IdentityStrings, 1, resources);
    RSGetIndString(&envirParams->addOnInfo.description, Menus::IdentityStrings, 2, resources);
    return APIAddon_Preload;
}

GSErrCode RegisterInterface()
{
    const auto files = *ConfigurationFilesFor(HostMajorVersion);
    Services::ConfigurationService::Replace(nullptr);
    Services::ConfigurationService::Replace(std::make_shared<Services::ConfigurationService>(
        files.databaseSettings, files.propertyMapping, Services::StartDownloadServices));
    StoreLanguageIndex();

    // One error variable, overwritten by each menu and tested once after the last.
    GSErrCode err = NoError;
    for (const auto& registration : MenuRegistrations)
        err = ACAPI_MenuItem_RegisterMenu(registration.menu, registration.prompts, MenuCode_UserDef, MenuFlag_Default);
    if (err == NoError)
        err =
            ACAPI_AddOnAddOnCommunication_RegisterSupportedService(SelectedSystemCommand, SelectedSystemCommandVersion);
    if (err != NoError)
        DBPrintf("failed to register menu ");
    return err;
}

GSErrCode Initialize()
{
    StoreLanguageIndex();
    for (const auto& installation : HandlerInstallations) {
        if (ACAPI_MenuItem_InstallMenuHandler(installation.menu, MenuCommandHandler) != NoError)
            Log(installation.failure);
    }
    Log("Velmar Plugin Loading configuration");
    InsertLods();

    Log("Velmar Plugin attaching handlers");
    if (ACAPI_Notification_CatchSelectionChange(SelectionChangeHandler) != NoError)
        Log("Velmar Plugin failed: failed to attach Selection changed handler");
    if (ACAPI_Element_InstallElementObserver(ElementEventHandler) != NoError)
        Log("Velmar Plugin failed: failed to install elements observer");
    if (ACAPI_ProjectOperation_CatchProjectEvent(APINotify_New | APINotify_NewAndReset | APINotify_Open,
                                                 ProjectEventHandler) != NoError)
        Log("Velmar Plugin failed: failed to attach projects handler");
    GSErrCode err = ACAPI_Element_CatchNewElement(nullptr, ElementEventHandler);
    if (err != NoError)
        Log("Velmar Plugin failed: failed to attach new elements handler");
    else
        err = ACAPI_AddOnIntegration_InstallModulCommandHandler(SelectedSystemCommand, SelectedSystemCommandVersion,
                                                                SelectedSystemCommandHandler);

    TranslateMenus();
    App::State::instance()->ShowMarksInMenus();
    SetSkipReport(ReportSkippedValues);
    Log("Menu Translated");
    RegisterWindows();
    Log("Velmar Plugin initialised");
    ACAPI_KeepInMemory(true);
    return err;
}

GSErrCode FreeData()
{
    return NoError;
}

void TranslateMenus()
{
    StoreLanguageIndex();
    const Int32 entry = App::TextEntryFor(*App::State::instance()->languageIndex);
    const GSResModule resources = ACAPI_GetOwnResModule();
    for (const auto& translation : MenuTranslations) {
        GS::UniString text;
        const API_MenuItemRef item{translation.menu, 1};
        if (!RSGetIndString(&text, translation.texts, entry, resources))
            DBPrintf("Velmar: no text %d in string list %d\n", entry, translation.texts);
        else if (const GSErrCode err = ACAPI_MenuItem_SetMenuItemText(&item, nullptr, &text); err != NoError)
            DBPrintf("Velmar: menu %d keeps its text, error %d\n", translation.menu, err);
    }
}

}  // namespace Velmar::AddOn

#include "EventHandlers.hpp"

#include "ACAPinc.hpp"
#include "CompositionService.hpp"
#include "ConfigurationService.hpp"
#include "DownloadManager.hpp"
#include "GSDebug.hpp"
#include "HostBoundary.hpp"
#include "LodProvider.hpp"
#include "Logger.hpp"
#include "MenuCommandHandler.hpp"
#include "MenuIds.hpp"
#include "PaletteController.hpp"
#include "ProjectSettings.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyProvider.hpp"
#include "Startup.hpp"
#include "Utf8Text.hpp"
#include "WallsAndSlabs.hpp"

#include <optional>

namespace Velmar::AddOn {

namespace {

std::optional<API_Guid> lastSelectionKey;

constexpr const char* SystemParameter = "System";

}  // namespace

GSErrCode SelectionChangeHandler(const API_Neig* selElemNeig)
{
    if (selElemNeig == nullptr || (lastSelectionKey && *lastSelectionKey == selElemNeig->guid))
        return NoError;
    lastSelectionKey = selElemNeig->guid;

    API_SelectionInfo info = {};
    GS::Array<API_Neig> selection;
    if (ACAPI_Selection_Get(&info, &selection, false, false, API_InsidePartially) != NoError)
        return NoError;
    GS::Array<API_Guid> observed;
    for (const API_Neig& neig : selection) {
        API_Elem_Head head = {};
        head.guid = neig.guid;
        if (ACAPI_Element_GetHeader(&head, 0) == NoError && Bo::IsWallOrSlab(head.type.typeID))
            observed.Push(head.guid);
    }
    // An element left unobserved only misses later property updates; the rest still get theirs.
    for (const API_Guid& guid : observed) {
        if (const GSErrCode err = ACAPI_Element_AttachObserver(guid, 0); err != NoError)
            DBPrintf("Velmar: no observer on element %s (%d)\n", APIGuidToString(guid).ToCStr().Get(), err);
    }
    return NoError;
}

// Runs inside the host's own command (the user's placed or edited element), so the writes join its undo
// step; a failure of ours is logged and answered, never raised into the host, which would take the user's
// element back with it.
GSErrCode ElementEventHandler(const API_NotifyElementType* elemType)
{
    switch (elemType->notifID) {
        case APINotifyElement_New:
        case APINotifyElement_Copy:
        case APINotifyElement_Change:
            break;
        default:
            return APIERR_NOTSUPPORTED;
    }
    if (!Bo::IsWallOrSlab(elemType->elemHead.type.typeID))
        return NoError;
    return LoggedAtHostBoundary("Writing Velmar properties", [elemType] {
        Services::PropertyProvider::instance()->UpdateElement(elemType->elemHead, false);
        return NoError;
    });
}

GSErrCode ProjectEventHandler(API_NotifyEventID notifID, Int32)
{
    if (notifID != APINotify_New && notifID != APINotify_NewAndReset && notifID != APINotify_Open)
        return NoError;
    return AtHostBoundary("project event", [] {
        if (const auto configuration = Services::ConfigurationService::Get())
            configuration->Apply();
        Services::PropertyProvider::Reset();
        // Only services already in use follow the project; a first use later loads the new one itself.
        if (const auto store = Services::ProjectStore::ProjectStoreService::Existing())
            store->Reload();
        if (const auto compositions = Services::Composition::CompositionService::Existing())
            compositions->RebuildIndex();
        Services::logger::instance()->log("Modules flushed");
        App::LoadProjectSettingsAndMarkLod();
        return NoError;
    });
}

GSErrCode SelectedSystemCommandHandler(GSHandle params, GSPtr, bool)
{
    Int32 count = 0;
    if (params == nullptr || ACAPI_AddOnAddOnCommunication_GetMDCLParameterNum(params, &count) != NoError || count < 1)
        return NoError;
    // The host's answer to its own command goes nowhere; the user hears of a failure from the report.
    ReportedAtHostBoundary("selected system", [params, count] {
        for (Int32 index = 1; index <= count; ++index) {
            API_MDCLParameter parameter = {};
            parameter.index = index;
            if (ACAPI_AddOnAddOnCommunication_GetMDCLParameter(params, &parameter) != NoError ||
                parameter.name == nullptr ||
                !Velmar::UniStringOfUtf8(parameter.name).IsEqual(SystemParameter, GS::CaseInsensitive))
                continue;
            const GS::UniString productId =
                Velmar::UniStringOfUtf8(parameter.string_par != nullptr ? parameter.string_par : "");
            const auto downloads = Services::DownloadManager::Get();
            if (downloads != nullptr && downloads->LoadSystem(productId))
                brixlab::controllers::PaletteController::instance()->OpenWindow(
                    brixlab::xdWebEngine::PaletteIdentifiers::Download);
        }
        return NoError;
    });
    return NoError;
}

namespace {
void FreeParameterList(GSHandle* params, GSPtr, GSErrCode)
{
    if (const GSErrCode err = ACAPI_AddOnAddOnCommunication_FreeMDCLParameterList(params); err != NoError)
        DBPrintf("Velmar: a command's parameter list was not freed (%d)\n", err);
}
}  // namespace

bool HandOverSystem(const API_ModulID& self, const GS::UniString& text)
{
    GSHandle params = nullptr;
    if (ACAPI_AddOnAddOnCommunication_InitMDCLParameterList(&params) != NoError)
        return false;
    const std::string value = Velmar::Utf8Of(text);
    API_MDCLParameter parameter = {};
    parameter.name = SystemParameter;
    parameter.type = MDCLPar_string;
    parameter.string_par = value.c_str();
    API_ModulID target = self;
    if (ACAPI_AddOnAddOnCommunication_AddMDCLParameter(params, &parameter) == NoError &&
        ACAPI_AddOnAddOnCommunication_CallFromEventLoop(&target, SelectedSystemCommand, SelectedSystemCommandVersion,
                                                        params, false, FreeParameterList) == NoError)
        return true;
    FreeParameterList(&params, nullptr, NoError);
    return false;
}

}  // namespace Velmar::AddOn

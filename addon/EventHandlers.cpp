#include "EventHandlers.hpp"

#include "ACAPinc.hpp"
#include "ConfigurationService.hpp"
#include "HostBoundary.hpp"
#include "LodProvider.hpp"
#include "Logger.hpp"
#include "MenuCommandHandler.hpp"
#include "MenuIds.hpp"
#include "ProjectSettings.hpp"
#include "ProjectStoreService.hpp"

#include <optional>

namespace Velmar::AddOn {

namespace {

std::optional<API_Guid> lastSelectionKey;

bool IsWallOrSlab(API_ElemTypeID type)
{
    return type == API_WallID || type == API_SlabID;
}

}  // namespace

GSErrCode SelectionChangeHandler(const API_Neig* selElemNeig)
{
    if (selElemNeig == nullptr || (lastSelectionKey && *lastSelectionKey == selElemNeig->guid))
        return NoError;
    lastSelectionKey = selElemNeig->guid;

    API_SelectionInfo info;
    GS::Array<API_Neig> selection;
    if (ACAPI_Selection_Get(&info, &selection, false, false) != NoError)
        return NoError;
    GS::Array<API_Guid> observed;
    for (const API_Neig& neig : selection) {
        API_Elem_Head head;
        head.guid = neig.guid;
        if (ACAPI_Element_GetHeader(&head) == NoError && IsWallOrSlab(head.typeID))
            observed.Push(head.guid);
    }
    for (const API_Guid& guid : observed)
        ACAPI_Element_AttachObserver(guid, 0);
    return NoError;
}

GSErrCode ElementEventHandler(const API_NotifyElementType* elemType)
{
    switch (elemType->notifID) {
    case APINotifyElement_New:
    case APINotifyElement_Copy:
    case APINotifyElement_Change:
        return NoError;
    default:
        return APIERR_NOTMINE;
    }
}

GSErrCode ProjectEventHandler(API_NotifyEventID notifID, Int32)
{
    if (notifID != APINotify_New && notifID != APINotify_NewAndReset && notifID != APINotify_Open)
        return NoError;
    return AtHostBoundary("project event", [] {
        if (const auto configuration = Services::ConfigurationService::Get())
            configuration->Apply();
        Services::logger::instance()->log("Modules flushed");
        App::LoadProjectSettingsAndMarkLod();
        // Only a store already in use follows the project; the next first use loads the new one itself.
        if (const auto store = Services::ProjectStore::ProjectStoreService::Existing())
            store->Reload();
        return NoError;
    });
}

GSErrCode SelectedSystemCommandHandler(GSHandle params, void*, bool)
{
    Int32 count = 0;
    if (params == nullptr || ACAPI_AddOnAddOnCommunication_GetMDCLParameterNum(params, &count) != NoError || count < 1)
        return NoError;
    return NoError;
}

}  // namespace Velmar::AddOn

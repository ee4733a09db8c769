// The host's element, quantity, module data, undoable command and process window operations.
#include "HostImpl.hpp"
#include "HostText.hpp"
#include "Quantities.hpp"

namespace Sim {

namespace {

const Element* ElementOf(const API_Elem_Head* head)
{
    return head != nullptr ? Host().CurrentProject().FindElement(head->guid) : nullptr;
}

// The record as the host hands it out, with the fields it derives from the element's geometry.
API_Element RecordOf(const Project& project, const Element& element)
{
    API_Element record = element.record;
    switch (element.Type()) {
        case API_WallID: {
            bool window = false, door = false;
            for (const Element* opening : project.OpeningsOf(element.Guid())) {
                window = window || opening->Type() == API_WindowID;
                door = door || opening->Type() == API_DoorID;
            }
            record.wall.hasWindow = window;
            record.wall.hasDoor = door;
            record.wall.poly.nCoords = 5;
            record.wall.poly.nSubPolys = 1;
            const double thickness = ElementThickness(project, element);
            record.wall.thickness = record.wall.thickness1 = thickness;
            switch (record.wall.referenceLineLocation) {
                case APIWallRefLine_Center:
                case APIWallRefLine_CoreCenter:
                    record.wall.offsetFromOutside = thickness / 2.0;
                    break;
                case APIWallRefLine_Inside:
                case APIWallRefLine_CoreInside:
                    record.wall.offsetFromOutside = thickness;
                    break;
                default:
                    record.wall.offsetFromOutside = 0.0;
                    break;
            }
            break;
        }
        case API_SlabID: {
            Int32 coords = static_cast<Int32>(element.polygon.size()) + 1;
            for (const Ring& hole : element.holes)
                coords += static_cast<Int32>(hole.size()) + 1;
            record.slab.poly.nCoords = coords;
            record.slab.poly.nSubPolys = 1 + static_cast<Int32>(element.holes.size());
            record.slab.poly.nArcs = 0;
            record.slab.offsetFromTop = 0.0;
            record.slab.thickness = ElementThickness(project, element);
            break;
        }
        case API_CurtainWallID: {
            const auto quantity = ComputeQuantities(project, element, API_QuantityPar{});
            record.curtainWall.polygon.nCoords = static_cast<Int32>(element.polygon.size());
            record.curtainWall.polygon.nSubPolys = 1;
            record.curtainWall.nSegments = 1;
            record.curtainWall.nPanels = quantity ? quantity->cw.numOfPanels : 0;
            break;
        }
        default:
            break;
    }
    return record;
}

}  // namespace

namespace Impl {

GSErrCode ACAPI_Element_GetHeader(API_Elem_Head* elemHead, UInt32)
{
    const Element* element = ElementOf(elemHead);
    if (element == nullptr)
        return elemHead == nullptr ? APIERR_BADPARS : APIERR_BADID;
    *elemHead = element->record.header;
    return NoError;
}

GSErrCode ACAPI_Element_Get(API_Element* element, UInt32)
{
    if (element == nullptr)
        return APIERR_BADPARS;
    const Project& project = Host().CurrentProject();
    const Element* found = project.FindElement(element->header.guid);
    if (found == nullptr)
        return APIERR_BADID;
    *element = RecordOf(project, *found);
    return NoError;
}

GSErrCode ACAPI_Element_GetElemList(const API_ElemType& type, GS::Array<API_Guid>* elemList, API_ElemFilterFlags,
                                    const API_Guid&)
{
    if (elemList == nullptr)
        return APIERR_BADPARS;
    elemList->Clear();
    for (const auto& entry : Host().CurrentProject().Elements()) {
        const Element& element = entry.second;
        if (type.typeID == API_ZombieElemID || element.Type() == type.typeID)
            elemList->Push(element.Guid());
    }
    return NoError;
}

GSErrCode ACAPI_Grouping_GetConnectedElements(const API_Guid& guid, const API_ElemType& connectedElemType,
                                              GS::Array<API_Guid>* connectedElements, API_ElemFilterFlags,
                                              const API_Guid&)
{
    if (connectedElements == nullptr)
        return APIERR_BADPARS;
    const Project& project = Host().CurrentProject();
    if (project.FindElement(guid) == nullptr)
        return APIERR_BADID;
    connectedElements->Clear();
    for (const Element* opening : project.OpeningsOf(guid)) {
        if (opening->Type() == connectedElemType.typeID)
            connectedElements->Push(opening->Guid());
    }
    return NoError;
}

// An element without user data answers so (https://graphisoft.github.io/archicad-api-devkit/group___user_data.html).
GSErrCode ACAPI_Element_GetUserData(API_Elem_Head* elemHead, API_ElementUserData* userData, UInt32)
{
    if (userData == nullptr)
        return APIERR_BADPARS;
    const Element* element = ElementOf(elemHead);
    if (element == nullptr)
        return APIERR_BADID;
    return element->userData ? HandOut(*element->userData, userData) : APIERR_NOUSERDATA;
}

GSErrCode ACAPI_Element_SetUserData(API_Elem_Head* elemHead, const API_ElementUserData* userData)
{
    if (ElementOf(elemHead) == nullptr || userData == nullptr)
        return APIERR_BADID;
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    Host().CurrentProject().EditElement(elemHead->guid)->userData = TakeIn(*userData);
    return NoError;
}

// acapi_element_deleteuserdata: APIERR_BADPARS when the element holds no user data.
GSErrCode ACAPI_UserData_DeleteUserData(API_Elem_Head* elemHead)
{
    const Element* element = ElementOf(elemHead);
    if (element == nullptr)
        return APIERR_BADID;
    if (!element->userData)
        return APIERR_BADPARS;
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    Host().CurrentProject().EditElement(elemHead->guid)->userData.reset();
    return NoError;
}

GSErrCode ACAPI_Element_GetQuantities(API_Guid elemGuid, const API_QuantityPar* params, API_Quantities* quantities,
                                      const API_QuantitiesMask* mask)
{
    if (quantities == nullptr || quantities->elements == nullptr)
        return APIERR_BADPARS;
    const Project& project = Host().CurrentProject();
    const Element* element = project.FindElement(elemGuid);
    if (element == nullptr)
        return APIERR_BADID;
    const auto computed = ComputeQuantities(project, *element, params != nullptr ? *params : API_QuantityPar{});
    if (!computed)
        return APIERR_BADELEMENTTYPE;
    API_QuantitiesMask full;
    ACAPI_ELEMENT_QUANTITY_MASK_SETFULL(full);
    CopyMasked(element->Type(), *computed, mask != nullptr ? *mask : full, *quantities->elements);
    return NoError;
}

GSErrCode ACAPI_ModulData_GetList(GS::Array<GS::UniString>* modulNameList)
{
    if (modulNameList == nullptr)
        return APIERR_BADPARS;
    modulNameList->Clear();
    for (const auto& entry : Host().CurrentProject().ModuleData())
        modulNameList->Push(HostText::Uni(entry.first));
    return NoError;
}

namespace {
const UserData* FindModuleData(const GS::UniString& modulName)
{
    const auto& moduleData = Host().CurrentProject().ModuleData();
    const auto found = moduleData.find(HostText::Utf8(modulName));
    return found != moduleData.end() ? &found->second : nullptr;
}
}  // namespace

// The existence check: version and platform, no data
// (https://archicadapi.graphisoft.com/documentation/acapi_moduldata_getinfo).
GSErrCode ACAPI_ModulData_GetInfo(API_ModulData* info, const GS::UniString& modulName)
{
    if (info == nullptr)
        return APIERR_BADPARS;
    const UserData* found = FindModuleData(modulName);
    if (found == nullptr)
        return APIERR_NOMODULEDATA;
    info->dataVersion = found->version;
    info->platformSign = found->platformSign;
    return NoError;
}

// https://archicadapi.graphisoft.com/documentation/acapi_moduldata_get: a missing entry is
// APIERR_NOMODULEDATA and the record is left as the caller gave it.
GSErrCode ACAPI_ModulData_Get(API_ModulData* info, const GS::UniString& modulName)
{
    if (info == nullptr)
        return APIERR_BADPARS;
    const UserData* found = FindModuleData(modulName);
    if (found == nullptr)
        return APIERR_NOMODULEDATA;
    return HandOut(*found, info);
}

// Module data are written by non-undoable modifiers: allowed inside a command or outside one, and left
// as they are by Edit > Undo (https://archicadapi.graphisoft.com/documentation/acapi_moduldata_delete).
// Storing nothing deletes the entry, as the reference says of ACAPI_ModulData_Store (nullptr).
GSErrCode ACAPI_ModulData_Store(const API_ModulData* info, const GS::UniString& modulName)
{
    if (info == nullptr)
        return ACAPI_ModulData_Delete(modulName);
    if (info->dataHdl == nullptr)
        return APIERR_BADPARS;
    Host().CurrentProject().StoreModuleData(HostText::Utf8(modulName), TakeIn(*info));
    return NoError;
}

GSErrCode ACAPI_ModulData_Delete(const GS::UniString& modulName)
{
    return Host().CurrentProject().DeleteModuleData(HostText::Utf8(modulName)) ? NoError : APIERR_NOMODULEDATA;
}

GSErrCode ACAPI_CallUndoableCommand(const GS::UniString& undoString, const std::function<GSErrCode()>& command)
{
    if (!command)
        return APIERR_BADPARS;
    return Host().RunUndoableCommand(HostText::Utf8(undoString), command);
}

GSErrCode ACAPI_ProcessWindow_InitProcessWindow(const GS::UniString* title, Int32* nPhase, API_ProcessControlTypeID*)
{
    if (nPhase == nullptr)
        return APIERR_BADPARS;
    auto& windows = Host().ProcessWindows();
    for (auto& window : windows)
        window.open = false;
    ProcessWindow window;
    window.title = title != nullptr ? HostText::Utf8(*title) : std::string();
    window.phases = *nPhase;
    windows.push_back(window);
    Host().ForgetProcessCancel();
    Host().ProcessWindowChanged();
    return NoError;
}

namespace {
ProcessWindow* OpenProcessWindow()
{
    auto& windows = Host().ProcessWindows();
    return !windows.empty() && windows.back().open ? &windows.back() : nullptr;
}
}  // namespace

GSErrCode ACAPI_ProcessWindow_SetNextProcessPhase(const GS::UniString* subtitle, Int32* maxval, bool*)
{
    if (maxval == nullptr)
        return APIERR_BADPARS;
    ProcessWindow* window = OpenProcessWindow();
    if (window == nullptr)
        return APIERR_GENERAL;
    ++window->phase;
    window->subtitle = subtitle != nullptr ? HostText::Utf8(*subtitle) : std::string();
    window->max = *maxval;
    window->value = 0;
    // The user's click lands while the phase it was armed for runs.
    if (Host().TakeProcessCancel(window->phase))
        window->cancelled = true;
    Host().ProcessWindowChanged();
    return NoError;
}

GSErrCode ACAPI_ProcessWindow_SetProcessValue(Int32* newval)
{
    if (newval == nullptr)
        return APIERR_BADPARS;
    if (ProcessWindow* window = OpenProcessWindow())
        window->value = *newval;
    Host().ProcessWindowChanged();
    return NoError;
}

GSErrCode ACAPI_ProcessWindow_IncProcessValue(Int32* incval)
{
    if (incval == nullptr)
        return APIERR_BADPARS;
    if (ProcessWindow* window = OpenProcessWindow())
        window->value += *incval;
    Host().ProcessWindowChanged();
    return NoError;
}

GSErrCode ACAPI_ProcessWindow_IsProcessCanceled()
{
    ProcessWindow* window = OpenProcessWindow();
    if (window == nullptr)
        return NoError;
    if (Host().TakeProcessCancel(window->phase))
        window->cancelled = true;
    return window->cancelled ? APIERR_CANCEL : NoError;
}

GSErrCode ACAPI_ProcessWindow_CloseProcessWindow()
{
    if (ProcessWindow* window = OpenProcessWindow())
        window->open = false;
    Host().ProcessWindowChanged();
    return NoError;
}

}  // namespace Impl

}  // namespace Sim

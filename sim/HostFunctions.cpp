// The host's side of the operation table: each operation works on the running Archicad, and every one of
// them can be made to fail by name through the fault injector.
#include "Archicad.hpp"
#include "GSDebug.hpp"
#include "ShellAddress.hpp"

#include <cstring>
#include <deque>
#include <set>

namespace Sim {

namespace {

Archicad& Host()
{
    return Archicad::Current();
}

// Menu texts carry control codes ("^ES", "^E3", "^M", ...) that the host interprets and does not show.
GS::UniString WithoutControlCodes(const GS::UniString& text)
{
    std::u16string shown;
    const std::u16string& units = text.ToU16();
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] != u'^') {
            shown += units[i];
            continue;
        }
        if (i + 1 < units.size() && units[i + 1] == u'E')
            ++i;
        ++i;
    }
    return GS::UniString(shown);
}

MenuItem* FindItem(const API_MenuItemRef* ref)
{
    Menu* menu = ref != nullptr ? Host().FindMenu(ref->menuResID) : nullptr;
    if (menu == nullptr || ref->itemIndex < 1 || ref->itemIndex > static_cast<Int32>(menu->items.size()))
        return nullptr;
    return &menu->items[ref->itemIndex - 1];
}

// An add-on command parameter list lives behind a host handle that holds a pointer to it.
struct Parameter {
    std::string name;
    API_MDCLParType type = MDCLPar_int;
    GSFlags flags = 0;
    Int32 intValue = 0;
    double floatValue = 0.0;
    std::string stringValue;
    void* pointerValue = nullptr;
};
using ParameterList = std::deque<Parameter>;

ParameterList* ListOf(GSHandle params)
{
    if (params == nullptr || BMGetHandleSize(params) != sizeof(ParameterList*))
        return nullptr;
    ParameterList* list = nullptr;
    std::memcpy(&list, *params, sizeof list);
    return list;
}

API_NeigID NeigOf(API_ElemTypeID type)
{
    return type == API_WallID ? APINeig_Wall : type == API_SlabID ? APINeig_Slab : APINeig_Other;
}

// An attribute is addressed by type and index, or by type and guid when the index is 0.
Attribute* FindAttribute(const API_Attr_Head* head)
{
    if (head == nullptr)
        return nullptr;
    Project& project = Host().CurrentProject();
    return head->index != 0 ? project.FindAttribute(head->typeID, head->index)
                            : project.FindAttribute(head->typeID, head->guid);
}

// User data and module data leave the host as a new handle the caller frees, and come in as a copy.
template <typename Record>
GSErrCode HandOut(const UserData& data, Record* record)
{
    record->dataVersion = data.version;
    record->platformSign = data.platformSign;
    record->dataHdl = BMAllocateHandle(static_cast<Int32>(data.bytes.size()), 0, 0);
    if (record->dataHdl == nullptr)
        return APIERR_MEMFULL;
    std::memcpy(*record->dataHdl, data.bytes.data(), data.bytes.size());
    return NoError;
}

template <typename Record>
UserData TakeIn(const Record& record)
{
    const Int32 size = BMGetHandleSize(record.dataHdl);
    return UserData{record.dataVersion, record.platformSign,
                    size > 0 ? std::string(*record.dataHdl, static_cast<std::size_t>(size)) : std::string()};
}

}  // namespace

namespace Impl {

void ACAPI_KeepInMemory(bool keepIn)
{
    Host().SetKeepInMemory(keepIn);
}

GSResModule ACAPI_GetOwnResModule()
{
    return Host().ResModule();
}

GSErrCode ACAPI_GetOwnIdentifier(API_ModulID* mdid)
{
    if (mdid == nullptr)
        return APIERR_BADPARS;
    *mdid = Host().GetAddOn().identifier;
    return NoError;
}

GSErrCode ACAPI_WriteReport(const GS::UniString& text, bool withDial)
{
    Host().Reports().push_back(Report{text.ToUtf8(), withDial});
    return NoError;
}

GSErrCode ACAPI_MenuItem_RegisterMenu(Int16 menuStrResID, Int16 promptStrResID, APIMenuCodeID, GSFlags)
{
    if (Host().FindMenu(menuStrResID) != nullptr)
        return APIERR_BADID;
    std::vector<GS::UniString> entries;
    GS::UniString entry;
    while (RSGetIndString(&entry, menuStrResID, static_cast<Int32>(entries.size()) + 1, Host().ResModule()))
        entries.push_back(entry);
    GS::UniString prompt;
    if (entries.size() < 2 || !RSGetIndString(&prompt, promptStrResID, 1, Host().ResModule()))
        return APIERR_BADID;

    // Entry 1 names the host menu; with more than one item, entry 2 is a submenu holding the rest.
    Menu menu;
    menu.id = menuStrResID;
    menu.promptId = promptStrResID;
    menu.title = entries[0];
    std::size_t firstItem = 1;
    if (entries.size() > 2) {
        menu.submenu = WithoutControlCodes(entries[1]);
        firstItem = 2;
    }
    for (std::size_t i = firstItem; i < entries.size(); ++i)
        menu.items.push_back(MenuItem{WithoutControlCodes(entries[i]), 0});
    Host().Menus().push_back(menu);
    return NoError;
}

GSErrCode ACAPI_MenuItem_InstallMenuHandler(Int16 menuStrResID, APIMenuCommandProc* handlerProc)
{
    Menu* menu = Host().FindMenu(menuStrResID);
    if (menu == nullptr || handlerProc == nullptr)
        return APIERR_BADID;
    menu->handler = handlerProc;
    return NoError;
}

GSErrCode ACAPI_MenuItem_GetMenuItemFlags(const API_MenuItemRef* menuItemRef, GSFlags* itemFlags)
{
    MenuItem* item = FindItem(menuItemRef);
    if (item == nullptr || itemFlags == nullptr)
        return APIERR_BADINDEX;
    *itemFlags = item->flags;
    return NoError;
}

GSErrCode ACAPI_MenuItem_SetMenuItemFlags(const API_MenuItemRef* menuItemRef, GSFlags* itemFlags)
{
    MenuItem* item = FindItem(menuItemRef);
    if (item == nullptr || itemFlags == nullptr)
        return APIERR_BADINDEX;
    item->flags = *itemFlags;
    return NoError;
}

GSErrCode ACAPI_MenuItem_SetMenuItemText(const API_MenuItemRef* menuItemRef, const GS::UniString& itemText)
{
    MenuItem* item = FindItem(menuItemRef);
    if (item == nullptr)
        return APIERR_BADINDEX;
    item->text = WithoutControlCodes(itemText);
    return NoError;
}

GSErrCode ACAPI_AddOnAddOnCommunication_RegisterSupportedService(GSType cmdID, Int32 cmdVersion)
{
    Host().RegisterService({cmdID, cmdVersion});
    return NoError;
}

GSErrCode ACAPI_AddOnAddOnCommunication_InstallAddOnCommandHandler(GSType cmdID, Int32 cmdVersion,
                                                                   APIModulCommandProc* handlerProc)
{
    if (handlerProc == nullptr)
        return APIERR_BADPARS;
    return Host().InstallCommandHandler({cmdID, cmdVersion}, handlerProc) ? NoError : APIERR_MODULCMDNOTSUPPORTED;
}

GSErrCode ACAPI_AddOnAddOnCommunication_CallFromEventLoop(const API_ModulID* mdid, GSType cmdID, Int32 cmdVersion,
                                                          GSHandle params, bool silentMode,
                                                          APICommandCallBackProc* callbackProc)
{
    const API_ModulID& own = Host().GetAddOn().identifier;
    if (mdid == nullptr || mdid->developerID != own.developerID || mdid->localID != own.localID)
        return APIERR_MODULNOTINSTALLED;
    const Archicad::CommandKey key{cmdID, cmdVersion};
    if (!Host().IsServiceRegistered(key))
        return APIERR_MODULCMDNOTSUPPORTED;
    Host().Loop().Post([key, params, silentMode, callbackProc] {
        GSHandle list = params;
        if (APIModulCommandProc* handler = Host().CommandHandler(key))
            handler(list, nullptr, silentMode);
        if (callbackProc != nullptr)
            callbackProc(&list, nullptr, silentMode);
    });
    return NoError;
}

GSErrCode ACAPI_AddOnAddOnCommunication_InitMDCLParameterList(GSHandle* params)
{
    if (params == nullptr)
        return APIERR_BADPARS;
    *params = BMAllocateHandle(sizeof(ParameterList*), 0, 0);
    if (*params == nullptr)
        return APIERR_MEMFULL;
    auto* list = new ParameterList();
    std::memcpy(*(*params), &list, sizeof list);
    return NoError;
}

GSErrCode ACAPI_AddOnAddOnCommunication_FreeMDCLParameterList(GSHandle* params)
{
    if (params == nullptr || ListOf(*params) == nullptr)
        return APIERR_BADPARS;
    delete ListOf(*params);
    BMKillHandle(params);
    return NoError;
}

GSErrCode ACAPI_AddOnAddOnCommunication_AddMDCLParameter(GSHandle params, API_MDCLParameter* parameter)
{
    ParameterList* list = ListOf(params);
    if (list == nullptr || parameter == nullptr || parameter->name == nullptr || *parameter->name == '\0')
        return APIERR_BADPARS;
    Parameter added;
    added.name = parameter->name;
    added.type = parameter->type;
    added.flags = parameter->flags;
    added.intValue = parameter->int_par;
    added.floatValue = parameter->float_par;
    added.stringValue = parameter->string_par != nullptr ? parameter->string_par : "";
    added.pointerValue = parameter->ptr_par;
    list->push_back(added);
    return NoError;
}

GSErrCode ACAPI_AddOnAddOnCommunication_GetMDCLParameterNum(GSHandle params, Int32* count)
{
    ParameterList* list = ListOf(params);
    if (list == nullptr || count == nullptr)
        return APIERR_BADPARS;
    *count = static_cast<Int32>(list->size());
    return NoError;
}

GSErrCode ACAPI_AddOnAddOnCommunication_GetMDCLParameter(GSHandle params, API_MDCLParameter* parameter)
{
    ParameterList* list = ListOf(params);
    if (list == nullptr || parameter == nullptr)
        return APIERR_BADPARS;
    if (parameter->index < 1 || parameter->index > static_cast<Int32>(list->size()))
        return APIERR_BADINDEX;
    const Parameter& found = (*list)[parameter->index - 1];
    parameter->name = found.name.c_str();
    parameter->type = found.type;
    parameter->flags = found.flags;
    parameter->int_par = found.intValue;
    parameter->float_par = found.floatValue;
    parameter->string_par = found.stringValue.c_str();
    parameter->ptr_par = found.pointerValue;
    return NoError;
}

GSErrCode ACAPI_Notification_CatchSelectionChange(APISelectionChangeHandlerProc* handlerProc)
{
    Host().Handlers().selection = handlerProc;
    return NoError;
}

GSErrCode ACAPI_Element_InstallElementObserver(APIElementEventHandlerProc* handlerProc)
{
    Host().Handlers().elementObserver = handlerProc;
    return NoError;
}

GSErrCode ACAPI_Element_CatchNewElement(const API_ToolBoxItem* elemType, APIElementEventHandlerProc* handlerProc)
{
    auto& handlers = Host().Handlers();
    handlers.newElement = handlerProc;
    handlers.newElementType = elemType != nullptr ? std::optional<API_ElemTypeID>(elemType->typeID) : std::nullopt;
    return NoError;
}

GSErrCode ACAPI_ProjectOperation_CatchProjectEvent(GSFlags eventTypes, APIProjectEventHandlerProc* handlerProc)
{
    auto& handlers = Host().Handlers();
    handlers.project = handlerProc;
    handlers.projectMask = handlerProc != nullptr ? eventTypes : 0;
    return NoError;
}

GSErrCode ACAPI_Element_AttachObserver(const API_Guid& elemGuid, GSFlags)
{
    if (Host().CurrentProject().FindElement(elemGuid) == nullptr)
        return APIERR_BADID;
    auto& observed = Host().Handlers().observed;
    for (const auto& guid : observed) {
        if (guid == elemGuid)
            return NoError;
    }
    observed.push_back(elemGuid);
    return NoError;
}

GSErrCode ACAPI_Selection_Get(API_SelectionInfo* selectionInfo, GS::Array<API_Neig>* selNeigs, bool, bool)
{
    if (selectionInfo == nullptr)
        return APIERR_BADPARS;
    Project& project = Host().CurrentProject();
    *selectionInfo = API_SelectionInfo{};
    if (selNeigs != nullptr)
        selNeigs->Clear();
    for (const API_Guid& guid : project.Selection()) {
        const Element* element = project.FindElement(guid);
        if (element == nullptr)
            continue;
        ++selectionInfo->sel_nElem;
        ++selectionInfo->sel_nElemEdit;
        if (selNeigs != nullptr)
            selNeigs->Push(API_Neig{NeigOf(element->type), guid});
    }
    return NoError;
}

GSErrCode ACAPI_Selection_DeselectAll()
{
    Host().CurrentProject().Selection().clear();
    return NoError;
}

GSErrCode ACAPI_Selection_Select(const GS::Array<API_Neig>& selNeigs, bool add)
{
    Project& project = Host().CurrentProject();
    for (const API_Neig& neig : selNeigs) {
        if (project.FindElement(neig.guid) == nullptr)
            return APIERR_BADID;
    }
    auto& selection = project.Selection();
    if (!add)
        selection.clear();
    for (const API_Neig& neig : selNeigs) {
        bool present = false;
        for (const auto& guid : selection)
            present = present || guid == neig.guid;
        if (!present)
            selection.push_back(neig.guid);
    }
    return NoError;
}

GSErrCode ACAPI_Automate(GSType commandID)
{
    // Zoom to the selection is the one automation an add-on asks for here.
    return commandID == MakeGSType("DOOM") ? NoError : APIERR_BADPARS;
}

GSErrCode ACAPI_Element_GetHeader(API_Elem_Head* elemHead)
{
    const Element* element = elemHead != nullptr ? Host().CurrentProject().FindElement(elemHead->guid) : nullptr;
    if (element == nullptr)
        return APIERR_BADID;
    elemHead->typeID = element->type;
    return NoError;
}

GSErrCode ACAPI_Element_GetElemList(API_ElemTypeID typeID, GS::Array<API_Guid>* elemList)
{
    if (elemList == nullptr)
        return APIERR_BADPARS;
    elemList->Clear();
    for (const Element& element : Host().CurrentProject().GetElements()) {
        if (element.type == typeID)
            elemList->Push(element.guid);
    }
    return NoError;
}

GSErrCode ACAPI_Element_GetUserData(const API_Elem_Head* elemHead, API_ElementUserData* userData)
{
    const Element* element = elemHead != nullptr ? Host().CurrentProject().FindElement(elemHead->guid) : nullptr;
    if (element == nullptr || userData == nullptr)
        return APIERR_BADID;
    *userData = API_ElementUserData{};
    return element->userData ? HandOut(*element->userData, userData) : NoError;
}

GSErrCode ACAPI_Element_SetUserData(const API_Elem_Head* elemHead, const API_ElementUserData* userData)
{
    Element* element = elemHead != nullptr ? Host().CurrentProject().FindElement(elemHead->guid) : nullptr;
    if (element == nullptr || userData == nullptr)
        return APIERR_BADID;
    element->userData = TakeIn(*userData);
    return NoError;
}

GSErrCode ACAPI_Element_GetQuantities(const API_Guid&, const API_QuantityPar*, API_Quantities*,
                                      const API_QuantitiesMask*)
{
    return APIERR_NOTSUPPORTED;
}

GSErrCode ACAPI_ModulData_GetList(GS::Array<GS::UniString>* modulNameList)
{
    if (modulNameList == nullptr)
        return APIERR_BADPARS;
    modulNameList->Clear();
    for (const auto& entry : Host().CurrentProject().ModuleData())
        modulNameList->Push(GS::UniString(entry.first));
    return NoError;
}

GSErrCode ACAPI_ModulData_Get(API_ModulData* info, const GS::UniString& modulName)
{
    auto& moduleData = Host().CurrentProject().ModuleData();
    const auto found = moduleData.find(modulName.ToUtf8());
    if (found == moduleData.end())
        return APIERR_BADNAME;
    // Without a record to fill the call only tells whether the entry exists.
    if (info == nullptr)
        return NoError;
    return HandOut(found->second, info);
}

GSErrCode ACAPI_ModulData_Store(const API_ModulData* info, const GS::UniString& modulName)
{
    if (info == nullptr || modulName.IsEmpty())
        return APIERR_BADPARS;
    Host().CurrentProject().ModuleData()[modulName.ToUtf8()] = TakeIn(*info);
    return NoError;
}

GSErrCode ACAPI_ModulData_Delete(const GS::UniString& modulName)
{
    return Host().CurrentProject().ModuleData().erase(modulName.ToUtf8()) > 0 ? NoError : APIERR_BADNAME;
}

GSErrCode ACAPI_Attribute_Search(API_Attr_Head* attrHead)
{
    if (attrHead == nullptr)
        return APIERR_BADPARS;
    const Attribute* found = Host().CurrentProject().FindAttribute(attrHead->typeID, attrHead->name);
    if (found == nullptr)
        return APIERR_BADNAME;
    attrHead->index = found->header.index;
    attrHead->guid = found->header.guid;
    return NoError;
}

GSErrCode ACAPI_Attribute_Get(API_Attribute* attribute)
{
    if (attribute == nullptr)
        return APIERR_BADPARS;
    const Attribute* found = FindAttribute(&attribute->header);
    if (found == nullptr)
        return APIERR_BADINDEX;
    attribute->header = found->header;
    return NoError;
}

GSErrCode ACAPI_Attribute_Create(API_Attribute* attribute, API_AttributeDefExt*)
{
    if (attribute == nullptr)
        return APIERR_BADPARS;
    return Host().CurrentProject().AddAttribute(&attribute->header);
}

// Renames the attribute and takes its flags; index, guid and user data stay.
GSErrCode ACAPI_Attribute_Modify(API_Attribute* attribute, API_AttributeDefExt*)
{
    if (attribute == nullptr)
        return APIERR_BADPARS;
    Attribute* found = FindAttribute(&attribute->header);
    if (found == nullptr)
        return APIERR_BADINDEX;
    if (attribute->header.name.IsEmpty())
        return APIERR_BADNAME;
    const Attribute* named = Host().CurrentProject().FindAttribute(found->header.typeID, attribute->header.name);
    if (named != nullptr && named != found)
        return APIERR_NAMEALREADYUSED;
    found->header.name = attribute->header.name;
    found->header.flags = attribute->header.flags;
    attribute->header = found->header;
    return NoError;
}

GSErrCode ACAPI_Attribute_GetAttributesByType(API_AttrTypeID typeID, GS::Array<API_Attribute>* attributes)
{
    if (attributes == nullptr)
        return APIERR_BADPARS;
    if (!IsAttrType(typeID))
        return APIERR_BADID;
    attributes->Clear();
    for (const Attribute& attribute : Host().CurrentProject().GetAttributes(typeID))
        attributes->Push(API_Attribute{attribute.header});
    return NoError;
}

GSErrCode ACAPI_Attribute_GetUserData(API_Attr_Head* attrHead, API_AttributeUserData* userData)
{
    if (userData == nullptr)
        return APIERR_BADPARS;
    const Attribute* found = FindAttribute(attrHead);
    if (found == nullptr)
        return APIERR_BADINDEX;
    *userData = API_AttributeUserData{};
    return found->userData ? HandOut(*found->userData, userData) : NoError;
}

GSErrCode ACAPI_Attribute_SetUserData(API_Attr_Head* attrHead, const API_AttributeUserData* userData)
{
    if (userData == nullptr)
        return APIERR_BADPARS;
    Attribute* found = FindAttribute(attrHead);
    if (found == nullptr)
        return APIERR_BADINDEX;
    found->userData = TakeIn(*userData);
    return NoError;
}

GSErrCode ACAPI_Attribute_GetNum(API_AttrTypeID typeID, UInt32* count)
{
    if (count == nullptr)
        return APIERR_BADPARS;
    if (!IsAttrType(typeID))
        return APIERR_BADID;
    *count = static_cast<UInt32>(Host().CurrentProject().GetAttributes(typeID).size());
    return NoError;
}

// Properties and classifications: the project model does not hold them yet, so the host answers as it
// does for an operation it does not offer.
GSErrCode ACAPI_Property_GetPropertyGroups(GS::Array<API_PropertyGroup>&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Property_GetPropertyDefinitions(const API_Guid&, GS::Array<API_PropertyDefinition>&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Property_GetPropertyDefinition(API_PropertyDefinition&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Property_CreatePropertyGroup(API_PropertyGroup&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Property_CreatePropertyDefinition(API_PropertyDefinition&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Property_ChangePropertyDefinition(const API_PropertyDefinition&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Element_GetPropertyValue(const API_Guid&, const API_Guid&, API_Property&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Element_SetProperty(const API_Guid&, const API_Property&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Classification_GetClassificationSystems(GS::Array<API_ClassificationSystem>&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Classification_GetClassificationSystemRootItems(const API_Guid&, GS::Array<API_ClassificationItem>&)
{
    return APIERR_NOTSUPPORTED;
}
GSErrCode ACAPI_Classification_GetClassificationItemChildren(const API_Guid&, GS::Array<API_ClassificationItem>&)
{
    return APIERR_NOTSUPPORTED;
}

GSErrCode ACAPI_CallUndoableCommand(const GS::UniString& undoString, const std::function<GSErrCode()>& command)
{
    if (undoString.IsEmpty() || !command)
        return APIERR_BADPARS;
    return command();
}

// Nothing is launched: an opened address is recorded, a refused one is recorded apart and reported.
GSErrCode OS_ShellExecute(const GS::UniString& verb, const GS::UniString& address, Int32)
{
    if (auto refusal = ShellRefusal(verb, address)) {
        DBPrintf("Shell: refused to open \"%s\": %s\n", Printable(address).c_str(), refusal->c_str());
        Host().RefusedShellRequests().push_back(ShellRequest{verb.ToUtf8(), address.ToUtf8(), std::move(*refusal)});
        return APIERR_BADPARS;
    }
    Host().ShellRequests().push_back(ShellRequest{verb.ToUtf8(), address.ToUtf8(), {}});
    return NoError;
}

}  // namespace Impl

namespace {

template <typename Ret, typename Call>
Ret Guarded(const char* operation, Call&& call)
{
    if constexpr (std::is_same_v<Ret, GSErrCode>) {
        if (const auto fault = Host().Faults().Take(operation))
            return *fault;
    }
    return call();
}

namespace Table {
#define SIM_GUARDED_OPERATION(name, ret, params, args)                                                                 \
    ret name params                                                                                                    \
    {                                                                                                                  \
        return Guarded<ret>(#name, [&] { return Impl::name args; });                                                   \
    }
API_HOST_OPERATIONS(SIM_GUARDED_OPERATION)
#undef SIM_GUARDED_OPERATION
}  // namespace Table

API_HostFunctions MakeTable()
{
    API_HostFunctions table;
#define SIM_TABLE_ENTRY(name, ret, params, args) table.name = &Table::name;
    API_HOST_OPERATIONS(SIM_TABLE_ENTRY)
#undef SIM_TABLE_ENTRY
    return table;
}

}  // namespace

const API_HostFunctions& HostFunctions()
{
    static const API_HostFunctions table = MakeTable();
    return table;
}

bool IsHostOperation(const std::string& name)
{
    static const std::set<std::string> names{
#define SIM_OPERATION_NAME(name, ret, params, args) #name,
        API_HOST_OPERATIONS(SIM_OPERATION_NAME)
#undef SIM_OPERATION_NAME
    };
    return names.count(name) > 0;
}

}  // namespace Sim

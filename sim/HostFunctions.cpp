// The host's side of the operation table: each operation works on the running Archicad, and every one of
// them can be made to fail by name through the fault injector.
#include "GSDebug.hpp"
#include "HostImpl.hpp"
#include "HostText.hpp"
#include "ShellAddress.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <set>
#include <unordered_set>

namespace Sim {

namespace {

// Menu texts carry control codes ("^ES", "^E3", "^M", ...) that the host interprets and does not show.
GS::UniString WithoutControlCodes(const GS::UniString& text)
{
    std::u16string shown;
    const std::u16string units(text.ToUStr(), text.GetLength());
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
    Int32 type = MDCLPar_int;
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

GSErrCode ACAPI_MenuItem_GetMenuItemFlags(const API_MenuItemRef* menuItemRef, GSFlags* itemFlags,
                                          GS::UniString* menuItemText)
{
    MenuItem* item = FindItem(menuItemRef);
    if (item == nullptr || itemFlags == nullptr)
        return APIERR_BADINDEX;
    *itemFlags = item->flags;
    if (menuItemText != nullptr)
        *menuItemText = item->text;
    return NoError;
}

GSErrCode ACAPI_MenuItem_SetMenuItemFlags(const API_MenuItemRef* menuItemRef, GSFlags* itemFlags,
                                          GS::UniString* menuItemText)
{
    MenuItem* item = FindItem(menuItemRef);
    if (item == nullptr || itemFlags == nullptr)
        return APIERR_BADINDEX;
    item->flags = *itemFlags;
    if (menuItemText != nullptr)
        item->text = WithoutControlCodes(*menuItemText);
    return NoError;
}

// The Unicode text wins when both are given, as in the kit; the plain text is UTF-8 here.
GSErrCode ACAPI_MenuItem_SetMenuItemText(const API_MenuItemRef* menuItemRef, char* itemText, GS::UniString* itemUniText)
{
    if (menuItemRef == nullptr || (itemText == nullptr && itemUniText == nullptr))
        return APIERR_BADPARS;
    MenuItem* item = FindItem(menuItemRef);
    if (item == nullptr)
        return APIERR_BADINDEX;
    item->text = WithoutControlCodes(itemUniText != nullptr ? *itemUniText : HostText::Uni(itemText));
    return NoError;
}

GSErrCode ACAPI_AddOnAddOnCommunication_RegisterSupportedService(GSType cmdID, Int32 cmdVersion)
{
    Host().RegisterService({cmdID, cmdVersion});
    return NoError;
}

GSErrCode ACAPI_AddOnIntegration_InstallModulCommandHandler(GSType cmdID, Int32 cmdVersion,
                                                            APIModulCommandProc* handlerProc)
{
    if (handlerProc == nullptr)
        return APIERR_BADPARS;
    return Host().InstallCommandHandler({cmdID, cmdVersion}, handlerProc) ? NoError : APIERR_MODULCMDNOTSUPPORTED;
}

GSErrCode ACAPI_AddOnAddOnCommunication_CallFromEventLoop(const API_ModulID* mdid, GSType cmdID, Int32 cmdVersion,
                                                          GSHandle paramsHandle, bool silentMode,
                                                          APICommandCallBackProc* callbackProc)
{
    if (mdid == nullptr)
        return APIERR_BADPARS;
    const API_ModulID& own = Host().GetAddOn().identifier;
    if (mdid->developerID != own.developerID || mdid->localID != own.localID)
        return APIERR_MODULNOTINSTALLED;
    const Archicad::CommandKey key{cmdID, cmdVersion};
    if (!Host().IsServiceRegistered(key))
        return APIERR_MODULCMDNOTSUPPORTED;
    Host().Loop().Post([key, paramsHandle, silentMode, callbackProc] {
        GSHandle list = paramsHandle;
        GSErrCode returnCode = APIERR_MODULCMDNOTSUPPORTED;
        if (APIModulCommandProc* handler = Host().CommandHandler(key))
            returnCode = handler(list, nullptr, silentMode);
        if (callbackProc != nullptr)
            callbackProc(&list, nullptr, returnCode);
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
    parameter->modified = false;
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
    handlers.newElementType = elemType != nullptr ? std::optional<API_ElemTypeID>(elemType->type.typeID) : std::nullopt;
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
    Host().Handlers().observed.insert(elemGuid);
    return NoError;
}

GSErrCode ACAPI_Selection_Get(API_SelectionInfo* selectionInfo, GS::Array<API_Neig>* selNeigs, bool, bool,
                              API_SelRelativePosID)
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
        if (selNeigs != nullptr) {
            API_Neig neig(guid);
            neig.neigID = NeigOf(element->Type());
            selNeigs->Push(neig);
        }
    }
    selectionInfo->typeID = selectionInfo->sel_nElem > 0 ? API_SelElems : API_SelEmpty;
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
    // Kept in the order selected; the set only answers what is in already, for selections of thousands.
    std::unordered_set<API_Guid> present(selection.begin(), selection.end());
    for (const API_Neig& neig : selNeigs) {
        if (present.insert(neig.guid).second)
            selection.push_back(neig.guid);
    }
    return NoError;
}

GSErrCode ACAPI_View_ZoomToSelected()
{
    Host().ZoomToSelection();
    return NoError;
}

// Nothing is launched: an opened address is recorded, a refused one is recorded apart and reported.
GSErrCode Shell_Execute(const GS::UniString& verb, const GS::UniString& address, Int32)
{
    if (auto refusal = ShellRefusal(verb, address)) {
        DBPrintf("Shell: refused to open \"%s\": %s\n", Printable(address).c_str(), refusal->c_str());
        Host().RefusedShellRequests().push_back(
            ShellRequest{HostText::Utf8(verb), HostText::Utf8(address), std::move(*refusal)});
        return APIERR_BADPARS;
    }
    Host().ShellRequests().push_back(ShellRequest{HostText::Utf8(verb), HostText::Utf8(address), {}});
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

// The format is printf's; the format and the "%s" texts are in the system's code page, as 8-bit text is
// wherever the kit gives no character code.
void WriteReport(const GS::UniString& format, bool withDial, std::va_list arguments)
{
    std::va_list measuring;
    va_copy(measuring, arguments);
    const std::string pattern = format.ToCStr(CC_Default).Get();
    const int size = std::vsnprintf(nullptr, 0, pattern.c_str(), measuring);
    va_end(measuring);
    std::string text;
    if (size > 0) {
        text.resize(static_cast<std::size_t>(size) + 1);
        std::vsnprintf(text.data(), text.size(), pattern.c_str(), arguments);
        text.resize(static_cast<std::size_t>(size));
    }
    Host().Reports().push_back(Report{HostText::Utf8(GS::UniString(text.c_str(), CC_Default)), withDial});
}

API_HostFunctions MakeTable()
{
    API_HostFunctions table;
#define SIM_TABLE_ENTRY(name, ret, params, args) table.name = &Table::name;
    API_HOST_OPERATIONS(SIM_TABLE_ENTRY)
#undef SIM_TABLE_ENTRY
    table.ACAPI_WriteReport = &WriteReport;
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

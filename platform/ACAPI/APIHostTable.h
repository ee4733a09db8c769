// The seam between the host and an add-on: the table of host operations the host hands over with
// SetImportedFuncAddrs, and the entry points the add-on hands back with GetExportedFuncAddrs.
// API_HOST_OPERATIONS is the one list of operations: the table's members, the add-on's calling layer
// and the host's implementation (with its fault injection by name) are all generated from it. The kit's names and
// signatures are those of the Archicad 28 reference (https://graphisoft.github.io/archicad-api-devkit/); the kit's
// default arguments are left out, so callers pass every argument. Shell_Execute is no kit function: it stands in
// for the Windows shell's ShellExecuteW (shellapi.h, shell32.dll), which the add-on calls beside the kit.
#pragma once

#include "APIdefs.h"

#include <cstdarg>

// X(name, return type, (parameters), (arguments))
// clang-format off
#define API_HOST_OPERATIONS(X)                                                                                         \
    X(ACAPI_KeepInMemory, void, (bool keepIn), (keepIn))                                                               \
    X(ACAPI_GetOwnResModule, GSResModule, (), ())                                                                      \
    X(ACAPI_MenuItem_RegisterMenu, GSErrCode,                                                                          \
      (short menuStrResID, short promptStrResID, APIMenuCodeID menuPosCode, GSFlags menuFlags),                        \
      (menuStrResID, promptStrResID, menuPosCode, menuFlags))                                                          \
    X(ACAPI_MenuItem_InstallMenuHandler, GSErrCode, (short menuStrResID, APIMenuCommandProc * handlerProc),            \
      (menuStrResID, handlerProc))                                                                                     \
    X(ACAPI_MenuItem_GetMenuItemFlags, GSErrCode,                                                                      \
      (const API_MenuItemRef* menuItemRef, GSFlags* itemFlags, GS::UniString* menuItemText),                           \
      (menuItemRef, itemFlags, menuItemText))                                                                          \
    X(ACAPI_MenuItem_SetMenuItemFlags, GSErrCode,                                                                      \
      (const API_MenuItemRef* menuItemRef, GSFlags* itemFlags, GS::UniString* menuItemText),                           \
      (menuItemRef, itemFlags, menuItemText))                                                                          \
    X(ACAPI_MenuItem_SetMenuItemText, GSErrCode,                                                                       \
      (const API_MenuItemRef* menuItemRef, char* itemText, GS::UniString* itemUniText),                                \
      (menuItemRef, itemText, itemUniText))                                                                            \
    X(ACAPI_AddOnAddOnCommunication_RegisterSupportedService, GSErrCode, (GSType cmdID, Int32 cmdVersion),             \
      (cmdID, cmdVersion))                                                                                             \
    X(ACAPI_AddOnIntegration_InstallModulCommandHandler, GSErrCode,                                                    \
      (GSType cmdID, Int32 cmdVersion, APIModulCommandProc * handlerProc), (cmdID, cmdVersion, handlerProc))           \
    X(ACAPI_AddOnAddOnCommunication_CallFromEventLoop, GSErrCode,                                                      \
      (const API_ModulID* mdid, GSType cmdID, Int32 cmdVersion, GSHandle paramsHandle, bool silentMode,                \
       APICommandCallBackProc* callbackProc),                                                                          \
      (mdid, cmdID, cmdVersion, paramsHandle, silentMode, callbackProc))                                               \
    X(ACAPI_AddOnAddOnCommunication_InitMDCLParameterList, GSErrCode, (GSHandle * params), (params))                   \
    X(ACAPI_AddOnAddOnCommunication_FreeMDCLParameterList, GSErrCode, (GSHandle * params), (params))                   \
    X(ACAPI_AddOnAddOnCommunication_AddMDCLParameter, GSErrCode, (GSHandle params, API_MDCLParameter * mDCLParameter), \
      (params, mDCLParameter))                                                                                         \
    X(ACAPI_AddOnAddOnCommunication_GetMDCLParameterNum, GSErrCode, (GSHandle params, Int32 * nPars), (params, nPars)) \
    X(ACAPI_AddOnAddOnCommunication_GetMDCLParameter, GSErrCode, (GSHandle params, API_MDCLParameter * mDCLParameter), \
      (params, mDCLParameter))                                                                                         \
    X(ACAPI_Notification_CatchSelectionChange, GSErrCode, (APISelectionChangeHandlerProc * handlerProc),               \
      (handlerProc))                                                                                                   \
    X(ACAPI_Element_InstallElementObserver, GSErrCode, (APIElementEventHandlerProc * handlerProc), (handlerProc))      \
    X(ACAPI_Element_CatchNewElement, GSErrCode,                                                                        \
      (const API_ToolBoxItem* elemType, APIElementEventHandlerProc* handlerProc), (elemType, handlerProc))             \
    X(ACAPI_ProjectOperation_CatchProjectEvent, GSErrCode,                                                             \
      (GSFlags eventTypes, APIProjectEventHandlerProc * handlerProc), (eventTypes, handlerProc))                       \
    X(ACAPI_Element_AttachObserver, GSErrCode, (const API_Guid& elemGuid, GSFlags notifyFlags),                        \
      (elemGuid, notifyFlags))                                                                                         \
    X(ACAPI_Selection_Get, GSErrCode,                                                                                  \
      (API_SelectionInfo * selectionInfo, GS::Array<API_Neig> * selNeigs, bool onlyEditable,                           \
       bool ignorePartialSelection, API_SelRelativePosID relativePosToMarquee),                                        \
      (selectionInfo, selNeigs, onlyEditable, ignorePartialSelection, relativePosToMarquee))                           \
    X(ACAPI_Selection_DeselectAll, GSErrCode, (), ())                                                                  \
    X(ACAPI_Selection_Select, GSErrCode, (const GS::Array<API_Neig>& selNeigs, bool add), (selNeigs, add))             \
    X(ACAPI_View_ZoomToSelected, GSErrCode, (), ())                                                                    \
    X(ACAPI_Element_GetHeader, GSErrCode, (API_Elem_Head * elemHead, UInt32 mask), (elemHead, mask))                 \
    X(ACAPI_Element_Get, GSErrCode, (API_Element * element, UInt32 mask), (element, mask))                            \
    X(ACAPI_Element_GetElemList, GSErrCode,                                                                            \
      (const API_ElemType& type, GS::Array<API_Guid>* elemList, API_ElemFilterFlags filterBits,                        \
       const API_Guid& renovationFilterGuid),                                                                          \
      (type, elemList, filterBits, renovationFilterGuid))                                                              \
    X(ACAPI_Grouping_GetConnectedElements, GSErrCode,                                                                  \
      (const API_Guid& guid, const API_ElemType& connectedElemType, GS::Array<API_Guid>* connectedElements,            \
       API_ElemFilterFlags filterBits, const API_Guid& renovationFilterGuid),                                          \
      (guid, connectedElemType, connectedElements, filterBits, renovationFilterGuid))                                  \
    X(ACAPI_Element_GetUserData, GSErrCode, (API_Elem_Head * elemHead, API_ElementUserData * userData, UInt32 mask),   \
      (elemHead, userData, mask))                                                                                      \
    X(ACAPI_Element_SetUserData, GSErrCode, (API_Elem_Head * elemHead, const API_ElementUserData* userData),           \
      (elemHead, userData))                                                                                            \
    X(ACAPI_UserData_DeleteUserData, GSErrCode, (API_Elem_Head * elemHead), (elemHead))                               \
    X(ACAPI_Element_GetQuantities, GSErrCode,                                                                          \
      (API_Guid elemGuid, const API_QuantityPar* params, API_Quantities* quantities, const API_QuantitiesMask* mask),  \
      (elemGuid, params, quantities, mask))                                                                            \
    X(ACAPI_ModulData_GetList, GSErrCode, (GS::Array<GS::UniString> * modulNameList), (modulNameList))                 \
    X(ACAPI_ModulData_GetInfo, GSErrCode, (API_ModulData * info, const GS::UniString& modulName), (info, modulName))   \
    X(ACAPI_ModulData_Get, GSErrCode, (API_ModulData * info, const GS::UniString& modulName), (info, modulName))       \
    X(ACAPI_ModulData_Store, GSErrCode, (const API_ModulData* info, const GS::UniString& modulName),                   \
      (info, modulName))                                                                                               \
    X(ACAPI_ModulData_Delete, GSErrCode, (const GS::UniString& modulName), (modulName))                                \
    X(ACAPI_Attribute_Search, GSErrCode, (API_Attr_Head * attrHead), (attrHead))                                       \
    X(ACAPI_Attribute_Delete, GSErrCode, (const API_Attr_Head& attrHead), (attrHead))                                  \
    X(ACAPI_Attribute_Get, GSErrCode, (API_Attribute * attribute), (attribute))                                        \
    X(ACAPI_Attribute_GetDefExt, GSErrCode, (API_AttrTypeID typeID, API_AttributeIndex index, API_AttributeDefExt* defs), \
      (typeID, index, defs))                                                                                           \
    X(ACAPI_Attribute_CreateExt, GSErrCode, (API_Attribute * attribute, API_AttributeDefExt * defs),                   \
      (attribute, defs))                                                                                               \
    X(ACAPI_Attribute_ModifyExt, GSErrCode, (API_Attribute * attribute, API_AttributeDefExt * defs),                   \
      (attribute, defs))                                                                                               \
    X(ACAPI_DisposeAttrDefsHdlsExt, GSErrCode, (API_AttributeDefExt * defs), (defs))                                   \
    X(ACAPI_Attribute_GetAttributesByType, GSErrCode, (API_AttrTypeID typeID, GS::Array<API_Attribute>& attributes),   \
      (typeID, attributes))                                                                                            \
    X(ACAPI_UserData_GetUserData, GSErrCode, (API_Attr_Head * attrHead, API_AttributeUserData * userData),             \
      (attrHead, userData))                                                                                            \
    X(ACAPI_UserData_SetUserData, GSErrCode, (API_Attr_Head * attrHead, const API_AttributeUserData* userData),        \
      (attrHead, userData))                                                                                            \
    X(ACAPI_Attribute_GetNum, GSErrCode, (API_AttrTypeID typeID, UInt32 & count), (typeID, count))                     \
    X(ACAPI_Attribute_GetPen, GSErrCode, (API_Pen & pen), (pen))                                                       \
    X(ACAPI_Attribute_GetPenNum, GSErrCode, (UInt32 & count), (count))                                                 \
    X(ACAPI_Property_GetPropertyGroups, GSErrCode, (GS::Array<API_PropertyGroup> & groups), (groups))                  \
    X(ACAPI_Property_GetPropertyDefinitions, GSErrCode,                                                                \
      (const API_Guid& groupGuid, GS::Array<API_PropertyDefinition>& definitions), (groupGuid, definitions))           \
    X(ACAPI_Property_GetPropertyDefinition, GSErrCode, (API_PropertyDefinition & definition), (definition))            \
    X(ACAPI_Property_CreatePropertyGroup, GSErrCode, (API_PropertyGroup & group), (group))                             \
    X(ACAPI_Property_DeletePropertyGroup, GSErrCode, (const API_Guid& groupGuid), (groupGuid))                         \
    X(ACAPI_Property_CreatePropertyDefinition, GSErrCode, (API_PropertyDefinition & definition), (definition))         \
    X(ACAPI_Property_ChangePropertyDefinition, GSErrCode, (const API_PropertyDefinition& definition), (definition))    \
    X(ACAPI_Property_DeletePropertyDefinition, GSErrCode, (const API_Guid& propertyGuid), (propertyGuid))              \
    X(ACAPI_Element_GetPropertyDefinitions, GSErrCode,                                                                 \
      (const API_Guid& elemGuid, API_PropertyDefinitionFilter filter, GS::Array<API_PropertyDefinition>& definitions), \
      (elemGuid, filter, definitions))                                                                                 \
    X(ACAPI_Element_GetPropertyValue, GSErrCode,                                                                       \
      (const API_Guid& elemGuid, const API_Guid& definitionGuid, API_Property& property),                              \
      (elemGuid, definitionGuid, property))                                                                            \
    X(ACAPI_Element_SetProperty, GSErrCode, (const API_Guid& elemGuid, const API_Property& property),                  \
      (elemGuid, property))                                                                                            \
    X(ACAPI_Element_GetPropertyValuesByGuid, GSErrCode,                                                                \
      (const API_Guid& elemGuid, const GS::Array<API_Guid>& definitionGuids, GS::Array<API_Property>& properties),     \
      (elemGuid, definitionGuids, properties))                                                                         \
    X(ACAPI_Element_SetProperties, GSErrCode, (const API_Guid& elemGuid, const GS::Array<API_Property>& properties),   \
      (elemGuid, properties))                                                                                          \
    X(ACAPI_Classification_GetClassificationSystems, GSErrCode, (GS::Array<API_ClassificationSystem> & systems),       \
      (systems))                                                                                                       \
    X(ACAPI_Classification_GetClassificationSystemRootItems, GSErrCode,                                                \
      (const API_Guid& systemGuid, GS::Array<API_ClassificationItem>& items), (systemGuid, items))                     \
    X(ACAPI_Classification_GetClassificationItemChildren, GSErrCode,                                                   \
      (const API_Guid& itemGuid, GS::Array<API_ClassificationItem>& children), (itemGuid, children))                   \
    X(ACAPI_Classification_GetClassificationItem, GSErrCode, (API_ClassificationItem & item), (item))                  \
    X(ACAPI_Element_GetClassificationItems, GSErrCode,                                                                 \
      (const API_Guid& elemGuid, GS::Array<GS::Pair<API_Guid, API_Guid>>& systemItemPairs), (elemGuid, systemItemPairs)) \
    X(ACAPI_Element_AddClassificationItem, GSErrCode, (const API_Guid& elemGuid, const API_Guid& itemGuid),            \
      (elemGuid, itemGuid))                                                                                            \
    X(ACAPI_Element_RemoveClassificationItem, GSErrCode, (const API_Guid& elemGuid, const API_Guid& itemGuid),         \
      (elemGuid, itemGuid))                                                                                            \
    X(ACAPI_ProcessWindow_InitProcessWindow, GSErrCode,                                                                \
      (const GS::UniString* title, Int32* nPhase, API_ProcessControlTypeID* processCntrolType),                        \
      (title, nPhase, processCntrolType))                                                                              \
    X(ACAPI_ProcessWindow_SetNextProcessPhase, GSErrCode,                                                              \
      (const GS::UniString* subtitle, Int32* maxval, bool* showPercent), (subtitle, maxval, showPercent))              \
    X(ACAPI_ProcessWindow_SetProcessValue, GSErrCode, (Int32 * newval), (newval))                                      \
    X(ACAPI_ProcessWindow_IncProcessValue, GSErrCode, (Int32 * incval), (incval))                                      \
    X(ACAPI_ProcessWindow_IsProcessCanceled, GSErrCode, (), ())                                                        \
    X(ACAPI_ProcessWindow_CloseProcessWindow, GSErrCode, (), ())                                                       \
    X(ACAPI_CallUndoableCommand, GSErrCode,                                                                            \
      (const GS::UniString& undoString, const std::function<GSErrCode()>& command), (undoString, command))             \
    X(Shell_Execute, GSErrCode, (const GS::UniString& verb, const GS::UniString& address, Int32 showCommand),          \
      (verb, address, showCommand))
// clang-format on

struct API_HostFunctions {
#define API_TABLE_MEMBER(name, ret, params, args) ret(*name) params = nullptr;
    API_HOST_OPERATIONS(API_TABLE_MEMBER)
#undef API_TABLE_MEMBER
    // The kit's ACAPI_WriteReport takes the format's arguments as "..."; a variadic call cannot be passed on, so
    // the calling layer hands the host the argument list it started.
    void (*ACAPI_WriteReport)(const GS::UniString& format, bool withDial, std::va_list arguments) = nullptr;
};

// The add-on's entry points, called by the host in this order.
struct API_ExportedFunctions {
    API_AddonType (*CheckEnvironment)(API_EnvirParams* envirParams) = nullptr;
    GSErrCode (*RegisterInterface)() = nullptr;
    GSErrCode (*Initialize)() = nullptr;
    GSErrCode (*FreeData)() = nullptr;
};

using GetExportedFuncAddrsProc = GSErrCode(API_ExportedFunctions* exported);
using SetImportedFuncAddrsProc = GSErrCode(const API_HostFunctions* imported);

constexpr const char* GetExportedFuncAddrsSymbol = "GetExportedFuncAddrs";
constexpr const char* SetImportedFuncAddrsSymbol = "SetImportedFuncAddrs";

// Four-character codes such as 'DS01' as the host spells them.
constexpr GSType MakeGSType(const char (&code)[5])
{
    return (GSType(UInt8(code[0])) << 24) | (GSType(UInt8(code[1])) << 16) | (GSType(UInt8(code[2])) << 8) |
           GSType(UInt8(code[3]));
}

// The development kit's names the module uses, as the Archicad 28 reference gives them
// (https://graphisoft.github.io/archicad-api-devkit/): a stand-in that drifts from the kit stops the build here.
// The error codes are those of the reference's error code page; the values it leaves out are the kit header's.
#include "ACAPinc.hpp"

#include <type_traits>

namespace {

#define KIT_FUNCTION(name, ...) static_assert(std::is_same_v<decltype(API_HostFunctions::name), std::add_pointer_t<__VA_ARGS__>>, #name);
#define KIT_FIELD(record, field, ...) static_assert(std::is_same_v<decltype(record::field), __VA_ARGS__>, #record "::" #field);
#define KIT_VALUE(name, value) static_assert(name == (value), #name);
// The kit's plain C records: no constructor, no default member initialiser, so a read into one starts from
// whatever the caller put there.
#define KIT_PLAIN_RECORD(record) static_assert(std::is_trivial_v<record> && std::is_aggregate_v<record>, #record);

KIT_FUNCTION(ACAPI_KeepInMemory, void(bool))
KIT_FUNCTION(ACAPI_GetOwnResModule, GSResModule())
KIT_FUNCTION(ACAPI_MenuItem_RegisterMenu, GSErrCode(short, short, APIMenuCodeID, GSFlags))
KIT_FUNCTION(ACAPI_MenuItem_InstallMenuHandler, GSErrCode(short, APIMenuCommandProc*))
KIT_FUNCTION(ACAPI_MenuItem_GetMenuItemFlags, GSErrCode(const API_MenuItemRef*, GSFlags*, GS::UniString*))
KIT_FUNCTION(ACAPI_MenuItem_SetMenuItemFlags, GSErrCode(const API_MenuItemRef*, GSFlags*, GS::UniString*))
KIT_FUNCTION(ACAPI_MenuItem_SetMenuItemText, GSErrCode(const API_MenuItemRef*, char*, GS::UniString*))
KIT_FUNCTION(ACAPI_AddOnAddOnCommunication_RegisterSupportedService, GSErrCode(GSType, Int32))
KIT_FUNCTION(ACAPI_AddOnIntegration_InstallModulCommandHandler, GSErrCode(GSType, Int32, APIModulCommandProc*))
KIT_FUNCTION(ACAPI_AddOnAddOnCommunication_CallFromEventLoop,
             GSErrCode(const API_ModulID*, GSType, Int32, GSHandle, bool, APICommandCallBackProc*))
KIT_FUNCTION(ACAPI_AddOnAddOnCommunication_InitMDCLParameterList, GSErrCode(GSHandle*))
KIT_FUNCTION(ACAPI_AddOnAddOnCommunication_FreeMDCLParameterList, GSErrCode(GSHandle*))
KIT_FUNCTION(ACAPI_AddOnAddOnCommunication_AddMDCLParameter, GSErrCode(GSHandle, API_MDCLParameter*))
KIT_FUNCTION(ACAPI_AddOnAddOnCommunication_GetMDCLParameterNum, GSErrCode(GSHandle, Int32*))
KIT_FUNCTION(ACAPI_AddOnAddOnCommunication_GetMDCLParameter, GSErrCode(GSHandle, API_MDCLParameter*))
KIT_FUNCTION(ACAPI_Notification_CatchSelectionChange, GSErrCode(APISelectionChangeHandlerProc*))
KIT_FUNCTION(ACAPI_Element_InstallElementObserver, GSErrCode(APIElementEventHandlerProc*))
KIT_FUNCTION(ACAPI_Element_CatchNewElement, GSErrCode(const API_ToolBoxItem*, APIElementEventHandlerProc*))
KIT_FUNCTION(ACAPI_ProjectOperation_CatchProjectEvent, GSErrCode(GSFlags, APIProjectEventHandlerProc*))
KIT_FUNCTION(ACAPI_Element_AttachObserver, GSErrCode(const API_Guid&, GSFlags))
KIT_FUNCTION(ACAPI_Selection_Get,
             GSErrCode(API_SelectionInfo*, GS::Array<API_Neig>*, bool, bool, API_SelRelativePosID))
KIT_FUNCTION(ACAPI_Selection_DeselectAll, GSErrCode())
KIT_FUNCTION(ACAPI_Selection_Select, GSErrCode(const GS::Array<API_Neig>&, bool))
KIT_FUNCTION(ACAPI_View_ZoomToSelected, GSErrCode())
KIT_FUNCTION(ACAPI_Element_GetHeader, GSErrCode(API_Elem_Head*, UInt32))
KIT_FUNCTION(ACAPI_Element_Get, GSErrCode(API_Element*, UInt32))
KIT_FUNCTION(ACAPI_Element_GetElemList,
             GSErrCode(const API_ElemType&, GS::Array<API_Guid>*, API_ElemFilterFlags, const API_Guid&))
KIT_FUNCTION(ACAPI_Grouping_GetConnectedElements,
             GSErrCode(const API_Guid&, const API_ElemType&, GS::Array<API_Guid>*, API_ElemFilterFlags, const API_Guid&))
KIT_FUNCTION(ACAPI_Element_GetUserData, GSErrCode(API_Elem_Head*, API_ElementUserData*, UInt32))
KIT_FUNCTION(ACAPI_Element_SetUserData, GSErrCode(API_Elem_Head*, const API_ElementUserData*))
KIT_FUNCTION(ACAPI_Element_GetQuantities,
             GSErrCode(API_Guid, const API_QuantityPar*, API_Quantities*, const API_QuantitiesMask*))
KIT_FUNCTION(ACAPI_ModulData_GetList, GSErrCode(GS::Array<GS::UniString>*))
KIT_FUNCTION(ACAPI_ModulData_GetInfo, GSErrCode(API_ModulData*, const GS::UniString&))
KIT_FUNCTION(ACAPI_ModulData_Get, GSErrCode(API_ModulData*, const GS::UniString&))
KIT_FUNCTION(ACAPI_ModulData_Store, GSErrCode(const API_ModulData*, const GS::UniString&))
KIT_FUNCTION(ACAPI_Attribute_Search, GSErrCode(API_Attr_Head*))
KIT_FUNCTION(ACAPI_Attribute_Delete, GSErrCode(const API_Attr_Head&))
KIT_FUNCTION(ACAPI_Attribute_Get, GSErrCode(API_Attribute*))
KIT_FUNCTION(ACAPI_Attribute_CreateExt, GSErrCode(API_Attribute*, API_AttributeDefExt*))
KIT_FUNCTION(ACAPI_Attribute_ModifyExt, GSErrCode(API_Attribute*, API_AttributeDefExt*))
KIT_FUNCTION(ACAPI_Attribute_GetAttributesByType, GSErrCode(API_AttrTypeID, GS::Array<API_Attribute>&))
KIT_FUNCTION(ACAPI_UserData_GetUserData, GSErrCode(API_Attr_Head*, API_AttributeUserData*))
KIT_FUNCTION(ACAPI_UserData_SetUserData, GSErrCode(API_Attr_Head*, const API_AttributeUserData*))
KIT_FUNCTION(ACAPI_Attribute_GetPen, GSErrCode(API_Pen&))
KIT_FUNCTION(ACAPI_Attribute_GetPenNum, GSErrCode(UInt32&))
KIT_FUNCTION(ACAPI_Property_GetPropertyGroups, GSErrCode(GS::Array<API_PropertyGroup>&))
KIT_FUNCTION(ACAPI_Property_GetPropertyDefinitions, GSErrCode(const API_Guid&, GS::Array<API_PropertyDefinition>&))
KIT_FUNCTION(ACAPI_Property_GetPropertyDefinition, GSErrCode(API_PropertyDefinition&))
KIT_FUNCTION(ACAPI_Property_CreatePropertyGroup, GSErrCode(API_PropertyGroup&))
KIT_FUNCTION(ACAPI_Property_CreatePropertyDefinition, GSErrCode(API_PropertyDefinition&))
KIT_FUNCTION(ACAPI_Property_ChangePropertyDefinition, GSErrCode(const API_PropertyDefinition&))
KIT_FUNCTION(ACAPI_Element_GetPropertyValue, GSErrCode(const API_Guid&, const API_Guid&, API_Property&))
KIT_FUNCTION(ACAPI_Element_SetProperty, GSErrCode(const API_Guid&, const API_Property&))
KIT_FUNCTION(ACAPI_Element_GetPropertyValuesByGuid,
             GSErrCode(const API_Guid&, const GS::Array<API_Guid>&, GS::Array<API_Property>&))
KIT_FUNCTION(ACAPI_Element_SetProperties, GSErrCode(const API_Guid&, const GS::Array<API_Property>&))
KIT_FUNCTION(ACAPI_Classification_GetClassificationSystems, GSErrCode(GS::Array<API_ClassificationSystem>&))
KIT_FUNCTION(ACAPI_Classification_GetClassificationSystemRootItems,
             GSErrCode(const API_Guid&, GS::Array<API_ClassificationItem>&))
KIT_FUNCTION(ACAPI_Classification_GetClassificationItemChildren,
             GSErrCode(const API_Guid&, GS::Array<API_ClassificationItem>&))
KIT_FUNCTION(ACAPI_ProcessWindow_InitProcessWindow,
             GSErrCode(const GS::UniString*, Int32*, API_ProcessControlTypeID*))
KIT_FUNCTION(ACAPI_ProcessWindow_SetNextProcessPhase, GSErrCode(const GS::UniString*, Int32*, bool*))
KIT_FUNCTION(ACAPI_ProcessWindow_SetProcessValue, GSErrCode(Int32*))
KIT_FUNCTION(ACAPI_ProcessWindow_IsProcessCanceled, GSErrCode())
KIT_FUNCTION(ACAPI_ProcessWindow_CloseProcessWindow, GSErrCode())
KIT_FUNCTION(ACAPI_CallUndoableCommand, GSErrCode(const GS::UniString&, const std::function<GSErrCode()>&))
static_assert(std::is_same_v<decltype(&::ACAPI_WriteReport), void (*)(const GS::UniString&, bool, ...)>,
              "ACAPI_WriteReport");

static_assert(std::is_same_v<APIModulCommandProc, GSErrCode(GSHandle, GSPtr, bool)>, "APIModulCommandProc");
static_assert(std::is_same_v<APICommandCallBackProc, void(GSHandle*, GSPtr, GSErrCode)>, "APICommandCallBackProc");
static_assert(std::is_same_v<APIMenuCommandProc, GSErrCode(const API_MenuParams*)>, "APIMenuCommandProc");
static_assert(std::is_same_v<APISelectionChangeHandlerProc, GSErrCode(const API_Neig*)>, "APISelection...");
static_assert(std::is_same_v<APIElementEventHandlerProc, GSErrCode(const API_NotifyElementType*)>, "APIElement...");
static_assert(std::is_same_v<APIProjectEventHandlerProc, GSErrCode(API_NotifyEventID, Int32)>, "APIProject...");

KIT_PLAIN_RECORD(API_ElementUserData)
KIT_PLAIN_RECORD(API_AttributeUserData)
KIT_PLAIN_RECORD(API_ModulData)
KIT_PLAIN_RECORD(API_ModulID)
KIT_PLAIN_RECORD(API_MDCLParameter)
KIT_PLAIN_RECORD(API_MenuItemRef)
KIT_PLAIN_RECORD(API_SelectionInfo)
KIT_FIELD(API_ElementUserData, dataVersion, short)
KIT_FIELD(API_ElementUserData, platformSign, unsigned short)
KIT_FIELD(API_ElementUserData, flags, GSFlags)
KIT_FIELD(API_ElementUserData, dataHdl, GSHandle)
KIT_FIELD(API_AttributeUserData, dataVersion, short)
KIT_FIELD(API_AttributeUserData, platformSign, unsigned short)
KIT_FIELD(API_AttributeUserData, flags, GSFlags)
KIT_FIELD(API_AttributeUserData, dataHdl, GSHandle)
KIT_FIELD(API_ModulData, dataVersion, Int32)
KIT_FIELD(API_ModulData, platformSign, unsigned short)
KIT_FIELD(API_ModulData, dataHdl, GSHandle)
KIT_FIELD(API_ModulID, developerID, GSType)
KIT_FIELD(API_ModulID, localID, GSType)
KIT_FIELD(API_MDCLParameter, index, Int32)
KIT_FIELD(API_MDCLParameter, name, const char*)
KIT_FIELD(API_MDCLParameter, type, Int32)
KIT_FIELD(API_MDCLParameter, modified, bool)
KIT_FIELD(API_MDCLParameter, int_par, Int32)
KIT_FIELD(API_MDCLParameter, ptr_par, void*)
KIT_FIELD(API_MDCLParameter, float_par, double)
KIT_FIELD(API_MDCLParameter, string_par, const char*)
KIT_FIELD(API_MenuItemRef, menuResID, short)
KIT_FIELD(API_MenuItemRef, itemIndex, Int32)
KIT_FIELD(API_MenuParams, menuItemRef, API_MenuItemRef)
KIT_FIELD(API_SelectionInfo, typeID, API_SelTypeID)
KIT_FIELD(API_SelectionInfo, sel_nElem, Int32)
KIT_FIELD(API_SelectionInfo, sel_nElemEdit, Int32)
KIT_FIELD(API_Neig, neigID, API_NeigID)
KIT_FIELD(API_Neig, guid, API_Guid)
KIT_FIELD(API_NotifyElementType, notifID, API_ElementDBEventID)
KIT_FIELD(API_NotifyElementType, elemHead, API_Elem_Head)
KIT_FIELD(API_Elem_Head, type, API_ElemType)
KIT_FIELD(API_Elem_Head, guid, API_Guid)
KIT_FIELD(API_ElemType, typeID, API_ElemTypeID)
KIT_FIELD(API_Attr_Head, typeID, API_AttrTypeID)
KIT_FIELD(API_Attr_Head, index, API_AttributeIndex)
KIT_FIELD(API_Attr_Head, flags, short)
KIT_FIELD(API_Attr_Head, guid, API_Guid)
KIT_FIELD(API_Attr_Head, uniStringNamePtr, GS::UniString*)
KIT_FIELD(API_PropertyGroup, name, GS::UniString)
KIT_FIELD(API_PropertyDefinition, groupGuid, API_Guid)
KIT_FIELD(API_PropertyDefinition, valueType, API_VariantType)
KIT_FIELD(API_Property, definition, API_PropertyDefinition)
KIT_FIELD(API_Property, status, API_PropertyValueStatus)
KIT_FIELD(API_Property, isDefault, bool)
KIT_FIELD(API_ClassificationItem, id, GS::UniString)

KIT_VALUE(MDCLPar_string, 1)
KIT_VALUE(MDCLPar_int, 2)
KIT_VALUE(MDCLPar_float, 3)
KIT_VALUE(APINotifyElement_New, 1)
KIT_VALUE(APINotifyElement_Copy, 2)
KIT_VALUE(APINotifyElement_Change, 3)
KIT_VALUE(APINotifyElement_Delete, 5)
KIT_VALUE(APINotifyElement_Undo_Created, 11)
KIT_VALUE(APINeig_None, 0)
KIT_VALUE(APINeig_Wall, 1)
KIT_VALUE(APINeig_Ceil, 15)
KIT_VALUE(API_InsidePartially, 0)
KIT_VALUE(API_SelEmpty, 0)
KIT_VALUE(API_SelElems, 1)
KIT_VALUE(API_MenuItemDisabled, 0x0001)
KIT_VALUE(API_MenuItemChecked, 0x0002)
KIT_VALUE((APINotify_New | APINotify_NewAndReset | APINotify_Open), 7)
KIT_VALUE(APIAddon_DontRegister, 0)
KIT_VALUE(APIAddon_Preload, 2)
KIT_VALUE(API_WallID, 1)
KIT_VALUE(API_SlabID, 8)

KIT_VALUE(APIERR_GENERAL, -2130313215)
KIT_VALUE(APIERR_MEMFULL, -2130313214)
KIT_VALUE(APIERR_BADID, -2130313115)
KIT_VALUE(APIERR_BADINDEX, -2130313114)
KIT_VALUE(APIERR_BADNAME, -2130313113)
KIT_VALUE(APIERR_BADPARS, -2130313112)
KIT_VALUE(APIERR_BADPLATFORMSIGN, -2130313107)
KIT_VALUE(APIERR_NOUSERDATA, -2130313216 + 220)
KIT_VALUE(APIERR_NOTMINE, -2130313216 + 306)
KIT_VALUE(APIERR_MODULNOTINSTALLED, -2130313216 + 401)
KIT_VALUE(APIERR_MODULCMDNOTSUPPORTED, -2130313216 + 403)
KIT_VALUE(APIERR_NOMODULEDATA, -2130313216 + 405)
KIT_VALUE(APIERR_NOTSUPPORTED, -2130313216 + 903)
KIT_VALUE(APIERR_REFUSEDPAR, -2130313216 + 905)
KIT_VALUE(APIERR_NEEDSUNDOSCOPE, -2130313216 + 909)

}  // namespace

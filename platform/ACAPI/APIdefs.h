// The Archicad API's records, codes and callback types that the host and an add-on share.
#pragma once

#include "APIdefs_Attributes.h"
#include "APIdefs_Base.h"
#include "APIdefs_Elements.h"
#include "APIdefs_ErrorCodes.h"
#include "APIdefs_Properties.h"
#include "Pair.hpp"

// Framework: identity and the running environment.
enum API_AddonType { APIAddon_DontRegister = 0, APIAddon_Normal = 1, APIAddon_Preload = 2, APIAddon_Unknown = 9999 };

struct API_AddOnInfo {
    GS::UniString name;
    GS::UniString description;
};

struct API_ServerApplicationInfo {
    Int32 mainVersion = 0;
    Int32 releaseVersion = 0;
    Int32 buildNum = 0;
    GS::UniString language;
};

struct API_EnvirParams {
    API_ServerApplicationInfo serverInfo;
    API_AddOnInfo addOnInfo;
};

// Menus.
enum APIMenuCodeID { MenuCode_UserDef = 0, MenuCode_File = 1, MenuCode_Tools = 5, MenuCode_Extras = 13 };
constexpr GSFlags MenuFlag_Default = 0;
constexpr GSFlags API_MenuItemDisabled = 0x0001;
constexpr GSFlags API_MenuItemChecked = 0x0002;

struct API_MenuItemRef {
    Int16 menuResID = 0;
    Int32 itemIndex = 0;  // 1-based
};

struct API_MenuParams {
    API_MenuItemRef menuItemRef;
};

using APIMenuCommandProc = GSErrCode(const API_MenuParams* menuParams);

// Add-on commands and their parameter lists.
struct API_ModulID {
    UInt32 developerID = 0;
    UInt32 localID = 0;
};

enum API_MDCLParType { MDCLPar_int = 1, MDCLPar_float = 2, MDCLPar_string = 3, MDCLPar_pointer = 4 };

struct API_MDCLParameter {
    Int32 index = 0;  // 1-based position when reading by index
    const char* name = nullptr;
    API_MDCLParType type = MDCLPar_int;
    GSFlags flags = 0;
    Int32 int_par = 0;
    double float_par = 0.0;
    const char* string_par = nullptr;  // UTF-8; valid while the list lives
    void* ptr_par = nullptr;
};

using APIModulCommandProc = GSErrCode(GSHandle params, void* resultData, bool silentMode);
using APICommandCallBackProc = void(GSHandle* params, void* resultData, bool silentMode);

struct API_ModulData {
    Int32 dataVersion = 0;
    UInt16 platformSign = 0;
    GSHandle dataHdl = nullptr;
};

// Notifications.
enum API_NeigID { APINeig_None = 0, APINeig_Wall = 1, APINeig_Slab = 8, APINeig_Other = 99 };

struct API_Neig {
    API_NeigID neigID = APINeig_None;
    API_Guid guid;
};

enum API_ElementDBEventID {
    APINotifyElement_New = 1,
    APINotifyElement_Copy = 2,
    APINotifyElement_Change = 3,
    APINotifyElement_Delete = 4,
    APINotifyElement_Undo_Created = 5,
};

struct API_NotifyElementType {
    API_ElementDBEventID notifID = APINotifyElement_New;
    API_Elem_Head elemHead;
};

enum API_NotifyEventID {
    APINotify_New = 1,
    APINotify_NewAndReset = 2,
    APINotify_Open = 4,
    APINotify_PreSave = 8,
    APINotify_Save = 16,
    APINotify_Close = 32,
    APINotify_Quit = 64,
};

using APISelectionChangeHandlerProc = GSErrCode(const API_Neig* selElemNeig);
using APIElementEventHandlerProc = GSErrCode(const API_NotifyElementType* elemType);
using APIProjectEventHandlerProc = GSErrCode(API_NotifyEventID notifID, Int32 param);

struct API_ToolBoxItem {
    API_ElemType type;
};

struct API_SelectionInfo {
    Int32 sel_nElem = 0;
    Int32 sel_nElemEdit = 0;
};

// Process windows.
enum API_ProcessControlTypeID { API_MenuCommandEnabled, API_MenuCommandDisabled };

namespace GS {
// Platform signature stored with user data, telling the byte order it was written in.
constexpr UInt16 Act_Platform_Sign = 0x1000;
}  // namespace GS

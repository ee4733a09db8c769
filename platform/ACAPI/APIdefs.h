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
    Int32 mainVersion;
    Int32 releaseVersion;
    Int32 buildNum;
    GS::UniString language;

    API_ServerApplicationInfo() : mainVersion(0), releaseVersion(0), buildNum(0) {}
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
    short menuResID;
    Int32 itemIndex;  // 1-based
};

struct API_MenuParams {
    API_MenuItemRef menuItemRef;
};

using APIMenuCommandProc = GSErrCode(const API_MenuParams* menuParams);

// Add-on commands and their parameter lists.
struct API_ModulID {
    GSType developerID;
    GSType localID;
};

// The 28 and 29 pages name the values without giving them; these are the kit header's.
enum API_MDCLParType { MDCLPar_string = 1, MDCLPar_int = 2, MDCLPar_float = 3, MDCLPar_pointer = 4 };

struct API_MDCLParameter {
    Int32 index;  // 1-based position when reading by index
    const char* name;
    Int32 type;  // an API_MDCLParType value
    bool modified;
    union {
        Int32 int_par;
        void* ptr_par;
    };
    double float_par;
    const char* string_par;  // UTF-8; valid while the list lives
};

using APIModulCommandProc = GSErrCode(GSHandle params, GSPtr resultData, bool silentMode);
using APICommandCallBackProc = void(GSHandle* paramsHandle, GSPtr resultData, GSErrCode returnCode);

struct API_ModulData {
    Int32 dataVersion;
    unsigned short platformSign;
    GSHandle dataHdl;
};

// Notifications. Of the selectable parts, those of the element types the host has here; a slab is a ceiling.
enum API_NeigID {
    APINeig_None = 0,
    APINeig_Wall = 1,
    APINeig_Colu = 5,
    APINeig_Beam = 6,
    APINeig_Wind = 9,
    APINeig_Door = 11,
    APINeig_Symb = 13,
    APINeig_Light = 14,
    APINeig_Ceil = 15,
    APINeig_Roof = 17,
    APINeig_Mesh = 21,
};

struct API_Neig {
    API_NeigID neigID;
    API_Guid guid;

    API_Neig() : neigID(APINeig_None), guid() {}
    explicit API_Neig(const API_Guid& elemGuid) : neigID(APINeig_None), guid(elemGuid) {}
};

enum API_ElementDBEventID {
    APINotifyElement_BeginEvents = -1,
    APINotifyElement_EndEvents = -2,
    APINotifyElement_New = 1,
    APINotifyElement_Copy = 2,
    APINotifyElement_Change = 3,
    APINotifyElement_Edit = 4,
    APINotifyElement_Delete = 5,
    APINotifyElement_Undo_Created = 11,
    APINotifyElement_Undo_Modified = 12,
    APINotifyElement_Undo_Deleted = 13,
    APINotifyElement_Redo_Created = 14,
    APINotifyElement_Redo_Modified = 15,
    APINotifyElement_Redo_Deleted = 16,
};

struct API_NotifyElementType {
    API_ElementDBEventID notifID;
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

enum API_SelTypeID { API_SelEmpty = 0, API_SelElems, API_MarqueePoly, API_MarqueeHorBox, API_MarqueeRotBox };
enum API_SelRelativePosID { API_InsidePartially = 0, API_InsideEntirely, API_OutsidePartially, API_OutsideEntirely };

// The marquee region that follows these fields in the kit is left out: nothing here draws a marquee.
struct API_SelectionInfo {
    API_SelTypeID typeID;
    Int32 sel_nElem;
    Int32 sel_nElemEdit;
    bool multiStory;
};

// Process windows.
enum API_ProcessControlTypeID { API_MenuCommandEnabled, API_MenuCommandDisabled };

namespace GS {
// Platform signature stored with user data, telling the byte order it was written in.
constexpr UInt16 Act_Platform_Sign = 0x1000;
}  // namespace GS

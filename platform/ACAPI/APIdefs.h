// The Archicad API's records, codes and callback types that the host and an add-on share.
#pragma once

#include "Array.hpp"
#include "BM.hpp"
#include "Definitions.hpp"
#include "Guid.hpp"
#include "RS.hpp"
#include "UniString.hpp"

#include <functional>

constexpr GSErrCode APIERR_GENERAL = static_cast<GSErrCode>(0x81060001);
constexpr GSErrCode APIERR_MEMFULL = static_cast<GSErrCode>(0x81060002);
constexpr GSErrCode APIERR_CANCEL = static_cast<GSErrCode>(0x81060003);
constexpr GSErrCode APIERR_BADID = static_cast<GSErrCode>(0x810600C8);
constexpr GSErrCode APIERR_BADINDEX = static_cast<GSErrCode>(0x810600C9);
constexpr GSErrCode APIERR_BADNAME = static_cast<GSErrCode>(0x810600CA);
constexpr GSErrCode APIERR_BADPARS = static_cast<GSErrCode>(0x810600CB);
constexpr GSErrCode APIERR_NAMEALREADYUSED = static_cast<GSErrCode>(0x810600D8);
constexpr GSErrCode APIERR_REFUSEDCMD = static_cast<GSErrCode>(0x81060131);
constexpr GSErrCode APIERR_NOTSUPPORTED = static_cast<GSErrCode>(0x8106012D);
constexpr GSErrCode APIERR_MODULNOTINSTALLED = static_cast<GSErrCode>(0x8106025A);
constexpr GSErrCode APIERR_MODULCMDNOTSUPPORTED = static_cast<GSErrCode>(0x8106025B);
constexpr GSErrCode APIERR_NOTMINE = static_cast<GSErrCode>(0x81060387);

struct API_Guid {
    UInt32 time_low = 0;
    UInt16 time_mid = 0;
    UInt16 time_hi_and_version = 0;
    UInt8 clock_seq_hi_and_reserved = 0;
    UInt8 clock_seq_low = 0;
    UInt8 node[6] = {};
};

inline API_Guid GSGuid2APIGuid(const GS::Guid& guid)
{
    const auto& b = guid.GetBytes();
    API_Guid result;
    result.time_low = (UInt32(b[0]) << 24) | (UInt32(b[1]) << 16) | (UInt32(b[2]) << 8) | b[3];
    result.time_mid = static_cast<UInt16>((b[4] << 8) | b[5]);
    result.time_hi_and_version = static_cast<UInt16>((b[6] << 8) | b[7]);
    result.clock_seq_hi_and_reserved = b[8];
    result.clock_seq_low = b[9];
    for (int i = 0; i < 6; ++i)
        result.node[i] = b[10 + i];
    return result;
}

inline GS::Guid APIGuid2GSGuid(const API_Guid& guid)
{
    std::array<UInt8, 16> b{};
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<UInt8>(guid.time_low >> (24 - 8 * i));
    b[4] = static_cast<UInt8>(guid.time_mid >> 8);
    b[5] = static_cast<UInt8>(guid.time_mid);
    b[6] = static_cast<UInt8>(guid.time_hi_and_version >> 8);
    b[7] = static_cast<UInt8>(guid.time_hi_and_version);
    b[8] = guid.clock_seq_hi_and_reserved;
    b[9] = guid.clock_seq_low;
    for (int i = 0; i < 6; ++i)
        b[10 + i] = guid.node[i];
    return GS::Guid(b);
}

inline bool operator==(const API_Guid& left, const API_Guid& right)
{
    return APIGuid2GSGuid(left) == APIGuid2GSGuid(right);
}
inline bool operator!=(const API_Guid& left, const API_Guid& right)
{
    return !(left == right);
}

inline GS::UniString APIGuidToString(const API_Guid& guid)
{
    return APIGuid2GSGuid(guid).ToUniString();
}

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

// Elements.
enum API_ElemTypeID {
    API_ZombieElemID = 0,
    API_WallID = 1,
    API_ColumnID = 2,
    API_BeamID = 3,
    API_WindowID = 4,
    API_DoorID = 5,
    API_ObjectID = 6,
    API_LampID = 7,
    API_SlabID = 8,
    API_RoofID = 9,
    API_CurtainWallID = 10,
    API_CurtainWallPanelID = 11,
};

struct API_Elem_Head {
    API_ElemTypeID typeID = API_ZombieElemID;
    API_Guid guid;
    Int32 floorInd = 0;
    Int32 layer = 0;
};

struct API_ElementUserData {
    Int32 dataVersion = 0;
    UInt16 platformSign = 0;
    GSFlags flags = 0;
    GSHandle dataHdl = nullptr;
};

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
    API_ElemTypeID typeID = API_ZombieElemID;
};

struct API_SelectionInfo {
    Int32 sel_nElem = 0;
    Int32 sel_nElemEdit = 0;
};

// Attributes.
enum API_AttrTypeID {
    API_ZombieAttrID = 0,
    API_PenID = 1,
    API_CompWallID = 6,
    API_MaterialID = 8,
    API_BuildingMaterialID = 13,
};

using API_AttributeIndex = Int32;

struct API_Attr_Head {
    API_AttrTypeID typeID = API_ZombieAttrID;
    API_AttributeIndex index = 0;  // 1-based within its type; 0 means "find it by guid"
    API_Guid guid;
    GS::UniString name;
    GSFlags flags = 0;
};

// The type-specific parts (a composite's skins, say) join the header as the subsystems need them.
struct API_Attribute {
    API_Attr_Head header;
};

struct API_AttributeUserData {
    Int32 dataVersion = 0;
    UInt16 platformSign = 0;
    GSHandle dataHdl = nullptr;
};

// Records whose layout the model-writing and rule subsystems bring.
struct API_AttributeDefExt;
struct API_PropertyGroup;
struct API_PropertyDefinition;
struct API_Property;
struct API_ClassificationSystem;
struct API_ClassificationItem;
struct API_QuantityPar;
struct API_Quantities;
struct API_QuantitiesMask;

namespace GS {
// Platform signature stored with user data, telling the byte order it was written in.
constexpr UInt16 Act_Platform_Sign = 0x1000;
}  // namespace GS

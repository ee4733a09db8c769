// The Archicad API's attribute records: the common header, composites with their skins and separator
// lines, building materials, surfaces, fills, and the pens of the project's pen set.
#pragma once

#include "APIdefs_Base.h"

// An attribute's position in its type's list, 1-based; 0 names none.
class API_AttributeIndex {
public:
    bool operator==(const API_AttributeIndex& other) const { return attributeIndex == other.attributeIndex; }
    bool operator!=(const API_AttributeIndex& other) const { return attributeIndex != other.attributeIndex; }
    bool operator<(const API_AttributeIndex& other) const { return attributeIndex < other.attributeIndex; }
    Int32 ToInt32_Deprecated() const { return attributeIndex; }
    bool IsPositive() const { return attributeIndex > 0; }
    bool IsNegative() const { return attributeIndex < 0; }

private:
    friend API_AttributeIndex ACAPI_CreateAttributeIndex(Int32 index);
    Int32 attributeIndex;
};

inline API_AttributeIndex ACAPI_CreateAttributeIndex(Int32 index)
{
    API_AttributeIndex created = {};
    created.attributeIndex = index;
    return created;
}

inline const API_AttributeIndex APIInvalidAttributeIndex = ACAPI_CreateAttributeIndex(0);

enum API_AttrTypeID : int {
    API_ZombieAttrID = 0,
    API_LayerID = 1,
    API_LinetypeID = 2,
    API_FilltypeID = 3,
    API_CompWallID = 4,
    API_MaterialID = 5,
    API_LayerCombID = 6,
    API_ZoneCatID = 7,
    API_ProfileID = 8,
    API_PenTableID = 9,
    API_MEPSystemID = 10,
    API_OperationProfileID = 11,
    API_BuildingMaterialID = 12,
};

constexpr Int32 API_AttrNameLen = 256;

struct API_Attr_Head {
    API_AttrTypeID typeID;
    API_AttributeIndex index;
    short flags;
    // UTF-8; where uniStringNamePtr is set, the name is read from and written to it instead.
    char name[API_AttrNameLen];
    API_Guid guid;
    UInt64 modiTime;
    GS::UniString* uniStringNamePtr;
};

// Composite usage flags (head.flags) and skin flags (API_CWallComponent::flagBits).
constexpr short APICWall_ForWall = 0x0001;
constexpr short APICWall_ForSlab = 0x0002;
constexpr short APICWall_ForRoof = 0x0004;
constexpr short APICWall_ForShell = 0x0008;
constexpr short APICWallComp_Core = 0x0002;
constexpr short APICWallComp_Finish = 0x0020;

struct API_CWallComponent {
    API_AttributeIndex buildingMaterial;
    short framePen;
    short flagBits;
    double fillThick;
};

// The lines between and around the skins: nComps + 1 of them, outermost first.
struct API_CWallLineComponent {
    API_AttributeIndex ltypeInd;
    short linePen;
};

struct API_CompWallType {
    API_Attr_Head head;
    double totalThick;
    short nComps;
};

enum API_FillOrientationID {
    APIFillOrientation_ProjectOrigin = 0,
    APIFillOrientation_ElementOrigin = 1,
    APIFillOrientation_FitToSkin = 2,
};

struct API_BuildingMaterialType {
    API_Attr_Head head;
    GS::UniString* id;
    GS::UniString* manufacturer;
    GS::UniString* description;
    Int32 connPriority;
    API_AttributeIndex cutFill;
    short cutFillPen;
    short cutFillBackgroundPen;
    API_AttributeIndex cutMaterial;
    API_FillOrientationID cutFillOrientation;
    double thermalConductivity;
    double density;
    double heatCapacity;
    double embodiedEnergy;
    double embodiedCarbon;
    bool showUncutLines;
    bool doNotParticipateInCollDet;
};

enum API_MaterTypeID {
    APIMater_GeneralID,
    APIMater_SimpleID,
    APIMater_MatteID,
    APIMater_MetalID,
    APIMater_PlasticID,
    APIMater_GlassID,
    APIMater_GlowingID,
    APIMater_ConstID,
};

// A surface.
struct API_MaterialType {
    API_Attr_Head head;
    API_MaterTypeID mtype;
    short ambientPc;
    short diffusePc;
    short specularPc;
    short transpPc;
    short shine;
    short transpAtt;
    short emissionAtt;
    API_RGBColor surfaceRGB;
    API_RGBColor specularRGB;
    API_RGBColor emissionRGB;
    API_AttributeIndex ifill;
    short fillCol;
};

enum API_FillSubtype {
    APIFill_Vector,
    APIFill_Symbol,
    APIFill_Solid,
    APIFill_Empty,
    APIFill_LinearGradient,
    APIFill_RadialGradient,
    APIFill_Image,
};

struct API_FilltypeType {
    API_Attr_Head head;
    API_FillSubtype subType;
    double hXSpac;
    double hYSpac;
    double hAngle;
};

union API_Attribute {
    API_Attr_Head header;
    API_FilltypeType filltype;
    API_CompWallType compWall;
    API_MaterialType material;
    API_BuildingMaterialType buildingMaterial;
};

// The parts of an attribute that do not fit its record: a composite's skins and lines, as host handles
// the caller allocates for Create/Modify and frees after GetDefExt.
struct API_AttributeDefExt {
    API_CWallComponent** cwall_compItems;
    API_CWallLineComponent** cwall_compLItems;
};

struct API_AttributeUserData {
    short dataVersion;
    unsigned short platformSign;
    GSFlags flags;
    GSHandle dataHdl;
};

// A pen of the active pen table: 1..255.
struct API_Pen {
    short index;
    UInt64 modiTime;
    API_RGBColor rgb;
    double width;  // on paper, in millimetres
    char description[128];
};

// The Archicad API's element records: the common header, walls, slabs, curtain walls and the windows
// and doors placed in walls, their quantities and the mask that says which quantities to compute.
// Lengths in metres, areas in square metres, volumes in cubic metres, angles in radians.
#pragma once

#include "APIdefs_Attributes.h"
#include "APIdefs_Base.h"

#include <cstring>

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
    API_MeshID = 10,
    API_CurtainWallID = 37,
    API_CurtainWallSegmentID = 38,
    API_CurtainWallFrameID = 39,
    API_CurtainWallPanelID = 40,
};

enum API_ElemVariationID { APIVarId_Generic = 0 };

// An element's type: the tool (typeID) and, for library-part based tools, its variation.
struct API_ElemType {
    API_ElemTypeID typeID;
    API_ElemVariationID variationID;
    API_Guid classID;

    API_ElemType() = default;
    API_ElemType(API_ElemTypeID id)  // NOLINT: the kit converts implicitly
        : typeID(id), variationID(APIVarId_Generic), classID(APINULLGuid)
    {
    }

    bool operator==(const API_ElemType& other) const
    {
        return typeID == other.typeID && variationID == other.variationID && classID == other.classID;
    }
    bool operator!=(const API_ElemType& other) const { return !(*this == other); }
};

struct API_Elem_Head {
    API_ElemType type;
    API_Guid guid;
    Int32 floorInd;
    Int32 layer;
    UInt64 modiStamp;
};

using API_ElemFilterFlags = GSFlags;
constexpr API_ElemFilterFlags APIFilt_None = 0x00000000;

struct API_ElementUserData {
    short dataVersion;
    unsigned short platformSign;
    GSFlags flags;
    GSHandle dataHdl;
};

enum API_ModelElemStructureType {
    API_BasicStructure,
    API_CompositeStructure,
    API_ProfileStructure,
};

using API_OverriddenAttribute = APIOptional<API_AttributeIndex>;

struct API_Polygon {
    Int32 nCoords;
    Int32 nSubPolys;
    Int32 nArcs;
};

enum API_WallReferenceLineLocationID {
    APIWallRefLine_Outside = 0,
    APIWallRefLine_Center,
    APIWallRefLine_Inside,
    APIWallRefLine_CoreOutside,
    APIWallRefLine_CoreCenter,
    APIWallRefLine_CoreInside,
};

enum API_WallTypeID {
    APIWtyp_Normal,
    APIWtyp_Trapez,
    APIWtyp_Poly,
};

// Cross sections of a wall (profileType).
constexpr short APISect_Normal = 0x0000;
constexpr short APISect_Poly = 0x0001;
constexpr short APISect_Slanted = 0x0003;
constexpr short APISect_Trapez = 0x0005;

struct API_WallType {
    API_Elem_Head head;
    API_ModelElemStructureType modelElemStructureType;
    API_AttributeIndex buildingMaterial;
    API_AttributeIndex composite;
    API_AttributeIndex profileAttr;
    short profileType;
    API_OverriddenAttribute refMat;
    API_OverriddenAttribute oppMat;
    API_OverriddenAttribute sidMat;
    bool flipped;
    API_WallTypeID type;
    API_WallReferenceLineLocationID referenceLineLocation;
    double height;
    double bottomOffset;
    double topOffset;
    double thickness;
    double thickness1;
    double offset;
    double offsetFromOutside;
    short relativeTopStory;
    API_Coord begC;
    API_Coord endC;
    API_Polygon poly;
    bool hasWindow;
    bool hasDoor;
    double slantAlpha;
    double slantBeta;
};

enum API_SlabReferencePlaneLocationID {
    APISlabRefPlane_Top,
    APISlabRefPlane_CoreTop,
    APISlabRefPlane_CoreBottom,
    APISlabRefPlane_Bottom,
};

struct API_SlabType {
    API_Elem_Head head;
    API_ModelElemStructureType modelElemStructureType;
    API_AttributeIndex buildingMaterial;
    API_AttributeIndex composite;
    API_OverriddenAttribute topMat;
    API_OverriddenAttribute sideMat;
    API_OverriddenAttribute botMat;
    double thickness;
    // The reference plane above the story; the top of the slab is offsetFromTop above it.
    double level;
    API_SlabReferencePlaneLocationID referencePlaneLocation;
    bool useFloorFill;
    API_AttributeIndex floorFillInd;
    double offsetFromTop;
    API_Polygon poly;
};

// Its base line is the polygon of its memo; height and angle are what it was placed with.
struct API_CurtainWallType {
    API_Elem_Head head;
    double nominalWidth;
    double offset;
    double angle;
    double height;
    API_Polygon polygon;
    UInt32 nSegments;
    UInt32 nFrames;
    UInt32 nPanels;
};

// Windows and doors: placed in the wall named by owner, objLoc metres from the wall's begin point to
// the opening's centre, lower (the sill) above the wall's base.
struct API_OpeningBaseType {
    double width;
    double height;
};

struct API_WindowType {
    API_Elem_Head head;
    API_OpeningBaseType openingBase;
    API_Guid owner;
    double objLoc;
    double lower;
};

using API_DoorType = API_WindowType;

// The element record: the header, and the part of its type. The kit fills it with one call of
// ACAPI_Element_Get, the header's guid saying which element.
union API_Element {
    API_Elem_Head header;
    API_WallType wall;
    API_SlabType slab;
    API_CurtainWallType curtainWall;
    API_WindowType window;
    API_DoorType door;
};

// Quantities. Each record's fields are filled only where the caller's mask asks for them.
struct API_WallQuantity {
    double volume;
    double volume_cond;
    double volumeASkin;
    double volumeBSkin;
    double volumeASkin_cond;
    double volumeBSkin_cond;
    double surface1;
    double surface2;
    double surface3;
    double surface1_cond;
    double surface2_cond;
    double length;
    double windowsSurf;
    double doorsSurf;
    double emptyholesSurf;
    double filler_0;
    Int32 columnsNumber;
    Int32 filler_1;
    double windowsWidth;
    double doorsWidth;
    double minHeight;
    double maxHeight;
    double minHeightASkin;
    double maxHeightASkin;
    double minHeightBSkin;
    double maxHeightBSkin;
    double centerLength;
    double area;
    double perimeter;
    double grossVolume;
    double grossSurf1;
    double grossSurf2;
    double emptyHolesVolume;
    double emptyHolesSurf1;
    double emptyHolesSurf2;
    double length12;
    double length34;
    double length12_cond;
    double length34_cond;
    double insuThickness;
    double airThickness;
    double skinAThickness;
    double skinBThickness;
    double refLineLength;
};

struct API_SlabQuantity {
    double bottomSurface;
    double topSurface;
    double edgeSurface;
    double bottomSurface_cond;
    double topSurface_cond;
    double volume;
    double volume_cond;
    double perimeter;
    double holesSurf;
    double holesPrm;
    double grossBotSurf;
    double grossTopSurf;
    double grossEdgeSurf;
    double grossVolume;
    double grossBotSurfWithHoles;
    double grossTopSurfWithHoles;
    double grossEdgeSurfWithHoles;
    double grossVolumeWithHoles;
};

struct API_CurtainWallQuantity {
    double framesLength;
    double contourFramesLength;
    double mainaxisFramesLength;
    double secaxisFramesLength;
    double customFramesLength;
    double panelsSurface;
    double panelsSurfaceN;
    double panelsSurfaceS;
    double panelsSurfaceE;
    double panelsSurfaceW;
    double panelsSurfaceNE;
    double panelsSurfaceNW;
    double panelsSurfaceSE;
    double panelsSurfaceSW;
    double contourSurface;
    double boundarySurface;
    double length;
    double height;
    double slantAngle;
    UInt32 numOfPanels;
    UInt32 filler_1;
};

// A window or door: side 1 is the wall's reference line side.
struct API_WindowQuantity {
    double width1;
    double width2;
    double height1;
    double height2;
    double surface1;
    double surface2;
    double volume;
    double grossSurf;
    double grossVolume;
    double surface;
    double sillHeight;
    double headHeight;
};

using API_DoorQuantity = API_WindowQuantity;

union API_ElementQuantity {
    API_WallQuantity wall;
    API_DoorQuantity door;
    API_WindowQuantity window;
    API_SlabQuantity slab;
    API_CurtainWallQuantity cw;
};

// The mask has a record of every type side by side (not overlaid), so one mask can ask for several.
struct API_ElementQuantityMask {
    API_WallQuantity wall;
    API_DoorQuantity door;
    API_WindowQuantity window;
    API_SlabQuantity slab;
    API_CurtainWallQuantity cw;
};

class API_QuantitiesMask {
public:
    API_ElementQuantityMask elements;

    API_QuantitiesMask() { std::memset(static_cast<void*>(&elements), 0, sizeof(elements)); }
};

class API_Quantities {
public:
    API_ElementQuantity* elements;

    API_Quantities() : elements(nullptr) {}
};

struct API_QuantityPar {
    // Openings (and slab holes) smaller than this area, in square metres, stay in the conditional values.
    double minOpeningSize;
};

inline void ACAPI_ELEMENT_QUANTITY_MASK_CLEAR(API_QuantitiesMask& mask)
{
    std::memset(static_cast<void*>(&mask.elements), 0, sizeof(mask.elements));
}
inline void ACAPI_ELEMENT_QUANTITY_MASK_SETFULL(API_QuantitiesMask& mask)
{
    std::memset(static_cast<void*>(&mask.elements), 0xFF, sizeof(mask.elements));
}
#define ACAPI_ELEMENT_QUANTITY_MASK_SET(rec, typ, varnam) *reinterpret_cast<char*>(&((rec).elements.typ.varnam)) = -1
#define ACAPI_ELEMENT_QUANTITY_MASK_CHECK(rec, typ, varnam)                                                            \
    (*reinterpret_cast<const char*>(&((rec).elements.typ.varnam)) != 0)

#include "ExportProperty.hpp"

#include "ACAPinc.hpp"
#include "GSDebug.hpp"
#include "Utf8Text.hpp"

#include <cctype>

namespace Velmar::Bo::Properties {

namespace {

using Value = std::optional<Reading>;

Value Real(double value)
{
    return Reading(value);
}

Value Count(Int64 value)
{
    return Reading(value);
}

Value Text(const char* text)
{
    return Reading(GS::UniString(text));
}

// The attribute's name; none when the index names none or the host cannot read it.
Value AttributeName(API_AttrTypeID type, const API_AttributeIndex& index)
{
    if (!index.IsPositive())
        return std::nullopt;
    API_Attribute attribute = {};
    attribute.header.typeID = type;
    attribute.header.index = index;
    GS::UniString name;
    attribute.header.uniStringNamePtr = &name;
    if (const GSErrCode err = ACAPI_Attribute_Get(&attribute); err != NoError) {
        DBPrintf("Velmar: attribute %d of type %d was not read (%d)\n", index.ToInt32_Deprecated(), type, err);
        return std::nullopt;
    }
    return Reading(name);
}

Value SurfaceName(const API_OverriddenAttribute& surface)
{
    return surface.hasValue ? AttributeName(API_MaterialID, surface.value) : std::nullopt;
}

Value StructureName(API_ModelElemStructureType structure)
{
    static const char* const Names[] = {"Basic Structure", "Composite Structure", "Profile Structure"};
    return Text(Names[structure]);
}

Value WallSlantType(short profileType)
{
    switch (profileType) {
        case APISect_Slanted:
            return Text("Slanted");
        case APISect_Trapez:
            return Text("Trapez");
        case APISect_Poly:
            return Text("Poly");
        default:
            return Text("Normal");
    }
}

Value TopLinkStory(short relativeTopStory)
{
    if (relativeTopStory == 0)
        return Text("Not Top Linked");
    if (relativeTopStory < 0)
        return Text("Invalid");
    return Reading(GS::UniString(std::to_string(relativeTopStory).c_str()));
}

const char* const ReferenceLineNames[] = {"Outside", "Center", "Inside", "CoreOutside", "CoreCenter", "CoreInside"};
const char* const ReferencePlaneNames[] = {"Top", "Core Top", "Core Bottom", "Bottom"};

double SlabTop(const API_SlabType& slab)
{
    return slab.level + slab.offsetFromTop;
}

// clang-format off
#define TYPE(key, dataType, expression)                                                                                \
    ExportProperty{[](const API_Element& e, const QuantityRecord*) -> Value { return expression; },                   \
                   [](QuantityRequest&) {}, dataType, "", &(key)[5], key, false}
// clang-format on

const ExportProperty WallTypeEntries[] = {
    TYPE("Type.Thickness", "double", Real(e.wall.thickness)),
    TYPE("Type.Thickness 1", "double", Real(e.wall.thickness1)),
    TYPE("Type.Home Offset", "double", Real(e.wall.bottomOffset)),
    TYPE("Type.Top Offset", "double", Real(e.wall.topOffset)),
    TYPE("Type.Height", "double", Real(e.wall.height)),
    TYPE("Type.Outside Slant Angle", "double", Real(e.wall.slantAlpha)),
    TYPE("Type.Inside Slant Angle", "double", Real(e.wall.slantBeta)),
    TYPE("Type.Wall Slant Type", "string", WallSlantType(e.wall.profileType)),
    TYPE("Type.Geometry Method", "string",
         Text(e.wall.type == APIWtyp_Trapez ? "Trapez"
              : e.wall.type == APIWtyp_Poly ? "Poly"
                                            : "Normal")),
    TYPE("Type.Model Element Structure Type", "string", StructureName(e.wall.modelElemStructureType)),
    TYPE("Type.Reference Line Location", "string", Text(ReferenceLineNames[e.wall.referenceLineLocation])),
    TYPE("Type.Offset From Outside", "double", Real(e.wall.offsetFromOutside)),
    TYPE("Type.Material", "string", AttributeName(API_BuildingMaterialID, e.wall.buildingMaterial)),
    TYPE("Type.Composite", "string", AttributeName(API_CompWallID, e.wall.composite)),
    TYPE("Type.Profile", "string", AttributeName(API_ProfileID, e.wall.profileAttr)),
    TYPE("Type.Top Link Story", "string", TopLinkStory(e.wall.relativeTopStory)),
    TYPE("Type.Edge Surface Material", "string", SurfaceName(e.wall.sidMat)),
    TYPE("Type.Inside Face Material", "string", SurfaceName(e.wall.oppMat)),
    TYPE("Type.Outside Face Material", "string", SurfaceName(e.wall.refMat)),
};

const ExportProperty SlabTypeEntries[] = {
    TYPE("Type.Thickness", "double", Real(e.slab.thickness)),
    TYPE("Type.Reference Plane Location", "string", Text(ReferencePlaneNames[e.slab.referencePlaneLocation])),
    TYPE("Type.Model Element Structure Type", "string", StructureName(e.slab.modelElemStructureType)),
    TYPE("Type.Material", "string", AttributeName(API_BuildingMaterialID, e.slab.buildingMaterial)),
    TYPE("Type.Composite", "string", AttributeName(API_CompWallID, e.slab.composite)),
    TYPE("Type.Bottom Surface Material", "string", SurfaceName(e.slab.botMat)),
    TYPE("Type.Edge Surface Material", "string", SurfaceName(e.slab.sideMat)),
    TYPE("Type.Top Surface Material", "string", SurfaceName(e.slab.topMat)),
    TYPE("Type.Cover Fill", "string",
         e.slab.useFloorFill ? AttributeName(API_FilltypeID, e.slab.floorFillInd) : std::nullopt),
    TYPE("Type.Offset From Top", "double", Real(e.slab.offsetFromTop)),
    // These two keys have no "Type." prefix; their names are the whole key.
    ExportProperty{[](const API_Element& e, const QuantityRecord*) { return Real(SlabTop(e.slab) - e.slab.thickness); },
                   [](QuantityRequest&) {}, "double", "", "Elevation Bottom", "Elevation Bottom", false},
    ExportProperty{[](const API_Element& e, const QuantityRecord*) { return Real(SlabTop(e.slab)); },
                   [](QuantityRequest&) {}, "double", "", "Elevation Top", "Elevation Top", false},
};

#undef TYPE

// A quantity entry reading one field of the host's quantity record, and asking the mask for just it.
// clang-format off
#define QUANTITY(part, key, field, dataType, reading, description)                                                    \
    ExportProperty{[](const API_Element&, const QuantityRecord* q) -> Value { return reading(q->element.part.field); }, \
                   [](QuantityRequest& r) { ACAPI_ELEMENT_QUANTITY_MASK_SET(r.mask, part, field); }, dataType,         \
                   description, &(key)[9], key, true}
// clang-format on
#define WALL(key, field, description) QUANTITY(wall, key, field, "double", Real, description)
#define SLAB(key, field, description) QUANTITY(slab, key, field, "double", Real, description)
#define CW(key, field, description) QUANTITY(cw, key, field, "double", Real, description)
// A sum over the wall's openings, gathered only when asked for.
// clang-format off
#define OPENINGS(key, field, dataType, reading)                                                                        \
    ExportProperty{[](const API_Element&, const QuantityRecord* q) -> Value { return reading(q->openings.field); },    \
                   [](QuantityRequest& r) { r.openings = true; }, dataType, &(key)[9], &(key)[9], key, true}
// clang-format on

const ExportProperty WallQuantityEntries[] = {
    WALL("Quantity.airThickness", airThickness, "Wall air skin thickness"),
    WALL("Quantity.area", area, "Area of the wall"),
    WALL("Quantity.centerLength", centerLength, "Length of the wall at the center"),
    QUANTITY(wall, "Quantity.columns Number", columnsNumber, "Int32", Count, "number of columns in the wall"),
    WALL("Quantity.doorsSurf", doorsSurf, "surface of doors in the wall"),
    WALL("Quantity.doors Width", doorsWidth, "combined width of doors in the wall"),
    WALL("Quantity.emptyholesSurf", emptyholesSurf, "surface of empty openings in the wall"),
    WALL("Quantity.EmptyholesSurf Reference", emptyHolesSurf1,
         "Analytic surface of openings on the reference line side"),
    WALL("Quantity.EmptyholesSurf Opposite", emptyHolesSurf2,
         "Analytic surface of openings on the side opposite to the reference line"),
    WALL("Quantity.emptyHolesVolume", emptyHolesVolume, "Analytic volume of openings in the wall"),
    WALL("Quantity.gross Surf1", grossSurf1, "Gross surface of the wall on the reference line side"),
    WALL("Quantity.gross Surf2", grossSurf2, "Gross surface of the wall on the side opposite to the reference line"),
    WALL("Quantity.gross Volume", grossVolume, "Gross volume of the wall"),
    WALL("Quantity.insuThickness", insuThickness, "Wall insulation skin thickness"),
    WALL("Quantity.length", length,
         "length of the wall (average of the length on the reference line side and on the side opposite to the "
         "reference line)"),
    WALL("Quantity.length12", length12, "Length of the wall on the reference line side"),
    WALL("Quantity.length12_cond", length12_cond, "Conditional length of the wall on the reference line side"),
    WALL("Quantity.length34", length34, "Length of the wall on the side opposite to the reference line"),
    WALL("Quantity.length34_cond", length34_cond,
         "Conditional length of the wall on the side opposite to the reference line"),
    WALL("Quantity.max Height", maxHeight, "Maximum height of the wall"),
    WALL("Quantity.maxHeightASkin", maxHeightASkin, "Maximum height of the wall skin on the reference line"),
    WALL("Quantity.maxHeightBSkin", maxHeightBSkin,
         "Maximum height of the wall skin on the side opposite to the reference line"),
    WALL("Quantity.min Height", minHeight, "Minimum height of the wall"),
    WALL("Quantity.minHeightASkin", minHeightASkin, "Minimum height of the wall skin on the reference line side"),
    WALL("Quantity.minHeightBSkin", minHeightBSkin,
         "Minimum height of the wall skin on the side opposite to the reference line"),
    WALL("Quantity.perimeter", perimeter, "Perimeter of the wall"),
    WALL("Quantity.Reference Line Length", refLineLength, "Length of the reference line"),
    WALL("Quantity.skinAThickness", skinAThickness, "Wall skin thickness on the reference line side"),
    WALL("Quantity.skinBThickness", skinBThickness, "Wall skin thickness on the side opposite to the reference line"),
    WALL("Quantity.surface1", surface1, "surface of the wall on the reference line side"),
    WALL("Quantity.surface1_cond", surface1_cond, "conditional surface of the wall on the reference line side"),
    WALL("Quantity.surface2", surface2, "surface of the wall on the side opposite to the reference line"),
    WALL("Quantity.surface2_cond", surface2_cond,
         "conditional surface of the wall on the side opposite to the reference line"),
    WALL("Quantity.surface3", surface3, "surface of the edge of the wall"),
    WALL("Quantity.volume", volume, "volume of the wall"),
    WALL("Quantity.volume_cond", volume_cond, "conditional volume of the wall"),
    WALL("Quantity.volumeASkin", volumeASkin, "wall skin volume on the reference line side"),
    WALL("Quantity.volumeASkin_cond", volumeASkin_cond, "conditional wall skin volume on the reference line side"),
    WALL("Quantity.volumeBSkin", volumeBSkin, "wall skin volume on the side opposite to the reference line"),
    WALL("Quantity.volumeBSkin_cond", volumeBSkin_cond,
         "conditional wall skin volume on the side opposite to the reference line"),
    WALL("Quantity.windowsSurf", windowsSurf, "surface of windows in the wall"),
    WALL("Quantity.windows Width", windowsWidth, "combined width of windows in the wall"),
    OPENINGS("Quantity.Number of Doors", doors, "int", Count),
    OPENINGS("Quantity.Number of Windows", windows, "int", Count),
    OPENINGS("Quantity.Surface area of all Wall openings on the Wall inside face", insideSurface, "double", Real),
    OPENINGS("Quantity.Surface area of all Wall openings on the Wall outside face", outsideSurface, "double", Real),
    OPENINGS("Quantity.Volume of all Wall openings", volume, "double", Real),
};

const ExportProperty SlabQuantityEntries[] = {
    SLAB("Quantity.Bottom Surface", bottomSurface, "bottom surface of the slab"),
    SLAB("Quantity.Bottom Surface Cond", bottomSurface_cond, "conditional bottom surface of the slab"),
    SLAB("Quantity.Edge Surface", edgeSurface, "surface of the edges of the slab"),
    SLAB("Quantity.Gross Bottom Surface", grossBotSurf, "Gross surface of the slab bottom"),
    SLAB("Quantity.Gross Bottom Surface With Holes", grossBotSurfWithHoles,
         "Gross surface of the slab bottom with holes"),
    SLAB("Quantity.Gross Edge Surface", grossEdgeSurf, "Gross surface of the slab edges"),
    SLAB("Quantity.Gross Edge Surface With Holes", grossEdgeSurfWithHoles,
         "Gross surface of the slab edges with holes"),
    SLAB("Quantity.Gross Top Surface", grossTopSurf, "Gross surface of the slab top"),
    SLAB("Quantity.Gross Top Surface With Holes", grossTopSurfWithHoles, "Gross surface of the slab top with holes"),
    SLAB("Quantity.Gross Volume", grossVolume, "Gross volume of the slab"),
    SLAB("Quantity.Gross Volume With Holes", grossVolumeWithHoles, "Gross volume of the slab with holes"),
    SLAB("Quantity.Holes Perimeter", holesPrm, "total perimeter of holes in the slab"),
    SLAB("Quantity.Holes Surface", holesSurf, "total area of holes in the slab"),
    SLAB("Quantity.perimeter", perimeter, "perimeter of the slab"),
    SLAB("Quantity.Top Surface", topSurface, "top surface of the slab"),
    SLAB("Quantity.Top Surface Cond", topSurface_cond, "conditional top surface of the slab"),
    SLAB("Quantity.volume", volume, "volume of the slab"),
    SLAB("Quantity.Volume Cond", volume_cond, "conditional volume of the slab"),
};

// The description names the direction in lower case, the key as a title.
// clang-format off
#define COMPASS(direction, lower, field)                                                                               \
    CW("Quantity.Panels Surface " direction, field, "Sum of those panel's surface wich normal vector points to " lower ".")
// clang-format on

const ExportProperty CurtainWallQuantityEntries[] = {
    CW("Quantity.height", height, "Height of the curtain wall."),
    CW("Quantity.length", length, "Length of the curtain wall."),
    QUANTITY(cw, "Quantity.Number Of Panels", numOfPanels, "UInt32", Count,
             "The number of panels belong to the Curtain Wall."),
    CW("Quantity.Slant Angle", slantAngle, "Slant angle of curtain wall."),
    CW("Quantity.Frames Length", framesLength, "Sum of all contained frame's length."),
    CW("Quantity.Panels Surface", panelsSurface,
       "Sum of all contained panel's surface. Equal to the sum of  panelsSurfaceN, panelsSurface and equal to the sum "
       "of surface values in the API_CWPanelQuantitystructure."),
    CW("Quantity.Contour Frames Lenght", contourFramesLength, "Sum of the lengths of contour frames."),
    CW("Quantity.Main Axis Frames Length", mainaxisFramesLength,
       "Sum of the lengths of the frames belong to the main axis (vertical)"),
    CW("Quantity.Sec Axis Frames Length", secaxisFramesLength,
       "Sum of the lengths of the frames belong to the secondary axis (horizontal)"),
    CW("Quantity.Custom Frames Length", customFramesLength,
       "Sum of the lengths of the custom frames. ( custom means in this case: diagonal frame inside the cell)"),
    COMPASS("North", "north", panelsSurfaceN),
    COMPASS("South", "south", panelsSurfaceS),
    COMPASS("East", "east", panelsSurfaceE),
    COMPASS("West", "west", panelsSurfaceW),
    COMPASS("North-East", "north-east", panelsSurfaceNE),
    COMPASS("North-West", "north-west", panelsSurfaceNW),
    COMPASS("South-East", "south-east", panelsSurfaceSE),
    COMPASS("South-West", "south-west", panelsSurfaceSW),
    CW("Quantity.contour Surface", contourSurface, "Surface bordered by contour."),
    CW("Quantity.boundary Surface", boundarySurface, "Surface bordered by boundary frames."),
};

#undef COMPASS
#undef OPENINGS
#undef CW
#undef SLAB
#undef WALL
#undef QUANTITY

template <std::size_t N>
constexpr Catalog CatalogOf(const ExportProperty (&entries)[N], const char* everything)
{
    return Catalog{entries, N, everything};
}

const Catalog WallType = CatalogOf(WallTypeEntries, "Type.*");
const Catalog SlabType = CatalogOf(SlabTypeEntries, "Type.*");
const Catalog WallQuantity = CatalogOf(WallQuantityEntries, "Quantity.*");
const Catalog SlabQuantity = CatalogOf(SlabQuantityEntries, "Quantity.*");
const Catalog CurtainWallQuantity = CatalogOf(CurtainWallQuantityEntries, "Quantity.*");

bool EqualIgnoringCase(const std::string& left, const char* right)
{
    std::size_t i = 0;
    for (; i < left.size() && right[i] != '\0'; ++i) {
        const auto l = static_cast<unsigned char>(left[i]), r = static_cast<unsigned char>(right[i]);
        if (l != r && std::tolower(l) != std::tolower(r))
            return false;
    }
    return i == left.size() && right[i] == '\0';
}

ValueKind KindOf(const char* dataType)
{
    const std::string type(dataType);
    if (type == "double")
        return ValueKind::Real;
    if (type == "Int32")
        return ValueKind::Integer;
    if (type == "UInt32")
        return ValueKind::Unsigned;
    if (type == "int")
        return ValueKind::Int;
    return ValueKind::Text;
}

// The windows and doors in the wall, each read from its own quantity record.
GSErrCode SumOpenings(const API_Guid& wall, OpeningSums& sums)
{
    for (const API_ElemTypeID type : {API_WindowID, API_DoorID}) {
        GS::Array<API_Guid> openings;
        if (const GSErrCode err = ACAPI_Grouping_GetConnectedElements(wall, type, &openings, APIFilt_None, APINULLGuid);
            err != NoError)
            return err;
        for (const API_Guid& opening : openings) {
            // Windows and doors share a record layout, but the mask asks for each type apart.
            API_QuantitiesMask mask;
            ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, window, surface1);
            ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, window, surface2);
            ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, window, volume);
            ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, door, surface1);
            ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, door, surface2);
            ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, door, volume);
            API_ElementQuantity quantity = {};
            API_Quantities quantities;
            quantities.elements = &quantity;
            const API_QuantityPar parameters = {};
            if (const GSErrCode err = ACAPI_Element_GetQuantities(opening, &parameters, &quantities, &mask);
                err != NoError)
                return err;
            (type == API_DoorID ? sums.doors : sums.windows) += 1;
            // Side 1 faces the wall's reference line, its outside face.
            sums.outsideSurface += quantity.window.surface1;
            sums.insideSurface += quantity.window.surface2;
            sums.volume += quantity.window.volume;
        }
    }
    return NoError;
}

}  // namespace

const Catalog& WallTypeCatalog()
{
    return WallType;
}
const Catalog& SlabTypeCatalog()
{
    return SlabType;
}
const Catalog& WallQuantityCatalog()
{
    return WallQuantity;
}
const Catalog& SlabQuantityCatalog()
{
    return SlabQuantity;
}
const Catalog& CurtainWallQuantityCatalog()
{
    return CurtainWallQuantity;
}

std::vector<const Catalog*> CatalogsFor(API_ElemTypeID type)
{
    switch (type) {
        case API_WallID:
            return {&WallQuantity, &WallType};
        case API_SlabID:
            return {&SlabQuantity, &SlabType};
        case API_CurtainWallID:
            return {&CurtainWallQuantity};
        default:
            return {};
    }
}

Selection Select(const Catalog& catalog, const std::string& name)
{
    const bool everything = name == catalog.everything;
    Selection selected;
    for (const ExportProperty& entry : catalog) {
        if (everything || EqualIgnoringCase(name, entry.key))
            selected.push_back(&entry);
    }
    return selected;
}

std::vector<PropertyValue> Evaluate(const Selection& selected, const API_Element& element)
{
    std::vector<PropertyValue> values;
    if (selected.empty())
        return values;

    QuantityRequest request;
    bool needsQuantities = false;
    for (const ExportProperty* entry : selected) {
        entry->request(request);
        needsQuantities = needsQuantities || entry->needsQuantities;
    }
    QuantityRecord record;
    if (needsQuantities) {
        API_Quantities quantities;
        quantities.elements = &record.element;
        const API_QuantityPar parameters = {};
        if (const GSErrCode err =
                ACAPI_Element_GetQuantities(element.header.guid, &parameters, &quantities, &request.mask);
            err != NoError) {
            DBPrintf("Velmar: the quantities of an element were not read (%d)\n", err);
            return values;
        }
        if (request.openings) {
            if (const GSErrCode err = SumOpenings(element.header.guid, record.openings); err != NoError) {
                DBPrintf("Velmar: the openings of a wall were not read (%d)\n", err);
                return values;
            }
        }
    }
    for (const ExportProperty* entry : selected) {
        const auto reading = entry->value(element, needsQuantities ? &record : nullptr);
        if (!reading)
            continue;
        PropertyValue value;
        value.kind = KindOf(entry->dataType);
        value.name = GS::UniString(entry->name);
        std::visit([&value](const auto& held) { value.value = held; }, *reading);
        values.push_back(std::move(value));
    }
    return values;
}

Rules::OptionalValue RuleReading(const PropertyValue& value)
{
    if (!value.present)
        return std::nullopt;
    switch (value.kind) {
        case ValueKind::Real:
            return Rules::Value(Rules::FixedText(std::get<double>(value.value)));
        case ValueKind::Integer:
        case ValueKind::Unsigned:
        case ValueKind::Int:
            return Rules::Value(std::to_string(std::get<Int64>(value.value)));
        case ValueKind::Guid:
            return Rules::Value(Velmar::Utf8Of(APIGuidToString(std::get<API_Guid>(value.value))));
        case ValueKind::Boolean:
            return Rules::Value(std::get<bool>(value.value));
        case ValueKind::Text:
            break;
    }
    return std::nullopt;
}

}  // namespace Velmar::Bo::Properties

#include "ProjectDefaults.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "Project.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace Sim {

namespace {

API_Guid GuidOf(const char* text)
{
    GS::Guid guid;
    guid.ConvertFromString(text);
    return GSGuid2APIGuid(guid);
}

// Every project has these, with the same guids, as Archicad's built-in properties.
struct BuiltInDefinition {
    const char* guid;
    const char* name;
    const char* description;
    API_VariantType valueType;
};
constexpr const char* RatingsGroupGuid = "5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4A01";
constexpr const char* RatingsGroupName = "General Ratings";
constexpr BuiltInDefinition BuiltInDefinitions[] = {
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B01", "Fire Resistance Requirement", "Minutes the element must resist fire",
     API_PropertyRealValueType},
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B02", "Acoustic Requirement", "Sound insulation the element must reach, dB",
     API_PropertyRealValueType},
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B03", "Thermal Transmittance", "U-value, W/(m2 K)", API_PropertyRealValueType},
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B04", "Load-Bearing", "Whether the element carries loads",
     API_PropertyBooleanValueType},
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B05", "Position", "Interior or exterior", API_PropertyStringValueType},
};

// Colours of pens 1 to 16; the others follow a fixed hue and lightness ramp (docs/host-model.md).
constexpr double BasePens[16][3] = {
    {0, 0, 0},     {1, 0, 0},     {0, 0.6, 0},     {0, 0, 1},          {1, 0.5, 0},   {0.5, 0, 0.5},
    {0, 0.6, 0.6}, {0.5, 0.5, 0}, {0.5, 0.5, 0.5}, {0.75, 0.75, 0.75}, {0.4, 0.2, 0}, {1, 0.75, 0.8},
    {0.6, 0.8, 1}, {0.8, 1, 0.6}, {1, 1, 0.6},     {1, 1, 1},
};

std::vector<API_Pen> DefaultPens()
{
    std::vector<API_Pen> pens(255);
    for (int i = 0; i < 255; ++i) {
        API_Pen& pen = pens[static_cast<std::size_t>(i)];
        pen.index = static_cast<short>(i + 1);
        pen.width = 0.13 + 0.05 * (i % 8);
        if (i < 16) {
            pen.rgb = API_RGBColor{BasePens[i][0], BasePens[i][1], BasePens[i][2]};
            continue;
        }
        // Hue steps round the circle; every 24 pens the ramp gets lighter.
        const double hue = std::fmod((i - 16) * 15.0, 360.0) / 60.0;
        const double light = 0.25 + 0.07 * ((i - 16) / 24);
        const double x = 1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0);
        double rgb[3] = {0, 0, 0};
        const int sector = static_cast<int>(hue);
        const int order[6][3] = {{0, 1, 2}, {1, 0, 2}, {1, 2, 0}, {2, 1, 0}, {2, 0, 1}, {0, 2, 1}};
        rgb[order[sector][0]] = 1.0;
        rgb[order[sector][1]] = x;
        for (double& c : rgb)
            c = std::min(1.0, c * (1.0 - light) + light * 0.8);
        pen.rgb = API_RGBColor{rgb[0], rgb[1], rgb[2]};
    }
    return pens;
}

struct DefaultFill {
    const char* name;
    API_FillSubtype type;
};
constexpr DefaultFill DefaultFills[] = {
    {"Solid Fill", APIFill_Solid}, {"Empty Fill", APIFill_Empty},  {"Background", APIFill_Solid},
    {"10 %", APIFill_Vector},      {"25 %", APIFill_Vector},       {"50 %", APIFill_Vector},
    {"Brick", APIFill_Vector},     {"Insulation", APIFill_Vector}, {"Concrete", APIFill_Vector},
    {"Wood", APIFill_Vector},
};

struct DefaultSurface {
    const char* name;
    API_RGBColor colour = {};
};
constexpr DefaultSurface DefaultSurfaces[] = {
    {"Paint - White", {0.95, 0.95, 0.93}},
    {"Plaster - Gypsum", {0.88, 0.86, 0.82}},
    {"Concrete - Grey", {0.62, 0.62, 0.6}},
    {"Insulation - Yellow", {0.93, 0.84, 0.4}},
};

struct DefaultMaterial {
    const char* name;
    Int32 fill;
    Int32 surface;
    double lambda;
};
constexpr DefaultMaterial DefaultMaterials[] = {
    {"General - Generic", 1, 1, 0.0},
    {"Gypsum Board", 6, 2, 0.25},
    {"Concrete - Structural", 9, 3, 2.3},
    {"Insulation - Mineral Wool", 8, 4, 0.035},
};

struct DefaultItem {
    const char* guid;
    const char* parent;  // null for a root item
    const char* id;
    const char* name;
};
constexpr const char* DefaultSystemGuid = "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7001";
constexpr DefaultItem DefaultItems[] = {
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7101", nullptr, "Wall", "Wall"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7102", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7101", "Wall.Partition",
     "Partition Wall"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7103", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7101", "Wall.Exterior", "Exterior Wall"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7104", nullptr, "Slab", "Slab"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7105", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7104", "Slab.Floor", "Floor"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7106", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7104", "Slab.Ceiling", "Ceiling"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7107", nullptr, "CurtainWall", "Curtain Wall"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7108", nullptr, "Covering", "Covering"},
};

// The classification each tool gives what it places in a new project's template.
struct ToolClassification {
    API_ElemTypeID type;
    const char* item;
};
constexpr ToolClassification ToolClassifications[] = {
    {API_WallID, "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7101"},
    {API_SlabID, "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7104"},
    {API_CurtainWallID, "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7107"},
};

std::uint64_t NextProjectIdentity()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

}  // namespace

Project::Project() : pens_(DefaultPens()), identity_(NextProjectIdentity())
{
    for (const auto& fill : DefaultFills) {
        Attribute attribute;
        attribute.record.header.typeID = API_FilltypeID;
        attribute.record.filltype.subType = fill.type;
        SetAttributeName(attribute, HostText::Uni(fill.name));
        AddAttribute(attribute);
    }
    for (const auto& row : DefaultSurfaces) {
        Attribute surface;
        surface.record.header.typeID = API_MaterialID;
        surface.record.material.surfaceRGB = row.colour;
        SetAttributeName(surface, HostText::Uni(row.name));
        AddAttribute(surface);
    }
    for (const auto& row : DefaultMaterials) {
        Attribute material;
        material.record.header.typeID = API_BuildingMaterialID;
        auto& record = material.record.buildingMaterial;
        record.cutFill = ACAPI_CreateAttributeIndex(row.fill);
        record.cutMaterial = ACAPI_CreateAttributeIndex(row.surface);
        record.cutFillPen = 1;
        record.cutFillBackgroundPen = 19;
        record.thermalConductivity = row.lambda;
        SetAttributeName(material, HostText::Uni(row.name));
        AddAttribute(material);
    }
    ClassificationSystem system;
    system.order = NextOrder();
    system.system.guid = GuidOf(DefaultSystemGuid);
    system.system.name = "ARCHICAD Classification";
    system.system.editionVersion = "28";
    system.system.source = "Archicad";
    systems_.Put(system.system.guid, system, nullptr);
    for (const auto& row : DefaultItems) {
        ClassificationItem item;
        item.item.guid = GuidOf(row.guid);
        item.item.id = row.id;
        item.item.name = row.name;
        item.system = system.system.guid;
        item.parent = row.parent != nullptr ? GuidOf(row.parent) : APINULLGuid;
        AddItem(item);
    }
}

void Project::ClassifyAsTool(Element& element) const
{
    if (!element.classification.empty())
        return;
    for (const auto& row : ToolClassifications) {
        if (row.type != element.Type())
            continue;
        // A project that no longer has the item (another template, an opened file) leaves it unclassified.
        if (const ClassificationItem* item = FindItem(GuidOf(row.item)))
            element.classification[item->system] = item->item.guid;
    }
}

const std::vector<PropertyGroup>& BuiltInGroups()
{
    static const std::vector<PropertyGroup> groups = [] {
        PropertyGroup ratings;
        ratings.group.groupType = API_PropertyStaticBuiltInGroupType;
        ratings.group.guid = GuidOf(RatingsGroupGuid);
        ratings.group.name = RatingsGroupName;
        return std::vector<PropertyGroup>{ratings};
    }();
    return groups;
}

const std::vector<PropertyDefinition>& BuiltInDefinitionRows()
{
    static const std::vector<PropertyDefinition> definitions = [] {
        std::vector<PropertyDefinition> rows;
        for (const auto& row : BuiltInDefinitions) {
            PropertyDefinition definition;
            auto& d = definition.definition;
            d.definitionType = API_PropertyStaticBuiltInDefinitionType;
            d.guid = GuidOf(row.guid);
            d.groupGuid = GuidOf(RatingsGroupGuid);
            d.name = row.name;
            d.description = row.description;
            d.collectionType = API_PropertySingleCollectionType;
            d.valueType = row.valueType;
            d.measureType = API_PropertyDefaultMeasureType;
            d.defaultValue.basicValue.variantStatus = API_VariantStatusUserUndefined;
            d.defaultValue.basicValue.singleVariant.variant.type = row.valueType;
            d.canValueBeEditable = true;
            rows.push_back(definition);
        }
        return rows;
    }();
    return definitions;
}

Element NewElement(API_ElemTypeID type)
{
    Element element;
    element.record.header.type = type;
    switch (type) {
        case API_WallID: {
            API_WallType& wall = element.record.wall;
            wall.begC = API_Coord{0.0, 0.0};
            wall.endC = API_Coord{5.0, 0.0};
            wall.height = 2.7;
            wall.thickness = wall.thickness1 = 0.1;
            wall.referenceLineLocation = APIWallRefLine_Outside;
            wall.modelElemStructureType = API_BasicStructure;
            break;
        }
        case API_SlabID:
            element.record.slab.thickness = 0.2;
            element.polygon = {{0.0, 0.0}, {5.0, 0.0}, {5.0, 5.0}, {0.0, 5.0}};
            element.record.slab.poly.nCoords = 5;
            element.record.slab.poly.nSubPolys = 1;
            break;
        case API_CurtainWallID:
            element.record.curtainWall.height = 3.0;
            element.polygon = {{0.0, 0.0}, {6.0, 0.0}};
            break;
        case API_WindowID:
            element.record.window.openingBase.width = 1.0;
            element.record.window.openingBase.height = 1.2;
            element.record.window.lower = 0.9;
            break;
        case API_DoorID:
            element.record.door.openingBase.width = 0.9;
            element.record.door.openingBase.height = 2.1;
            element.record.door.lower = 0.0;
            break;
        default:
            break;
    }
    return element;
}

}  // namespace Sim

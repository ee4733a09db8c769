#include "ProjectGenerator.hpp"
#include "HostText.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

namespace Sim::ProjectGenerator {

namespace {

// The standard distributions differ between library implementations; these draws do not.
class Random {
public:
    explicit Random(std::uint32_t seed) : engine_(seed) {}

    double Between(double low, double high)
    {
        return low + (high - low) * static_cast<double>(engine_() >> 11) * 0x1.0p-53;
    }
    int Integer(int low, int high)  // both included
    {
        return low + static_cast<int>(engine_() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool Chance(double probability) { return Between(0.0, 1.0) < probability; }
    template <typename T>
    const T& Pick(const std::vector<T>& from)
    {
        return from[static_cast<std::size_t>(Integer(0, static_cast<int>(from.size()) - 1))];
    }

    API_Guid Guid()
    {
        std::array<UInt8, 16> bytes{};
        const std::uint64_t halves[] = {engine_(), engine_()};
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<UInt8>(halves[i / 8] >> (8 * (i % 8)));
        bytes[6] = static_cast<UInt8>((bytes[6] & 0x0F) | 0x40);  // a version 4 GUID, as the host makes
        bytes[8] = static_cast<UInt8>((bytes[8] & 0x3F) | 0x80);
        return GSGuid2APIGuid(GS::Guid(bytes));
    }

private:
    std::mt19937_64 engine_;
};

// Plans are drawn on a 5 cm grid, skins to the millimetre.
double Snap(double metres)
{
    return std::round(metres * 20.0) / 20.0;
}
double Millimetres(double metres)
{
    return std::round(metres * 1000.0) / 1000.0;
}

// Building materials added to the new project's four, each with a surface of its own colour.
struct ColourfulMaterial {
    const char* surface;
    API_RGBColor colour = {};
    const char* material;
    Int32 fill;  // the new project's fills: 5 25 %, 7 Brick, 9 Concrete, 10 Wood
    short pen;
    double lambda;
};
constexpr ColourfulMaterial ColourfulMaterials[] = {
    {"Brick - Red", {0.72, 0.26, 0.2}, "Brick - Facing", 7, 2, 0.77},
    {"Timber - Oak", {0.76, 0.58, 0.38}, "Timber - Structural", 10, 11, 0.13},
    {"Render - Ochre", {0.87, 0.7, 0.33}, "Render - Lime", 5, 5, 0.87},
    {"Stone - Blue Grey", {0.42, 0.5, 0.6}, "Stone - Limestone", 9, 4, 1.7},
    {"Cork - Green", {0.45, 0.62, 0.35}, "Cork Board", 8, 3, 0.04},
};

// Skin thickness ranges by building material index: the new project's four, then the ones above.
struct SkinKind {
    double thinnest;
    double thickest;
    bool core;  // carries the load: the composite's core skin is one of these
};
constexpr SkinKind SkinKinds[] = {
    {0.02, 0.06, false},     // General - Generic
    {0.0125, 0.025, false},  // Gypsum Board
    {0.12, 0.25, true},      // Concrete - Structural
    {0.05, 0.15, false},     // Insulation - Mineral Wool
    {0.1, 0.1, true},        // Brick - Facing
    {0.07, 0.15, true},      // Timber - Structural
    {0.015, 0.02, false},    // Render - Lime
    {0.1, 0.2, true},        // Stone - Limestone
    {0.03, 0.08, false},     // Cork Board
};

// The project's own classification: three levels, walls, slabs and openings classified at the leaves.
struct ItemRow {
    const char* id;
    const char* name;
    int parent;  // row index, -1 for a root
};
constexpr ItemRow ItemRows[] = {
    {"W", "Walls", -1},
    {"W.EXT", "External Walls", 0},
    {"W.EXT.LB", "Load-Bearing External Walls", 1},
    {"W.EXT.NLB", "Non-Load-Bearing External Walls", 1},
    {"W.INT", "Internal Walls", 0},
    {"W.INT.PT", "Partitions", 4},
    {"W.INT.SEP", "Separating Walls", 4},
    {"S", "Slabs", -1},
    {"S.GF", "Ground Floors", 7},
    {"S.UF", "Upper Floors", 7},
    {"O", "Openings", -1},
    {"O.WIN", "Windows", 10},
    {"O.DR", "Doors", 10},
};
enum Item {
    ExternalLoadBearing = 2,
    ExternalOther = 3,
    Partition = 5,
    Separating = 6,
    GroundFloor = 8,
    UpperFloor = 9,
    Window = 11,
    Door = 12
};

// Items of the new project's "ARCHICAD Classification" the generated elements also take.
constexpr const char* ArchicadExteriorWall = "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7103";
constexpr const char* ArchicadPartitionWall = "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7102";
constexpr const char* ArchicadFloor = "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7105";
// Text properties for the classification codes the property mapping names, which Download writes a
// system's code into; fixed GUIDs, so that adding them moved no generated element.
constexpr std::pair<const char*, const char*> CodeProperties[] = {
    {"NL-SfB", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7201"},
    {"STABU", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7202"},
    {"Uniclass", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7203"},
};
constexpr const char* ArchicadCeiling = "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7106";

API_Guid GuidOf(const char* text)
{
    GS::Guid guid;
    guid.ConvertFromString(text);
    return GSGuid2APIGuid(guid);
}

struct PlannedWall {
    API_Coord begin = {};
    API_Coord end = {};
    bool exterior = false;
    bool entrance = false;  // the building's front door is in it
    double height = 0.0;
};

struct Room {
    API_Coord low = {};
    API_Coord high = {};
    double storey = 0.0;  // the building's wall height: an upper floor slab sits there
};

// A site of buildings, each a block of rooms on a grid of bays 2.5 to 6 m wide: interior walls one bay
// long, exterior walls one or two bays (up to 12 m).
class Site {
public:
    // `perStreet` buildings a street: a large site is laid out about as deep as it is wide, so a plan fitted
    // to the window shows its buildings, not a thin column of streets.
    Site(Random& random, int perStreet) : random_(random), perStreet_(perStreet) {}

    void AddBuilding()
    {
        const int columns = random_.Integer(2, 5);
        const int rows = random_.Integer(2, 4);
        std::vector<double> xs{cursor_.x}, ys{cursor_.y};
        for (int i = 0; i < columns; ++i)
            xs.push_back(Snap(xs.back() + random_.Between(2.5, 6.0)));
        for (int j = 0; j < rows; ++j)
            ys.push_back(Snap(ys.back() + random_.Between(2.5, 5.5)));
        const double height = Snap(random_.Between(2.7, 3.2));

        const std::size_t first = walls_.size();
        // The outline: the front and back along x, the ends along y, with bays merged now and then.
        for (int j : {0, rows}) {
            for (int i = 0; i < columns;) {
                const int span = i + 1 < columns && random_.Chance(0.4) ? 2 : 1;
                walls_.push_back({{xs[i], ys[j]}, {xs[i + span], ys[j]}, true, false, height});
                i += span;
            }
        }
        for (int i : {0, columns}) {
            for (int j = 0; j < rows;) {
                const int span = j + 1 < rows && random_.Chance(0.4) ? 2 : 1;
                walls_.push_back({{xs[i], ys[j]}, {xs[i], ys[j + span]}, true, false, height});
                j += span;
            }
        }
        walls_[first].entrance = true;
        for (int j = 1; j < rows; ++j) {
            for (int i = 0; i < columns; ++i)
                walls_.push_back({{xs[i], ys[j]}, {xs[i + 1], ys[j]}, false, false, height});
        }
        for (int i = 1; i < columns; ++i) {
            for (int j = 0; j < rows; ++j)
                walls_.push_back({{xs[i], ys[j]}, {xs[i], ys[j + 1]}, false, false, height});
        }
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < columns; ++i)
                rooms_.push_back({{xs[i], ys[j]}, {xs[i + 1], ys[j + 1]}, height});
        }

        // Streets 8 m apart.
        rowDepth_ = std::max(rowDepth_, ys.back() - cursor_.y);
        cursor_.x = Snap(xs.back() + 8.0);
        if (++inRow_ == perStreet_) {
            cursor_ = {0.0, Snap(cursor_.y + rowDepth_ + 8.0)};
            rowDepth_ = 0.0;
            inRow_ = 0;
        }
    }

    const std::vector<PlannedWall>& Walls() const { return walls_; }
    const std::vector<Room>& Rooms() const { return rooms_; }

private:
    Random& random_;
    const int perStreet_;
    std::vector<PlannedWall> walls_;
    std::vector<Room> rooms_;
    API_Coord cursor_{0.0, 0.0};
    double rowDepth_ = 0.0;
    int inRow_ = 0;
};

API_PropertyValue Value(API_VariantType type)
{
    API_PropertyValue value;
    value.variantStatus = API_VariantStatusNormal;
    value.singleVariant.variant.type = type;
    return value;
}
API_PropertyValue Real(double number)
{
    API_PropertyValue value = Value(API_PropertyRealValueType);
    value.singleVariant.variant.doubleValue = number;
    return value;
}
API_PropertyValue Text(const char* text)
{
    API_PropertyValue value = Value(API_PropertyStringValueType);
    value.singleVariant.variant.uniStringValue = HostText::Uni(text);
    return value;
}
API_PropertyValue Boolean(bool flag)
{
    API_PropertyValue value = Value(API_PropertyBooleanValueType);
    value.singleVariant.variant.boolValue = flag;
    return value;
}

class Generator {
public:
    explicit Generator(const Options& options) : options_(options), random_(options.seed) {}

    Project Run()
    {
        ReseedNewProjectGuids();
        AddMaterials();
        AddComposites();
        AddClassification();
        AddProperties();
        // A building has about 25 walls and 10 rooms, and a street about as deep as a building is wide.
        const double buildings = std::max(options_.walls / 25.0, options_.slabs / 10.0);
        Site site(random_, std::max(8, static_cast<int>(std::ceil(std::sqrt(buildings)))));
        while (site.Walls().size() < options_.walls || site.Rooms().size() < options_.slabs)
            site.AddBuilding();
        for (std::size_t i = 0; i < options_.walls; ++i)
            AddWall(site.Walls()[i]);
        // Slabs spread over the site's rooms rather than filling the first buildings.
        const std::size_t rooms = site.Rooms().size();
        for (std::size_t i = 0; i < options_.slabs; ++i)
            AddSlab(site.Rooms()[i * rooms / options_.slabs]);
        return std::move(project_);
    }

private:
    // A new project's attributes get fresh guids; these come from the seed instead.
    void ReseedNewProjectGuids()
    {
        for (API_AttrTypeID type : {API_FilltypeID, API_MaterialID, API_BuildingMaterialID}) {
            for (const Attribute* attribute : project_.Attributes(type))
                project_.EditAttribute(type, attribute->Index())->record.header.guid = random_.Guid();
        }
    }

    void AddMaterials()
    {
        for (const auto& row : ColourfulMaterials) {
            Attribute surface;
            surface.record.header.typeID = API_MaterialID;
            surface.record.header.guid = random_.Guid();
            surface.record.material.mtype = APIMater_GeneralID;
            surface.record.material.surfaceRGB = row.colour;
            SetAttributeName(surface, HostText::Uni(row.surface));
            const Int32 surfaceIndex = project_.AddAttribute(surface);

            Attribute material;
            material.record.header.typeID = API_BuildingMaterialID;
            material.record.header.guid = random_.Guid();
            auto& record = material.record.buildingMaterial;
            record.cutFill = ACAPI_CreateAttributeIndex(row.fill);
            record.cutMaterial = ACAPI_CreateAttributeIndex(surfaceIndex);
            record.cutFillPen = row.pen;
            record.cutFillBackgroundPen = 19;
            record.thermalConductivity = row.lambda;
            SetAttributeName(material, HostText::Uni(row.material));
            project_.AddAttribute(material);
        }
    }

    // 2 to 5 skins round a load-bearing core; the thinner half goes to interior walls.
    void AddComposites()
    {
        std::vector<Int32> cores, others;
        for (const Attribute* material : project_.Attributes(API_BuildingMaterialID)) {
            const SkinKind& kind = SkinKinds[material->Index() - 1];
            (kind.core ? cores : others).push_back(material->Index());
        }
        std::vector<std::pair<double, Int32>> byThickness;
        for (std::size_t n = 1; n <= options_.composites; ++n) {
            Attribute composite;
            composite.record.header.typeID = API_CompWallID;
            composite.record.header.guid = random_.Guid();
            composite.record.header.flags = APICWall_ForWall | APICWall_ForSlab;
            const int skins = random_.Integer(2, 5);
            const int core = random_.Integer(0, skins - 1);
            double total = 0.0;
            for (int i = 0; i < skins; ++i) {
                API_CWallComponent skin = {};
                const Int32 material = random_.Pick(i == core ? cores : others);
                const SkinKind& kind = SkinKinds[material - 1];
                skin.buildingMaterial = ACAPI_CreateAttributeIndex(material);
                skin.fillThick = Millimetres(random_.Between(kind.thinnest, kind.thickest));
                skin.framePen = 1;
                skin.flagBits = i == core ? APICWallComp_Core : 0;
                total += skin.fillThick;  // summed as the host sums a composite's skins
                composite.skins.push_back(skin);
            }
            composite.lines.assign(composite.skins.size() + 1,
                                   API_CWallLineComponent{ACAPI_CreateAttributeIndex(1), 1});
            composite.record.compWall.nComps = static_cast<short>(skins);
            composite.record.compWall.totalThick = total;
            char name[64];
            std::snprintf(name, sizeof name, "Build-up %02zu - %d skins, %.0f mm", n, skins, total * 1000.0);
            SetAttributeName(composite, HostText::Uni(name));
            byThickness.emplace_back(total, project_.AddAttribute(composite));
        }
        std::sort(byThickness.begin(), byThickness.end());
        for (std::size_t i = 0; i < byThickness.size(); ++i)
            (2 * i < byThickness.size() ? thin_ : thick_).push_back(byThickness[i].second);
        if (thick_.empty())
            thick_ = thin_;
    }

    void AddClassification()
    {
        ClassificationSystem system;
        system.system.guid = system_ = random_.Guid();
        system.system.name = "Project Classification";
        system.system.description = "Walls, slabs and openings by role";
        system.system.source = "project-generator";
        system.system.editionVersion = "1.0";
        project_.AddSystem(system);
        for (const auto& row : ItemRows) {
            ClassificationItem item;
            item.item.guid = random_.Guid();
            item.item.id = row.id;
            item.item.name = row.name;
            item.system = system.system.guid;
            item.parent = row.parent < 0 ? APINULLGuid : items_[static_cast<std::size_t>(row.parent)];
            items_.push_back(item.item.guid);
            project_.AddItem(item);
        }
        archicadSystem_ = project_.FindItem(GuidOf(ArchicadFloor))->system;
    }

    API_Guid AddDefinition(const char* name, const char* description, API_VariantType type,
                           std::vector<API_Guid> availability = {}, std::optional<API_Guid> guid = std::nullopt)
    {
        PropertyDefinition definition;
        auto& d = definition.definition;
        d.definitionType = API_PropertyCustomDefinitionType;
        d.guid = guid ? *guid : random_.Guid();
        d.groupGuid = group_;
        d.name = name;
        d.description = description;
        d.collectionType = API_PropertySingleCollectionType;
        d.valueType = type;
        d.measureType = API_PropertyDefaultMeasureType;
        d.defaultValue.basicValue.variantStatus = API_VariantStatusUserUndefined;
        d.defaultValue.basicValue.singleVariant.variant.type = type;
        for (const API_Guid& item : availability)
            d.availability.Push(item);
        d.canValueBeEditable = true;
        project_.AddDefinition(definition);
        return d.guid;
    }

    void AddProperties()
    {
        PropertyGroup group;
        group.group.groupType = API_PropertyCustomGroupType;
        group.group.guid = group_ = random_.Guid();
        group.group.name = "Project Data";
        group.group.description = "Values the design team keeps on walls and slabs";
        project_.AddGroup(group);
        fireRating_ = AddDefinition("Fire Rating", "Minutes of fire resistance", API_PropertyRealValueType);
        finish_ = AddDefinition("Finish", "Surface finish", API_PropertyStringValueType);
        external_ = AddDefinition("Is External", "Part of the building envelope", API_PropertyBooleanValueType);
        // Only internal walls have an acoustic rating.
        acoustic_ = AddDefinition("Acoustic Rating", "Airborne sound insulation, dB", API_PropertyRealValueType,
                                  {items_[Partition], items_[Separating]});
        for (const auto& [name, guid] : CodeProperties)
            AddDefinition(name, "Classification code of the build-up", API_PropertyStringValueType, {}, GuidOf(guid));
    }

    void SetCommonValues(Element& element)
    {
        static const double ratings[] = {30, 60, 90, 120};
        static const char* const finishes[] = {"Paint", "Plaster", "Tiles", "Exposed"};
        if (random_.Chance(0.6))
            element.properties[fireRating_] = Real(ratings[random_.Integer(0, 3)]);
        if (random_.Chance(0.4))
            element.properties[finish_] = Text(finishes[random_.Integer(0, 3)]);
    }

    void AddWall(const PlannedWall& planned)
    {
        Element wall = NewElement(API_WallID);
        wall.record.header.guid = random_.Guid();
        API_WallType& record = wall.record.wall;
        record.begC = planned.begin;
        record.endC = planned.end;
        record.height = planned.height;
        record.referenceLineLocation = APIWallRefLine_Center;
        const Int32 composite = random_.Pick(planned.exterior ? thick_ : thin_);
        record.modelElemStructureType = API_CompositeStructure;
        record.composite = ACAPI_CreateAttributeIndex(composite);
        record.buildingMaterial = APIInvalidAttributeIndex;
        record.thickness = record.thickness1 =
            project_.FindAttribute(API_CompWallID, composite)->record.compWall.totalThick;

        const Item item = planned.exterior ? (random_.Chance(0.7) ? ExternalLoadBearing : ExternalOther)
                                           : (random_.Chance(0.75) ? Partition : Separating);
        wall.classification[system_] = items_[item];
        wall.classification[archicadSystem_] = GuidOf(planned.exterior ? ArchicadExteriorWall : ArchicadPartitionWall);
        SetCommonValues(wall);
        wall.properties[external_] = Boolean(planned.exterior);
        if (!planned.exterior && random_.Chance(0.5))
            wall.properties[acoustic_] = Real(random_.Integer(38, 58));
        const API_Guid guid = project_.AddElement(std::move(wall)).Guid();

        const double length = std::hypot(planned.end.x - planned.begin.x, planned.end.y - planned.begin.y);
        if (planned.entrance)
            AddOpening(API_DoorID, guid, Snap(length / 2.0), 1.0, 2.1, 0.0);
        else if (planned.exterior && random_.Chance(0.5))
            AddOpening(API_WindowID, guid, Snap(length / 2.0), Snap(random_.Between(0.9, std::min(2.0, length - 0.6))),
                       1.2, 0.9);
        else if (!planned.exterior && random_.Chance(0.3))
            AddOpening(API_DoorID, guid, Snap(random_.Between(1.05, length - 1.05)), 0.9, 2.1, 0.0);
    }

    void AddOpening(API_ElemTypeID type, const API_Guid& wall, double at, double width, double height, double sill)
    {
        Element opening = NewElement(type);
        opening.record.header.guid = random_.Guid();
        API_WindowType& record = opening.record.window;
        record.owner = wall;
        record.objLoc = at;
        record.openingBase.width = width;
        record.openingBase.height = height;
        record.lower = sill;
        opening.classification[system_] = items_[type == API_WindowID ? Window : Door];
        project_.AddElement(std::move(opening));
    }

    // A room's floor, or now and then the ceiling over it; every fifth room big enough has a shaft.
    void AddSlab(const Room& room)
    {
        Element slab = NewElement(API_SlabID);
        slab.record.header.guid = random_.Guid();
        slab.polygon = {room.low, {room.high.x, room.low.y}, room.high, {room.low.x, room.high.y}};
        const double width = room.high.x - room.low.x, depth = room.high.y - room.low.y;
        if (std::min(width, depth) >= 3.0 && random_.Chance(0.2)) {
            const double side = Snap(random_.Between(0.6, 1.0));
            const API_Coord centre{Snap(room.low.x + width / 2.0), Snap(room.low.y + depth / 2.0)};
            const double half = side / 2.0;
            slab.holes.push_back({{centre.x - half, centre.y - half},
                                  {centre.x - half, centre.y + half},
                                  {centre.x + half, centre.y + half},
                                  {centre.x + half, centre.y - half}});
        }
        const bool upper = random_.Chance(0.3);
        API_SlabType& record = slab.record.slab;
        const Int32 composite = random_.Pick(thick_);
        record.modelElemStructureType = API_CompositeStructure;
        record.composite = ACAPI_CreateAttributeIndex(composite);
        record.buildingMaterial = APIInvalidAttributeIndex;
        record.thickness = project_.FindAttribute(API_CompWallID, composite)->record.compWall.totalThick;
        record.level = upper ? room.storey : 0.0;
        slab.classification[system_] = items_[upper ? UpperFloor : GroundFloor];
        slab.classification[archicadSystem_] = GuidOf(upper ? ArchicadCeiling : ArchicadFloor);
        SetCommonValues(slab);
        project_.AddElement(std::move(slab));
    }

    const Options& options_;
    Random random_;
    Project project_;
    std::vector<Int32> thin_, thick_;
    std::vector<API_Guid> items_;
    API_Guid system_, archicadSystem_, group_, fireRating_, finish_, external_, acoustic_;
};

}  // namespace

Project Generate(const Options& options)
{
    if (options.composites == 0 && (options.walls > 0 || options.slabs > 0))
        throw std::runtime_error("walls and slabs need at least one composite");
    return Generator(options).Run();
}

void WriteProject(const Options& options, const std::string& path)
{
    const std::string text = Generate(options).ToJson();
    const std::string temporary = path + ".writing";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text;
        if (!file.flush())
            throw std::runtime_error("cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot replace " + path);
}

}  // namespace Sim::ProjectGenerator

#include "JsonFields.hpp"

#include "Base64.hpp"

#include <cmath>
#include <set>

namespace Sim::Json {

namespace {

struct ReferenceLineName {
    API_WallReferenceLineLocationID location;
    const char* name;
};
constexpr ReferenceLineName ReferenceLines[] = {
    {APIWallRefLine_Outside, "Outside"},       {APIWallRefLine_Center, "Center"},
    {APIWallRefLine_Inside, "Inside"},         {APIWallRefLine_CoreOutside, "CoreOutside"},
    {APIWallRefLine_CoreCenter, "CoreCenter"}, {APIWallRefLine_CoreInside, "CoreInside"},
};

// The structure keys walls and slabs share: a composite or a basic building material.
template <typename Record>
void WriteStructure(Writer& writer, const Project& project, const Record& record, References references)
{
    if (record.modelElemStructureType == API_CompositeStructure) {
        writer.Key("composite");
        WriteReference(writer, project, API_CompWallID, record.composite, references);
    } else if (record.buildingMaterial != APIInvalidAttributeIndex) {
        writer.Key("material");
        WriteReference(writer, project, API_BuildingMaterialID, record.buildingMaterial, references);
    }
}

template <typename Record>
void ReadStructure(const Value& value, const Project& project, Record& record, References references)
{
    const bool composite = value.HasMember("composite");
    if (composite && value.HasMember("material"))
        Fail("give \"composite\" or \"material\", not both");
    if (composite) {
        record.composite = ReadReference(value["composite"], project, API_CompWallID, "composite", references);
        record.modelElemStructureType = API_CompositeStructure;
        record.buildingMaterial = APIInvalidAttributeIndex;
    } else if (value.HasMember("material")) {
        record.buildingMaterial =
            ReadReference(value["material"], project, API_BuildingMaterialID, "material", references);
        record.modelElemStructureType = API_BasicStructure;
        record.composite = APIInvalidAttributeIndex;
    }
}

// A composite element is as thick as its composite; a basic one takes the thickness given.
template <typename Record>
void ReadThickness(const Value& value, const Project& project, Record& record, References references, const char* what)
{
    const bool given = value.HasMember("thickness");
    if (record.modelElemStructureType == API_CompositeStructure) {
        if (given && references == References::Name)
            Fail(std::string("a composite ") + what + " is as thick as its composite: give no \"thickness\"");
        record.thickness =
            project.FindAttribute(API_CompWallID, record.composite.ToInt32_Deprecated())->record.compWall.totalThick;
    } else if (given) {
        record.thickness = PositiveLength(value["thickness"], "thickness");
    }
}

const std::set<std::string>& KeysOf(API_ElemTypeID type)
{
    static const std::set<std::string> wall{"begin",      "end",           "height",    "thickness",
                                            "baseOffset", "referenceLine", "composite", "material"};
    static const std::set<std::string> slab{"polygon", "holes", "thickness", "elevation", "composite", "material"};
    static const std::set<std::string> curtainWall{"begin", "end", "height"};
    static const std::set<std::string> opening{"wall", "at", "width", "height", "sill"};
    static const std::set<std::string> none;
    switch (type) {
        case API_WallID:
            return wall;
        case API_SlabID:
            return slab;
        case API_CurtainWallID:
            return curtainWall;
        case API_WindowID:
        case API_DoorID:
            return opening;
        default:
            return none;
    }
}

double WallLength(const API_WallType& wall)
{
    return std::hypot(wall.endC.x - wall.begC.x, wall.endC.y - wall.begC.y);
}

void WriteWall(Writer& writer, const Project& project, const Element& element, References references)
{
    const API_WallType& wall = element.record.wall;
    writer.Key("begin");
    WritePoint(writer, wall.begC);
    writer.Key("end");
    WritePoint(writer, wall.endC);
    writer.Key("height");
    writer.Double(wall.height);
    writer.Key("thickness");
    writer.Double(ElementThickness(project, element));
    writer.Key("baseOffset");
    writer.Double(wall.bottomOffset);
    writer.Key("referenceLine");
    WriteText(writer, std::string(ReferenceLines[wall.referenceLineLocation].name));
    WriteStructure(writer, project, wall, references);
}

void WriteSlab(Writer& writer, const Project& project, const Element& element, References references)
{
    const API_SlabType& slab = element.record.slab;
    writer.Key("polygon");
    WriteRing(writer, element.polygon);
    writer.Key("holes");
    writer.StartArray();
    for (const Ring& hole : element.holes)
        WriteRing(writer, hole);
    writer.EndArray();
    writer.Key("thickness");
    writer.Double(ElementThickness(project, element));
    writer.Key("elevation");
    writer.Double(slab.level);
    WriteStructure(writer, project, slab, references);
}

void WriteCurtainWall(Writer& writer, const Element& element)
{
    writer.Key("begin");
    WritePoint(writer, element.polygon.at(0));
    writer.Key("end");
    WritePoint(writer, element.polygon.at(1));
    writer.Key("height");
    writer.Double(element.record.curtainWall.height);
}

void WriteOpening(Writer& writer, const Element& element)
{
    const API_WindowType& opening = element.record.window;
    writer.Key("wall");
    WriteGuid(writer, opening.owner);
    writer.Key("at");
    writer.Double(opening.objLoc);
    writer.Key("width");
    writer.Double(opening.openingBase.width);
    writer.Key("height");
    writer.Double(opening.openingBase.height);
    writer.Key("sill");
    writer.Double(opening.lower);
}

void ReadWall(const Value& value, const Project& project, Element& element, References references)
{
    const auto has = [&](const char* key) { return value.HasMember(key); };
    API_WallType& wall = element.record.wall;
    if (has("begin"))
        wall.begC = Point(value["begin"], "begin");
    if (has("end"))
        wall.endC = Point(value["end"], "end");
    if (WallLength(wall) <= 0.0)
        Fail("a wall's begin and end must differ");
    if (has("height"))
        wall.height = PositiveLength(value["height"], "height");
    if (has("baseOffset"))
        wall.bottomOffset = Length(value["baseOffset"], "baseOffset");
    if (has("referenceLine")) {
        const std::string name = Text(value["referenceLine"], "referenceLine");
        const auto found = std::find_if(std::begin(ReferenceLines), std::end(ReferenceLines),
                                        [&](const ReferenceLineName& row) { return name == row.name; });
        if (found == std::end(ReferenceLines))
            Fail("\"referenceLine\" is one of Outside, Center, Inside, CoreOutside, CoreCenter, CoreInside");
        wall.referenceLineLocation = found->location;
    }
    // Taken off its composite, a wall keeps the thickness it had on it.
    wall.thickness = ElementThickness(project, element);
    ReadStructure(value, project, wall, references);
    ReadThickness(value, project, wall, references, "wall");
    wall.thickness1 = wall.thickness;
    if (wall.modelElemStructureType != API_CompositeStructure &&
        (wall.referenceLineLocation == APIWallRefLine_CoreOutside ||
         wall.referenceLineLocation == APIWallRefLine_CoreCenter ||
         wall.referenceLineLocation == APIWallRefLine_CoreInside))
        Fail("only a composite wall has a core to place its reference line on");
}

void ReadSlab(const Value& value, const Project& project, Element& element, References references)
{
    const auto has = [&](const char* key) { return value.HasMember(key); };
    API_SlabType& slab = element.record.slab;
    if (has("polygon"))
        element.polygon = ReadRing(value["polygon"], "polygon");
    if (has("holes")) {
        if (!value["holes"].IsArray())
            Fail("\"holes\" must be an array of rings");
        element.holes.clear();
        for (const auto& hole : value["holes"].GetArray())
            element.holes.push_back(ReadRing(hole, "holes"));
    }
    if (has("elevation"))
        slab.level = Length(value["elevation"], "elevation");
    slab.thickness = ElementThickness(project, element);
    ReadStructure(value, project, slab, references);
    ReadThickness(value, project, slab, references, "slab");
}

void ReadCurtainWall(const Value& value, Element& element)
{
    const auto has = [&](const char* key) { return value.HasMember(key); };
    if (has("begin"))
        element.polygon.at(0) = Point(value["begin"], "begin");
    if (has("end"))
        element.polygon.at(1) = Point(value["end"], "end");
    if (has("height"))
        element.record.curtainWall.height = PositiveLength(value["height"], "height");
}

void ReadOpening(const Value& value, const Project& project, Element& element)
{
    const auto has = [&](const char* key) { return value.HasMember(key); };
    API_WindowType& opening = element.record.window;
    if (has("wall"))
        opening.owner = ReadGuid(value["wall"], "wall");
    const Element* wall = project.FindElement(opening.owner);
    if (wall == nullptr || wall->Type() != API_WallID)
        Fail(std::string("a ") + ElemTypeName(element.Type()) + " needs the guid of its wall as \"wall\"");
    if (has("width"))
        opening.openingBase.width = PositiveLength(value["width"], "width");
    if (has("height"))
        opening.openingBase.height = PositiveLength(value["height"], "height");
    if (has("sill"))
        opening.lower = Length(value["sill"], "sill");
    const double length = WallLength(wall->record.wall);
    opening.objLoc = has("at") ? Length(value["at"], "at") : (has("wall") ? length / 2.0 : opening.objLoc);
    const double half = opening.openingBase.width / 2.0;
    if (opening.objLoc - half < -1e-9 || opening.objLoc + half > length + 1e-9 || opening.lower < 0.0 ||
        opening.lower + opening.openingBase.height > wall->record.wall.height + 1e-9)
        Fail(std::string("the ") + ElemTypeName(element.Type()) + " does not fit its wall");
}

}  // namespace

void WriteGeometry(Writer& writer, const Project& project, const Element& element, References references)
{
    switch (element.Type()) {
        case API_WallID:
            WriteWall(writer, project, element, references);
            break;
        case API_SlabID:
            WriteSlab(writer, project, element, references);
            break;
        case API_CurtainWallID:
            WriteCurtainWall(writer, element);
            break;
        case API_WindowID:
        case API_DoorID:
            WriteOpening(writer, element);
            break;
        default:
            break;
    }
}

void ReadGeometry(const Value& value, const Project& project, Element& element, References references,
                  const std::set<std::string>& otherKeys)
{
    const auto& keys = KeysOf(element.Type());
    for (const auto& member : value.GetObject()) {
        const std::string key = member.name.GetString();
        if (keys.count(key) == 0 && otherKeys.count(key) == 0)
            Fail("a " + std::string(ElemTypeName(element.Type())) + " has no key \"" + key + "\"");
    }
    switch (element.Type()) {
        case API_WallID:
            ReadWall(value, project, element, references);
            break;
        case API_SlabID:
            ReadSlab(value, project, element, references);
            break;
        case API_CurtainWallID:
            ReadCurtainWall(value, element);
            break;
        case API_WindowID:
        case API_DoorID:
            ReadOpening(value, project, element);
            break;
        default:
            break;
    }
}

void WriteUserData(Writer& writer, const UserData& data)
{
    writer.Key("version");
    writer.Int(data.version);
    writer.Key("platformSign");
    writer.Uint(data.platformSign);
    writer.Key("data");
    WriteText(writer, EncodeBase64(data.bytes));
}

UserData ReadUserData(const Value& value)
{
    if (!value.IsObject() || !value.HasMember("version") || !value["version"].IsInt() ||
        !value.HasMember("platformSign") || !value["platformSign"].IsUint() ||
        value["platformSign"].GetUint() > 0xFFFF || !value.HasMember("data") || !value["data"].IsString())
        Fail("user data needs version, platformSign and data");
    const auto bytes = DecodeBase64(value["data"].GetString());
    if (!bytes)
        Fail("user data is not base64");
    return UserData{value["version"].GetInt(), static_cast<UInt16>(value["platformSign"].GetUint()), *bytes};
}

}  // namespace Sim::Json

#include "ModelJson.hpp"

#include "Base64.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "Quantities.hpp"

#include <cmath>
#include <set>

namespace Sim::Json {

namespace {

using Value = rapidjson::Value;

[[noreturn]] void Fail(const std::string& message)
{
    throw FormatError(message);
}

double Number(const Value& value, const char* key)
{
    if (!value.IsNumber() || !std::isfinite(value.GetDouble()))
        Fail(std::string("\"") + key + "\" must be a number");
    return value.GetDouble();
}

double Positive(const Value& value, const char* key)
{
    const double number = Number(value, key);
    if (!(number > 0.0))
        Fail(std::string("\"") + key + "\" must be above 0");
    return number;
}

double Length(const Value& value, const char* key)
{
    const double length = Number(value, key);
    if (std::fabs(length) > LongestLength)
        Fail(std::string("\"") + key + "\" must be within 10 km (" + std::to_string(static_cast<int>(LongestLength)) +
             " m)");
    return length;
}

double PositiveLength(const Value& value, const char* key)
{
    Positive(value, key);
    return Length(value, key);
}

Int32 Integer(const Value& value, const char* key)
{
    if (!value.IsInt())
        Fail(std::string("\"") + key + "\" must be an integer");
    return value.GetInt();
}

std::string Text(const Value& value, const char* key)
{
    if (!value.IsString())
        Fail(std::string("\"") + key + "\" must be a text");
    return std::string(value.GetString(), value.GetStringLength());
}

API_Coord Point(const Value& value, const char* key)
{
    if (!value.IsArray() || value.Size() != 2)
        Fail(std::string("\"") + key + "\" must be [x,y]");
    return API_Coord{Length(value[0], key), Length(value[1], key)};
}

Ring ReadRing(const Value& value, const char* key)
{
    if (!value.IsArray() || value.Size() < 3)
        Fail(std::string("\"") + key + "\" must be a ring of at least three [x,y] points");
    Ring ring;
    for (const auto& point : value.GetArray())
        ring.push_back(Point(point, key));
    if (RingArea(ring) < 1e-12)
        Fail(std::string("\"") + key + "\" encloses no area");
    return ring;
}

void WritePoint(Writer& writer, const API_Coord& point)
{
    writer.StartArray();
    writer.Double(point.x);
    writer.Double(point.y);
    writer.EndArray();
}

void WriteRing(Writer& writer, const Ring& ring)
{
    writer.StartArray();
    for (const auto& point : ring)
        WritePoint(writer, point);
    writer.EndArray();
}

struct ReferenceLineName {
    API_WallReferenceLineLocationID location;
    const char* name;
};
constexpr ReferenceLineName ReferenceLines[] = {
    {APIWallRefLine_Outside, "Outside"},       {APIWallRefLine_Center, "Center"},
    {APIWallRefLine_Inside, "Inside"},         {APIWallRefLine_CoreOutside, "CoreOutside"},
    {APIWallRefLine_CoreCenter, "CoreCenter"}, {APIWallRefLine_CoreInside, "CoreInside"},
};

void WriteReference(Writer& writer, const Project& project, API_AttrTypeID type, const API_AttributeIndex& index,
                    References references)
{
    if (references == References::Index) {
        writer.Int(index.ToInt32_Deprecated());
        return;
    }
    const Attribute* attribute = project.FindAttribute(type, index.ToInt32_Deprecated());
    if (attribute != nullptr)
        WriteText(writer, attribute->name);
    else
        writer.Null();
}

API_AttributeIndex ReadReference(const Value& value, const Project& project, API_AttrTypeID type, const char* key,
                                 References references)
{
    if (references == References::Index) {
        const Int32 index = Integer(value, key);
        if (project.FindAttribute(type, index) == nullptr)
            Fail(std::string("\"") + key + "\" names no " + AttrTypeName(type) + " " + std::to_string(index));
        return ACAPI_CreateAttributeIndex(index);
    }
    const std::string name = Text(value, key);
    const Attribute* attribute = project.FindAttribute(type, HostText::Uni(name));
    if (attribute == nullptr)
        Fail("no " + std::string(AttrTypeName(type)) + " is named \"" + name + "\"");
    return attribute->record.header.index;
}

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

}  // namespace

void WriteText(Writer& writer, const std::string& text)
{
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

void WriteText(Writer& writer, const GS::UniString& text)
{
    WriteText(writer, HostText::Utf8(text));
}

void WriteGuid(Writer& writer, const API_Guid& guid)
{
    WriteText(writer, HostText::Utf8(APIGuidToString(guid)));
}

API_Guid ReadGuid(const Value& value, const char* what)
{
    GS::Guid guid;
    if (!value.IsString() || guid.ConvertFromString(value.GetString()) != NoError)
        Fail(std::string("\"") + what + "\" must be a GUID text");
    return GSGuid2APIGuid(guid);
}

void WriteGeometry(Writer& writer, const Project& project, const Element& element, References references)
{
    switch (element.Type()) {
        case API_WallID: {
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
            break;
        }
        case API_SlabID: {
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
            break;
        }
        case API_CurtainWallID:
            writer.Key("begin");
            WritePoint(writer, element.polygon.at(0));
            writer.Key("end");
            WritePoint(writer, element.polygon.at(1));
            writer.Key("height");
            writer.Double(element.record.curtainWall.height);
            break;
        case API_WindowID:
        case API_DoorID: {
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
            break;
        }
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
    const auto has = [&](const char* key) { return value.HasMember(key); };
    switch (element.Type()) {
        case API_WallID: {
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
            break;
        }
        case API_SlabID: {
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
            break;
        }
        case API_CurtainWallID:
            if (has("begin"))
                element.polygon.at(0) = Point(value["begin"], "begin");
            if (has("end"))
                element.polygon.at(1) = Point(value["end"], "end");
            if (has("height"))
                element.record.curtainWall.height = PositiveLength(value["height"], "height");
            break;
        case API_WindowID:
        case API_DoorID: {
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
            break;
        }
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

namespace {

void WriteVariant(Writer& writer, const API_Variant& variant)
{
    switch (variant.type) {
        case API_PropertyIntegerValueType:
            writer.Int(variant.intValue);
            break;
        case API_PropertyRealValueType:
            writer.Double(variant.doubleValue);
            break;
        case API_PropertyStringValueType:
            WriteText(writer, variant.uniStringValue);
            break;
        case API_PropertyBooleanValueType:
            writer.Bool(variant.boolValue);
            break;
        case API_PropertyGuidValueType:
            WriteGuid(writer, variant.guidValue);
            break;
        default:
            writer.Null();
            break;
    }
}

API_Variant ReadVariant(const Value& value, API_VariantType type)
{
    API_Variant variant;
    variant.type = type;
    switch (type) {
        case API_PropertyIntegerValueType:
            variant.intValue = Integer(value, "value");
            break;
        case API_PropertyRealValueType:
            variant.doubleValue = Number(value, "value");
            break;
        case API_PropertyStringValueType:
            variant.uniStringValue = HostText::Uni(Text(value, "value"));
            break;
        case API_PropertyBooleanValueType:
            if (!value.IsBool())
                Fail("\"value\" must be true or false");
            variant.boolValue = value.GetBool();
            break;
        case API_PropertyGuidValueType:
            variant.guidValue = ReadGuid(value, "value");
            break;
        default:
            Fail("the definition has no value type");
    }
    return variant;
}

bool IsEnumeration(API_PropertyCollectionType collection)
{
    return collection == API_PropertySingleChoiceEnumerationCollectionType ||
           collection == API_PropertyMultipleChoiceEnumerationCollectionType;
}

bool IsListCollection(API_PropertyCollectionType collection)
{
    return collection == API_PropertyListCollectionType ||
           collection == API_PropertyMultipleChoiceEnumerationCollectionType;
}

}  // namespace

void WritePropertyValue(Writer& writer, const API_PropertyDefinition& definition, const API_PropertyValue& value)
{
    if (value.variantStatus != API_VariantStatusNormal) {
        writer.Null();
        return;
    }
    if (IsListCollection(definition.collectionType)) {
        writer.StartArray();
        for (const auto& variant : value.listVariant.variants)
            WriteVariant(writer, variant);
        writer.EndArray();
        return;
    }
    WriteVariant(writer, value.singleVariant.variant);
}

API_PropertyValue ReadPropertyValue(const Value& value, const API_PropertyDefinition& definition)
{
    API_PropertyValue read;
    if (value.IsNull()) {
        read.variantStatus = API_VariantStatusUserUndefined;
        read.singleVariant.variant.type = definition.valueType;
        return read;
    }
    const API_VariantType type =
        IsEnumeration(definition.collectionType) ? API_PropertyGuidValueType : definition.valueType;
    if (IsListCollection(definition.collectionType)) {
        if (!value.IsArray())
            Fail("the definition holds a list: give an array");
        for (const auto& item : value.GetArray())
            read.listVariant.variants.Push(ReadVariant(item, type));
        return read;
    }
    read.singleVariant.variant = ReadVariant(value, type);
    return read;
}

namespace {

template <typename Enum>
struct EnumName {
    Enum value;
    const char* name;
};
constexpr EnumName<API_VariantType> ValueTypes[] = {
    {API_PropertyIntegerValueType, "integer"}, {API_PropertyRealValueType, "real"},
    {API_PropertyStringValueType, "string"},   {API_PropertyBooleanValueType, "boolean"},
    {API_PropertyGuidValueType, "guid"},
};
constexpr EnumName<API_PropertyMeasureType> MeasureTypes[] = {
    {API_PropertyDefaultMeasureType, "default"}, {API_PropertyLengthMeasureType, "length"},
    {API_PropertyAreaMeasureType, "area"},       {API_PropertyVolumeMeasureType, "volume"},
    {API_PropertyAngleMeasureType, "angle"},
};
constexpr EnumName<API_PropertyCollectionType> Collections[] = {
    {API_PropertySingleCollectionType, "single"},
    {API_PropertyListCollectionType, "list"},
    {API_PropertySingleChoiceEnumerationCollectionType, "singleChoice"},
    {API_PropertyMultipleChoiceEnumerationCollectionType, "multipleChoice"},
};

template <typename Enum, std::size_t N>
const char* NameOf(const EnumName<Enum> (&table)[N], Enum value)
{
    for (const auto& row : table) {
        if (row.value == value)
            return row.name;
    }
    return "undefined";
}

template <typename Enum, std::size_t N>
Enum ValueOf(const EnumName<Enum> (&table)[N], const std::string& name, const char* key)
{
    std::string names;
    for (const auto& row : table) {
        if (name == row.name)
            return row.value;
        names += names.empty() ? row.name : std::string(", ") + row.name;
    }
    Fail(std::string("\"") + key + "\" is one of " + names);
}

}  // namespace

const char* ValueTypeName(API_VariantType type)
{
    return NameOf(ValueTypes, type);
}
const char* MeasureTypeName(API_PropertyMeasureType type)
{
    return NameOf(MeasureTypes, type);
}
const char* CollectionName(API_PropertyCollectionType type)
{
    return NameOf(Collections, type);
}
API_VariantType ValueTypeFromName(const std::string& name)
{
    return ValueOf(ValueTypes, name, "valueType");
}
API_PropertyMeasureType MeasureTypeFromName(const std::string& name)
{
    return ValueOf(MeasureTypes, name, "measureType");
}
API_PropertyCollectionType CollectionFromName(const std::string& name)
{
    return ValueOf(Collections, name, "collection");
}

void WriteDefinition(Writer& writer, const Project&, const API_PropertyDefinition& definition)
{
    writer.StartObject();
    writer.Key("guid");
    WriteGuid(writer, definition.guid);
    writer.Key("group");
    WriteGuid(writer, definition.groupGuid);
    writer.Key("name");
    WriteText(writer, definition.name);
    writer.Key("description");
    WriteText(writer, definition.description);
    writer.Key("valueType");
    writer.String(ValueTypeName(definition.valueType));
    writer.Key("measureType");
    writer.String(MeasureTypeName(definition.measureType));
    writer.Key("collection");
    writer.String(CollectionName(definition.collectionType));
    writer.Key("default");
    WritePropertyValue(writer, definition, definition.defaultValue.basicValue);
    writer.Key("defaultIsUndefined");
    writer.Bool(definition.defaultValue.basicValue.variantStatus != API_VariantStatusNormal);
    writer.Key("availability");
    writer.StartArray();
    for (const API_Guid& item : definition.availability)
        WriteGuid(writer, item);
    writer.EndArray();
    if (IsEnumeration(definition.collectionType)) {
        writer.Key("choices");
        writer.StartArray();
        for (const auto& choice : definition.possibleEnumValues) {
            writer.StartObject();
            writer.Key("key");
            WriteGuid(writer, choice.keyVariant.guidValue);
            writer.Key("value");
            WriteVariant(writer, choice.displayVariant);
            writer.EndObject();
        }
        writer.EndArray();
    }
    writer.EndObject();
}

API_PropertyDefinition ReadDefinition(const Value& value, const Project& project)
{
    static const std::set<std::string> keys{"guid",         "group",     "name",
                                            "description",  "valueType", "measureType",
                                            "collection",   "default",   "defaultIsUndefined",
                                            "availability", "choices"};
    if (!value.IsObject())
        Fail("a property definition is an object");
    for (const auto& member : value.GetObject()) {
        if (keys.count(member.name.GetString()) == 0)
            Fail(std::string("a property definition has no key \"") + member.name.GetString() + "\"");
    }
    API_PropertyDefinition definition;
    definition.definitionType = API_PropertyCustomDefinitionType;
    if (value.HasMember("guid"))
        definition.guid = ReadGuid(value["guid"], "guid");
    if (!value.HasMember("group") || !value.HasMember("name") || !value.HasMember("valueType"))
        Fail("a property definition needs \"group\", \"name\" and \"valueType\"");
    const std::string group = Text(value["group"], "group");
    GS::Guid groupGuid;
    const PropertyGroup* found =
        groupGuid.ConvertFromString(group.c_str()) == NoError ? project.FindGroup(GSGuid2APIGuid(groupGuid)) : nullptr;
    for (const PropertyGroup* candidate : project.Groups()) {
        if (found == nullptr && candidate->group.name == HostText::Uni(group))
            found = candidate;
    }
    if (found == nullptr)
        Fail("no property group is named \"" + group + "\"");
    definition.groupGuid = found->group.guid;
    definition.name = HostText::Uni(Text(value["name"], "name"));
    if (value.HasMember("description"))
        definition.description = HostText::Uni(Text(value["description"], "description"));
    definition.valueType = ValueTypeFromName(Text(value["valueType"], "valueType"));
    definition.measureType = value.HasMember("measureType")
                                 ? MeasureTypeFromName(Text(value["measureType"], "measureType"))
                                 : API_PropertyDefaultMeasureType;
    definition.collectionType = value.HasMember("collection")
                                    ? CollectionFromName(Text(value["collection"], "collection"))
                                    : API_PropertySingleCollectionType;
    if (value.HasMember("availability")) {
        if (!value["availability"].IsArray())
            Fail("\"availability\" must be an array of classification item GUIDs");
        for (const auto& item : value["availability"].GetArray())
            definition.availability.Push(ReadGuid(item, "availability"));
    }
    if (value.HasMember("choices")) {
        if (!value["choices"].IsArray())
            Fail("\"choices\" must be an array of {\"key\",\"value\"}");
        for (const auto& choice : value["choices"].GetArray()) {
            if (!choice.IsObject() || !choice.HasMember("value"))
                Fail("a choice needs a \"value\"");
            API_SingleEnumerationVariant possible;
            possible.keyVariant.type = API_PropertyGuidValueType;
            possible.keyVariant.guidValue =
                choice.HasMember("key") ? ReadGuid(choice["key"], "key") : GSGuid2APIGuid(HostGuid::New());
            possible.displayVariant = ReadVariant(choice["value"], definition.valueType);
            definition.possibleEnumValues.Push(possible);
        }
    }
    const bool undefined = !value.HasMember("default") || value["default"].IsNull() ||
                           (value.HasMember("defaultIsUndefined") && value["defaultIsUndefined"].IsTrue());
    if (undefined) {
        definition.defaultValue.basicValue.variantStatus = API_VariantStatusUserUndefined;
        definition.defaultValue.basicValue.singleVariant.variant.type = definition.valueType;
    } else {
        definition.defaultValue.basicValue = ReadPropertyValue(value["default"], definition);
    }
    return definition;
}

void WriteColour(Writer& writer, const API_RGBColor& colour)
{
    writer.StartArray();
    writer.Double(colour.f_red);
    writer.Double(colour.f_green);
    writer.Double(colour.f_blue);
    writer.EndArray();
}

namespace {

void WriteItems(Writer& writer, const Project& project, const std::vector<API_Guid>& items)
{
    writer.StartArray();
    for (const API_Guid& guid : items) {
        const ClassificationItem* item = project.FindItem(guid);
        writer.StartObject();
        writer.Key("guid");
        WriteGuid(writer, guid);
        writer.Key("id");
        WriteText(writer, item->item.id);
        writer.Key("name");
        WriteText(writer, item->item.name);
        writer.Key("description");
        WriteText(writer, item->item.description);
        writer.Key("children");
        WriteItems(writer, project, item->children);
        writer.EndObject();
    }
    writer.EndArray();
}

}  // namespace

void WriteClassificationSystem(Writer& writer, const Project& project, const ClassificationSystem& system)
{
    writer.StartObject();
    writer.Key("guid");
    WriteGuid(writer, system.system.guid);
    writer.Key("name");
    WriteText(writer, system.system.name);
    writer.Key("description");
    WriteText(writer, system.system.description);
    writer.Key("source");
    WriteText(writer, system.system.source);
    writer.Key("editionVersion");
    WriteText(writer, system.system.editionVersion);
    writer.Key("items");
    WriteItems(writer, project, system.roots);
    writer.EndObject();
}

namespace {

API_RGBColor ReadColour(const Value& value)
{
    if (!value.IsArray() || value.Size() != 3)
        Fail("\"colour\" must be [r,g,b] in 0..1");
    double parts[3];
    for (rapidjson::SizeType i = 0; i < 3; ++i) {
        parts[i] = Number(value[i], "colour");
        if (parts[i] < 0.0 || parts[i] > 1.0)
            Fail("\"colour\" must be [r,g,b] in 0..1");
    }
    return API_RGBColor{parts[0], parts[1], parts[2]};
}

// Pen 0 draws nothing, as a skin's hidden frame or face line.
short ReadPen(const Value& value, const char* key, bool noneAllowed = false)
{
    const Int32 pen = Integer(value, key);
    if (pen < (noneAllowed ? 0 : 1) || pen > 255)
        Fail(std::string("\"") + key + "\" must be a pen from 1 to 255");
    return static_cast<short>(pen);
}

struct FillTypeName {
    API_FillSubtype type;
    const char* name;
};
constexpr FillTypeName FillTypes[] = {
    {APIFill_Vector, "vector"},
    {APIFill_Symbol, "symbol"},
    {APIFill_Solid, "solid"},
    {APIFill_Empty, "empty"},
};

}  // namespace

void WriteAttribute(Writer& writer, const Project& project, const Attribute& attribute, References references,
                    bool withType)
{
    writer.StartObject();
    if (withType) {
        writer.Key("type");
        writer.String(AttrTypeName(attribute.Type()));
    }
    writer.Key("index");
    writer.Int(attribute.Index());
    writer.Key("name");
    WriteText(writer, attribute.name);
    writer.Key("guid");
    WriteGuid(writer, attribute.record.header.guid);
    switch (attribute.Type()) {
        case API_CompWallID: {
            writer.Key("thickness");
            writer.Double(attribute.record.compWall.totalThick);
            writer.Key("usage");
            writer.Int(attribute.record.header.flags);
            writer.Key("skins");
            writer.StartArray();
            for (const auto& skin : attribute.skins) {
                writer.StartObject();
                if (references == References::Name) {
                    writer.Key("material");
                    WriteReference(writer, project, API_BuildingMaterialID, skin.buildingMaterial, references);
                }
                writer.Key("materialIndex");
                writer.Int(skin.buildingMaterial.ToInt32_Deprecated());
                writer.Key("thickness");
                writer.Double(skin.fillThick);
                writer.Key("framePen");
                writer.Int(skin.framePen);
                writer.Key("flags");
                writer.Int(skin.flagBits);
                writer.EndObject();
            }
            writer.EndArray();
            writer.Key("lines");
            writer.StartArray();
            for (const auto& line : attribute.lines) {
                writer.StartObject();
                writer.Key("lineType");
                writer.Int(line.ltypeInd.ToInt32_Deprecated());
                writer.Key("pen");
                writer.Int(line.linePen);
                writer.EndObject();
            }
            writer.EndArray();
            break;
        }
        case API_BuildingMaterialID: {
            const auto& material = attribute.record.buildingMaterial;
            writer.Key("id");
            WriteText(writer, attribute.id);
            writer.Key("manufacturer");
            WriteText(writer, attribute.manufacturer);
            writer.Key("description");
            WriteText(writer, attribute.description);
            writer.Key("cutFill");
            writer.Int(material.cutFill.ToInt32_Deprecated());
            writer.Key("cutFillPen");
            writer.Int(material.cutFillPen);
            writer.Key("cutFillBackgroundPen");
            writer.Int(material.cutFillBackgroundPen);
            if (material.cutMaterial != APIInvalidAttributeIndex) {
                writer.Key("surface");
                WriteReference(writer, project, API_MaterialID, material.cutMaterial, references);
            }
            if (material.thermalConductivity > 0.0) {
                writer.Key("thermalConductivity");
                writer.Double(material.thermalConductivity);
            }
            break;
        }
        case API_MaterialID:
            writer.Key("colour");
            WriteColour(writer, attribute.record.material.surfaceRGB);
            break;
        case API_FilltypeID: {
            // Gradients and images are drawn here as vector fills.
            const auto found = std::find_if(std::begin(FillTypes), std::end(FillTypes), [&](const FillTypeName& row) {
                return row.type == attribute.record.filltype.subType;
            });
            writer.Key("fill");
            writer.String(found != std::end(FillTypes) ? found->name : "vector");
            break;
        }
        default:
            break;
    }
    if (attribute.userData) {
        writer.Key("userData");
        writer.StartObject();
        WriteUserData(writer, *attribute.userData);
        writer.EndObject();
    }
    writer.EndObject();
}

Attribute ReadAttribute(const Value& value, const Project& project, API_AttrTypeID type, References references)
{
    static const std::set<std::string> common{"cmd", "type", "index", "name", "guid", "userData", "flags"};
    static const std::set<std::string> composite{"thickness", "usage", "skins", "lines"};
    static const std::set<std::string> material{"id",      "manufacturer",       "description",
                                                "cutFill", "cutFillPen",         "cutFillBackgroundPen",
                                                "surface", "thermalConductivity"};
    static const std::set<std::string> surface{"colour"};
    static const std::set<std::string> fill{"fill"};
    const auto& own = type == API_CompWallID           ? composite
                      : type == API_BuildingMaterialID ? material
                      : type == API_MaterialID         ? surface
                                                       : fill;
    for (const auto& member : value.GetObject()) {
        const std::string key = member.name.GetString();
        if (common.count(key) == 0 && own.count(key) == 0)
            Fail("a " + std::string(AttrTypeName(type)) + " has no key \"" + key + "\"");
    }
    if (!value.HasMember("name") || !value["name"].IsString() || value["name"].GetStringLength() == 0)
        Fail("an attribute needs a name");
    Attribute attribute;
    attribute.record.header.typeID = type;
    SetAttributeName(attribute, HostText::Uni(Text(value["name"], "name")));
    if (value.HasMember("guid"))
        attribute.record.header.guid = ReadGuid(value["guid"], "guid");
    if (value.HasMember("userData"))
        attribute.userData = ReadUserData(value["userData"]);
    const auto has = [&](const char* key) { return value.HasMember(key); };
    switch (type) {
        case API_CompWallID: {
            attribute.record.header.flags = static_cast<short>(has("usage") ? Integer(value["usage"], "usage")
                                                                            : APICWall_ForWall | APICWall_ForSlab);
            // Files may hold a composite without skins (as version 1 files do); a user always gives them.
            const bool skinless = references == References::Index && !has("skins");
            if (!skinless && (!has("skins") || !value["skins"].IsArray() || value["skins"].Empty()))
                Fail("a composite needs \"skins\": [{\"material\",\"thickness\"}, ...]");
            double total = 0.0;
            static const rapidjson::Value none(rapidjson::kArrayType);
            for (const auto& skin : (skinless ? none : value["skins"]).GetArray()) {
                if (!skin.IsObject() || !skin.HasMember("thickness"))
                    Fail("a skin needs a building material and a \"thickness\"");
                API_CWallComponent component = {};
                const bool byName = references == References::Name && skin.HasMember("material");
                if (!byName && !skin.HasMember("materialIndex"))
                    Fail("a skin needs its building material as \"material\"");
                component.buildingMaterial =
                    byName ? ReadReference(skin["material"], project, API_BuildingMaterialID, "material", references)
                           : ReadReference(skin["materialIndex"], project, API_BuildingMaterialID, "materialIndex",
                                           References::Index);
                component.fillThick = PositiveLength(skin["thickness"], "thickness");
                component.framePen = skin.HasMember("framePen") ? ReadPen(skin["framePen"], "framePen", true) : 1;
                component.flagBits = static_cast<short>(skin.HasMember("flags") ? Integer(skin["flags"], "flags") : 0);
                total += component.fillThick;
                attribute.skins.push_back(component);
            }
            if (total > LongestLength)
                Fail("a composite's skins must add up to at most 10 km");
            attribute.record.compWall.nComps = static_cast<short>(attribute.skins.size());
            attribute.record.compWall.totalThick = total;
            if (has("lines")) {
                if (!value["lines"].IsArray() || value["lines"].Size() != attribute.skins.size() + 1)
                    Fail("a composite has one more line than skins");
                for (const auto& line : value["lines"].GetArray()) {
                    if (!line.IsObject() || !line.HasMember("lineType") || !line.HasMember("pen"))
                        Fail("a line needs \"lineType\" and \"pen\"");
                    attribute.lines.push_back(
                        API_CWallLineComponent{ACAPI_CreateAttributeIndex(Integer(line["lineType"], "lineType")),
                                               ReadPen(line["pen"], "pen", true)});
                }
            } else if (!attribute.skins.empty()) {
                attribute.lines.assign(attribute.skins.size() + 1,
                                       API_CWallLineComponent{ACAPI_CreateAttributeIndex(1), 1});
            }
            break;
        }
        case API_BuildingMaterialID: {
            auto& record = attribute.record.buildingMaterial;
            if (has("id"))
                attribute.id = HostText::Uni(Text(value["id"], "id"));
            if (has("manufacturer"))
                attribute.manufacturer = HostText::Uni(Text(value["manufacturer"], "manufacturer"));
            if (has("description"))
                attribute.description = HostText::Uni(Text(value["description"], "description"));
            record.cutFill =
                has("cutFill") ? ReadReference(value["cutFill"], project, API_FilltypeID, "cutFill", References::Index)
                               : ACAPI_CreateAttributeIndex(1);
            record.cutFillPen = has("cutFillPen") ? ReadPen(value["cutFillPen"], "cutFillPen") : 1;
            record.cutFillBackgroundPen =
                has("cutFillBackgroundPen") ? ReadPen(value["cutFillBackgroundPen"], "cutFillBackgroundPen") : 19;
            if (has("surface"))
                record.cutMaterial = ReadReference(value["surface"], project, API_MaterialID, "surface", references);
            if (has("thermalConductivity"))
                record.thermalConductivity = Positive(value["thermalConductivity"], "thermalConductivity");
            break;
        }
        case API_MaterialID:
            attribute.record.material.mtype = APIMater_GeneralID;
            attribute.record.material.surfaceRGB =
                has("colour") ? ReadColour(value["colour"]) : API_RGBColor{0.8, 0.8, 0.8};
            break;
        case API_FilltypeID: {
            attribute.record.filltype.subType = APIFill_Vector;
            if (has("fill")) {
                const std::string name = Text(value["fill"], "fill");
                const auto found = std::find_if(std::begin(FillTypes), std::end(FillTypes),
                                                [&](const FillTypeName& row) { return name == row.name; });
                if (found == std::end(FillTypes))
                    Fail("\"fill\" is one of vector, symbol, solid, empty");
                attribute.record.filltype.subType = found->type;
            }
            break;
        }
        default:
            Fail("unknown attribute type");
    }
    return attribute;
}

}  // namespace Sim::Json

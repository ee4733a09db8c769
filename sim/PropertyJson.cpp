#include "JsonFields.hpp"

#include "HostGuid.hpp"
#include "HostText.hpp"

#include <set>

namespace Sim::Json {

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

}  // namespace Sim::Json

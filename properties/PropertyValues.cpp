#include "PropertyValues.hpp"

#include "GSDebug.hpp"
#include "Numbers.hpp"
#include "Utf8Text.hpp"

#include <cstdio>
#include <stdexcept>

namespace Velmar::Services::Properties {

namespace {

struct KindRow {
    Bo::DataType type;
    ValueKind kind;
};

constexpr KindRow KindRows[] = {
    {Bo::DataType::String, {API_PropertyStringValueType, API_PropertyDefaultMeasureType}},
    {Bo::DataType::Number, {API_PropertyRealValueType, API_PropertyDefaultMeasureType}},
    {Bo::DataType::Integer, {API_PropertyIntegerValueType, API_PropertyDefaultMeasureType}},
    {Bo::DataType::Length, {API_PropertyRealValueType, API_PropertyLengthMeasureType}},
    {Bo::DataType::Area, {API_PropertyRealValueType, API_PropertyAreaMeasureType}},
    {Bo::DataType::Volume, {API_PropertyRealValueType, API_PropertyVolumeMeasureType}},
    {Bo::DataType::Angle, {API_PropertyRealValueType, API_PropertyAngleMeasureType}},
    {Bo::DataType::Boolean, {API_PropertyBooleanValueType, API_PropertyDefaultMeasureType}},
};

const char* const DefaultGroup = "Velmar";

double ParseReal(std::string text)
{
    for (char& c : text)
        c = c == ',' ? '.' : c;
    return Velmar::ParseNumber(text);
}

API_Variant ToVariant(API_VariantType type, const GS::UniString& text)
{
    API_Variant variant;
    variant.type = type;
    switch (type) {
        case API_PropertyIntegerValueType:
            variant.intValue = Velmar::ParseInteger(Velmar::Utf8Of(text));
            break;
        case API_PropertyRealValueType:
            variant.doubleValue = ParseReal(Velmar::Utf8Of(text));
            break;
        case API_PropertyBooleanValueType:
            variant.boolValue = text.IsEqual("True", GS::CaseInsensitive) || text == "1";
            break;
        case API_PropertyGuidValueType: {
            GS::Guid guid;
            if (guid.ConvertFromString(Velmar::Utf8Of(text).c_str()) != NoError)
                throw std::invalid_argument("invalid guid argument");
            variant.guidValue = GSGuid2APIGuid(guid);
            break;
        }
        default:
            variant.type = API_PropertyStringValueType;
            variant.uniStringValue = text;
            break;
    }
    return variant;
}

bool SameVariant(const API_Variant& a, const API_Variant& b)
{
    if (a.type != b.type)
        return false;
    switch (a.type) {
        case API_PropertyIntegerValueType:
            return a.intValue == b.intValue;
        case API_PropertyRealValueType:
            return a.doubleValue == b.doubleValue;
        case API_PropertyBooleanValueType:
            return a.boolValue == b.boolValue;
        case API_PropertyGuidValueType:
            return a.guidValue == b.guidValue;
        default:
            return a.uniStringValue == b.uniStringValue;
    }
}

// The items of a list text: separated by ";", white space around them dropped, empty ones skipped.
GS::Array<GS::UniString> ListItems(const GS::UniString& text)
{
    GS::Array<GS::UniString> items;
    const std::string all = Velmar::Utf8Of(text);
    std::size_t start = 0;
    while (start <= all.size()) {
        std::size_t end = all.find(';', start);
        if (end == std::string::npos)
            end = all.size();
        std::string item = all.substr(start, end - start);
        item.erase(0, item.find_first_not_of(" \t"));
        item.erase(item.find_last_not_of(" \t") + 1);
        if (!item.empty())
            items.Push(Velmar::UniStringOfUtf8(item));
        start = end + 1;
    }
    return items;
}

// The key of the choice the text names: its shown value, compared as text ignoring case, or as a number
// for numeric choices (so "12,5" names 12.5).
std::optional<API_Variant> ChoiceKey(const API_PropertyDefinition& definition, const GS::UniString& text)
{
    for (const auto& choice : definition.possibleEnumValues) {
        const API_Variant& shown = choice.displayVariant;
        bool named = false;
        if (shown.type == API_PropertyIntegerValueType || shown.type == API_PropertyRealValueType) {
            try {
                named = SameVariant(ToVariant(shown.type, text), shown);
            } catch (const std::logic_error&) {
                // A text that is no number names no numeric choice; the others are still looked at.
                named = false;
            }
        } else if (shown.type == API_PropertyBooleanValueType) {
            named = ToVariant(shown.type, text).boolValue == shown.boolValue;
        } else {
            named = shown.uniStringValue.IsEqual(text, GS::CaseInsensitive);
        }
        if (named)
            return choice.keyVariant;
    }
    DBPrintf("Velmar: \"%s\" is none of the choices of \"%s\"\n", Velmar::Utf8Of(text).c_str(),
             Velmar::Utf8Of(definition.name).c_str());
    return std::nullopt;
}

}  // namespace

ValueKind ValueKindOf(Bo::DataType type)
{
    for (const KindRow& row : KindRows) {
        if (row.type == type)
            return row.kind;
    }
    return ValueKind();
}

Bo::DataType DataTypeOf(const Cnf::Property& entry, const Bo::Property& parameter)
{
    return entry.type.HasValue() ? Bo::DataTypeOf(entry.type.Get()) : parameter.dataType;
}

Cnf::Property EntryFor(const Cnf::VelmarMappingFile* mapping, const Bo::Property& parameter)
{
    const GS::UniString key = parameter.attribute.ID.ValueOr(GS::UniString());
    if (mapping != nullptr) {
        if (const Cnf::Property* found = Cnf::FindProperty(mapping->properties.Items(), key))
            return *found;
    }
    Cnf::Property entry;
    entry.key.Set(key);
    entry.type.Set("text");
    entry.groupname.Set(DefaultGroup);
    entry.name.Set(parameter.name);
    return entry;
}

GS::UniString NameOf(const Cnf::Property& entry, const Bo::Property& parameter)
{
    return entry.name.HasValue() && !entry.name.Get().IsEmpty() ? entry.name.Get() : parameter.name;
}

GS::UniString GroupOf(const Cnf::Property& entry)
{
    return entry.groupname.ValueOr(DefaultGroup);
}

GS::UniString ValueTextOf(const Cnf::Property& entry, const Bo::Property& parameter, const ValueKind& kind)
{
    GS::UniString text = parameter.attribute.ValueText(parameter.language).value_or(GS::UniString());
    for (const Cnf::PropertyTranslation& translation : entry.mapping.Items()) {
        if (translation.velmarValue.HasValue() && translation.velmarValue.Get().IsEqual(text, GS::CaseInsensitive)) {
            text = translation.localValue.ValueOr(GS::UniString());
            break;
        }
    }
    if (kind.measureType != API_PropertyLengthMeasureType || text.IsEmpty())
        return text;
    GS::UniString unit = entry.unit.ValueOr(GS::UniString());
    if (unit.IsEmpty())
        unit = parameter.attribute.Unit.ValueOr(GS::UniString());
    return unit.IsEmpty() ? text : ScaleLength(text, unit);
}

GS::UniString ScaleLength(const GS::UniString& text, const GS::UniString& unit)
{
    const double number = ParseReal(Velmar::Utf8Of(text)) / Velmar::UnitsPerMetre(unit);
    char scaled[64];
    std::snprintf(scaled, sizeof scaled, "%.6f", number);
    return GS::UniString(scaled);
}

API_PropertyValue DefaultValueOf(API_VariantType type, bool undefined)
{
    API_PropertyValue value;
    value.singleVariant.variant.type = type;
    value.variantStatus = undefined ? API_VariantStatusUserUndefined : API_VariantStatusNormal;
    return value;
}

API_Property ToProperty(const API_PropertyDefinition& definition, const GS::UniString& text)
{
    API_Property property;
    property.definition = definition;
    property.status = API_Property_HasValue;
    property.isDefault = text.IsEmpty();
    if (property.isDefault)
        return property;
    property.value.variantStatus = API_VariantStatusNormal;
    switch (definition.collectionType) {
        case API_PropertyListCollectionType:
            for (const GS::UniString& item : ListItems(text))
                property.value.listVariant.variants.Push(ToVariant(definition.valueType, item));
            break;
        case API_PropertySingleChoiceEnumerationCollectionType:
            if (const auto key = ChoiceKey(definition, text))
                property.value.singleVariant.variant = *key;
            else
                property.isDefault = true;
            break;
        case API_PropertyMultipleChoiceEnumerationCollectionType:
            for (const GS::UniString& item : ListItems(text)) {
                if (const auto key = ChoiceKey(definition, item))
                    property.value.listVariant.variants.Push(*key);
            }
            property.isDefault = property.value.listVariant.variants.IsEmpty();
            break;
        default:
            property.value.singleVariant.variant = ToVariant(definition.valueType, text);
            break;
    }
    return property;
}

bool SameValue(const API_Property& current, const API_Property& wanted)
{
    if (current.isDefault || wanted.isDefault)
        return current.isDefault == wanted.isDefault;
    if (current.value.variantStatus != wanted.value.variantStatus)
        return false;
    const auto& a = current.value.listVariant.variants;
    const auto& b = wanted.value.listVariant.variants;
    if (a.GetSize() != b.GetSize())
        return false;
    for (UIndex i = 0; i < a.GetSize(); ++i) {
        if (!SameVariant(a[i], b[i]))
            return false;
    }
    return SameVariant(current.value.singleVariant.variant, wanted.value.singleVariant.variant);
}

}  // namespace Velmar::Services::Properties

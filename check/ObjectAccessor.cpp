#include "ObjectAccessor.hpp"

#include "ACAPinc.hpp"
#include "ExportProperty.hpp"
#include "GSDebug.hpp"
#include "Numbers.hpp"
#include "Utf8Text.hpp"

#include <stdexcept>

namespace Velmar::Bo {

namespace {

Rules::Value NumberText(double value)
{
    return Rules::Value(Rules::FixedText(value));
}

// The attribute's value as a number; none when it has no value or the value is no number.
std::optional<double> NumberOf(const SystemParameter& parameter)
{
    if (!parameter.attribute.ValueText(parameter.language))
        return std::nullopt;
    try {
        return parameter.attribute.ValueNumber(parameter.language);
    } catch (const std::logic_error&) {
        // invalid_argument and out_of_range of the conversion: not a number.
        return std::nullopt;
    }
}

std::optional<bool> BooleanOf(const SystemParameter& parameter)
{
    const auto text = parameter.attribute.ValueText(parameter.language);
    if (!text)
        return std::nullopt;
    if (text->IsEqual("true", GS::CaseInsensitive) || *text == GS::UniString("1"))
        return true;
    if (text->IsEqual("false", GS::CaseInsensitive) || *text == GS::UniString("0"))
        return false;
    return std::nullopt;
}

// The value `map` holds for `key`, read and kept the first time it is asked for.
template <typename Map, typename Read>
const typename Map::mapped_type& Remembered(Map& map, const typename Map::key_type& key, Read&& read)
{
    const auto known = map.find(key);
    return known != map.end() ? known->second : map.emplace(key, read()).first->second;
}

}  // namespace

ParameterTable BuildParameterTable(const System& system)
{
    ParameterTable table;
    table.reserve(system.properties.GetSize());
    for (const Property& property : system.properties) {
        SystemParameter parameter;
        parameter.name = property.attribute.ID.ValueOr(property.name);
        parameter.attribute = property.attribute;
        parameter.language = property.language;
        parameter.type = property.dataType;
        table.push_back(std::move(parameter));
    }
    return table;
}

double ScaleByUnit(double value, const std::optional<GS::UniString>& unit)
{
    return unit ? value / UnitsPerMetre(*unit) : value;
}

Rules::OptionalValue ObjectAccessor::GetElementValue(const std::string& name)
{
    return Remembered(elementValues_, name, [&] { return ReadElementValue(name); });
}

Rules::OptionalValue ObjectAccessor::ReadElementValue(const std::string& name)
{
    if (!record_) {
        API_Element element = {};
        element.header.guid = header_.guid;
        if (const GSErrCode err = ACAPI_Element_Get(&element, 0); err != NoError) {
            DBPrintf("Velmar: an element under test was not read (%d)\n", err);
            return std::nullopt;
        }
        record_ = element;
    }
    for (const Properties::Selection& selection : SelectionsFor(record_->header.type.typeID, name)) {
        const auto values = Properties::Evaluate(selection, *record_);
        if (!values.empty())
            return Properties::RuleReading(values.front());
    }
    return std::nullopt;
}

const std::vector<Properties::Selection>& ObjectAccessor::SelectionsFor(API_ElemTypeID type, const std::string& name)
{
    return Remembered(selections_[type], name, [&] {
        std::vector<Properties::Selection> selections;
        for (const Properties::Catalog* catalog : Properties::CatalogsFor(type)) {
            if (auto selection = Properties::Select(*catalog, name); !selection.empty())
                selections.push_back(std::move(selection));
        }
        return selections;
    });
}

Rules::OptionalValue ObjectAccessor::GetParameterValue(const std::string& name)
{
    return Remembered(parameterValues_, name, [&] { return ReadParameter(name); });
}

Rules::OptionalValue ObjectAccessor::ReadParameter(const std::string& name) const
{
    const GS::UniString wanted = Velmar::UniStringOfUtf8(name);
    const SystemParameter* parameter = nullptr;
    for (const SystemParameter& entry : *parameters_) {
        if (entry.name.IsEqual(wanted, GS::CaseInsensitive)) {
            parameter = &entry;
            break;
        }
    }
    if (parameter == nullptr)
        return std::nullopt;
    const auto& unit = parameter->attribute.Unit.Optional();
    switch (parameter->type) {
        case DataType::String: {
            if (unit && !unit->IsEmpty()) {
                if (const auto number = NumberOf(*parameter))
                    return NumberText(ScaleByUnit(*number, unit));
            }
            const auto text = parameter->attribute.ValueText(parameter->language);
            return text ? Rules::OptionalValue(Velmar::Utf8Of(*text)) : std::nullopt;
        }
        case DataType::Number:
        case DataType::Integer:
        case DataType::Length:
        case DataType::Area:
        case DataType::Volume:
        case DataType::Angle: {
            const auto number = NumberOf(*parameter);
            return number ? Rules::OptionalValue(NumberText(ScaleByUnit(*number, unit))) : std::nullopt;
        }
        case DataType::Boolean: {
            const auto flag = BooleanOf(*parameter);
            return flag ? Rules::OptionalValue(*flag) : std::nullopt;
        }
    }
    return std::nullopt;
}

const ObjectAccessor::Answer& ObjectAccessor::FindAnswer(const std::string& code)
{
    return Remembered(answerOf_, code, [&] {
        Answer found;
        const GS::UniString wanted = Velmar::UniStringOfUtf8(code);
        for (const auto& [question, answer] : *answers_) {
            if (question.IsEqual(wanted, GS::CaseInsensitive)) {
                found.text = &answer;
                break;
            }
        }
        GS::Guid definition;
        if (found.text != nullptr && !code.empty() && code[0] == '~' &&
            definition.ConvertFromString(Velmar::Utf8Of(*found.text).c_str()) == NoError)
            found.definition = GSGuid2APIGuid(definition);
        return found;
    });
}

Rules::OptionalValue ObjectAccessor::GetAnswerValue(const std::string& code)
{
    const Answer& answer = FindAnswer(code);
    if (answer.text == nullptr)
        return std::nullopt;
    if (code.empty() || code[0] != '~')
        return Rules::Value(Velmar::Utf8Of(*answer.text));
    if (!answer.definition)
        return std::nullopt;
    return Remembered(selectedValues_, code, [&] { return ReadSelectedProperty(*answer.definition); });
}

Rules::OptionalValue ObjectAccessor::ReadSelectedProperty(const API_Guid& definition) const
{
    API_Property property;
    if (const GSErrCode err = ACAPI_Element_GetPropertyValue(header_.guid, definition, property); err != NoError) {
        DBPrintf("Velmar: a property value of an element under test was not read (%d)\n", err);
        return std::nullopt;
    }
    const auto collection = property.definition.collectionType;
    if (property.status != API_Property_HasValue || property.value.variantStatus != API_VariantStatusNormal ||
        (collection != API_PropertySingleCollectionType && collection != API_PropertyUndefinedCollectionType))
        return std::nullopt;
    const API_Variant& variant = property.value.singleVariant.variant;
    switch (property.definition.valueType) {
        case API_PropertyIntegerValueType:
            return Rules::Value(static_cast<double>(variant.intValue));
        case API_PropertyRealValueType:
            return Rules::Value(variant.doubleValue);
        default:
            return std::nullopt;
    }
}

}  // namespace Velmar::Bo

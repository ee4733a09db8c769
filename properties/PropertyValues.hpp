// How a system parameter becomes the value of an Archicad property: its value type, the mapping file's
// translations and units, and the text read as the definition's kind of value.
#pragma once

#include "BoSystem.hpp"
#include "MappingFile.hpp"

namespace Velmar::Services::Properties {

struct ValueKind {
    API_VariantType valueType = API_PropertyStringValueType;
    API_PropertyMeasureType measureType = API_PropertyDefaultMeasureType;
};

// The host value and measure type of a data type.
ValueKind ValueKindOf(Bo::DataType type);
// The entry's "type" when it has one (unknown texts are strings), else the parameter's own data type.
Bo::DataType DataTypeOf(const Cnf::Property& entry, const Bo::Property& parameter);
// The entry that maps the parameter, or the default entry: its "ID" as key, text, group "Velmar", its name.
Cnf::Property EntryFor(const Cnf::VelmarMappingFile* mapping, const Bo::Property& parameter);
GS::UniString NameOf(const Cnf::Property& entry, const Bo::Property& parameter);
GS::UniString GroupOf(const Cnf::Property& entry);

// The parameter's value in its language, translated by the entry and, for a length, scaled by its unit.
// A length with a unit that is not a number raises the standard stod error.
GS::UniString ValueTextOf(const Cnf::Property& entry, const Bo::Property& parameter, const ValueKind& kind);
// "12,5" in "mm" is "0.012500": divided for mm, cm and dm (any letter case), six decimals either way.
GS::UniString ScaleLength(const GS::UniString& text, const GS::UniString& unit);

// The default a new definition of that type gets: empty, 0, 0.0, false or the null GUID; undefined when asked.
API_PropertyValue DefaultValueOf(API_VariantType type, bool undefined);

// The text as a value of the definition: an empty text is the definition's default. Numbers raise the
// standard stoi/stod errors; lists and multiple choices take items separated by ";"; a choice is found by
// its shown text ignoring case, and a text that names no choice is the default.
API_Property ToProperty(const API_PropertyDefinition& definition, const GS::UniString& text);
// Whether writing `wanted` would change what the element carries.
bool SameValue(const API_Property& current, const API_Property& wanted);

}  // namespace Velmar::Services::Properties

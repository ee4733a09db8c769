// The readers and writers every kind of row shares, for sim/ only: a reader refuses what does not fit
// with FormatError naming the key.
#pragma once

#include "ModelJson.hpp"

#include <cstddef>
#include <string>

namespace Sim::Json {

using Value = rapidjson::Value;

[[noreturn]] void Fail(const std::string& message);

double Number(const Value& value, const char* key);
double Positive(const Value& value, const char* key);
double Length(const Value& value, const char* key);
double PositiveLength(const Value& value, const char* key);
Int32 Integer(const Value& value, const char* key);
std::string Text(const Value& value, const char* key);
API_Coord Point(const Value& value, const char* key);
Ring ReadRing(const Value& value, const char* key);

void WritePoint(Writer& writer, const API_Coord& point);
void WriteRing(Writer& writer, const Ring& ring);

// An attribute that an element or another attribute is built of; written as null when it is gone.
void WriteReference(Writer& writer, const Project& project, API_AttrTypeID type, const API_AttributeIndex& index,
                    References references);
API_AttributeIndex ReadReference(const Value& value, const Project& project, API_AttrTypeID type, const char* key,
                                 References references);

template <typename Enum>
struct EnumName {
    Enum value;
    const char* name;
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

}  // namespace Sim::Json

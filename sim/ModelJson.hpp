// The model's rows as JSON, one writer and one reader per kind, shared by the project file and the
// velmar-sim commands: lengths in metres, colours as [r,g,b] in 0..1, GUIDs in upper case.
#pragma once

#include "Project.hpp"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cmath>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>

namespace Sim::Json {

// What a reader refuses, with the reason.
struct FormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The longest length the host takes, in metres, and the farthest a point lies from the origin each way:
// a site, not the end of the number line, so every area, volume and sum the host computes from lengths
// stays a finite number.
constexpr double LongestLength = 10000.0;

// Writes JSON only: a number that is not finite has no JSON form, and rapidjson would leave the text
// broken where it stood, so it throws FormatError naming the key the number was for.
class Writer : public rapidjson::Writer<rapidjson::StringBuffer> {
public:
    using Base = rapidjson::Writer<rapidjson::StringBuffer>;
    using Base::Base;

    bool Key(const char* name) { return Key(name, static_cast<rapidjson::SizeType>(std::strlen(name))); }
    bool Key(const char* name, rapidjson::SizeType length, bool copy = false)
    {
        key_.assign(name, length);
        return Base::Key(name, length, copy);
    }
    bool Double(double value)
    {
        if (!std::isfinite(value))
            throw FormatError("\"" + key_ + "\" is not a finite number, which JSON cannot hold");
        return Base::Double(value);
    }

private:
    std::string key_;
};

void WriteText(Writer& writer, const std::string& text);
void WriteText(Writer& writer, const GS::UniString& text);
void WriteGuid(Writer& writer, const API_Guid& guid);
API_Guid ReadGuid(const rapidjson::Value& value, const char* what);

// How attribute references are written: by index in project files, by name to scripts.
enum class References { Index, Name };

// An element's geometry and structure keys (the keys element.new takes), without guid and type.
void WriteGeometry(Writer& writer, const Project& project, const Element& element, References references);
// Sets the keys `value` has on `element`, refusing unknown keys (beyond `otherKeys`, which the caller
// reads) and values that do not fit.
void ReadGeometry(const rapidjson::Value& value, const Project& project, Element& element, References references,
                  const std::set<std::string>& otherKeys = {});

void WriteUserData(Writer& writer, const UserData& data);  // the members, not the object
UserData ReadUserData(const rapidjson::Value& value);

// A property value as a script or file gives it: a number, text, boolean, GUID text, an array for
// lists and multiple choices; an enumeration's value by its key GUID. null: undefined.
void WritePropertyValue(Writer& writer, const API_PropertyDefinition& definition, const API_PropertyValue& value);
API_PropertyValue ReadPropertyValue(const rapidjson::Value& value, const API_PropertyDefinition& definition);

const char* ValueTypeName(API_VariantType type);
const char* MeasureTypeName(API_PropertyMeasureType type);
const char* CollectionName(API_PropertyCollectionType type);
API_VariantType ValueTypeFromName(const std::string& name);
API_PropertyMeasureType MeasureTypeFromName(const std::string& name);
API_PropertyCollectionType CollectionFromName(const std::string& name);

void WriteDefinition(Writer& writer, const Project& project, const API_PropertyDefinition& definition);
// A definition's keys as property.definition.new takes them; the group is found by guid or by name.
API_PropertyDefinition ReadDefinition(const rapidjson::Value& value, const Project& project);

// An attribute as an object, its "type" first when asked.
void WriteAttribute(Writer& writer, const Project& project, const Attribute& attribute, References references,
                    bool withType = false);
Attribute ReadAttribute(const rapidjson::Value& value, const Project& project, API_AttrTypeID type,
                        References references);

void WriteColour(Writer& writer, const API_RGBColor& colour);

// A classification system with its item tree: {"guid","name","description","source","editionVersion",
// "items":[{"guid","id","name","description","children":[...]}]}.
void WriteClassificationSystem(Writer& writer, const Project& project, const ClassificationSystem& system);

}  // namespace Sim::Json

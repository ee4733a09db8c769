#include "JsonFields.hpp"

#include "HostText.hpp"
#include "Quantities.hpp"

#include <cmath>

namespace Sim::Json {

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

void WriteColour(Writer& writer, const API_RGBColor& colour)
{
    writer.StartArray();
    writer.Double(colour.f_red);
    writer.Double(colour.f_green);
    writer.Double(colour.f_blue);
    writer.EndArray();
}

}  // namespace Sim::Json

#include "CVSystem.hpp"

#include "Numbers.hpp"
#include "Utf8Text.hpp"

#include <stdexcept>

namespace Velmar::Corvana {

namespace {

std::optional<GS::UniString> Text(const Json::rj::Value& object, const char* key)
{
    Json::ValueProperty<GS::UniString> property(key);
    property.ReadFrom(object);
    return property.Optional();
}

void WriteText(Json::rj::Value& object, const char* key, const std::optional<GS::UniString>& text,
               Json::Allocator& allocator, bool writeAbsent)
{
    Json::ValueProperty<GS::UniString> property(key);
    if (text)
        property.Set(*text);
    property.WriteTo(object, allocator, writeAbsent);
}

// Every member value of an object is an attribute; the member names mean nothing. Answers where they went.
AttributeRange ReadAttributes(const Json::rj::Value* object, AttributeList& attributes)
{
    AttributeRange range{attributes.GetSize(), 0};
    if (object == nullptr || !object->IsObject())
        return range;
    for (const auto& member : object->GetObject()) {
        CVAttribute attribute;
        attribute.ReadFrom(member.value);
        attributes.Push(std::move(attribute));
    }
    range.count = attributes.GetSize() - range.first;
    return range;
}

// How many attributes the "Attributes" object holds, so the list is allocated once.
USize CountAttributes(const Json::rj::Value* general, const Json::rj::Value* composition, const Json::rj::Value* sets)
{
    USize count = 0;
    for (const Json::rj::Value* part : {general, composition})
        count += part != nullptr && part->IsObject() ? part->MemberCount() : 0;
    if (sets != nullptr && sets->IsObject()) {
        for (const auto& member : sets->GetObject())
            count += member.value.IsObject() ? member.value.MemberCount() : 0;
    }
    return count;
}

Json::rj::Value AttributeObject(AttributeView attributes, Json::Allocator& allocator, bool writeAbsent)
{
    Json::rj::Value object(Json::rj::kObjectType);
    for (UIndex i = 0; i < attributes.GetSize(); ++i) {
        Json::rj::Value value(Json::rj::kObjectType);
        attributes[i].WriteTo(value, allocator, writeAbsent);
        const std::string key = Velmar::Utf8Of(attributes[i].ID.ValueOr(GS::UniString(std::to_string(i).c_str())));
        object.AddMember(Json::rj::Value(key.c_str(), allocator), value, allocator);
    }
    return object;
}

const Json::rj::Value* Member(const Json::rj::Value& object, const char* key)
{
    return object.IsObject() ? Json::FindMemberIgnoringCase(object, key) : nullptr;
}

// "#" and six hexadecimal digits, a pair for each of red, green and blue. Any other text is no colour
// but a conversion error, as a pair that does not convert raises it.
Colour ColourFrom(const GS::UniString& text)
{
    const std::string hex = Velmar::Utf8Of(text);
    if (hex.size() != 7 || hex[0] != '#' || hex.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        throw std::invalid_argument("invalid stoi argument");
    Colour colour{};
    for (int i = 0; i < 3; ++i)
        colour[i] = Velmar::ParseInteger(hex.substr(1 + 2 * i, 2), 16) / 255.0;
    return colour;
}

}  // namespace

std::optional<GS::UniString> CVValue::For(Int32 languageIndex) const
{
    switch (languageIndex) {
        case 2:
            return fr_FR.Optional();
        case 3:
            return en_US.Optional();
        default:
            return nl_NL.Optional();
    }
}

std::optional<GS::UniString> CVAttribute::ValueText(Int32 languageIndex) const
{
    return Value.HasValue() ? Value.Get().For(languageIndex) : std::nullopt;
}

double CVAttribute::ValueNumber(Int32 languageIndex) const
{
    std::string text = Velmar::Utf8Of(ValueText(languageIndex).value_or(GS::UniString()));
    for (char& c : text)
        c = c == ',' ? '.' : c;
    return Velmar::ParseNumber(text);
}

std::optional<GS::UniString> CVAttribute::NameText(Int32 languageIndex) const
{
    return Name.HasValue() ? Name.Get().For(languageIndex) : std::nullopt;
}

const CVAttribute* FindAttribute(AttributeView attributes, const GS::UniString& id)
{
    for (const auto& attribute : attributes) {
        if (attribute.ID.HasValue() && attribute.ID.Get() == id)
            return &attribute;
    }
    return nullptr;
}

void CVProduct::ReadFrom(const Json::rj::Value& object)
{
    id = Text(object, "ID");
    timeStamp = Text(object, "TimeStamp");
    description = Text(object, "Description");
    const Json::rj::Value* attributes = Member(object, "Attributes");
    if (attributes == nullptr || !attributes->IsObject())
        return;
    const Json::rj::Value* general = Member(*attributes, "general");
    const Json::rj::Value* composition = Member(*attributes, "composition");
    const Json::rj::Value* sets = Member(*attributes, "propertyset");
    allAttributes.SetCapacity(CountAttributes(general, composition, sets));
    generalRange = ReadAttributes(general, allAttributes);
    compositionRange = ReadAttributes(composition, allAttributes);
    if (sets == nullptr || !sets->IsObject())
        return;
    for (const auto& member : sets->GetObject()) {
        CVPropertySet set;
        set.name = Velmar::UniStringOfUtf8(std::string_view(member.name.GetString(), member.name.GetStringLength()));
        set.range = ReadAttributes(&member.value, allAttributes);
        propertySets.Push(std::move(set));
    }
}

void CVProduct::WriteTo(Json::rj::Value& object, Json::Allocator& allocator, bool writeAbsent) const
{
    WriteText(object, "ID", id, allocator, writeAbsent);
    WriteText(object, "TimeStamp", timeStamp, allocator, writeAbsent);
    WriteText(object, "Description", description, allocator, writeAbsent);
    Json::rj::Value attributes(Json::rj::kObjectType);
    attributes.AddMember("general", AttributeObject(General(), allocator, writeAbsent), allocator);
    attributes.AddMember("composition", AttributeObject(Composition(), allocator, writeAbsent), allocator);
    Json::rj::Value sets(Json::rj::kObjectType);
    for (const auto& set : propertySets) {
        const std::string name = Velmar::Utf8Of(set.name);
        sets.AddMember(Json::rj::Value(name.c_str(), allocator),
                       AttributeObject(Attributes(set), allocator, writeAbsent), allocator);
    }
    attributes.AddMember("propertyset", sets, allocator);
    object.AddMember("Attributes", attributes, allocator);
}

void CVMaterial::ReadFrom(const Json::rj::Value& object)
{
    CVProduct::ReadFrom(object);
    for (const auto& set : propertySets) {
        if (set.name == GS::UniString("02_Beschrijving")) {
            const CVAttribute* rgb = FindAttribute(Attributes(set), "RGB");
            if (const auto text = rgb != nullptr ? rgb->ValueText(1) : std::nullopt; text && !text->IsEmpty())
                colour = ColourFrom(*text);
        } else if (set.name == GS::UniString("09_Thermisch")) {
            const CVAttribute* conductivity = FindAttribute(Attributes(set), "ZZLAMBDA");
            if (const auto text = conductivity != nullptr ? conductivity->ValueText(1) : std::nullopt;
                text && !text->IsEmpty()) {
                std::string number = Velmar::Utf8Of(*text);
                if (const auto comma = number.rfind(','); comma != std::string::npos)
                    number[comma] = '.';
                lambda = Velmar::ParseNumber(number);
            }
        }
    }
}

void CVSystem::ReadFrom(const Json::rj::Value& object)
{
    CVProduct::ReadFrom(object);
    if (const Json::rj::Value* linked = Member(object, "LinkedProducts"); linked != nullptr && linked->IsObject()) {
        for (const auto& member : linked->GetObject()) {
            CVMaterial material;
            material.ReadFrom(member.value);
            linkedProducts.Push(std::move(material));
        }
    }
}

void CVSystem::WriteTo(Json::rj::Value& object, Json::Allocator& allocator, bool writeAbsent) const
{
    CVProduct::WriteTo(object, allocator, writeAbsent);
    Json::rj::Value linked(Json::rj::kObjectType);
    for (UIndex i = 0; i < linkedProducts.GetSize(); ++i) {
        Json::rj::Value product(Json::rj::kObjectType);
        linkedProducts[i].WriteTo(product, allocator, writeAbsent);
        const std::string key = Velmar::Utf8Of(linkedProducts[i].id.value_or(GS::UniString(std::to_string(i).c_str())));
        linked.AddMember(Json::rj::Value(key.c_str(), allocator), product, allocator);
    }
    object.AddMember("LinkedProducts", linked, allocator);
}

}  // namespace Velmar::Corvana

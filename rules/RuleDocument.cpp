#include "RuleDocument.hpp"
#include "Utf8Text.hpp"

#include <optional>
#include <string>

namespace Velmar::Rules {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsValidUtf8(const std::string& bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        UInt32 point = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            point = (point << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and points past U+10FFFF are not UTF-8.
        static const UInt32 smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < smallest[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

// "+" stays a plus: in Logic it is the addition operator, not an encoded space.
std::optional<std::string> PercentDecode(const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
        if (low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (!IsValidUtf8(bytes))
        return std::nullopt;
    return bytes;
}

struct Entity {
    std::string_view entity;
    std::string_view replacement;
};
constexpr std::string_view Ampersand = "&amp;";
constexpr Entity Entities[] = {
    {"&gt;", ">"},    {"&lt;", "<"},       {"&geq;", ">="}, {"&leq;", "<="},
    {"&quot;", "\""}, {"&newline;", "\n"}, {"&tab;", "\t"},
};

const Entity* EntityAt(std::string_view text)
{
    for (const auto& entity : Entities) {
        if (text.substr(0, entity.entity.size()) == entity.entity)
            return &entity;
    }
    return nullptr;
}

// "&amp;" is replaced first and the others after it, one after the other. Entities run from "&" to ";"
// over letters and no replacement holds a "&", so one left-to-right pass does the same: an "&amp;"
// becomes an "&" that may start one of the others with the text after it ("&amp;gt;" is ">").
std::string ReplaceEntities(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t ampersand = text.find('&', i);
        result.append(text.substr(i, ampersand == std::string_view::npos ? std::string_view::npos : ampersand - i));
        if (ampersand == std::string_view::npos)
            break;
        std::string_view rest = text.substr(ampersand);
        std::size_t consumed = 0;
        if (rest.substr(0, Ampersand.size()) == Ampersand) {
            consumed = Ampersand.size() - 1;  // what stays is the "&" the entity stood for
            rest.remove_prefix(consumed);
        }
        const std::string tail = rest.size() > 1 ? "&" + std::string(rest.substr(1, 10)) : "&";
        const Entity* entity = EntityAt(tail);
        result.append(entity != nullptr ? entity->replacement : "&");
        i = ampersand + consumed + (entity != nullptr ? entity->entity.size() : 1);
    }
    return result;
}

// The decoded UTF-8 text, or none when the percent-decoding fails.
std::optional<std::string> DecodeLogicText(std::string_view text)
{
    if (text.find('%') == std::string_view::npos)
        return ReplaceEntities(text);
    const auto decoded = PercentDecode(std::string(text));
    if (!decoded)
        return std::nullopt;
    return ReplaceEntities(*decoded);
}

}  // namespace

GS::UniString DecodeLogic(const GS::UniString& text)
{
    const auto decoded = DecodeLogicText(Velmar::Utf8Of(text));
    return decoded ? Velmar::UniStringOfUtf8(*decoded) : text;
}

// Read as any text property is, but decoded on the UTF-8 bytes before they become a host string.
void LogicProperty::ReadFrom(const Json::rj::Value& object)
{
    if (!object.IsObject())
        return;
    const Json::rj::Value* member = Json::FindMemberIgnoringCase(object, Key());
    if (member == nullptr) {
        Clear();
    } else if (member->IsString()) {
        const std::string_view text(member->GetString(), member->GetStringLength());
        const auto decoded = DecodeLogicText(text);
        Set(Velmar::UniStringOfUtf8(decoded ? std::string_view(*decoded) : text));
    }
}

}  // namespace Velmar::Rules

#include "RuleDocument.hpp"

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
    return GS::UniString::FromUtf8(bytes).ToUtf8() == bytes;
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

void ReplaceAll(std::string& text, const std::string& entity, const std::string& replacement)
{
    std::size_t position = 0;
    while ((position = text.find(entity, position)) != std::string::npos) {
        text.replace(position, entity.size(), replacement);
        position += replacement.size();
    }
}

struct Entity {
    const char* entity;
    const char* replacement;
};
constexpr Entity Entities[] = {
    {"&amp;", "&"}, {"&gt;", ">"},   {"&lt;", "<"},        {"&geq;", ">="},
    {"&leq;", "<="}, {"&quot;", "\""}, {"&newline;", "\n"}, {"&tab;", "\t"},
};

}  // namespace

GS::UniString DecodeLogic(const GS::UniString& text)
{
    auto decoded = PercentDecode(text.ToUtf8());
    if (!decoded)
        return text;
    for (const auto& entity : Entities)
        ReplaceAll(*decoded, entity.entity, entity.replacement);
    return GS::UniString::FromUtf8(*decoded);
}

void LogicProperty::ReadFrom(const Json::rj::Value& object)
{
    ValueProperty::ReadFrom(object);
    if (HasValue())
        Set(DecodeLogic(Get()));
}

}  // namespace Velmar::Rules

#include "Value.hpp"

#include "Numbers.hpp"

#include <array>
#include <charconv>

namespace Velmar::Rules {

std::string TextOf(const Value& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<double>(&value))
        return FixedText(*number);
    return std::get<bool>(value) ? "true" : "false";
}

double NumberOf(const Value& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return ParseNumber(*text);
    if (const auto* number = std::get_if<double>(&value))
        return *number;
    return std::get<bool>(value) ? 1.0 : 0.0;
}

bool TruthOf(const Value& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return !text->empty() && (*text)[0] != '\0';
    if (const auto* number = std::get_if<double>(&value))
        return *number != 0.0;
    return std::get<bool>(value);
}

std::string FixedText(double value)
{
    std::array<char, 400> text;  // the largest double in full
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 6);
    return std::string(text.data(), written.ptr);
}

}  // namespace Velmar::Rules

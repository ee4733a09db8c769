#include "Value.hpp"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <climits>
#include <cstdlib>
#include <locale.h>
#include <new>
#include <stdexcept>
#include <stdlib.h>

namespace Velmar::Rules {

namespace {

locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    if (locale == nullptr)
        throw std::bad_alloc();
    return locale;
}

}  // namespace

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

double ParseNumber(const std::string& text)
{
    // Rules compare thousands of numbers that arrive as text; from_chars reads a plain decimal many times
    // faster than strtod. Anything else (white space, '+', hexadecimal, a tail, infinities, a range
    // error, a denormal) is read by strtod, whose reading and errors are the ones rules rely on.
    double fast = 0.0;
    const char* last = text.data() + text.size();
    if (const auto read = std::from_chars(text.data(), last, fast);
        read.ec == std::errc() && read.ptr == last &&
        (std::isnormal(fast) || (fast == 0.0 && text.find_first_of("123456789") == std::string::npos)))
        return fast;

    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double number = strtod_l(begin, &end, CLocale());
    if (end == begin)
        throw std::invalid_argument("invalid stod argument");
    if (errno == ERANGE)
        throw std::out_of_range("stod argument out of range");
    return number;
}

int ParseInteger(const std::string& text, int base)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(begin, &end, base);
    if (end == begin)
        throw std::invalid_argument("invalid stoi argument");
    if (errno == ERANGE || number < INT_MIN || number > INT_MAX)
        throw std::out_of_range("stoi argument out of range");
    return static_cast<int>(number);
}

}  // namespace Velmar::Rules

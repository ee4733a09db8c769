#include "Value.hpp"

#include <cerrno>
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
        return std::to_string(*number);
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

double ParseNumber(const std::string& text)
{
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

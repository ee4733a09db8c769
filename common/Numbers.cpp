#include "Numbers.hpp"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <new>
#include <stdexcept>
#include <stdlib.h>

namespace Velmar {

namespace {

locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    if (locale == nullptr)
        throw std::bad_alloc();
    return locale;
}

struct UnitScale {
    const char* unit;
    double perMetre;
};
constexpr UnitScale UnitScales[] = {{"mm", 1000.0}, {"cm", 100.0}, {"dm", 10.0}};

}  // namespace

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

double UnitsPerMetre(const GS::UniString& unit)
{
    for (const UnitScale& scale : UnitScales) {
        if (unit.IsEqual(scale.unit, GS::CaseInsensitive))
            return scale.perMetre;
    }
    return 1.0;
}

}  // namespace Velmar

// Numbers as the platform's texts, the rules and the property mapping write them: one reader for each
// kind, and the metre scale of the length units they name.
#pragma once

#include "UniString.hpp"

#include <string>

namespace Velmar {

// The C-locale strtod reading whatever the process locale: leading white space skipped, longest numeric
// prefix taken. Throws std::invalid_argument("invalid stod argument") when no prefix converts and
// std::out_of_range("stod argument out of range") on overflow or underflow, as std::stod does.
double ParseNumber(const std::string& text);
// std::stoi's reading in `base`, with the messages the host's standard library gives its failures
// ("invalid stoi argument", "stoi argument out of range"); this platform's own say only "stoi".
int ParseInteger(const std::string& text, int base = 10);
// How many of `unit` (mm, cm, dm in any letter case) make a metre, which a length is divided by; 1 for any
// other unit, which is taken as metres.
double UnitsPerMetre(const GS::UniString& unit);

}  // namespace Velmar

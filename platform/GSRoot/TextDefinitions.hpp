// GS::CaseComparison: how the host's text comparisons treat letter case, at namespace level as the kit's
// TextDefinitions.hpp declares it (GS::CaseSensitive, GS::CaseInsensitive).
#pragma once

#include "Definitions.hpp"

namespace GS {

enum class CaseComparison : UInt16 { Sensitive, Insensitive };

constexpr CaseComparison CaseSensitive = CaseComparison::Sensitive;
constexpr CaseComparison CaseInsensitive = CaseComparison::Insensitive;

}  // namespace GS

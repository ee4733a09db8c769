// GS::Pair: two values, first and second.
#pragma once

#include <utility>

namespace GS {
template <typename First, typename Second>
using Pair = std::pair<First, Second>;
}  // namespace GS

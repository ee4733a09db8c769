// Quantities computed from an element's geometry: straight walls without connections, flat slabs with
// holes, curtain walls on a regular grid, and the windows and doors in walls. docs/host-model.md gives
// the formula of each field.
#pragma once

#include "Project.hpp"

#include <optional>

namespace Sim {

// The full record for the element's type; none for a type without quantities.
std::optional<API_ElementQuantity> ComputeQuantities(const Project& project, const Element& element,
                                                     const API_QuantityPar& parameters);

// Copies into `out` the fields of the element's record that `mask` asks for, leaving the others untouched.
void CopyMasked(API_ElemTypeID type, const API_ElementQuantity& computed, const API_QuantitiesMask& mask,
                API_ElementQuantity& out);

double RingArea(const Ring& ring);  // positive whatever the orientation
double RingPerimeter(const Ring& ring);

// The curtain wall grid: panels of at most this size, in equal columns and rows.
constexpr double CurtainWallModule = 1.5;

}  // namespace Sim

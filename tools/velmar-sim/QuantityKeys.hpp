// An element's quantities under the keys the rule catalogs read ("Quantity.length", ...), for element.get.
#pragma once

#include "Quantities.hpp"
#include "ScriptCommand.hpp"

namespace Sim::Script {

bool HasQuantities(API_ElemTypeID type);
void WriteQuantities(Writer& writer, const Project& project, const Element& element);

}  // namespace Sim::Script

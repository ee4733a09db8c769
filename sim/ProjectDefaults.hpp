// The built-in property groups and definitions: every project has the same ones, so they are in no project's
// tables.
#pragma once

#include "Model.hpp"

#include <vector>

namespace Sim {

const std::vector<PropertyGroup>& BuiltInGroups();
const std::vector<PropertyDefinition>& BuiltInDefinitionRows();

}  // namespace Sim

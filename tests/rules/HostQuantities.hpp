#pragma once

#include "Project.hpp"

#include <string>
#include <utility>
#include <vector>

namespace Velmar::Testing {

// (key, value as a rule reads it: "%f" or decimal) in the order velmar-sim's element.get answers them.
std::vector<std::pair<std::string, std::string>> HostQuantities(Sim::Project& project, const API_Guid& element);

}  // namespace Velmar::Testing

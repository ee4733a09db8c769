// What the workbench page shows of the simulated Archicad, as one JSON text: the add-on, its menus, its
// open windows, the project, the report window, the add-on's log and the addresses the OS shell opened.
#pragma once

#include "Archicad.hpp"
#include "RouteTable.hpp"

#include <cstdint>
#include <string>

namespace Sim::Workbench {

// Main thread only: reads the host's data and its window list.
std::string DescribeHost(Archicad& host, const RouteTable& routes);

// {"ok":true,"identity","revision","whole","elements":[...],"removed":[guids]}: the elements of the project
// `identity` that changed after element revision `since` and the guids of those removed since; every element
// ("whole") for another project. Each element as element.get writes its geometry, with attributes by index.
std::string DescribeModel(Archicad& host, std::uint64_t identity, std::uint64_t since);

}  // namespace Sim::Workbench

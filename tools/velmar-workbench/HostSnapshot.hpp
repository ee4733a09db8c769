// What the workbench page shows of the simulated Archicad, as one JSON text: the add-on, its menus, its
// open windows, the project, the report window, the add-on's log and the addresses the OS shell opened.
#pragma once

#include "Archicad.hpp"
#include "RouteTable.hpp"

#include <string>

namespace Sim::Workbench {

// Main thread only: reads the host's data and its window list.
std::string DescribeHost(Archicad& host, const RouteTable& routes);

}  // namespace Sim::Workbench

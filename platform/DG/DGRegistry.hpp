// The library's own record of the panels that exist and of the host's modal runner; not for modules.
#pragma once

#include "DGHost.hpp"
#include "DGPanel.hpp"

#include <cstdint>
#include <map>
#include <vector>

namespace DG::Registry {

// Every valid panel, those open last in the order they opened.
std::vector<Panel*>& Panels();
Panel*& ActivePanel();
ModalRunner& Runner();
// How many times a panel with each reference id has been opened.
std::map<Int32, std::uint64_t>& OpenCounts();

}  // namespace DG::Registry

// The library's own record of the panels that exist and of the host's modal runner; not for modules.
#pragma once

#include "DGHost.hpp"
#include "DGPanel.hpp"

#include <vector>

namespace DG::Registry {

// Every valid panel, those open last in the order they opened.
std::vector<Panel*>& Panels();
Panel*& ActivePanel();
ModalRunner& Runner();

}  // namespace DG::Registry

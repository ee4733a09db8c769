// The marks on the add-on's menu items that follow its state: the checked Lod item and the Neutral item.
#pragma once

#include "Definitions.hpp"

namespace Velmar::Menus {

// Checks item `itemIndex` of the Lod menu and clears the other four.
void CheckOnlyLodItem(Int32 itemIndex);
// Disabled when the country offers no brand-less option, else checked exactly when Neutral is on.
void MarkNeutralItem(bool enabled, bool checked);

}  // namespace Velmar::Menus

#include "MenuMarks.hpp"

#include "ACAPinc.hpp"
#include "MenuIds.hpp"

namespace Velmar::Menus {

namespace {
void SetChecked(Int32 itemIndex, bool checked)
{
    const API_MenuItemRef ref{LodMenu, itemIndex};
    GSFlags flags = 0;
    ACAPI_MenuItem_GetMenuItemFlags(&ref, &flags, nullptr);
    flags = checked ? (flags | API_MenuItemChecked) : (flags & ~API_MenuItemChecked);
    ACAPI_MenuItem_SetMenuItemFlags(&ref, &flags, nullptr);
}
}  // namespace

void CheckOnlyLodItem(Int32 itemIndex)
{
    // Flag reads and writes are not checked: a failed write leaves the marks as they were.
    for (Int32 item = 1; item <= LodMenuItemCount; ++item) {
        if (item != itemIndex)
            SetChecked(item, false);
    }
    SetChecked(itemIndex, true);
}

void MarkNeutralItem(bool enabled, bool checked)
{
    const API_MenuItemRef item{NeutralMenu, 1};
    GSFlags flags = !enabled ? API_MenuItemDisabled : checked ? API_MenuItemChecked : 0;
    // A failed write leaves the mark as it was; the menu is redrawn from the flag at the next change.
    ACAPI_MenuItem_SetMenuItemFlags(&item, &flags, nullptr);
}

}  // namespace Velmar::Menus

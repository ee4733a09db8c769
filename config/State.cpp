#include "State.hpp"

#include "ACAPinc.hpp"
#include "MenuIds.hpp"
#include "ServiceSlot.hpp"

namespace Velmar::App {

namespace {
ServiceSlot<State> slot;
}

std::shared_ptr<State> State::instance()
{
    return slot.GetOrCreate();
}

void State::SetNeutral(bool value)
{
    neutral_ = value && brandLessEnabled_;
    MarkNeutralMenuItem();
}

void State::SetBrandLessEnabled(bool enabled)
{
    brandLessEnabled_ = enabled;
    if (!enabled)
        neutral_ = false;
    MarkNeutralMenuItem();
}

void State::MarkNeutralMenuItem() const
{
    const API_MenuItemRef item{Menus::NeutralMenu, 1};
    GSFlags flags = !brandLessEnabled_ ? API_MenuItemDisabled : neutral_ ? API_MenuItemChecked : 0;
    // A failed write leaves the mark as it was; the menu is redrawn from the flag at the next change.
    ACAPI_MenuItem_SetMenuItemFlags(&item, &flags);
}

}  // namespace Velmar::App

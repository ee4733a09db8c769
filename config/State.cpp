#include "State.hpp"

#include "MenuMarks.hpp"
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
    Menus::MarkNeutralItem(brandLessEnabled_, neutral_);
}

void State::SetBrandLessEnabled(bool enabled)
{
    brandLessEnabled_ = enabled;
    if (!enabled)
        neutral_ = false;
    Menus::MarkNeutralItem(brandLessEnabled_, neutral_);
}

}  // namespace Velmar::App

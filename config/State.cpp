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
    Mark();
}

void State::SetBrandLessEnabled(bool enabled)
{
    brandLessEnabled_ = enabled;
    if (!enabled)
        neutral_ = false;
    Mark();
}

void State::ShowMarksInMenus()
{
    menusReady_ = true;
    Mark();
}

void State::Mark() const
{
    if (menusReady_)
        Menus::MarkNeutralItem(brandLessEnabled_, neutral_);
}

}  // namespace Velmar::App

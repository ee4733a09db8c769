// The host's process window for long work, closed however the work ends; the user may cancel it.
#pragma once

#include "UniString.hpp"

namespace Velmar {

class ProcessWindow {
public:
    ProcessWindow(const GS::UniString& title, Int32 phases);
    ~ProcessWindow();
    ProcessWindow(const ProcessWindow&) = delete;
    ProcessWindow& operator=(const ProcessWindow&) = delete;

    // Shows the next phase, counting to `max`. False when the user has cancelled.
    bool NextPhase(const GS::UniString& subtitle, Int32 max = 1);
    // Shows how far the phase is. False when the user has cancelled.
    bool SetValue(Int32 value);

private:
    bool open_ = false;
};

}  // namespace Velmar

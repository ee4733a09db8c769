// The host's process window for long work, closed however the work ends. The work holds the main thread,
// so the window is the user's only way to see it advance and to cancel it.
#pragma once

#include "ACAPinc.hpp"
#include "GSDebug.hpp"

namespace Velmar {

class ProcessWindow {
public:
    ProcessWindow(const GS::UniString& title, Int32 phases)
    {
        API_ProcessControlTypeID control = API_MenuCommandEnabled;
        const GSErrCode err = ACAPI_ProcessWindow_InitProcessWindow(&title, &phases, &control);
        open_ = err == NoError;
        if (!open_)
            DBPrintf("Velmar: the process window was not opened (%d)\n", err);
    }
    ~ProcessWindow()
    {
        if (!open_)
            return;
        if (const GSErrCode err = ACAPI_ProcessWindow_CloseProcessWindow(); err != NoError)
            DBPrintf("Velmar: the process window was not closed (%d)\n", err);
    }
    ProcessWindow(const ProcessWindow&) = delete;
    ProcessWindow& operator=(const ProcessWindow&) = delete;

    // Shows the next phase, counting up to `max`; false when the user has cancelled.
    bool NextPhase(const GS::UniString& subtitle, Int32 max = 1)
    {
        if (!open_)
            return true;
        bool showPercent = max > 1;
        if (const GSErrCode err = ACAPI_ProcessWindow_SetNextProcessPhase(&subtitle, &max, &showPercent); err != NoError)
            DBPrintf("Velmar: the process window's next phase was not shown (%d)\n", err);
        return !IsCancelled();
    }

    // Shows how far the phase is; false when the user has cancelled.
    bool Progress(Int32 value)
    {
        if (!open_)
            return true;
        if (const GSErrCode err = ACAPI_ProcessWindow_SetProcessValue(&value); err != NoError)
            DBPrintf("Velmar: the process window's value was not shown (%d)\n", err);
        return !IsCancelled();
    }

private:
    bool IsCancelled() const { return ACAPI_ProcessWindow_IsProcessCanceled() != NoError; }

    bool open_ = false;
};

}  // namespace Velmar

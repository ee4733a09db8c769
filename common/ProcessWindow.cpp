#include "ProcessWindow.hpp"

#include "ACAPinc.hpp"
#include "GSDebug.hpp"

namespace Velmar {

namespace {
// Only the user's cancel stops the work: a refused question about it is no cancel.
bool Cancelled()
{
    return ACAPI_ProcessWindow_IsProcessCanceled() == APIERR_CANCEL;
}
}  // namespace

ProcessWindow::ProcessWindow(const GS::UniString& title, Int32 phases)
{
    API_ProcessControlTypeID control = API_MenuCommandEnabled;
    const GSErrCode err = ACAPI_ProcessWindow_InitProcessWindow(&title, &phases, &control);
    open_ = err == NoError;
    if (!open_)
        DBPrintf("Velmar: the process window was not opened (%d)\n", err);
}

ProcessWindow::~ProcessWindow()
{
    if (!open_)
        return;
    if (const GSErrCode err = ACAPI_ProcessWindow_CloseProcessWindow(); err != NoError)
        DBPrintf("Velmar: the process window was not closed (%d)\n", err);
}

bool ProcessWindow::NextPhase(const GS::UniString& subtitle, Int32 max)
{
    if (!open_)
        return true;
    bool showPercent = max > 1;
    if (const GSErrCode err = ACAPI_ProcessWindow_SetNextProcessPhase(&subtitle, &max, &showPercent); err != NoError)
        DBPrintf("Velmar: the process window's next phase was not shown (%d)\n", err);
    return !Cancelled();
}

bool ProcessWindow::SetValue(Int32 value)
{
    if (!open_)
        return true;
    if (const GSErrCode err = ACAPI_ProcessWindow_SetProcessValue(&value); err != NoError)
        DBPrintf("Velmar: the process window's progress was not shown (%d)\n", err);
    return !Cancelled();
}

}  // namespace Velmar

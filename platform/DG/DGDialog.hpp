// DG::Palette, a modeless floating window, and DG::ModalDialog, a window that holds the user until it
// closes; both made from a dialog resource of a module.
#pragma once

#include "DGPanel.hpp"
#include "Guid.hpp"

namespace DG {

class Palette : public Panel {
public:
    // From palette resource `resId` of `module`; the GUID lets the host remember where the user put it.
    Palette(GSResModule module, GSResID resId, const GS::Guid& guid);
    ~Palette() override;

    const GS::Guid& GetGuid() const { return guid_; }

    // The palette exists on screen (shown or hidden) from here until it is closed or EndEventProcessing.
    void BeginEventProcessing();
    void EndEventProcessing();
    // Brings the palette in front of the others; it must be processing events.
    void Activate() { MakeActive(); }

protected:
    // A close request nobody handled: the palette goes off screen and stops processing events.
    void CloseUnhandled() override;

private:
    GS::Guid guid_;
};

class ModalDialog : public Panel {
public:
    enum ModalResponse { Accept = 1, Cancel = 2 };

    // From modal dialog resource `resId` of `module`.
    ModalDialog(GSResModule module, GSResID resId);

    // Shows the dialog and runs the host's event loop nested until the dialog closes; answers how it closed.
    // Cancel at once, with a debug report, when it cannot run (invalid, already running, no modal runner).
    ModalResponse Invoke();
    // Closes the running dialog with `response` once the current event is done; the first request wins.
    void PostCloseRequest(ModalResponse response);
    bool IsRunning() const { return running_; }

protected:
    // A user's close request nobody handled closes the dialog as cancelled.
    void CloseUnhandled() override { PostCloseRequest(Cancel); }

private:
    bool running_ = false;
    bool closeRequested_ = false;
    ModalResponse response_ = Cancel;
};

}  // namespace DG

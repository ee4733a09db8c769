#include "DGDialog.hpp"

#include "DGRegistry.hpp"
#include "GSDebug.hpp"

namespace DG {

Palette::Palette(GSResModule module, GSResID resId, const GS::Guid& guid)
    : Panel(module, resId, RS::DialogKind::Palette), guid_(guid)
{
}

Palette::~Palette()
{
    SetOpen(false);
}

void Palette::BeginEventProcessing()
{
    if (!IsValid() || IsOpen())
        return;
    SetOpen(true);
    NotifyOpened();
}

void Palette::EndEventProcessing()
{
    if (!IsOpen())
        return;
    Hide();
    SetOpen(false);
    NotifyClosed();
}

void Palette::CloseUnhandled()
{
    EndEventProcessing();
}

ModalDialog::ModalDialog(GSResModule module, GSResID resId) : Panel(module, resId, RS::DialogKind::Modal) {}

ModalDialog::ModalResponse ModalDialog::Invoke()
{
    const ModalRunner& runner = Registry::Runner();
    if (!IsValid() || running_ || !runner) {
        DBPrintf("DG: the modal dialog cannot run (%s)\n", !IsValid() ? "no resource"
                                                           : running_ ? "it is already running"
                                                                      : "the host has no modal runner");
        return Cancel;
    }
    running_ = true;
    closeRequested_ = false;
    response_ = Cancel;
    Show();
    SetOpen(true);
    MakeActive();
    NotifyOpened();
    runner([this] { return closeRequested_; });
    // A runner that returns without a close request means the host is quitting: the dialog is cancelled.
    const ModalResponse response = closeRequested_ ? response_ : Cancel;
    Hide();
    SetOpen(false);
    running_ = false;
    NotifyClosed();
    return response;
}

void ModalDialog::PostCloseRequest(ModalResponse response)
{
    if (!running_ || closeRequested_)
        return;
    closeRequested_ = true;
    response_ = response;
}

}  // namespace DG

#include "BrowserDialog.hpp"

#include "ACAPinc.hpp"
#include "AcapiBridge.hpp"

namespace brixlab::ui {

namespace {
// The browser control leaves two pixels of the client area free on every side.
constexpr Int16 BrowserMargin = 4;
}  // namespace

BrowserDialog::BrowserDialog(xdWebEngine::PaletteIdentifiers id)
    : IBrowserWindow(false), DG::ModalDialog(ACAPI_GetOwnResModule(), ResourceId), browser_(*this, BrowserItem)
{
    SetReferenceId(static_cast<Int32>(id));
    Attach(*this);
}

BrowserDialog::~BrowserDialog()
{
    Detach(*this);
}

void BrowserDialog::Open(const GS::UniString& address, Int16 width, Int16 height, const GS::UniString& title)
{
    SetTitle(title);
    width_ = width;
    height_ = height;
    SetMinClientSize(width, height);
    browser_.LoadURL(address);
    RegisterAcapiObject();
}

void BrowserDialog::Resize(Int16 width, Int16 height)
{
    width_ = width;
    height_ = height;
    SetMinClientSize(width, height);
    SetClientSize(width, height);
    browser_.SetSize(static_cast<short>(width - BrowserMargin), static_cast<short>(height - BrowserMargin));
}

void BrowserDialog::LoadUrl(const GS::UniString& address, const std::optional<GS::UniString>& suffix)
{
    browser_.LoadURL(suffix ? address + *suffix : address);
    browser_.Reload();
    RegisterAcapiObject();
}

void BrowserDialog::SetWindowTitle(const GS::UniString& title)
{
    SetTitle(title);
}

void BrowserDialog::DeleteAllCookies()
{
    browser_.DeleteCookies();
}

// No operation of the add-on goes to the browser control this way; the slot keeps the interface's order.
void BrowserDialog::PassThrough(Int32, Int32, Int32) {}

bool BrowserDialog::Show()
{
    visible_ = true;
    Invoke();
    visible_ = false;
    return true;
}

bool BrowserDialog::Hide()
{
    PostCloseRequest(Accept);
    return true;
}

void BrowserDialog::PanelOpened(const DG::PanelOpenEvent&)
{
    // The stored size is applied here, once the dialog exists on screen, so it opens at that size.
    SetClientSize(width_, height_);
    browser_.SetSize(static_cast<short>(width_ - BrowserMargin), static_cast<short>(height_ - BrowserMargin));
}

void BrowserDialog::PanelResized(const DG::PanelResizeEvent& ev)
{
    BeginMoveResizeItems();
    browser_.Resize(ev.GetHorizontalChange(), ev.GetVerticalChange());
    EndMoveResizeItems();
}

void BrowserDialog::RegisterAcapiObject()
{
    browser_.RegisterAsynchJSObject(xdWebEngine::CreateAcapiObject(*this, [this] { return browser_.GetURL(); }));
}

}  // namespace brixlab::ui

#include "BrowserPalette.hpp"

#include "ACAPinc.hpp"
#include "AcapiBridge.hpp"

namespace brixlab::xdWebEngine {

namespace {

// The host remembers the palette's place on screen under this GUID.
GS::Guid PaletteGuid()
{
    GS::Guid guid;
    guid.ConvertFromString("{901E167F-078D-4032-8383-39568546B9F9}");
    return guid;
}

// The browser control leaves two pixels of the client area free on every side.
constexpr Int16 BrowserMargin = 4;

}  // namespace

BrowserPalette::BrowserPalette(PaletteIdentifiers id)
    : IBrowserWindow(true), DG::Palette(ACAPI_GetOwnResModule(), ResourceId, PaletteGuid()),
      browser_(*this, BrowserItem)
{
    SetReferenceId(static_cast<Int32>(id));
    Attach(*this);
}

BrowserPalette::~BrowserPalette()
{
    Detach(*this);
}

void BrowserPalette::Open(const GS::UniString& address, Int16 width, Int16 height, const GS::UniString& title)
{
    BeginEventProcessing();
    browser_.LoadURL(address);
    browser_.RegisterAsynchJSObject(CreateAcapiObject(*this, [this] { return browser_.GetURL(); }));
    Resize(width, height);
    SetTitle(title);
    Activate();
}

void BrowserPalette::Resize(Int16 width, Int16 height)
{
    width_ = width;
    height_ = height;
    SetMinClientSize(width, height);
    SetClientSize(width, height);
    browser_.SetSize(static_cast<short>(width - BrowserMargin), static_cast<short>(height - BrowserMargin));
}

void BrowserPalette::LoadUrl(const GS::UniString& address, const std::optional<GS::UniString>& suffix)
{
    browser_.LoadURL(suffix ? address + *suffix : address);
    browser_.Reload();
}

void BrowserPalette::SetWindowTitle(const GS::UniString& title)
{
    SetTitle(title);
}

void BrowserPalette::DeleteAllCookies()
{
    browser_.DeleteCookies();
}

// No operation of the add-on goes to the browser control this way; the slot keeps the interface's order.
void BrowserPalette::PassThrough(Int32, Int32, Int32) {}

bool BrowserPalette::IsVisible() const
{
    return DG::Palette::IsVisible();
}

bool BrowserPalette::Show()
{
    if (DG::Palette::IsVisible())
        return false;
    DG::Palette::Show();
    return true;
}

bool BrowserPalette::Hide()
{
    if (!DG::Palette::IsVisible())
        return false;
    DG::Palette::Hide();
    return true;
}

void BrowserPalette::PanelResized(const DG::PanelResizeEvent& ev)
{
    BeginMoveResizeItems();
    browser_.Resize(ev.GetHorizontalChange(), ev.GetVerticalChange());
    EndMoveResizeItems();
}

void BrowserPalette::PanelCloseRequested(const DG::PanelCloseRequestEvent&, bool* handled)
{
    // Hidden, not closed: the controller keeps the palette and shows it again with its page as it was.
    DG::Palette::Hide();
    *handled = true;
}

}  // namespace brixlab::xdWebEngine

// brixlab::xdWebEngine::BrowserPalette: a modeless host palette showing one page; closing it only hides it,
// so it comes back with its page as it was.
#pragma once

#include "DGBrowser.hpp"
#include "DGDialog.hpp"
#include "IBrowserWindow.hpp"
#include "PaletteIdentifiers.hpp"

namespace brixlab::xdWebEngine {

class BrowserPalette : public IBrowserWindow, public DG::Palette, public DG::PanelObserver {
public:
    static constexpr GSResID ResourceId = 32600;
    static constexpr short BrowserItem = 1;

    // `id` becomes the panel's reference id, by which the host addresses the window.
    explicit BrowserPalette(PaletteIdentifiers id);
    ~BrowserPalette() override;

    void Open(const GS::UniString& address, Int16 width, Int16 height, const GS::UniString& title) override;
    void Resize(Int16 width, Int16 height) override;
    void LoadUrl(const GS::UniString& address, const std::optional<GS::UniString>& suffix) override;
    void SetWindowTitle(const GS::UniString& title) override;
    void DeleteAllCookies() override;
    void PassThrough(Int32 first, Int32 second, Int32 third) override;
    bool IsVisible() const override;
    bool Show() override;
    bool Hide() override;

    void PanelResized(const DG::PanelResizeEvent& ev) override;
    void PanelCloseRequested(const DG::PanelCloseRequestEvent& ev, bool* handled) override;

    const DG::Browser& GetBrowser() const { return browser_; }

private:
    DG::Browser browser_;
};

}  // namespace brixlab::xdWebEngine

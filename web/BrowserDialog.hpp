// brixlab::ui::BrowserDialog: a modal host dialog showing one page; showing it runs it until it closes.
#pragma once

#include "DGBrowser.hpp"
#include "DGDialog.hpp"
#include "IBrowserWindow.hpp"
#include "PaletteIdentifiers.hpp"

namespace brixlab::ui {

class BrowserDialog : public xdWebEngine::IBrowserWindow, public DG::ModalDialog, public DG::PanelObserver {
public:
    static constexpr GSResID ResourceId = 32601;
    static constexpr short BrowserItem = 1;

    // `id` becomes the panel's reference id, by which the host addresses the window.
    explicit BrowserDialog(xdWebEngine::PaletteIdentifiers id);
    ~BrowserDialog() override;

    void Open(const GS::UniString& address, Int16 width, Int16 height, const GS::UniString& title) override;
    void Resize(Int16 width, Int16 height) override;
    void LoadUrl(const GS::UniString& address, const std::optional<GS::UniString>& suffix) override;
    void SetWindowTitle(const GS::UniString& title) override;
    void DeleteAllCookies() override;
    void PassThrough(Int32 first, Int32 second, Int32 third) override;
    // True only while the modal run of Show lasts.
    bool IsVisible() const override { return visible_; }
    bool Show() override;
    bool Hide() override;

    void PanelOpened(const DG::PanelOpenEvent& ev) override;
    void PanelResized(const DG::PanelResizeEvent& ev) override;

    const DG::Browser& GetBrowser() const { return browser_; }

private:
    void RegisterAcapiObject();

    DG::Browser browser_;
    bool visible_ = false;
};

}  // namespace brixlab::ui

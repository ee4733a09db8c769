// A browser window that only remembers what was asked of it; it stays held after showing, like a palette.
#pragma once

#include "HostText.hpp"
#include "IBrowserWindow.hpp"

#include <string>
#include <utility>

namespace Velmar::Testing {

class RecordingWindow : public brixlab::xdWebEngine::IBrowserWindow {
public:
    RecordingWindow() : IBrowserWindow(true) {}
    void Open(const GS::UniString&, Int16 width, Int16 height, const GS::UniString&) override
    {
        ++loads;
        Resize(width, height);
    }
    void Resize(Int16 width, Int16 height) override { size = {width, height}; }
    void LoadUrl(const GS::UniString&, const std::optional<GS::UniString>&) override { ++loads; }
    void SetWindowTitle(const GS::UniString& text) override { title = HostText::Utf8(text); }
    void DeleteAllCookies() override {}
    void PassThrough(Int32, Int32, Int32) override {}
    bool IsVisible() const override { return visible; }
    bool Show() override { return !visible && (visible = true); }
    bool Hide() override { return visible && !(visible = false); }

    std::pair<Int16, Int16> size{0, 0};
    std::string title;
    int loads = 0;
    bool visible = false;
};

}  // namespace Velmar::Testing

// A host window holding one embedded browser control that shows a page of the brand's web application.
#pragma once

#include "UniString.hpp"

#include <optional>

namespace brixlab::xdWebEngine {

class IBrowserWindow {
public:
    explicit IBrowserWindow(bool keepAfterShow) : keepAfterShow(keepAfterShow) {}
    virtual ~IBrowserWindow() = default;

    virtual void Open(const GS::UniString& address, Int16 width, Int16 height, const GS::UniString& title) = 0;
    virtual void Resize(Int16 width, Int16 height) = 0;
    virtual void LoadUrl(const GS::UniString& address, const std::optional<GS::UniString>& suffix) = 0;
    virtual void SetWindowTitle(const GS::UniString& title) = 0;
    virtual void DeleteAllCookies() = 0;
    virtual void PassThrough(Int32 first, Int32 second, Int32 third) = 0;
    virtual bool IsVisible() const = 0;
    virtual bool Show() = 0;
    virtual bool Hide() = 0;

    // Palettes stay after showing; dialogs are dropped once their modal run ends.
    const bool keepAfterShow;

protected:
    Int16 width_ = 0;
    Int16 height_ = 0;
};

}  // namespace brixlab::xdWebEngine

// DG::Browser: the embedded browser control, an item of a panel. It keeps the address it shows, its
// cookies and the JavaScript objects registered for its pages; the host's page driver calls their functions.
#pragma once

#include "JSValues.hpp"
#include "UniString.hpp"

#include <map>
#include <vector>

namespace DG {

class Panel;

class Browser {
public:
    // Item `item` (from 1) of the panel's resource layout, which must be a browser control.
    Browser(Panel& panel, short item);
    ~Browser();
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // False when the layout has no browser control at that item; such an item keeps its state but is not shown.
    bool IsValid() const { return valid_; }

    void LoadURL(const GS::UniString& url);
    const GS::UniString& GetURL() const { return url_; }
    void Reload();
    void DeleteCookies() { cookies_.clear(); }
    // Takes ownership; replaces an object registered under the same name. False for a null object.
    bool RegisterAsynchJSObject(JS::Object* object);

    short GetX() const { return x_; }
    short GetY() const { return y_; }
    short GetWidth() const { return width_; }
    short GetHeight() const { return height_; }
    void SetPosition(short x, short y);
    void SetSize(short width, short height);
    // Grows (or with negative values shrinks) the item by the given amounts.
    void Resize(short horizontalGrow, short verticalGrow);

    // The page's side, for the host's page driver.
    // Page loads so far: each LoadURL and each Reload is one.
    Int32 GetLoadCount() const { return loads_; }
    void SetCookie(const GS::UniString& name, const GS::UniString& value) { cookies_[name] = value; }
    const std::map<GS::UniString, GS::UniString>& GetCookies() const { return cookies_; }
    const std::vector<GS::Ref<JS::Object>>& GetRegisteredObjects() const { return objects_; }
    // The function `name` of the first registered object that has one; null when none has.
    GS::Ref<JS::Function> FindFunction(const GS::UniString& name) const;

private:
    friend class Panel;

    Panel* panel_;
    bool valid_ = false;
    short x_ = 0;
    short y_ = 0;
    short width_ = 0;
    short height_ = 0;
    GS::UniString url_;
    Int32 loads_ = 0;
    std::map<GS::UniString, GS::UniString> cookies_;
    std::vector<GS::Ref<JS::Object>> objects_;
};

}  // namespace DG

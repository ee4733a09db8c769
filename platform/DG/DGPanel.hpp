// DG::Panel: a host window made from a dialog resource of a module (client size, title, visibility, items),
// and DG::PanelObserver, through which its owner hears of opening, a user's resizing and closing.
#pragma once

#include "RS.hpp"
#include "UniString.hpp"

#include <utility>
#include <vector>

namespace DG {

class Panel;
class Browser;

class PanelEvent {
public:
    explicit PanelEvent(Panel& source) : source_(source) {}
    Panel* GetSource() const { return &source_; }

private:
    Panel& source_;
};

class PanelOpenEvent : public PanelEvent {
public:
    using PanelEvent::PanelEvent;
};

class PanelResizeEvent : public PanelEvent {
public:
    PanelResizeEvent(Panel& source, Int16 horizontalChange, Int16 verticalChange)
        : PanelEvent(source), horizontalChange_(horizontalChange), verticalChange_(verticalChange)
    {
    }
    Int16 GetHorizontalChange() const { return horizontalChange_; }
    Int16 GetVerticalChange() const { return verticalChange_; }

private:
    Int16 horizontalChange_;
    Int16 verticalChange_;
};

class PanelCloseRequestEvent : public PanelEvent {
public:
    using PanelEvent::PanelEvent;
};

class PanelCloseEvent : public PanelEvent {
public:
    using PanelEvent::PanelEvent;
};

class PanelObserver {
public:
    virtual ~PanelObserver() = default;

    virtual void PanelOpened(const PanelOpenEvent& ev) {}
    // Only a user's resizing is announced; a panel sized by its owner's SetClientSize is not.
    virtual void PanelResized(const PanelResizeEvent& ev) {}
    // A user asks to close the panel. An observer that deals with the request itself sets *handled; the
    // panel closes only when none did.
    virtual void PanelCloseRequested(const PanelCloseRequestEvent& ev, bool* handled) {}
    virtual void PanelClosed(const PanelCloseEvent& ev) {}
};

class Panel {
public:
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;
    virtual ~Panel();

    // False when the module has no dialog resource of that id and kind; such a panel never opens.
    bool IsValid() const { return layout_ != nullptr; }

    void Attach(PanelObserver& observer);
    void Detach(PanelObserver& observer);

    Int16 GetClientWidth() const { return clientWidth_; }
    Int16 GetClientHeight() const { return clientHeight_; }
    // Never smaller than the minimum client size.
    void SetClientSize(Int16 width, Int16 height);
    Int16 GetMinClientWidth() const { return minWidth_; }
    Int16 GetMinClientHeight() const { return minHeight_; }
    void SetMinClientSize(Int16 width, Int16 height);
    bool IsResizable() const { return layout_ != nullptr && layout_->resizable; }

    const GS::UniString& GetTitle() const { return title_; }
    void SetTitle(const GS::UniString& title) { title_ = title; }

    void Show() { visible_ = true; }
    void Hide() { visible_ = false; }
    bool IsVisible() const { return visible_; }
    bool IsActive() const;
    bool IsModal() const { return layout_ != nullptr && layout_->kind == RS::DialogKind::Modal; }

    // Moves and resizes of items between these calls are shown at once, at the end.
    void BeginMoveResizeItems() { ++moveResizeDepth_; }
    void EndMoveResizeItems();

    // The owner's number for this panel, by which the host lists and addresses it (0: none given); the
    // add-on's windows use their PaletteIdentifiers value.
    void SetReferenceId(Int32 id) { referenceId_ = id; }
    Int32 GetReferenceId() const { return referenceId_; }

    // Layout of item `index` (from 1) of the panel's resource; null when it has none.
    const RS::DialogItem* GetItemLayout(short index) const;
    // The browser control with the lowest item index, if the panel has one.
    Browser* GetFirstBrowser() const;

    // Host side: whether the panel is open on screen now (a palette processing events, a dialog running).
    bool IsOpen() const { return open_; }
    // Host side: a user's resize to a client size (stopped at the minimum) and a user's close request.
    void ResizeByUser(Int16 width, Int16 height);
    void RequestCloseByUser();

protected:
    Panel(GSResModule module, GSResID resId, RS::DialogKind kind);

    void SetOpen(bool open);
    void MakeActive();
    // What a close request nobody handled does to this kind of panel.
    virtual void CloseUnhandled() = 0;

    void NotifyOpened();
    void NotifyClosed();

private:
    friend class Browser;
    void AddItem(short index, Browser* browser);
    void RemoveItem(Browser* browser);

    template <typename Call>
    void ForEachObserver(const Call& call);

    const RS::Dialog* layout_ = nullptr;
    Int16 clientWidth_ = 0;
    Int16 clientHeight_ = 0;
    Int16 minWidth_ = 0;
    Int16 minHeight_ = 0;
    GS::UniString title_;
    bool visible_ = false;
    bool open_ = false;
    int moveResizeDepth_ = 0;
    Int32 referenceId_ = 0;
    std::vector<PanelObserver*> observers_;
    std::vector<std::pair<short, Browser*>> browsers_;
};

}  // namespace DG

#include "DGPanel.hpp"

#include "DGBrowser.hpp"
#include "DGRegistry.hpp"
#include "GSDebug.hpp"
#include "HostText.hpp"

#include <algorithm>

namespace DG {

namespace {
const char* KindName(RS::DialogKind kind)
{
    return kind == RS::DialogKind::Palette ? "palette" : "modal dialog";
}
}  // namespace

Panel::Panel(GSResModule module, GSResID resId, RS::DialogKind kind)
{
    const RS::Dialog* layout = RS::RSGetDialog(module, resId);
    if (layout == nullptr || layout->kind != kind) {
        DBPrintf("DG: module %d has no %s resource %d\n", module, KindName(kind), resId);
        return;
    }
    layout_ = layout;
    clientWidth_ = layout->width;
    clientHeight_ = layout->height;
    title_ = HostText::Uni(layout->title != nullptr ? layout->title : "");
    Registry::Panels().push_back(this);
}

Panel::~Panel()
{
    auto& panels = Registry::Panels();
    panels.erase(std::remove(panels.begin(), panels.end(), this), panels.end());
    if (Registry::ActivePanel() == this)
        Registry::ActivePanel() = nullptr;
    for (const auto& [index, browser] : browsers_)
        browser->panel_ = nullptr;
}

void Panel::Attach(PanelObserver& observer)
{
    if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end())
        observers_.push_back(&observer);
}

void Panel::Detach(PanelObserver& observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), &observer), observers_.end());
}

template <typename Call>
void Panel::ForEachObserver(const Call& call)
{
    // An observer may detach itself or others while it is told.
    const std::vector<PanelObserver*> observers = observers_;
    for (PanelObserver* observer : observers) {
        if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
            call(*observer);
    }
}

void Panel::SetClientSize(Int16 width, Int16 height)
{
    clientWidth_ = std::max(width, minWidth_);
    clientHeight_ = std::max(height, minHeight_);
}

void Panel::SetMinClientSize(Int16 width, Int16 height)
{
    minWidth_ = std::max<Int16>(width, 0);
    minHeight_ = std::max<Int16>(height, 0);
}

bool Panel::IsActive() const
{
    return Registry::ActivePanel() == this;
}

void Panel::EndMoveResizeItems()
{
    if (moveResizeDepth_ == 0) {
        DBPrintf("DG: EndMoveResizeItems without BeginMoveResizeItems\n");
        return;
    }
    --moveResizeDepth_;
}

const RS::DialogItem* Panel::GetItemLayout(short index) const
{
    if (layout_ == nullptr || index < 1 || index > layout_->itemCount)
        return nullptr;
    return &layout_->items[index - 1];
}

Browser* Panel::GetFirstBrowser() const
{
    const auto first = std::min_element(browsers_.begin(), browsers_.end());
    return first == browsers_.end() ? nullptr : first->second;
}

void Panel::AddItem(short index, Browser* browser)
{
    browsers_.emplace_back(index, browser);
}

void Panel::RemoveItem(Browser* browser)
{
    browsers_.erase(std::remove_if(browsers_.begin(), browsers_.end(),
                                   [browser](const auto& item) { return item.second == browser; }),
                    browsers_.end());
}

void Panel::SetOpen(bool open)
{
    if (!IsValid() || open_ == open)
        return;
    open_ = open;
    if (open)
        ++Registry::OpenCounts()[referenceId_];
    // The list keeps opening order, so the panel opened last is found first by id.
    auto& panels = Registry::Panels();
    panels.erase(std::remove(panels.begin(), panels.end(), this), panels.end());
    panels.push_back(this);
    if (!open && Registry::ActivePanel() == this)
        Registry::ActivePanel() = nullptr;
}

void Panel::MakeActive()
{
    if (open_)
        Registry::ActivePanel() = this;
}

void Panel::NotifyOpened()
{
    const PanelOpenEvent event(*this);
    ForEachObserver([&](PanelObserver& observer) { observer.PanelOpened(event); });
}

void Panel::NotifyClosed()
{
    const PanelCloseEvent event(*this);
    ForEachObserver([&](PanelObserver& observer) { observer.PanelClosed(event); });
}

void Panel::ResizeByUser(Int16 width, Int16 height)
{
    if (!open_ || !IsResizable())
        return;
    const Int16 oldWidth = clientWidth_;
    const Int16 oldHeight = clientHeight_;
    SetClientSize(width, height);
    const Int16 horizontal = static_cast<Int16>(clientWidth_ - oldWidth);
    const Int16 vertical = static_cast<Int16>(clientHeight_ - oldHeight);
    if (horizontal == 0 && vertical == 0)
        return;
    const PanelResizeEvent event(*this, horizontal, vertical);
    ForEachObserver([&](PanelObserver& observer) { observer.PanelResized(event); });
}

void Panel::RequestCloseByUser()
{
    if (!open_)
        return;
    bool handled = false;
    const PanelCloseRequestEvent event(*this);
    ForEachObserver([&](PanelObserver& observer) {
        bool handledHere = false;
        observer.PanelCloseRequested(event, &handledHere);
        handled = handled || handledHere;
    });
    if (!handled)
        CloseUnhandled();
}

}  // namespace DG

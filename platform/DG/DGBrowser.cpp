#include "DGBrowser.hpp"

#include "DGPanel.hpp"
#include "GSDebug.hpp"

#include <algorithm>

namespace DG {

Browser::Browser(Panel& panel, short item) : panel_(&panel)
{
    const RS::DialogItem* layout = panel.GetItemLayout(item);
    valid_ = layout != nullptr && layout->kind == RS::DialogItemKind::Browser;
    if (!valid_) {
        DBPrintf("DG: item %d of the panel is not a browser control\n", item);
        return;
    }
    x_ = layout->x;
    y_ = layout->y;
    width_ = layout->width;
    height_ = layout->height;
    panel.AddItem(item, this);
}

Browser::~Browser()
{
    if (panel_ != nullptr && valid_)
        panel_->RemoveItem(this);
}

void Browser::LoadURL(const GS::UniString& url)
{
    url_ = url;
    ++loads_;
}

void Browser::Reload()
{
    ++loads_;
}

bool Browser::RegisterAsynchJSObject(JS::Object* object)
{
    if (object == nullptr)
        return false;
    GS::Ref<JS::Object> owned(object);
    const auto same = std::find_if(objects_.begin(), objects_.end(),
                                   [&](const auto& registered) { return registered->GetName() == object->GetName(); });
    if (same != objects_.end())
        *same = owned;
    else
        objects_.push_back(owned);
    return true;
}

void Browser::SetPosition(short x, short y)
{
    x_ = x;
    y_ = y;
}

void Browser::SetSize(short width, short height)
{
    width_ = std::max<short>(width, 0);
    height_ = std::max<short>(height, 0);
}

void Browser::Resize(short horizontalGrow, short verticalGrow)
{
    SetSize(static_cast<short>(width_ + horizontalGrow), static_cast<short>(height_ + verticalGrow));
}

GS::Ref<JS::Function> Browser::FindFunction(const GS::UniString& name) const
{
    for (const auto& object : objects_) {
        if (auto function = object->FindFunction(name))
            return function;
    }
    return nullptr;
}

}  // namespace DG

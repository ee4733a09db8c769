#include "HostJson.hpp"
#include "HostText.hpp"

namespace Sim::HostJson {

void WriteMenus(Writer& writer, const std::vector<Menu>& menus, EmptySubmenu emptySubmenu)
{
    writer.StartArray();
    for (const auto& menu : menus) {
        writer.StartObject();
        writer.Key("id");
        writer.Int(menu.id);
        writer.Key("title");
        WriteString(writer, HostText::Utf8(menu.title));
        if (!menu.submenu.IsEmpty() || emptySubmenu == EmptySubmenu::Written) {
            writer.Key("submenu");
            WriteString(writer, HostText::Utf8(menu.submenu));
        }
        writer.Key("items");
        writer.StartArray();
        for (std::size_t i = 0; i < menu.items.size(); ++i) {
            writer.StartObject();
            writer.Key("index");
            writer.Int(static_cast<int>(i + 1));
            writer.Key("text");
            WriteString(writer, HostText::Utf8(menu.items[i].text));
            writer.Key("flags");
            writer.Int(menu.items[i].flags);
            writer.EndObject();
        }
        writer.EndArray();
        writer.EndObject();
    }
    writer.EndArray();
}

void WriteWindow(Writer& writer, const DG::WindowInfo& window, const WindowMembers& extra)
{
    writer.StartObject();
    writer.Key("id");
    writer.Int(window.id);
    writer.Key("title");
    WriteString(writer, HostText::Utf8(window.title));
    writer.Key("url");
    WriteString(writer, HostText::Utf8(window.url));
    if (extra)
        extra(writer, window);
    writer.Key("width");
    writer.Int(window.width);
    writer.Key("height");
    writer.Int(window.height);
    writer.Key("visible");
    writer.Bool(window.visible);
    writer.Key("modal");
    writer.Bool(window.modal);
    writer.EndObject();
}

void WriteWindows(Writer& writer, const WindowMembers& extra)
{
    writer.StartArray();
    for (const auto& window : DG::ListWindows())
        WriteWindow(writer, window, extra);
    writer.EndArray();
}

void WriteProcessWindow(Writer& writer, const ProcessWindow& window)
{
    writer.StartObject();
    writer.Key("title");
    WriteString(writer, window.title);
    writer.Key("phases");
    writer.Int(window.phases);
    writer.Key("phase");
    writer.Int(window.phase);
    writer.Key("subtitle");
    WriteString(writer, window.subtitle);
    writer.Key("value");
    writer.Int(window.value);
    writer.Key("max");
    writer.Int(window.max);
    writer.Key("cancelled");
    writer.Bool(window.cancelled);
    writer.Key("open");
    writer.Bool(window.open);
    writer.EndObject();
}

}  // namespace Sim::HostJson

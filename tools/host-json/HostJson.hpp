// The host's menus and windows as JSON: one writer for velmar-sim's answers and the workbench's snapshot.
#pragma once

#include "Archicad.hpp"
#include "DGHost.hpp"
#include "ModelJson.hpp"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <functional>
#include <string>
#include <vector>

namespace Sim::HostJson {

using Writer = Json::Writer;

inline void WriteString(Writer& writer, const std::string& text)
{
    Json::WriteText(writer, text);
}

// A menu without a submenu has no "submenu" member in velmar-sim's answers; the workbench page reads
// "submenu":"" instead.
enum class EmptySubmenu { Omitted, Written };

// [{"id":32500,"title":"...","submenu":"...","items":[{"index":1,"text":"...","flags":0}, ...]}, ...]
void WriteMenus(Writer& writer, const std::vector<Menu>& menus, EmptySubmenu emptySubmenu);

// Members a surface adds to each window, written after "url".
using WindowMembers = std::function<void(Writer& writer, const DG::WindowInfo& window)>;

// {"id":2,"title":"...","url":"...",...,"width":1244,"height":788,"visible":true,"modal":true}
void WriteWindow(Writer& writer, const DG::WindowInfo& window, const WindowMembers& extra = nullptr);
// The open windows, in the order they opened.
void WriteWindows(Writer& writer, const WindowMembers& extra = nullptr);

// {"title","phases","phase","subtitle","value","max","cancelled","open"}
void WriteProcessWindow(Writer& writer, const ProcessWindow& window);

}  // namespace Sim::HostJson

#include "HostSnapshot.hpp"

#include "DGBrowser.hpp"
#include "DGHost.hpp"
#include "HostJson.hpp"
#include "HostText.hpp"
#include "ScriptSession.hpp"

namespace Sim::Workbench {

namespace {

using HostJson::Writer;
using HostJson::WriteString;

void WriteAddress(Writer& writer, const RouteTable& routes, const std::string& address)
{
    if (const auto local = routes.LocalAddress(address))
        WriteString(writer, *local);
    else
        writer.Null();
}

void WriteWindows(Writer& writer, const RouteTable& routes)
{
    HostJson::WriteWindows(writer, [&routes](Writer& out, const DG::WindowInfo& window) {
        out.Key("frameUrl");
        WriteAddress(out, routes, HostText::Utf8(window.url));
        // Every load and reload of the browser control counts, so the frame reloads the same address too.
        out.Key("loads");
        const DG::Browser* browser = DG::FindWindowBrowser(window.id);
        out.Int(browser != nullptr ? browser->GetLoadCount() : 0);
    });
}

void WriteNames(Writer& writer, const std::vector<std::string>& names)
{
    writer.StartArray();
    for (const auto& name : names)
        WriteString(writer, name);
    writer.EndArray();
}

template <typename Guids>
void WriteGuids(Writer& writer, const Guids& guids)
{
    writer.StartArray();
    for (const API_Guid& guid : guids)
        Json::WriteGuid(writer, guid);
    writer.EndArray();
}

// What changes with every edit, without the elements: the page asks for those it has not seen (DescribeModel).
void WriteProject(Writer& writer, Archicad& host)
{
    const Project& project = host.CurrentProject();
    writer.StartObject();
    writer.Key("identity");
    writer.Uint64(project.Identity());
    writer.Key("revision");
    writer.Uint64(project.Revision());
    writer.Key("elementCount");
    writer.Uint64(project.Elements().size());
    writer.Key("file");
    if (host.ProjectFile().empty())
        writer.Null();
    else
        WriteString(writer, host.ProjectFile());
    writer.Key("selection");
    WriteGuids(writer, project.Selection());
    // Which elements the add-on observes is the host's, not the project's: it changes no revision.
    writer.Key("observed");
    WriteGuids(writer, host.Handlers().observed);
    // Each zoom the add-on asks for ('DOOM'), so the page's plan can follow it.
    writer.Key("zoom");
    writer.StartObject();
    writer.Key("count");
    writer.Uint64(host.Zooms());
    writer.Key("guids");
    WriteGuids(writer, host.ZoomedTo());
    writer.EndObject();
    writer.Key("undo");
    WriteNames(writer, project.UndoNames());
    writer.Key("redo");
    WriteNames(writer, project.RedoNames());
    writer.EndObject();
}

}  // namespace

std::string DescribeHost(Archicad& host, const RouteTable& routes)
{
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key("addOn");
    WriteString(writer, HostText::Utf8((host.GetAddOn().name + " " + host.GetAddOn().description)));
    writer.Key("menus");
    HostJson::WriteMenus(writer, host.Menus(), HostJson::EmptySubmenu::Written);
    writer.Key("windows");
    WriteWindows(writer, routes);
    writer.Key("project");
    WriteProject(writer, host);
    writer.Key("progress");
    const auto& processWindows = host.ProcessWindows();
    if (!processWindows.empty() && processWindows.back().open)
        HostJson::WriteProcessWindow(writer, processWindows.back());
    else
        writer.Null();
    writer.Key("reports");
    writer.StartArray();
    for (const auto& report : host.Reports()) {
        writer.StartObject();
        writer.Key("text");
        WriteString(writer, report.text);
        writer.Key("alert");
        writer.Bool(report.alert);
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("log");
    writer.StartArray();
    for (const auto& line : LogLines(host))
        WriteString(writer, line);
    writer.EndArray();
    writer.Key("browser");
    writer.StartArray();
    for (const auto& request : host.ShellRequests()) {
        writer.StartObject();
        writer.Key("address");
        WriteString(writer, request.address);
        writer.Key("localAddress");
        WriteAddress(writer, routes, request.address);
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return buffer.GetString();
}

std::string DescribeModel(Archicad& host, std::uint64_t identity, std::uint64_t since)
{
    const Project& project = host.CurrentProject();
    // Another project than the page has seen: every element.
    const bool whole = identity != project.Identity();
    const ElementChanges changes = whole ? ElementChanges{} : project.ElementChangesSince(since);

    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    const auto writeElement = [&](const Element& element) {
        writer.StartObject();
        writer.Key("guid");
        Json::WriteGuid(writer, element.Guid());
        writer.Key("type");
        writer.String(ElemTypeName(element.Type()));
        Json::WriteGeometry(writer, project, element, Json::References::Index);
        writer.Key("userDataBytes");
        writer.Uint64(element.userData ? element.userData->bytes.size() : 0);
        writer.EndObject();
    };
    writer.StartObject();
    writer.Key("ok");
    writer.Bool(true);
    writer.Key("identity");
    writer.Uint64(project.Identity());
    writer.Key("revision");
    writer.Uint64(project.ElementRevision());
    writer.Key("whole");
    writer.Bool(whole);
    writer.Key("elements");
    writer.StartArray();
    if (whole) {
        for (const auto& entry : project.Elements())
            writeElement(entry.second);
    } else {
        for (const Element* element : changes.changed)
            writeElement(*element);
    }
    writer.EndArray();
    writer.Key("removed");
    writer.StartArray();
    for (const API_Guid& guid : changes.removed)
        Json::WriteGuid(writer, guid);
    writer.EndArray();
    writer.EndObject();
    return buffer.GetString();
}

}  // namespace Sim::Workbench

#include "HostSnapshot.hpp"

#include "DGBrowser.hpp"
#include "DGHost.hpp"
#include "HostJson.hpp"
#include "ScriptSession.hpp"

#include <unordered_set>

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
        WriteAddress(out, routes, window.url.ToUtf8());
        // Every load and reload of the browser control counts, so the frame reloads the same address too.
        out.Key("loads");
        const DG::Browser* browser = DG::FindWindowBrowser(window.id);
        out.Int(browser != nullptr ? browser->GetLoadCount() : 0);
    });
}

void WriteProject(Writer& writer, Archicad& host)
{
    Project& project = host.CurrentProject();
    const auto& observed = host.Handlers().observed;
    const std::unordered_set<API_Guid> selection(project.Selection().begin(), project.Selection().end());
    writer.StartObject();
    writer.Key("elements");
    writer.StartArray();
    for (const auto& entry : project.Elements()) {
        const Element& element = entry.second;
        writer.StartObject();
        writer.Key("guid");
        WriteString(writer, APIGuidToString(element.Guid()).ToUtf8());
        writer.Key("type");
        writer.String(ElemTypeName(element.Type()));
        writer.Key("observed");
        writer.Bool(observed.count(element.Guid()) > 0);
        writer.Key("selected");
        writer.Bool(selection.count(element.Guid()) > 0);
        writer.Key("userDataBytes");
        writer.Uint64(element.userData ? element.userData->bytes.size() : 0);
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("attributes");
    writer.StartArray();
    for (const char* typeName : {"composite", "buildingmaterial", "surface"}) {
        for (const Attribute* attribute : project.Attributes(*AttrTypeFromName(typeName))) {
            writer.StartObject();
            writer.Key("type");
            writer.String(typeName);
            writer.Key("index");
            writer.Int(attribute->Index());
            writer.Key("name");
            WriteString(writer, attribute->name.ToUtf8());
            writer.Key("userDataBytes");
            writer.Uint64(attribute->userData ? attribute->userData->bytes.size() : 0);
            writer.EndObject();
        }
    }
    writer.EndArray();
    writer.EndObject();
}

}  // namespace

std::string DescribeHost(Archicad& host, const RouteTable& routes)
{
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key("addOn");
    WriteString(writer, (host.GetAddOn().name + " " + host.GetAddOn().description).ToUtf8());
    writer.Key("menus");
    HostJson::WriteMenus(writer, host.Menus(), HostJson::EmptySubmenu::Written);
    writer.Key("windows");
    WriteWindows(writer, routes);
    writer.Key("project");
    WriteProject(writer, host);
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

}  // namespace Sim::Workbench

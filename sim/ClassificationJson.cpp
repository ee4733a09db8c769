#include "JsonFields.hpp"

namespace Sim::Json {

namespace {

void WriteItems(Writer& writer, const Project& project, const std::vector<API_Guid>& items)
{
    writer.StartArray();
    for (const API_Guid& guid : items) {
        const ClassificationItem* item = project.FindItem(guid);
        writer.StartObject();
        writer.Key("guid");
        WriteGuid(writer, guid);
        writer.Key("id");
        WriteText(writer, item->item.id);
        writer.Key("name");
        WriteText(writer, item->item.name);
        writer.Key("description");
        WriteText(writer, item->item.description);
        writer.Key("children");
        WriteItems(writer, project, item->children);
        writer.EndObject();
    }
    writer.EndArray();
}

}  // namespace

void WriteClassificationSystem(Writer& writer, const Project& project, const ClassificationSystem& system)
{
    writer.StartObject();
    writer.Key("guid");
    WriteGuid(writer, system.system.guid);
    writer.Key("name");
    WriteText(writer, system.system.name);
    writer.Key("description");
    WriteText(writer, system.system.description);
    writer.Key("source");
    WriteText(writer, system.system.source);
    writer.Key("editionVersion");
    WriteText(writer, system.system.editionVersion);
    writer.Key("items");
    WriteItems(writer, project, system.roots);
    writer.EndObject();
}

}  // namespace Sim::Json

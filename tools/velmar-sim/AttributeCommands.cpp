// velmar-sim's commands of the project's attributes: adding one as the attribute manager does, listing those
// of a type (and the pens).
#include "ScriptCommand.hpp"

#include "ModelJson.hpp"

#include <rapidjson/stringbuffer.h>

#include <optional>

namespace Sim::Script {

namespace {

// A composite given without skins gets one skin of the first building material, 0.1 m thick.
void AttributeNew(Context& c)
{
    const std::string typeName = StringMember(c, "type");
    const auto type = AttrTypeFromName(typeName);
    if (!type)
        throw CommandError{"unknown attribute type"};
    Project& project = c.host.CurrentProject();
    rapidjson::Document given;
    given.CopyFrom(c.command, given.GetAllocator());
    if (*type == API_CompWallID && !given.HasMember("skins") && !project.Attributes(API_BuildingMaterialID).empty()) {
        rapidjson::Value skin(rapidjson::kObjectType);
        skin.AddMember("materialIndex", project.Attributes(API_BuildingMaterialID).front()->Index(),
                       given.GetAllocator());
        skin.AddMember("thickness", 0.1, given.GetAllocator());
        rapidjson::Value skins(rapidjson::kArrayType);
        skins.PushBack(skin, given.GetAllocator());
        given.AddMember("skins", skins, given.GetAllocator());
    }
    Attribute attribute;
    try {
        attribute = Json::ReadAttribute(given, project, *type, Json::References::Name);
    } catch (const Json::FormatError& error) {
        throw CommandError{error.what()};
    }
    if (project.FindAttribute(*type, attribute.name) != nullptr)
        throw CommandError{"the name is already used"};
    attribute.record.header.guid = APINULLGuid;
    Int32 index = 0;
    c.host.RunHostCommand("Create Attribute", [&] { index = project.AddAttribute(std::move(attribute)); });
    c.answer.Key("index");
    c.answer.Int(index);
    c.answer.Key("guid");
    Json::WriteGuid(c.answer, project.FindAttribute(*type, index)->record.header.guid);
}

// The user changing an attribute in the attribute manager: the parts given replace the attribute's, the
// others stay; its index, guid and user data stay. Non-undoable, as attribute changes are in Archicad.
void AttributeSet(Context& c)
{
    const auto type = AttrTypeFromName(StringMember(c, "type"));
    if (!type)
        throw CommandError{"unknown attribute type"};
    const Int64 index = IntMember(c, "index");
    Project& project = c.host.CurrentProject();
    const Attribute* existing =
        index > 0 && index <= 0x7FFFFFFF ? project.FindAttribute(*type, static_cast<Int32>(index)) : nullptr;
    if (existing == nullptr)
        throw CommandError{"no such attribute"};
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    Json::WriteAttribute(writer, project, *existing, Json::References::Name);
    rapidjson::Document merged;
    merged.Parse(buffer.GetString(), buffer.GetSize());
    // New skins come with their own lines, or the default ones.
    if (c.command.HasMember("skins"))
        merged.RemoveMember("lines");
    for (const auto& member : c.command.GetObject()) {
        const std::string key = member.name.GetString();
        if (key == "cmd" || key == "type" || key == "index" || key == "guid" || key == "userData")
            continue;
        merged.RemoveMember(key.c_str());
        merged.AddMember(rapidjson::Value(key.c_str(), merged.GetAllocator()),
                         rapidjson::Value(member.value, merged.GetAllocator()), merged.GetAllocator());
    }
    Attribute changed;
    try {
        changed = Json::ReadAttribute(merged, project, *type, Json::References::Name);
    } catch (const Json::FormatError& error) {
        throw CommandError{error.what()};
    }
    const Attribute* named = project.FindAttribute(*type, changed.name);
    if (named != nullptr && named != existing)
        throw CommandError{"the name is already used"};
    changed.record.header.index = existing->record.header.index;
    changed.record.header.guid = existing->record.header.guid;
    changed.userData = existing->userData;
    c.host.RunHostCommand("Edit Attribute",
                          [&] { *project.EditAttribute(*type, static_cast<Int32>(index)) = std::move(changed); });
}

void Attributes(Context& c)
{
    const std::string typeName = StringMember(c, "type");
    const Project& project = c.host.CurrentProject();
    c.answer.Key("attributes");
    c.answer.StartArray();
    if (typeName == "pen") {
        for (const API_Pen& pen : project.Pens()) {
            c.answer.StartObject();
            c.answer.Key("index");
            c.answer.Int(pen.index);
            c.answer.Key("colour");
            Json::WriteColour(c.answer, pen.rgb);
            c.answer.Key("width");
            c.answer.Double(pen.width);
            c.answer.EndObject();
        }
    } else {
        const auto type = AttrTypeFromName(typeName);
        if (!type)
            throw CommandError{"unknown attribute type"};
        for (const Attribute* attribute : project.Attributes(*type))
            Json::WriteAttribute(c.answer, project, *attribute, Json::References::Name);
    }
    c.answer.EndArray();
}

}  // namespace

CommandArea AttributeCommands()
{
    static constexpr Command Rows[] = {
        {"attribute.new", AttributeNew},
        {"attribute.set", AttributeSet},
        {"attributes", Attributes},
    };
    return Rows;
}

}  // namespace Sim::Script

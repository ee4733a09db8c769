// velmar-sim's commands of the project and its elements: project events, placing, listing and selecting elements.
#include "ScriptCommand.hpp"

#include <vector>

namespace Sim::Script {

namespace {

void ProjectNew(Context& c)
{
    c.host.NewProject();
}

void ProjectOpen(Context& c)
{
    std::string error;
    if (!c.host.OpenProject(StringMember(c, "path"), &error))
        throw CommandError{error};
}

void ProjectSave(Context& c)
{
    std::string error;
    if (!c.host.SaveProject(StringMember(c, "path"), &error))
        throw CommandError{error};
}

void ElementNew(Context& c)
{
    const auto type = ElemTypeFromName(StringMember(c, "type"));
    if (!type)
        throw CommandError{"unknown element type"};
    c.answer.Key("guid");
    WriteString(c.answer, APIGuidToString(c.host.CreateElement(*type)).ToUtf8());
}

void Elements(Context& c)
{
    c.answer.Key("elements");
    c.answer.StartArray();
    for (const auto& element : c.host.CurrentProject().GetElements()) {
        c.answer.StartObject();
        c.answer.Key("guid");
        WriteString(c.answer, APIGuidToString(element.guid).ToUtf8());
        c.answer.Key("type");
        c.answer.String(ElemTypeName(element.type));
        c.answer.Key("observed");
        bool observed = false;
        for (const auto& guid : c.host.Handlers().observed)
            observed = observed || guid == element.guid;
        c.answer.Bool(observed);
        c.answer.EndObject();
    }
    c.answer.EndArray();
}

void Select(Context& c)
{
    const auto& list = Member(c, "guids");
    if (!list.IsArray())
        throw CommandError{"\"guids\" must be an array of GUID texts"};
    std::vector<API_Guid> guids;
    for (const auto& item : list.GetArray()) {
        GS::Guid guid;
        if (!item.IsString() || guid.ConvertFromString(item.GetString()) != NoError)
            throw CommandError{"\"guids\" must be an array of GUID texts"};
        guids.push_back(GSGuid2APIGuid(guid));
    }
    if (!c.host.Select(guids))
        throw CommandError{"no such element"};
}

}  // namespace

CommandArea ProjectCommands()
{
    static constexpr Command Rows[] = {
        {"project.new", ProjectNew},
        {"project.open", ProjectOpen},
        {"project.save", ProjectSave},
        {"element.new", ElementNew},
        {"elements", Elements},
        {"select", Select},
    };
    return Rows;
}

}  // namespace Sim::Script

// velmar-sim's commands of the project and its elements: project events; placing, editing, deleting,
// reading, listing, classifying and selecting elements; undo and redo; the view and process windows.
#include "ScriptCommand.hpp"

#include "HostImpl.hpp"
#include "HostText.hpp"
#include "ModelJson.hpp"
#include "QuantityKeys.hpp"

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
    c.answer.Key("corrected");
    c.answer.StartArray();
    for (const std::string& correction : c.host.OpenCorrections())
        WriteString(c.answer, correction);
    c.answer.EndArray();
}

void ProjectSave(Context& c)
{
    std::string error;
    if (!c.host.SaveProject(StringMember(c, "path"), &error))
        throw CommandError{error};
}

// The command's geometry keys (all but "cmd", "type", "guid" and "userData") read onto the element, and its
// user data when given (null: none). Answers whether the user data was given.
bool ReadGeometry(const Context& c, Element& element)
{
    static const std::set<std::string> commandKeys{"cmd", "type", "guid", "userData"};
    try {
        Json::ReadGeometry(c.command, c.host.CurrentProject(), element, Json::References::Name, commandKeys);
        if (!c.command.HasMember("userData"))
            return false;
        const auto& userData = c.command["userData"];
        element.userData = userData.IsNull() ? std::nullopt : std::optional<UserData>(Json::ReadUserData(userData));
        return true;
    } catch (const Json::FormatError& error) {
        throw CommandError{error.what()};
    }
}

void ElementNew(Context& c)
{
    const auto type = ElemTypeFromName(StringMember(c, "type"));
    if (!type)
        throw CommandError{"unknown element type"};
    Element element = NewElement(*type);
    ReadGeometry(c, element);
    c.answer.Key("guid");
    WriteString(c.answer, HostText::Utf8(APIGuidToString(c.host.PlaceElement(std::move(element)))));
}

void ElementSet(Context& c)
{
    Element changed = ElementMember(c);
    const bool userData = ReadGeometry(c, changed);
    c.host.EditElement(changed.Guid(), [&](Element& element) {
        element.record = changed.record;
        element.polygon = changed.polygon;
        element.holes = changed.holes;
        if (userData)
            element.userData = changed.userData;
    });
}

void ElementDelete(Context& c)
{
    c.host.DeleteElement(ElementMember(c).Guid());
}

void ElementGet(Context& c)
{
    const Element& element = ElementMember(c);
    const Project& project = c.host.CurrentProject();
    c.answer.Key("element");
    c.answer.StartObject();
    c.answer.Key("guid");
    Json::WriteGuid(c.answer, element.Guid());
    c.answer.Key("type");
    c.answer.String(ElemTypeName(element.Type()));
    Json::WriteGeometry(c.answer, project, element, Json::References::Name);
    c.answer.Key("userData");
    if (element.userData) {
        c.answer.StartObject();
        Json::WriteUserData(c.answer, *element.userData);
        c.answer.EndObject();
    } else {
        c.answer.Null();
    }
    c.answer.Key("classification");
    c.answer.StartArray();
    for (const auto& [system, item] : element.classification) {
        c.answer.StartObject();
        c.answer.Key("system");
        Json::WriteGuid(c.answer, system);
        c.answer.Key("item");
        Json::WriteGuid(c.answer, item);
        c.answer.EndObject();
    }
    c.answer.EndArray();
    if (HasQuantities(element.Type())) {
        c.answer.Key("quantities");
        WriteQuantities(c.answer, project, element);
    }
    c.answer.EndObject();
}

void Elements(Context& c)
{
    const auto& observed = c.host.Handlers().observed;
    c.answer.Key("elements");
    c.answer.StartArray();
    for (const auto& entry : c.host.CurrentProject().Elements()) {
        const Element& element = entry.second;
        c.answer.StartObject();
        c.answer.Key("guid");
        WriteString(c.answer, HostText::Utf8(APIGuidToString(element.Guid())));
        c.answer.Key("type");
        c.answer.String(ElemTypeName(element.Type()));
        c.answer.Key("observed");
        c.answer.Bool(observed.count(element.Guid()) > 0);
        c.answer.EndObject();
    }
    c.answer.EndArray();
}

void WriteGuids(Writer& writer, const std::vector<API_Guid>& guids)
{
    writer.StartArray();
    for (const API_Guid& guid : guids)
        Json::WriteGuid(writer, guid);
    writer.EndArray();
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

void Selection(Context& c)
{
    c.answer.Key("guids");
    WriteGuids(c.answer, c.host.CurrentProject().Selection());
}

void View(Context& c)
{
    c.answer.Key("zoomedTo");
    WriteGuids(c.answer, c.host.ZoomedTo());
}

void Classify(Context& c)
{
    const API_Guid element = ElementMember(c).Guid();
    const API_Guid item = GuidMember(c, "item");
    if (c.host.CurrentProject().FindItem(item) == nullptr)
        throw CommandError{"no such classification item"};
    c.host.RunHostCommand("Classify", [&] { Impl::ACAPI_Element_AddClassificationItem(element, item); });
}

void Classifications(Context& c)
{
    const Project& project = c.host.CurrentProject();
    c.answer.Key("systems");
    c.answer.StartArray();
    for (const ClassificationSystem* system : project.Systems())
        Json::WriteClassificationSystem(c.answer, project, *system);
    c.answer.EndArray();
}

void AnswerStep(Context& c, const std::optional<std::string>& step, const char* none)
{
    if (!step)
        throw CommandError{none};
    c.answer.Key("step");
    WriteString(c.answer, *step);
}

void Undo(Context& c)
{
    AnswerStep(c, c.host.Undo(), "there is nothing to undo");
}

void Redo(Context& c)
{
    AnswerStep(c, c.host.Redo(), "there is nothing to redo");
}

void UndoList(Context& c)
{
    c.answer.Key("steps");
    c.answer.StartArray();
    for (const auto& name : c.host.CurrentProject().UndoNames())
        WriteString(c.answer, name);
    c.answer.EndArray();
}

void Progress(Context& c)
{
    c.answer.Key("windows");
    c.answer.StartArray();
    for (const ProcessWindow& window : c.host.ProcessWindows())
        HostJson::WriteProcessWindow(c.answer, window);
    c.answer.EndArray();
}

void ProgressCancel(Context& c)
{
    const Int64 phase = IntMember(c, "atPhase", 1);
    if (phase < 1 || phase > 1000000)
        throw CommandError{"\"atPhase\" must be a phase from 1"};
    c.host.ArmProcessCancel(static_cast<Int32>(phase));
}

}  // namespace

CommandArea ProjectCommands()
{
    static constexpr Command Rows[] = {
        {"project.new", ProjectNew},
        {"project.open", ProjectOpen},
        {"project.save", ProjectSave},
        {"element.new", ElementNew},
        {"element.set", ElementSet},
        {"element.delete", ElementDelete},
        {"element.get", ElementGet},
        {"elements", Elements},
        {"select", Select},
        {"selection", Selection},
        {"view", View},
        {"classify", Classify},
        {"classifications", Classifications},
        {"undo", Undo},
        {"redo", Redo},
        {"undo.list", UndoList},
        {"progress", Progress},
        {"progress.cancel", ProgressCancel},
    };
    return Rows;
}

}  // namespace Sim::Script

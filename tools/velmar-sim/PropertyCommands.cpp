// velmar-sim's commands of properties: the groups and definitions, what the user does in the property
// manager, and the values of an element as the info box shows and edits them.
#include "ScriptCommand.hpp"

#include "HostImpl.hpp"
#include "HostText.hpp"
#include "ModelJson.hpp"

namespace Sim::Script {

namespace {

void Properties(Context& c)
{
    const Project& project = c.host.CurrentProject();
    c.answer.Key("groups");
    c.answer.StartArray();
    for (const PropertyGroup* group : project.Groups()) {
        c.answer.StartObject();
        c.answer.Key("guid");
        Json::WriteGuid(c.answer, group->group.guid);
        c.answer.Key("name");
        Json::WriteText(c.answer, group->group.name);
        c.answer.Key("custom");
        c.answer.Bool(group->group.groupType == API_PropertyCustomGroupType);
        c.answer.Key("definitions");
        c.answer.StartArray();
        for (const PropertyDefinition* definition : project.Definitions(group->group.guid))
            Json::WriteDefinition(c.answer, project, definition->definition);
        c.answer.EndArray();
        c.answer.EndObject();
    }
    c.answer.EndArray();
}

std::string ErrorText(const char* what, GSErrCode err)
{
    switch (err) {
        case APIERR_NAMEALREADYUSED:
            return std::string("the ") + what + " name is already used";
        case APIERR_BADNAME:
            return std::string("a ") + what + " needs a name";
        default:
            return std::string("the ") + what + " was refused, error " + std::to_string(err);
    }
}

void GroupNew(Context& c)
{
    API_PropertyGroup group;
    group.groupType = API_PropertyCustomGroupType;
    group.name = HostText::Uni(StringMember(c, "name"));
    GSErrCode err = NoError;
    c.host.RunHostCommand("Create Property Group", [&] { err = Impl::ACAPI_Property_CreatePropertyGroup(group); });
    if (err != NoError)
        throw CommandError{ErrorText("property group", err)};
    c.answer.Key("guid");
    Json::WriteGuid(c.answer, group.guid);
}

void DefinitionNew(Context& c)
{
    rapidjson::Document given;
    given.CopyFrom(c.command, given.GetAllocator());
    given.RemoveMember("cmd");
    API_PropertyDefinition definition;
    try {
        definition = Json::ReadDefinition(given, c.host.CurrentProject());
    } catch (const Json::FormatError& error) {
        throw CommandError{error.what()};
    }
    GSErrCode err = NoError;
    c.host.RunHostCommand("Create Property", [&] { err = Impl::ACAPI_Property_CreatePropertyDefinition(definition); });
    if (err != NoError)
        throw CommandError{ErrorText("property", err)};
    c.answer.Key("guid");
    Json::WriteGuid(c.answer, definition.guid);
}

void ElementProperties(Context& c)
{
    const Project& project = c.host.CurrentProject();
    const Element& element = ElementMember(c);
    c.answer.Key("values");
    c.answer.StartArray();
    for (const PropertyDefinition* row : project.Definitions(APINULLGuid)) {
        const auto& definition = row->definition;
        if (!project.IsAvailable(element, definition))
            continue;
        const auto own = element.properties.find(definition.guid);
        const API_PropertyValue& value =
            own != element.properties.end() ? own->second : definition.defaultValue.basicValue;
        c.answer.StartObject();
        c.answer.Key("group");
        Json::WriteText(c.answer, project.FindGroup(definition.groupGuid)->group.name);
        c.answer.Key("name");
        Json::WriteText(c.answer, definition.name);
        c.answer.Key("definition");
        Json::WriteGuid(c.answer, definition.guid);
        // What a value editor needs to know of its definition.
        c.answer.Key("valueType");
        c.answer.String(Json::ValueTypeName(definition.valueType));
        c.answer.Key("measureType");
        c.answer.String(Json::MeasureTypeName(definition.measureType));
        c.answer.Key("collection");
        c.answer.String(Json::CollectionName(definition.collectionType));
        c.answer.Key("editable");
        c.answer.Bool(definition.canValueBeEditable);
        c.answer.Key("value");
        Json::WritePropertyValue(c.answer, definition, value);
        c.answer.Key("status");
        c.answer.String(value.variantStatus != API_VariantStatusNormal ? "undefined"
                        : own != element.properties.end()              ? "normal"
                                                                       : "default");
        c.answer.EndObject();
    }
    c.answer.EndArray();
}

void PropertySet(Context& c)
{
    const Project& project = c.host.CurrentProject();
    const API_Guid element = ElementMember(c).Guid();
    API_Property property;
    const PropertyDefinition* definition = project.FindDefinition(GuidMember(c, "definition"));
    if (definition == nullptr)
        throw CommandError{"no such property definition"};
    property.definition = definition->definition;
    try {
        const auto& value = Member(c, "value");
        property.isDefault = value.IsNull();
        if (!property.isDefault)
            property.value = Json::ReadPropertyValue(value, definition->definition);
    } catch (const Json::FormatError& error) {
        throw CommandError{error.what()};
    }
    GSErrCode err = NoError;
    c.host.RunHostCommand("Set Property Value", [&] { err = Impl::ACAPI_Element_SetProperty(element, property); });
    if (err == APIERR_BADPROPERTY)
        throw CommandError{"the element does not have that property"};
    if (err != NoError)
        throw CommandError{"the value was refused, error " + std::to_string(err)};
}

}  // namespace

CommandArea PropertyCommands()
{
    static constexpr Command Rows[] = {
        {"properties", Properties},
        {"property.group.new", GroupNew},
        {"property.definition.new", DefinitionNew},
        {"element.properties", ElementProperties},
        {"property.set", PropertySet},
    };
    return Rows;
}

}  // namespace Sim::Script

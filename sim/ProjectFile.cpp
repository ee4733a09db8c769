// The project file: every row of the project as JSON. Version 2 holds geometry, attribute parts,
// properties and classifications; version 1 files (elements, attributes and module data only) open too.
#include "HostText.hpp"
#include "ModelJson.hpp"
#include "Project.hpp"

#include <rapidjson/error/en.h>

#include <cmath>

namespace Sim {

using namespace Json;

namespace {

constexpr const char* FileFormat = "velmar-sim-project";
constexpr int FileVersion = 2;
// Reading, saving and describing classification trees recurse; a file may not nest them past the stack.
constexpr int DeepestClassificationItem = 100;

// Written in this order so that each attribute's references are read before it.
constexpr API_AttrTypeID AttributeOrder[] = {API_FilltypeID, API_MaterialID, API_BuildingMaterialID, API_CompWallID};

const rapidjson::Value* ArrayMember(const rapidjson::Value& document, const char* name)
{
    if (!document.HasMember(name))
        return nullptr;
    if (!document[name].IsArray())
        throw FormatError(std::string(name) + " must be an array");
    return &document[name];
}

const rapidjson::Value& MemberOrNull(const rapidjson::Value& value, const char* name)
{
    static const rapidjson::Value null;
    return value.HasMember(name) ? value[name] : null;
}

void RequireObject(const rapidjson::Value& value, const char* what)
{
    if (!value.IsObject())
        throw FormatError(std::string("each of ") + what + " must be an object");
}

std::string TextMember(const rapidjson::Value& value, const char* name, const char* what)
{
    if (!value.HasMember(name) || !value[name].IsString())
        throw FormatError(std::string(what) + " needs \"" + name + "\"");
    return value[name].GetString();
}

}  // namespace

class ProjectFile {
public:
    static std::string Write(const Project& project);
    // Answers what it corrected in the file, one line each.
    static std::vector<std::string> Read(const rapidjson::Document& document, int version, Project& project);

private:
    static void WriteElement(Writer& writer, const Project& project, const Element& element);
    // Answers whether the file gave the element a thickness other than its composite's.
    static bool ReadElement(const rapidjson::Value& item, Project& project);
    static void ReadSystem(const rapidjson::Value& item, Project& project);
    static void ReadItems(const rapidjson::Value& items, const API_Guid& system, const API_Guid& parent,
                          Project& project, int depth = 1);
};

std::string ProjectFile::Write(const Project& project)
{
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key("format");
    writer.String(FileFormat);
    writer.Key("version");
    writer.Int(FileVersion);

    writer.Key("attributes");
    writer.StartArray();
    for (API_AttrTypeID type : AttributeOrder) {
        for (const Attribute* attribute : project.Attributes(type))
            WriteAttribute(writer, project, *attribute, References::Index, true);
    }
    writer.EndArray();

    writer.Key("classificationSystems");
    writer.StartArray();
    for (const ClassificationSystem* system : project.Systems())
        WriteClassificationSystem(writer, project, *system);
    writer.EndArray();

    writer.Key("propertyGroups");
    writer.StartArray();
    for (const PropertyGroup* group : project.Groups()) {
        if (group->group.groupType != API_PropertyCustomGroupType)
            continue;
        writer.StartObject();
        writer.Key("guid");
        WriteGuid(writer, group->group.guid);
        writer.Key("name");
        WriteText(writer, group->group.name);
        writer.Key("description");
        WriteText(writer, group->group.description);
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("propertyDefinitions");
    writer.StartArray();
    for (const PropertyDefinition* definition : project.Definitions(APINULLGuid)) {
        if (definition->definition.definitionType == API_PropertyCustomDefinitionType)
            WriteDefinition(writer, project, definition->definition);
    }
    writer.EndArray();

    writer.Key("elements");
    writer.StartArray();
    for (const auto& entry : project.Elements())
        WriteElement(writer, project, entry.second);
    writer.EndArray();

    writer.Key("moduleData");
    writer.StartArray();
    for (const auto& [name, data] : project.ModuleData()) {
        writer.StartObject();
        writer.Key("name");
        WriteText(writer, name);
        WriteUserData(writer, data);
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return buffer.GetString();
}

void ProjectFile::WriteElement(Writer& writer, const Project& project, const Element& element)
{
    writer.StartObject();
    writer.Key("guid");
    WriteGuid(writer, element.Guid());
    writer.Key("type");
    writer.String(ElemTypeName(element.Type()));
    WriteGeometry(writer, project, element, References::Index);
    if (element.userData) {
        writer.Key("userData");
        writer.StartObject();
        WriteUserData(writer, *element.userData);
        writer.EndObject();
    }
    if (!element.properties.empty()) {
        writer.Key("properties");
        writer.StartArray();
        for (const auto& [guid, value] : element.properties) {
            const PropertyDefinition* definition = project.FindDefinition(guid);
            writer.StartObject();
            writer.Key("definition");
            WriteGuid(writer, guid);
            writer.Key("value");
            WritePropertyValue(writer, definition->definition, value);
            writer.EndObject();
        }
        writer.EndArray();
    }
    if (!element.classification.empty()) {
        writer.Key("classification");
        writer.StartArray();
        for (const auto& [system, item] : element.classification) {
            writer.StartObject();
            writer.Key("system");
            WriteGuid(writer, system);
            writer.Key("item");
            WriteGuid(writer, item);
            writer.EndObject();
        }
        writer.EndArray();
    }
    writer.EndObject();
}

void ProjectFile::ReadItems(const rapidjson::Value& items, const API_Guid& system, const API_Guid& parent,
                            Project& project, int depth)
{
    if (depth > DeepestClassificationItem)
        throw FormatError("classification items nest deeper than " + std::to_string(DeepestClassificationItem) +
                          " levels");
    if (!items.IsArray())
        throw FormatError("classification items must be an array");
    for (const auto& value : items.GetArray()) {
        RequireObject(value, "classification items");
        ClassificationItem item;
        item.item.guid = ReadGuid(MemberOrNull(value, "guid"), "guid");
        if (project.FindItem(item.item.guid) != nullptr)
            throw FormatError("two classification items have the guid " +
                              HostText::Utf8(APIGuidToString(item.item.guid)));
        item.item.id = HostText::Uni(TextMember(value, "id", "a classification item"));
        item.item.name = HostText::Uni(TextMember(value, "name", "a classification item"));
        if (value.HasMember("description"))
            item.item.description = HostText::Uni(TextMember(value, "description", "a classification item"));
        item.system = system;
        item.parent = parent;
        const API_Guid guid = item.item.guid;
        project.AddItem(item);
        if (value.HasMember("children"))
            ReadItems(value["children"], system, guid, project, depth + 1);
    }
}

void ProjectFile::ReadSystem(const rapidjson::Value& value, Project& project)
{
    RequireObject(value, "classificationSystems");
    ClassificationSystem system;
    system.system.guid = ReadGuid(MemberOrNull(value, "guid"), "guid");
    system.system.name = HostText::Uni(TextMember(value, "name", "a classification system"));
    const std::pair<const char*, GS::UniString API_ClassificationSystem::*> texts[] = {
        {"description", &API_ClassificationSystem::description},
        {"source", &API_ClassificationSystem::source},
        {"editionVersion", &API_ClassificationSystem::editionVersion},
    };
    for (const auto& [key, member] : texts) {
        if (value.HasMember(key))
            system.system.*member = HostText::Uni(TextMember(value, key, "a classification system"));
    }
    const API_Guid guid = system.system.guid;
    project.AddSystem(system);
    if (value.HasMember("items"))
        ReadItems(value["items"], guid, APINULLGuid, project);
}

bool ProjectFile::ReadElement(const rapidjson::Value& item, Project& project)
{
    RequireObject(item, "elements");
    if (!item.HasMember("guid") || !item.HasMember("type") || !item["type"].IsString())
        throw FormatError("an element needs a guid and a type");
    const auto type = ElemTypeFromName(item["type"].GetString());
    if (!type)
        throw FormatError(std::string("unknown element type ") + item["type"].GetString());
    Element element = NewElement(*type);
    element.record.header.guid = ReadGuid(item["guid"], "guid");
    if (project.FindElement(element.Guid()) != nullptr)
        throw FormatError("two elements have the guid " + HostText::Utf8(APIGuidToString(element.Guid())));
    static const std::set<std::string> otherKeys{"guid", "type", "userData", "properties", "classification"};
    // A version 1 opening has no wall: it stays as it was placed, outside any wall.
    const bool opening = *type == API_WindowID || *type == API_DoorID;
    if (!(opening && !item.HasMember("wall")))
        ReadGeometry(item, project, element, References::Index, otherKeys);
    if (item.HasMember("userData"))
        element.userData = ReadUserData(item["userData"]);
    if (const rapidjson::Value* classification = ArrayMember(item, "classification")) {
        for (const auto& entry : classification->GetArray()) {
            RequireObject(entry, "an element's classification");
            const API_Guid itemGuid = ReadGuid(MemberOrNull(entry, "item"), "item");
            const ClassificationItem* found = project.FindItem(itemGuid);
            if (found == nullptr)
                throw FormatError("an element is classified by an unknown item");
            element.classification[found->system] = itemGuid;
        }
    }
    if (const rapidjson::Value* properties = ArrayMember(item, "properties")) {
        for (const auto& entry : properties->GetArray()) {
            RequireObject(entry, "an element's properties");
            const API_Guid guid = ReadGuid(MemberOrNull(entry, "definition"), "definition");
            const PropertyDefinition* definition = project.FindDefinition(guid);
            if (definition == nullptr || !entry.HasMember("value"))
                throw FormatError("an element's property needs a known definition and a value");
            element.properties[guid] = ReadPropertyValue(entry["value"], definition->definition);
        }
    }
    const bool composite =
        (*type == API_WallID && element.record.wall.modelElemStructureType == API_CompositeStructure) ||
        (*type == API_SlabID && element.record.slab.modelElemStructureType == API_CompositeStructure);
    const bool disagrees = composite && item.HasMember("thickness") && item["thickness"].IsNumber() &&
                           std::abs(item["thickness"].GetDouble() - ElementThickness(project, element)) > 1e-9;
    project.AddElement(std::move(element));
    return disagrees;
}

std::vector<std::string> ProjectFile::Read(const rapidjson::Document& document, int version, Project& project)
{
    // A version 1 file has neither fills nor classifications: it keeps those a new project has.
    if (version >= 2) {
        project.attributes_.Clear();
        project.items_.Clear();
        project.systems_.Clear();
    } else {
        for (API_AttrTypeID type : {API_MaterialID, API_BuildingMaterialID, API_CompWallID}) {
            for (const Attribute* attribute : project.Attributes(type))
                project.attributes_.Erase(AttributeKey{type, attribute->Index()}, nullptr);
        }
    }
    if (const rapidjson::Value* attributes = ArrayMember(document, "attributes")) {
        for (const auto& item : attributes->GetArray()) {
            RequireObject(item, "attributes");
            const std::string typeName = TextMember(item, "type", "an attribute");
            const auto type = AttrTypeFromName(typeName);
            if (typeName == "pen" && version == 1)
                continue;  // pens were attributes once; now the pen table holds them
            if (!type)
                throw FormatError("unknown attribute type " + typeName);
            if (item.HasMember("guid") && project.FindAttribute(*type, ReadGuid(item["guid"], "guid")))
                throw FormatError("two attributes have the guid " + std::string(item["guid"].GetString()));
            Attribute attribute = ReadAttribute(item, project, *type, References::Index);
            if (project.FindAttribute(*type, attribute.name) != nullptr)
                throw FormatError("two " + typeName + " attributes are named " + HostText::Utf8(attribute.name));
            if (item.HasMember("flags") && item["flags"].IsInt())
                attribute.record.header.flags = static_cast<short>(item["flags"].GetInt());
            const Int32 index = project.AddAttribute(std::move(attribute));
            if (item.HasMember("index") && (!item["index"].IsInt() || item["index"].GetInt() != index))
                throw FormatError("the " + typeName + " attributes' indexes are not 1, 2, 3, ...");
        }
    }
    if (const rapidjson::Value* systems = ArrayMember(document, "classificationSystems")) {
        for (const auto& item : systems->GetArray())
            ReadSystem(item, project);
    }
    if (const rapidjson::Value* groups = ArrayMember(document, "propertyGroups")) {
        for (const auto& item : groups->GetArray()) {
            RequireObject(item, "propertyGroups");
            PropertyGroup group;
            group.group.groupType = API_PropertyCustomGroupType;
            group.group.guid = ReadGuid(MemberOrNull(item, "guid"), "guid");
            group.group.name = HostText::Uni(TextMember(item, "name", "a property group"));
            if (item.HasMember("description"))
                group.group.description = HostText::Uni(TextMember(item, "description", "a property group"));
            project.AddGroup(group);
        }
    }
    if (const rapidjson::Value* definitions = ArrayMember(document, "propertyDefinitions")) {
        for (const auto& item : definitions->GetArray()) {
            PropertyDefinition definition;
            definition.definition = ReadDefinition(item, project);
            definition.definition.canValueBeEditable = true;
            project.AddDefinition(definition);
        }
    }
    std::size_t disagreeing = 0;
    if (const rapidjson::Value* elements = ArrayMember(document, "elements")) {
        for (const auto& item : elements->GetArray())
            disagreeing += ReadElement(item, project) ? 1 : 0;
    }
    if (const rapidjson::Value* moduleData = ArrayMember(document, "moduleData")) {
        for (const auto& item : moduleData->GetArray()) {
            RequireObject(item, "moduleData");
            const std::string name = TextMember(item, "name", "module data");
            project.StoreModuleData(name, ReadUserData(item));
        }
    }
    std::vector<std::string> corrections;
    if (disagreeing > 0)
        corrections.push_back(std::to_string(disagreeing) + (disagreeing == 1 ? " wall or slab" : " walls and slabs") +
                              " on a composite had a thickness other than the composite's; each is as thick as its "
                              "composite now");
    return corrections;
}

std::string Project::ToJson() const
{
    return ProjectFile::Write(*this);
}

bool Project::FromJson(const std::string& text, std::string* error, std::vector<std::string>* corrections)
{
    rapidjson::Document document;
    document.Parse<rapidjson::kParseIterativeFlag>(text.c_str(), text.size());
    if (document.HasParseError()) {
        *error = std::string("not JSON: ") + rapidjson::GetParseError_En(document.GetParseError()) + " at offset " +
                 std::to_string(document.GetErrorOffset());
        return false;
    }
    if (!document.IsObject() || !document.HasMember("format") || !document["format"].IsString() ||
        std::string(document["format"].GetString()) != FileFormat) {
        *error = "not a project file";
        return false;
    }
    if (!document.HasMember("version") || !document["version"].IsInt() || document["version"].GetInt() < 1 ||
        document["version"].GetInt() > FileVersion) {
        *error = "unsupported project file version";
        return false;
    }
    Project opened;
    std::vector<std::string> corrected;
    try {
        corrected = ProjectFile::Read(document, document["version"].GetInt(), opened);
    } catch (const FormatError& failure) {
        *error = failure.what();
        return false;
    }
    *this = std::move(opened);
    if (corrections != nullptr)
        *corrections = std::move(corrected);
    return true;
}

}  // namespace Sim

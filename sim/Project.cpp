#include "Project.hpp"

#include "Base64.hpp"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

namespace Sim {

namespace {

struct TypeName {
    API_ElemTypeID type;
    const char* name;
};
constexpr TypeName TypeNames[] = {
    {API_WallID, "wall"},
    {API_ColumnID, "column"},
    {API_BeamID, "beam"},
    {API_WindowID, "window"},
    {API_DoorID, "door"},
    {API_ObjectID, "object"},
    {API_LampID, "lamp"},
    {API_SlabID, "slab"},
    {API_RoofID, "roof"},
    {API_CurtainWallID, "curtainwall"},
    {API_CurtainWallPanelID, "curtainwallpanel"},
};

struct AttrTypeRow {
    API_AttrTypeID type;
    const char* name;
};
constexpr AttrTypeRow AttrTypeNames[] = {
    {API_CompWallID, "composite"},
    {API_BuildingMaterialID, "buildingmaterial"},
    {API_MaterialID, "material"},
    {API_PenID, "pen"},
};

constexpr const char* FileFormat = "velmar-sim-project";
constexpr int FileVersion = 1;

template <typename Writer>
void WriteUserData(Writer& writer, const UserData& data)
{
    writer.Key("version");
    writer.Int(data.version);
    writer.Key("platformSign");
    writer.Uint(data.platformSign);
    writer.Key("data");
    writer.String(EncodeBase64(data.bytes).c_str());
}

bool ReadUserData(const rapidjson::Value& value, UserData* data, std::string* error)
{
    if (!value.IsObject() || !value.HasMember("version") || !value["version"].IsInt() ||
        !value.HasMember("platformSign") || !value["platformSign"].IsUint() ||
        value["platformSign"].GetUint() > 0xFFFF || !value.HasMember("data") || !value["data"].IsString()) {
        *error = "user data needs version, platformSign and data";
        return false;
    }
    const auto bytes = DecodeBase64(value["data"].GetString());
    if (!bytes) {
        *error = "user data is not base64";
        return false;
    }
    *data = UserData{value["version"].GetInt(), static_cast<UInt16>(value["platformSign"].GetUint()), *bytes};
    return true;
}

bool ReadGuid(const rapidjson::Value& value, API_Guid* guid)
{
    GS::Guid parsed;
    if (!value.IsString() || parsed.ConvertFromString(value.GetString()) != NoError)
        return false;
    *guid = GSGuid2APIGuid(parsed);
    return true;
}

bool HasName(const std::vector<Attribute>& attributes, const GS::UniString& name)
{
    for (const auto& attribute : attributes) {
        if (attribute.header.name == name)
            return true;
    }
    return false;
}

// One entry of the "attributes" array, appended to its type's list with the next index.
bool ReadAttribute(const rapidjson::Value& item, std::map<API_AttrTypeID, std::vector<Attribute>>* attributes,
                   std::string* error)
{
    Attribute attribute;
    if (!item.IsObject() || !item.HasMember("type") || !item["type"].IsString() || !item.HasMember("guid") ||
        !ReadGuid(item["guid"], &attribute.header.guid) || !item.HasMember("name") || !item["name"].IsString() ||
        item["name"].GetStringLength() == 0 || (item.HasMember("flags") && !item["flags"].IsInt())) {
        *error = "an attribute needs a type, a guid and a name";
        return false;
    }
    const auto type = AttrTypeFromName(item["type"].GetString());
    if (!type) {
        *error = std::string("unknown attribute type ") + item["type"].GetString();
        return false;
    }
    attribute.header.typeID = *type;
    const auto& name = item["name"];
    attribute.header.name = GS::UniString::FromUtf8(std::string_view(name.GetString(), name.GetStringLength()));
    attribute.header.flags = item.HasMember("flags") ? item["flags"].GetInt() : 0;
    for (const auto& entry : *attributes) {
        for (const auto& other : entry.second) {
            if (other.header.guid == attribute.header.guid) {
                *error = "two attributes have the guid " + APIGuidToString(other.header.guid).ToUtf8();
                return false;
            }
        }
    }
    auto& list = (*attributes)[*type];
    if (HasName(list, attribute.header.name)) {
        *error = std::string("two ") + item["type"].GetString() + " attributes are named " + item["name"].GetString();
        return false;
    }
    if (item.HasMember("userData")) {
        UserData data;
        if (!ReadUserData(item["userData"], &data, error))
            return false;
        attribute.userData = data;
    }
    attribute.header.index = static_cast<API_AttributeIndex>(list.size() + 1);
    list.push_back(attribute);
    return true;
}

}  // namespace

std::optional<API_AttrTypeID> AttrTypeFromName(const std::string& name)
{
    for (const auto& row : AttrTypeNames) {
        if (name == row.name)
            return row.type;
    }
    return std::nullopt;
}

bool IsAttrType(API_AttrTypeID type)
{
    for (const auto& row : AttrTypeNames) {
        if (type == row.type)
            return true;
    }
    return false;
}

const char* AttrTypeName(API_AttrTypeID type)
{
    for (const auto& row : AttrTypeNames) {
        if (type == row.type)
            return row.name;
    }
    return "unknown";
}

std::optional<API_ElemTypeID> ElemTypeFromName(const std::string& name)
{
    for (const auto& row : TypeNames) {
        if (name == row.name)
            return row.type;
    }
    return std::nullopt;
}

const char* ElemTypeName(API_ElemTypeID type)
{
    for (const auto& row : TypeNames) {
        if (type == row.type)
            return row.name;
    }
    return "unknown";
}

API_Guid Project::AddElement(API_ElemTypeID type)
{
    Element element;
    element.guid = GSGuid2APIGuid(GS::Guid::Generate());
    element.type = type;
    elements_.push_back(element);
    return element.guid;
}

Element* Project::FindElement(const API_Guid& guid)
{
    for (auto& element : elements_) {
        if (element.guid == guid)
            return &element;
    }
    return nullptr;
}

const std::vector<Attribute>& Project::GetAttributes(API_AttrTypeID type) const
{
    static const std::vector<Attribute> none;
    const auto found = attributes_.find(type);
    return found != attributes_.end() ? found->second : none;
}

GSErrCode Project::AddAttribute(API_Attr_Head* header)
{
    if (header == nullptr || !IsAttrType(header->typeID))
        return APIERR_BADID;
    if (header->name.IsEmpty())
        return APIERR_BADNAME;
    auto& list = attributes_[header->typeID];
    if (HasName(list, header->name))
        return APIERR_NAMEALREADYUSED;
    header->index = static_cast<API_AttributeIndex>(list.size() + 1);
    header->guid = GSGuid2APIGuid(GS::Guid::Generate());
    list.push_back(Attribute{*header, std::nullopt});
    return NoError;
}

Attribute* Project::FindAttribute(API_AttrTypeID type, API_AttributeIndex index)
{
    const auto found = attributes_.find(type);
    if (found == attributes_.end() || index < 1 || index > static_cast<API_AttributeIndex>(found->second.size()))
        return nullptr;
    return &found->second[static_cast<std::size_t>(index - 1)];
}

Attribute* Project::FindAttribute(API_AttrTypeID type, const API_Guid& guid)
{
    const auto found = attributes_.find(type);
    if (found == attributes_.end())
        return nullptr;
    for (auto& attribute : found->second) {
        if (attribute.header.guid == guid)
            return &attribute;
    }
    return nullptr;
}

Attribute* Project::FindAttribute(API_AttrTypeID type, const GS::UniString& name)
{
    const auto found = attributes_.find(type);
    if (found == attributes_.end())
        return nullptr;
    for (auto& attribute : found->second) {
        if (attribute.header.name == name)
            return &attribute;
    }
    return nullptr;
}

std::string Project::ToJson() const
{
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("format");
    writer.String(FileFormat);
    writer.Key("version");
    writer.Int(FileVersion);
    writer.Key("elements");
    writer.StartArray();
    for (const auto& element : elements_) {
        writer.StartObject();
        writer.Key("guid");
        writer.String(APIGuidToString(element.guid).ToUtf8().c_str());
        writer.Key("type");
        writer.String(ElemTypeName(element.type));
        if (element.userData) {
            writer.Key("userData");
            writer.StartObject();
            WriteUserData(writer, *element.userData);
            writer.EndObject();
        }
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("attributes");
    writer.StartArray();
    for (const auto& [type, list] : attributes_) {
        for (const auto& attribute : list) {
            writer.StartObject();
            writer.Key("type");
            writer.String(AttrTypeName(type));
            writer.Key("guid");
            writer.String(APIGuidToString(attribute.header.guid).ToUtf8().c_str());
            writer.Key("name");
            const std::string name = attribute.header.name.ToUtf8();
            writer.String(name.c_str(), static_cast<rapidjson::SizeType>(name.size()));
            writer.Key("flags");
            writer.Int(attribute.header.flags);
            if (attribute.userData) {
                writer.Key("userData");
                writer.StartObject();
                WriteUserData(writer, *attribute.userData);
                writer.EndObject();
            }
            writer.EndObject();
        }
    }
    writer.EndArray();
    writer.Key("moduleData");
    writer.StartArray();
    for (const auto& [name, data] : moduleData_) {
        writer.StartObject();
        writer.Key("name");
        writer.String(name.c_str());
        WriteUserData(writer, data);
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return buffer.GetString();
}

bool Project::FromJson(const std::string& text, std::string* error)
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
    if (!document.HasMember("version") || !document["version"].IsInt() || document["version"].GetInt() != FileVersion) {
        *error = "unsupported project file version";
        return false;
    }

    std::vector<Element> elements;
    if (document.HasMember("elements")) {
        const auto& list = document["elements"];
        if (!list.IsArray()) {
            *error = "elements must be an array";
            return false;
        }
        for (const auto& item : list.GetArray()) {
            Element element;
            if (!item.IsObject() || !item.HasMember("guid") || !ReadGuid(item["guid"], &element.guid) ||
                !item.HasMember("type") || !item["type"].IsString()) {
                *error = "an element needs a guid and a type";
                return false;
            }
            const auto type = ElemTypeFromName(item["type"].GetString());
            if (!type) {
                *error = std::string("unknown element type ") + item["type"].GetString();
                return false;
            }
            element.type = *type;
            if (item.HasMember("userData")) {
                UserData data;
                if (!ReadUserData(item["userData"], &data, error))
                    return false;
                element.userData = data;
            }
            elements.push_back(element);
        }
    }
    std::map<API_AttrTypeID, std::vector<Attribute>> attributes;
    if (document.HasMember("attributes")) {
        const auto& list = document["attributes"];
        if (!list.IsArray()) {
            *error = "attributes must be an array";
            return false;
        }
        for (const auto& item : list.GetArray()) {
            if (!ReadAttribute(item, &attributes, error))
                return false;
        }
    }
    std::map<std::string, UserData> moduleData;
    if (document.HasMember("moduleData")) {
        const auto& list = document["moduleData"];
        if (!list.IsArray()) {
            *error = "moduleData must be an array";
            return false;
        }
        for (const auto& item : list.GetArray()) {
            UserData data;
            if (!item.IsObject() || !item.HasMember("name") || !item["name"].IsString()) {
                *error = "module data needs a name";
                return false;
            }
            if (!ReadUserData(item, &data, error))
                return false;
            moduleData[item["name"].GetString()] = data;
        }
    }
    elements_ = std::move(elements);
    attributes_ = std::move(attributes);
    moduleData_ = std::move(moduleData);
    selection_.clear();
    return true;
}

}  // namespace Sim

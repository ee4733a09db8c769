// velmar-sim's commands of the project's attributes: adding one (with user data) and listing those of a type.
#include "ScriptCommand.hpp"

#include "Base64.hpp"

#include <optional>

namespace Sim::Script {

namespace {

API_AttrTypeID AttrTypeMember(const Context& c)
{
    const auto type = AttrTypeFromName(StringMember(c, "type"));
    if (!type)
        throw CommandError{"unknown attribute type"};
    return *type;
}

UserData UserDataMember(const Context& c)
{
    const auto& value = Member(c, "userData");
    const char* invalid = "\"userData\" needs version, platformSign (0 to 65535) and base64 data";
    if (!value.IsObject() || !value.HasMember("version") || !value["version"].IsInt() ||
        !value.HasMember("platformSign") || !value["platformSign"].IsUint() ||
        value["platformSign"].GetUint() > 0xFFFF || !value.HasMember("data") || !value["data"].IsString())
        throw CommandError{invalid};
    const auto bytes = DecodeBase64(value["data"].GetString());
    if (!bytes)
        throw CommandError{invalid};
    return UserData{value["version"].GetInt(), static_cast<UInt16>(value["platformSign"].GetUint()), *bytes};
}

void AttributeNew(Context& c)
{
    API_Attr_Head header;
    header.typeID = AttrTypeMember(c);
    header.name = GS::UniString::FromUtf8(StringMember(c, "name"));
    const std::optional<UserData> userData =
        c.command.HasMember("userData") ? std::optional<UserData>(UserDataMember(c)) : std::nullopt;
    Project& project = c.host.CurrentProject();
    const GSErrCode err = project.AddAttribute(&header);
    if (err == APIERR_BADNAME)
        throw CommandError{"an attribute needs a name"};
    if (err == APIERR_NAMEALREADYUSED)
        throw CommandError{"the name is already used"};
    if (err != NoError)
        throw CommandError{"the attribute was not created, error " + std::to_string(err)};
    project.FindAttribute(header.typeID, header.index)->userData = userData;
    c.answer.Key("index");
    c.answer.Int(header.index);
    c.answer.Key("guid");
    WriteString(c.answer, APIGuidToString(header.guid).ToUtf8());
}

void Attributes(Context& c)
{
    const API_AttrTypeID type = AttrTypeMember(c);
    c.answer.Key("attributes");
    c.answer.StartArray();
    for (const auto& attribute : c.host.CurrentProject().GetAttributes(type)) {
        c.answer.StartObject();
        c.answer.Key("index");
        c.answer.Int(attribute.header.index);
        c.answer.Key("name");
        WriteString(c.answer, attribute.header.name.ToUtf8());
        c.answer.Key("guid");
        WriteString(c.answer, APIGuidToString(attribute.header.guid).ToUtf8());
        if (attribute.userData) {
            c.answer.Key("userData");
            c.answer.StartObject();
            c.answer.Key("version");
            c.answer.Int(attribute.userData->version);
            c.answer.Key("platformSign");
            c.answer.Uint(attribute.userData->platformSign);
            c.answer.Key("data");
            WriteString(c.answer, EncodeBase64(attribute.userData->bytes));
            c.answer.EndObject();
        }
        c.answer.EndObject();
    }
    c.answer.EndArray();
}

}  // namespace

CommandArea AttributeCommands()
{
    static constexpr Command Rows[] = {
        {"attribute.new", AttributeNew},
        {"attributes", Attributes},
    };
    return Rows;
}

}  // namespace Sim::Script

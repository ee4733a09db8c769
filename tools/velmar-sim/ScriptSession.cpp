#include "ScriptSession.hpp"

#include "Base64.hpp"
#include "DGHost.hpp"
#include "GSException.hpp"
#include "HTTPClient.hpp"
#include "JsValueJson.hpp"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace Sim {

namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

constexpr const char* RelayAddress = "https://relay.velmar.example/Relay";

// A command fills its answer's members, or throws CommandError for {"ok":false,"error":...}.
struct CommandError {
    std::string message;
};

struct Context {
    Archicad& host;
    const rapidjson::Value& command;
    Writer& answer;
    bool& quit;
    std::string& lastPick;
};

const rapidjson::Value& Member(const Context& context, const char* name)
{
    if (!context.command.HasMember(name))
        throw CommandError{std::string("missing member \"") + name + "\""};
    return context.command[name];
}

std::string StringMember(const Context& context, const char* name)
{
    const auto& value = Member(context, name);
    if (!value.IsString())
        throw CommandError{std::string("\"") + name + "\" must be a text"};
    return value.GetString();
}

Int64 IntMember(const Context& context, const char* name, std::optional<Int64> fallback = std::nullopt)
{
    if (!context.command.HasMember(name) && fallback)
        return *fallback;
    const auto& value = Member(context, name);
    if (!value.IsInt64())
        throw CommandError{std::string("\"") + name + "\" must be an integer"};
    return value.GetInt64();
}

void WriteString(Writer& writer, const std::string& text)
{
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

}  // namespace

std::vector<std::string> LogLines(const Archicad& host)
{
    std::ifstream file(host.DataRoot() + "/user/velmar/archicad/log.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

namespace {

void Menus(Context& c)
{
    c.answer.Key("menus");
    c.answer.StartArray();
    for (const auto& menu : c.host.Menus()) {
        c.answer.StartObject();
        c.answer.Key("id");
        c.answer.Int(menu.id);
        c.answer.Key("title");
        WriteString(c.answer, menu.title.ToUtf8());
        if (!menu.submenu.IsEmpty()) {
            c.answer.Key("submenu");
            WriteString(c.answer, menu.submenu.ToUtf8());
        }
        c.answer.Key("items");
        c.answer.StartArray();
        for (std::size_t i = 0; i < menu.items.size(); ++i) {
            c.answer.StartObject();
            c.answer.Key("index");
            c.answer.Int(static_cast<int>(i + 1));
            c.answer.Key("text");
            WriteString(c.answer, menu.items[i].text.ToUtf8());
            c.answer.Key("flags");
            c.answer.Int(menu.items[i].flags);
            c.answer.EndObject();
        }
        c.answer.EndArray();
        c.answer.EndObject();
    }
    c.answer.EndArray();
}

void Choose(Context& c)
{
    const Int64 menu = IntMember(c, "menu");
    const Int64 item = IntMember(c, "item");
    if (menu < INT16_MIN || menu > INT16_MAX || item < 1 || item > INT32_MAX)
        throw CommandError{"no such menu item"};
    const GSErrCode result = c.host.ChooseMenuItem(static_cast<Int16>(menu), static_cast<Int32>(item));
    if (result == APIERR_BADINDEX)
        throw CommandError{"no such menu item"};
    if (result == APIERR_REFUSEDCMD)
        throw CommandError{"the menu item is disabled"};
    c.answer.Key("result");
    c.answer.Int(result);
}

void Fault(Context& c)
{
    const std::string operation = StringMember(c, "op");
    if (!IsHostOperation(operation))
        throw CommandError{"no host operation named " + operation};
    const Int64 error = IntMember(c, "error", APIERR_GENERAL);
    const Int64 times = IntMember(c, "times", 1);
    if (error < INT32_MIN || error > INT32_MAX || times < FaultInjector::Every || times > INT32_MAX)
        throw CommandError{"\"error\" and \"times\" must fit 32 bits (times -1: every call)"};
    c.host.Faults().Arm(operation, static_cast<GSErrCode>(error), static_cast<int>(times));
}

void Log(Context& c)
{
    c.answer.Key("lines");
    c.answer.StartArray();
    for (const auto& line : LogLines(c.host))
        WriteString(c.answer, line);
    c.answer.EndArray();
}

void Debug(Context& c)
{
    c.answer.Key("lines");
    c.answer.StartArray();
    for (const auto& line : c.host.DebugLines())
        WriteString(c.answer, line);
    c.answer.EndArray();
}

void Reports(Context& c)
{
    c.answer.Key("reports");
    c.answer.StartArray();
    for (const auto& report : c.host.Reports()) {
        c.answer.StartObject();
        c.answer.Key("text");
        WriteString(c.answer, report.text);
        c.answer.Key("alert");
        c.answer.Bool(report.alert);
        c.answer.EndObject();
    }
    c.answer.EndArray();
}

void WriteWindow(Writer& writer, const DG::WindowInfo& window)
{
    writer.StartObject();
    writer.Key("id");
    writer.Int(window.id);
    writer.Key("title");
    WriteString(writer, window.title.ToUtf8());
    writer.Key("url");
    WriteString(writer, window.url.ToUtf8());
    writer.Key("width");
    writer.Int(window.width);
    writer.Key("height");
    writer.Int(window.height);
    writer.Key("visible");
    writer.Bool(window.visible);
    writer.Key("modal");
    writer.Bool(window.modal);
    writer.EndObject();
}

void Windows(Context& c)
{
    c.answer.Key("windows");
    c.answer.StartArray();
    for (const auto& window : DG::ListWindows())
        WriteWindow(c.answer, window);
    c.answer.EndArray();
}

Int32 WindowMember(const Context& c)
{
    const Int64 window = IntMember(c, "window");
    if (window < INT32_MIN || window > INT32_MAX || !DG::FindWindow(static_cast<Int32>(window)))
        throw CommandError{"no open window " + std::to_string(window)};
    return static_cast<Int32>(window);
}

void Call(Context& c)
{
    const Int32 window = WindowMember(c);
    const std::string name = StringMember(c, "fn");
    const GS::Ref<JS::Base> argument = c.command.HasMember("arg") ? JsFromJson(c.command["arg"]) : nullptr;
    DG::FunctionCallResult result;
    // The bridge answers failures itself; anything that still escapes is the script's error answer.
    try {
        result = DG::CallBrowserFunction(window, GS::UniString::FromUtf8(name), argument);
    } catch (const GS::Exception& exception) {
        throw CommandError{name + " threw " + exception.GetName() + ": " + exception.GetMessage().ToUtf8()};
    } catch (const std::exception& exception) {
        throw CommandError{name + " threw: " + exception.what()};
    }
    if (result.status == DG::FunctionCallResult::NoBrowser)
        throw CommandError{"window " + std::to_string(window) + " has no browser control"};
    if (result.status == DG::FunctionCallResult::NoSuchFunction)
        throw CommandError{"window " + std::to_string(window) + " has no function " + name};
    if (result.status != DG::FunctionCallResult::Answered)
        throw CommandError{"no open window " + std::to_string(window)};
    c.answer.Key("answer");
    try {
        WriteJs(c.answer, result.answer);
    } catch (const std::invalid_argument& error) {
        throw CommandError{error.what()};
    }
}

void WindowResize(Context& c)
{
    const Int32 window = WindowMember(c);
    const Int64 width = IntMember(c, "width");
    const Int64 height = IntMember(c, "height");
    if (width < 0 || width > INT16_MAX || height < 0 || height > INT16_MAX)
        throw CommandError{"\"width\" and \"height\" must be between 0 and 32767"};
    if (DG::ResizeWindowAsUser(window, static_cast<Int16>(width), static_cast<Int16>(height)) ==
        DG::WindowActionResult::NotResizable)
        throw CommandError{"window " + std::to_string(window) + " cannot be resized"};
    if (const auto resized = DG::FindWindow(window)) {
        c.answer.Key("window");
        WriteWindow(c.answer, *resized);
    }
}

void WindowClose(Context& c)
{
    DG::CloseWindowAsUser(WindowMember(c));
}

void Shell(Context& c)
{
    c.answer.Key("opened");
    c.answer.StartArray();
    for (const auto& request : c.host.ShellRequests())
        WriteString(c.answer, request.address);
    c.answer.EndArray();
    c.answer.Key("refused");
    c.answer.StartArray();
    for (const auto& request : c.host.RefusedShellRequests())
        WriteString(c.answer, request.address);
    c.answer.EndArray();
}

// One request through the host's HTTP client, as a browser on this machine would make it (routes apply).
HTTP::MessageHeader::IncomingResponse Fetch(HTTP::MessageHeader::Method method, const std::string& address,
                                            const std::string& body = {})
{
    const IO::URI::URI uri{GS::UniString(address)};
    HTTP::Client::ClientConnection connection(uri);
    HTTP::MessageHeader::Request request(method, uri);
    HTTP::MessageHeader::IncomingResponse response;
    GSErrCode err = connection.Connect();
    if (err == NoError)
        err = connection.Send(request, body.empty() ? nullptr : body.data(), body.size());
    if (err == NoError)
        err = connection.BeginReceive(response);
    if (err != NoError)
        throw CommandError{address + ": " + connection.GetLastErrorMessage()};
    connection.Close();
    return response;
}

// The value of `name` in the address's query, or nothing.
std::optional<std::string> QueryValue(const std::string& address, const std::string& name)
{
    const auto query = address.find('?');
    if (query == std::string::npos)
        return std::nullopt;
    std::size_t at = query + 1;
    while (at < address.size()) {
        const auto end = std::min(address.find('&', at), address.find('#', at));
        const std::string pair = address.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (pair.compare(0, name.size() + 1, name + "=") == 0)
            return pair.substr(name.size() + 1);
        if (end == std::string::npos || address[end] == '#')
            break;
        at = end + 1;
    }
    return std::nullopt;
}

// What the user does on the selector page the shell last opened: the page is loaded, and the chosen
// product goes to the relay under the page's BimId, as the page's button sends it.
void Pick(Context& c)
{
    const std::string product = StringMember(c, "product");
    if (c.host.ShellRequests().empty())
        throw CommandError{"no page was opened in the web browser (choose Search first)"};
    const std::string page = c.host.ShellRequests().back().address;
    const auto shown = Fetch(HTTP::MessageHeader::Method::Get, page);
    if (shown.GetStatusCode() != 200)
        throw CommandError{page + " answered " + std::to_string(shown.GetStatusCode())};
    const auto channel = QueryValue(page, "BimId");
    if (!channel || channel->empty())
        throw CommandError{page + " has no BimId"};
    const std::string relay = std::string(RelayAddress) + "/" + *channel + "/send";
    // A user takes a moment to choose; the add-on's channel is registered within a poll step or two.
    auto sent = Fetch(HTTP::MessageHeader::Method::Post, relay, product);
    for (int attempt = 0; attempt < 50 && sent.GetStatusCode() == 404; ++attempt) {
        c.host.Loop().RunFor(std::chrono::milliseconds(100), [] { return false; });
        sent = Fetch(HTTP::MessageHeader::Method::Post, relay, product);
    }
    if (sent.GetStatusCode() != 200)
        throw CommandError{relay + " answered " + std::to_string(sent.GetStatusCode()) + ": " + sent.GetBodyAsUtf8()};
    rapidjson::Document answer;
    answer.Parse(sent.GetBodyAsUtf8().c_str());
    c.answer.Key("page");
    WriteString(c.answer, page);
    if (answer.IsObject() && answer.HasMember("dataKey") && answer["dataKey"].IsString()) {
        c.lastPick = answer["dataKey"].GetString();
        c.answer.Key("dataKey");
        WriteString(c.answer, c.lastPick);
    }
}

// The add-on's answer to a pick (the last one unless "dataKey" names another), as the selector page reads
// it; the event loop runs for up to "ms" while there is none. Null when none came.
void PickAnswer(Context& c)
{
    const std::string dataKey = c.command.HasMember("dataKey") ? StringMember(c, "dataKey") : c.lastPick;
    const Int64 ms = IntMember(c, "ms", 0);
    if (ms < 0 || ms > 600000)
        throw CommandError{"\"ms\" must be between 0 and 600000"};
    const auto channel =
        c.host.ShellRequests().empty() ? std::nullopt : QueryValue(c.host.ShellRequests().back().address, "BimId");
    if (!channel || dataKey.empty())
        throw CommandError{"no product was picked on a selector page"};
    const std::string address = std::string(RelayAddress) + "/" + *channel + "/answer/" + dataKey;
    auto read = Fetch(HTTP::MessageHeader::Method::Get, address);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (read.GetStatusCode() == 404 && std::chrono::steady_clock::now() < deadline) {
        c.host.Loop().RunFor(std::chrono::milliseconds(50), [] { return false; });
        read = Fetch(HTTP::MessageHeader::Method::Get, address);
    }
    c.answer.Key("answer");
    rapidjson::Document answer;
    if (read.GetStatusCode() == 200 && !answer.Parse(read.GetBodyAsUtf8().c_str()).HasParseError())
        answer.Accept(c.answer);
    else
        c.answer.Null();
}

void AddOn(Context& c)
{
    const AddOnState& addOn = c.host.GetAddOn();
    c.answer.Key("name");
    WriteString(c.answer, addOn.name.ToUtf8());
    c.answer.Key("description");
    WriteString(c.answer, addOn.description.ToUtf8());
    c.answer.Key("type");
    c.answer.Int(addOn.type);
    c.answer.Key("registerResult");
    c.answer.Int(addOn.registerResult);
    c.answer.Key("initializeResult");
    c.answer.Int(addOn.initializeResult);
    c.answer.Key("keepInMemory");
    c.answer.Bool(addOn.keepInMemory);
}

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

void Wait(Context& c)
{
    const Int64 ms = IntMember(c, "ms", 0);
    if (ms < 0 || ms > 600000)
        throw CommandError{"\"ms\" must be between 0 and 600000"};
    std::function<bool()> met = [] { return false; };
    if (c.command.HasMember("until")) {
        const auto& until = c.command["until"];
        if (!until.IsObject() || !until.HasMember("window") || !until["window"].IsInt())
            throw CommandError{"\"until\" must be {\"window\":id}"};
        // Also met by a modal window that opened and closed again inside one host task.
        met = [window = until["window"].GetInt(), opened = DG::OpenCount(until["window"].GetInt())] {
            return DG::FindWindow(window).has_value() || DG::OpenCount(window) > opened;
        };
    }
    const bool done = c.host.Loop().RunFor(std::chrono::milliseconds(ms), met);
    c.answer.Key("met");
    c.answer.Bool(done);
}

void Quit(Context& c)
{
    c.quit = true;
}

// A file of one of the two data folders; the path may not leave its folder.
std::string DataFilePath(const Context& c)
{
    const std::string folder = StringMember(c, "folder");
    if (folder != "user" && folder != "shared")
        throw CommandError{"\"folder\" is \"user\" or \"shared\""};
    const std::string path = StringMember(c, "path");
    const std::filesystem::path relative(path);
    if (path.empty() || relative.is_absolute() ||
        std::any_of(relative.begin(), relative.end(), [](const auto& part) { return part == ".."; }))
        throw CommandError{"\"path\" must be relative and stay inside the folder"};
    return c.host.DataRoot() + "/" + folder + "/" + path;
}

bool IsUtf8(const std::string& bytes)
{
    return GS::UniString::FromUtf8(bytes).ToUtf8() == bytes;
}

void FileRead(Context& c)
{
    const std::string path = DataFilePath(c);
    std::ifstream file(path, std::ios::binary);
    c.answer.Key("exists");
    c.answer.Bool(std::filesystem::is_regular_file(path) && file.good());
    if (!file.good())
        return;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Answers are JSON text, so bytes that are not UTF-8 travel as base64.
    c.answer.Key(IsUtf8(bytes) ? "text" : "base64");
    WriteString(c.answer, IsUtf8(bytes) ? bytes : EncodeBase64(bytes));
}

void FileWrite(Context& c)
{
    const std::string path = DataFilePath(c);
    std::string bytes;
    if (c.command.HasMember("base64")) {
        const auto decoded = DecodeBase64(StringMember(c, "base64"));
        if (!decoded)
            throw CommandError{"\"base64\" is not base64"};
        bytes = *decoded;
    } else {
        bytes = StringMember(c, "text");
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!(file << bytes) || !file.flush())
        throw CommandError{"cannot write " + path};
}

void FileDelete(Context& c)
{
    std::error_code error;
    c.answer.Key("deleted");
    c.answer.Bool(std::filesystem::remove_all(DataFilePath(c), error) > 0);
}

// What the host sees of the add-on's state: the language of its menus, the Neutral item and the Lod mark.
void State(Context& c)
{
    static const char* const Languages[] = {"English", "Dutch", "French"};
    const Menu* search = c.host.FindMenu(32500);
    std::string language = "unknown";
    for (Int32 entry = 1; search != nullptr && entry <= 3; ++entry) {
        GS::UniString text;
        if (RSGetIndString(&text, 37000, entry, c.host.ResModule()) && !search->items.empty() &&
            search->items[0].text == text)
            language = Languages[entry - 1];
    }
    c.answer.Key("menuLanguage");
    WriteString(c.answer, language);
    if (const Menu* neutral = c.host.FindMenu(32505); neutral != nullptr && !neutral->items.empty()) {
        c.answer.Key("neutralChecked");
        c.answer.Bool(neutral->items[0].flags & API_MenuItemChecked);
        c.answer.Key("neutralDisabled");
        c.answer.Bool(neutral->items[0].flags & API_MenuItemDisabled);
    }
    if (const Menu* lod = c.host.FindMenu(32501)) {
        c.answer.Key("checkedLod");
        int checked = 0;
        for (std::size_t i = 0; i < lod->items.size(); ++i)
            checked = (lod->items[i].flags & API_MenuItemChecked) ? static_cast<int>(i + 1) * 100 : checked;
        c.answer.Int(checked);
    }
}

void WindowNavigate(Context& c)
{
    const Int64 window = IntMember(c, "window");
    const std::string url = StringMember(c, "url");
    if (window < INT32_MIN || window > INT32_MAX ||
        DG::FollowLinkAsUser(static_cast<Int32>(window), GS::UniString(url)) != DG::WindowActionResult::Done)
        throw CommandError{"no open window " + std::to_string(window)};
}

struct Command {
    const char* name;
    void (*run)(Context&);
};

constexpr Command Commands[] = {
    {"menus", Menus},
    {"choose", Choose},
    {"fault", Fault},
    {"log", Log},
    {"debug", Debug},
    {"reports", Reports},
    {"windows", Windows},
    {"call", Call},
    {"window.resize", WindowResize},
    {"window.close", WindowClose},
    {"window.navigate", WindowNavigate},
    {"shell", Shell},
    {"addon", AddOn},
    {"project.new", ProjectNew},
    {"project.open", ProjectOpen},
    {"project.save", ProjectSave},
    {"element.new", ElementNew},
    {"elements", Elements},
    {"select", Select},
    {"attribute.new", AttributeNew},
    {"attributes", Attributes},
    {"file.read", FileRead},
    {"file.write", FileWrite},
    {"file.delete", FileDelete},
    {"state", State},
    {"wait", Wait},
    {"pick", Pick},
    {"pick.answer", PickAnswer},
    {"quit", Quit},
};

}  // namespace

std::string ErrorAnswer(const std::string& message)
{
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key("ok");
    writer.Bool(false);
    writer.Key("error");
    WriteString(writer, message);
    writer.EndObject();
    return buffer.GetString();
}

ScriptSession::ScriptSession(Archicad& host, std::istream& input, std::ostream& output)
    : host_(host), input_(input), output_(output)
{
}

std::string ScriptSession::Execute(const std::string& line)
{
    rapidjson::Document command;
    command.Parse<rapidjson::kParseIterativeFlag>(line.c_str(), line.size());
    if (command.HasParseError())
        return ErrorAnswer(std::string("malformed command: ") + rapidjson::GetParseError_En(command.GetParseError()));
    if (!command.IsObject() || !command.HasMember("cmd") || !command["cmd"].IsString())
        return ErrorAnswer("a command is an object with a \"cmd\" text");

    const std::string name = command["cmd"].GetString();
    for (const auto& entry : Commands) {
        if (name != entry.name)
            continue;
        rapidjson::StringBuffer buffer;
        Writer writer(buffer);
        writer.StartObject();
        writer.Key("ok");
        writer.Bool(true);
        Context context{host_, command, writer, quit_, lastPick_};
        try {
            entry.run(context);
        } catch (const CommandError& error) {
            return ErrorAnswer(error.message);
        }
        writer.EndObject();
        return buffer.GetString();
    }
    return ErrorAnswer("unknown command \"" + name + "\"");
}

bool ScriptSession::OnIdle()
{
    Flush();
    // Idle inside a command means the command opened a modal dialog: it is answered now, while the dialog runs.
    if (!inFlight_.empty() && !inFlight_.back()) {
        output_ << R"({"ok":true,"modal":true})" << '\n';
        output_.flush();
        inFlight_.back() = true;
    }
    if (quit_)
        return false;
    std::string line;
    while (std::getline(input_, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        inFlight_.push_back(false);
        std::string answer = Execute(line);
        const bool answered = inFlight_.back();
        inFlight_.pop_back();
        if (!answered)
            pendingAnswer_ = std::move(answer);
        if (quit_) {
            Flush();
            host_.Loop().Quit();
        }
        return true;
    }
    // End of input ends the run as a quit would.
    quit_ = true;
    host_.Loop().Quit();
    return false;
}

void ScriptSession::Flush()
{
    if (pendingAnswer_.empty())
        return;
    output_ << pendingAnswer_ << '\n';
    output_.flush();
    pendingAnswer_.clear();
}

void ScriptSession::Run()
{
    host_.Loop().SetIdleHandler([this] { return OnIdle(); });
    host_.Loop().Run([this] { return quit_; });
    Flush();
    host_.Loop().SetIdleHandler(nullptr);
}

}  // namespace Sim

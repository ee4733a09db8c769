#include "ScriptSession.hpp"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/writer.h>

#include <chrono>
#include <fstream>

namespace Sim {

namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

// A command fills its answer's members, or throws CommandError for {"ok":false,"error":...}.
struct CommandError {
    std::string message;
};

struct Context {
    Archicad& host;
    const rapidjson::Value& command;
    Writer& answer;
    bool& quit;
};

const rapidjson::Value& Member(const Context& context, const char* name)
{
    if (!context.command.HasMember(name))
        throw CommandError {std::string("missing member \"") + name + "\""};
    return context.command[name];
}

std::string StringMember(const Context& context, const char* name)
{
    const auto& value = Member(context, name);
    if (!value.IsString())
        throw CommandError {std::string("\"") + name + "\" must be a text"};
    return value.GetString();
}

Int64 IntMember(const Context& context, const char* name, std::optional<Int64> fallback = std::nullopt)
{
    if (!context.command.HasMember(name) && fallback)
        return *fallback;
    const auto& value = Member(context, name);
    if (!value.IsInt64())
        throw CommandError {std::string("\"") + name + "\" must be an integer"};
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
        throw CommandError {"no such menu item"};
    const GSErrCode result = c.host.ChooseMenuItem(static_cast<Int16>(menu), static_cast<Int32>(item));
    if (result == APIERR_BADINDEX)
        throw CommandError {"no such menu item"};
    if (result == APIERR_REFUSEDCMD)
        throw CommandError {"the menu item is disabled"};
    c.answer.Key("result");
    c.answer.Int(result);
}

void Fault(Context& c)
{
    const std::string operation = StringMember(c, "op");
    if (!IsHostOperation(operation))
        throw CommandError {"no host operation named " + operation};
    const Int64 error = IntMember(c, "error", APIERR_GENERAL);
    const Int64 times = IntMember(c, "times", 1);
    if (error < INT32_MIN || error > INT32_MAX || times < FaultInjector::Every || times > INT32_MAX)
        throw CommandError {"\"error\" and \"times\" must fit 32 bits (times -1: every call)"};
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

void Windows(Context& c)
{
    c.answer.Key("windows");
    c.answer.StartArray();
    c.answer.EndArray();
}

void Call(Context& c)
{
    const Int64 window = IntMember(c, "window");
    StringMember(c, "fn");
    throw CommandError {"no open window " + std::to_string(window)};
}

void Shell(Context& c)
{
    c.answer.Key("opened");
    c.answer.StartArray();
    for (const auto& request : c.host.ShellRequests())
        WriteString(c.answer, request.address);
    c.answer.EndArray();
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
        throw CommandError {error};
}

void ProjectSave(Context& c)
{
    std::string error;
    if (!c.host.SaveProject(StringMember(c, "path"), &error))
        throw CommandError {error};
}

void ElementNew(Context& c)
{
    const auto type = ElemTypeFromName(StringMember(c, "type"));
    if (!type)
        throw CommandError {"unknown element type"};
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
        throw CommandError {"\"guids\" must be an array of GUID texts"};
    std::vector<API_Guid> guids;
    for (const auto& item : list.GetArray()) {
        GS::Guid guid;
        if (!item.IsString() || guid.ConvertFromString(item.GetString()) != NoError)
            throw CommandError {"\"guids\" must be an array of GUID texts"};
        guids.push_back(GSGuid2APIGuid(guid));
    }
    if (!c.host.Select(guids))
        throw CommandError {"no such element"};
}

void Wait(Context& c)
{
    const Int64 ms = IntMember(c, "ms", 0);
    if (ms < 0 || ms > 600000)
        throw CommandError {"\"ms\" must be between 0 and 600000"};
    std::function<bool()> met = [] { return false; };
    if (c.command.HasMember("until")) {
        const auto& until = c.command["until"];
        if (!until.IsObject() || !until.HasMember("window") || !until["window"].IsInt())
            throw CommandError {"\"until\" must be {\"window\":id}"};
    }
    const bool done = c.host.Loop().RunFor(std::chrono::milliseconds(ms), met);
    c.answer.Key("met");
    c.answer.Bool(done);
}

void Quit(Context& c)
{
    c.quit = true;
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
    {"shell", Shell},
    {"addon", AddOn},
    {"project.new", ProjectNew},
    {"project.open", ProjectOpen},
    {"project.save", ProjectSave},
    {"element.new", ElementNew},
    {"elements", Elements},
    {"select", Select},
    {"wait", Wait},
    {"quit", Quit},
};

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

}  // namespace

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
        Context context {host_, command, writer, quit_};
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

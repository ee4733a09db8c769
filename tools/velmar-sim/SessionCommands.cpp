// velmar-sim's commands of the run itself: the add-on's log and debug output, faults, waiting, the user's pick on
// the selector page, and quitting.
#include "ScriptCommand.hpp"

#include "DGHost.hpp"
#include "HTTPClient.hpp"
#include "HostText.hpp"
#include "ScriptSession.hpp"

#include <algorithm>
#include <chrono>
#include <functional>

namespace Sim::Script {

namespace {

constexpr const char* RelayAddress = "https://relay.velmar.example/Relay";
// The product-data platform's data host; its admin routes are the stand-in's, for the brand's side.
constexpr const char* PlatformAddress = "https://api.corvana.example";

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

// One request through the host's HTTP client, as a browser on this machine would make it (routes apply).
HTTP::MessageHeader::IncomingResponse Fetch(HTTP::MessageHeader::Method method, const std::string& address,
                                            const std::string& body = {})
{
    const IO::URI::URI uri{HostText::Uni(address)};
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

// The brand publishing a new version of a system on the product-data platform; "values" sets attributes
// of the system ({"Thickness":"137.5"}). Answers its new "timeStamp".
void PlatformPublish(Context& c)
{
    rapidjson::StringBuffer body;
    Writer writer(body);
    writer.StartObject();
    writer.Key("id");
    WriteString(writer, StringMember(c, "id"));
    if (c.command.HasMember("values")) {
        writer.Key("values");
        c.command["values"].Accept(writer);
    }
    writer.EndObject();
    const auto answer =
        Fetch(HTTP::MessageHeader::Method::Post, std::string(PlatformAddress) + "/admin/publish", body.GetString());
    rapidjson::Document published;
    published.Parse(answer.GetBodyAsUtf8().c_str());
    if (answer.GetStatusCode() != 200 || !published.IsObject() || !published.HasMember("timeStamp") ||
        !published["timeStamp"].IsString())
        throw CommandError{"the platform answered " + std::to_string(answer.GetStatusCode()) + ": " +
                           answer.GetBodyAsUtf8()};
    c.answer.Key("timeStamp");
    WriteString(c.answer, published["timeStamp"].GetString());
}

// The platform's systems with their time stamps: "systems":{"ID":"TimeStamp",...}.
void PlatformSystems(Context& c)
{
    const auto answer = Fetch(HTTP::MessageHeader::Method::Get, std::string(PlatformAddress) + "/admin/systems");
    rapidjson::Document systems;
    systems.Parse(answer.GetBodyAsUtf8().c_str());
    if (answer.GetStatusCode() != 200 || !systems.IsObject())
        throw CommandError{"the platform answered " + std::to_string(answer.GetStatusCode())};
    c.answer.Key("systems");
    systems.Accept(c.answer);
}

void Quit(Context& c)
{
    c.quit = true;
}

}  // namespace

CommandArea SessionCommands()
{
    static constexpr Command Rows[] = {
        {"log", Log},
        {"debug", Debug},
        {"fault", Fault},
        {"wait", Wait},
        {"pick", Pick},
        {"pick.answer", PickAnswer},
        {"platform.publish", PlatformPublish},
        {"platform.systems", PlatformSystems},
        {"quit", Quit},
    };
    return Rows;
}

}  // namespace Sim::Script

#include "RelayService.hpp"

#include <strings.h>

#include <httplib.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>

namespace Velmar::Services {

namespace {

constexpr const char* JsonType = "application/json";

void Fail(httplib::Response& response, int status, const char* message)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("error");
    writer.String(message);
    writer.EndObject();
    response.status = status;
    response.set_content(buffer.GetString(), JsonType);
}

// Only the members the add-on is meant to send are kept, so the page reads a well-formed answer.
std::optional<std::string> AnswerFrom(const std::string& body)
{
    rapidjson::Document document;
    document.Parse(body.c_str(), body.size());
    if (document.HasParseError() || !document.IsObject())
        return std::nullopt;
    const auto ok = document.FindMember("ok");
    if (ok == document.MemberEnd() || !ok->value.IsBool())
        return std::nullopt;
    const auto message = document.FindMember("message");
    if (message != document.MemberEnd() && !message->value.IsString())
        return std::nullopt;
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("ok");
    writer.Bool(ok->value.GetBool());
    if (message != document.MemberEnd()) {
        writer.Key("message");
        writer.String(message->value.GetString(), message->value.GetStringLength());
    }
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace

RelayService::RelayService(Limits limits) : limits_(limits), random_(std::random_device{}())
{
    // Bodies past the limit are refused by the server with 413 before a handler sees them.
    server_.Http().set_payload_max_length(limits_.payloadBytes);
    using Handler = void (RelayService::*)(const httplib::Request&, httplib::Response&);
    const auto bind = [this](Handler handler) {
        return [this, handler](const httplib::Request& request, httplib::Response& response) {
            (this->*handler)(request, response);
        };
    };
    // The selector page runs on the brand's site, another origin: browsers show it the relay's answers only
    // when the relay allows any origin, and ask first (preflight) before anything but a simple request.
    server_.Http().set_default_headers({{"Access-Control-Allow-Origin", "*"}});
    server_.Http().Options(R"(/Relay/.*)", [](const httplib::Request&, httplib::Response& response) {
        response.status = 204;
        response.set_header("Access-Control-Allow-Methods", "GET, POST, OPTIONS");
        response.set_header("Access-Control-Allow-Headers", "Content-Type");
        response.set_header("Access-Control-Max-Age", "600");
    });
    server_.Http().Post(R"(/Relay/([^/]+)/VelData)", bind(&RelayService::Register));
    server_.Http().Get(R"(/Relay/([^/]+)/VelData)", bind(&RelayService::Poll));
    server_.Http().Post(R"(/Relay/([^/]+)/VelData/([^/]+))", bind(&RelayService::Acknowledge));
    server_.Http().Post(R"(/Relay/([^/]+)/send)", bind(&RelayService::Send));
    server_.Http().Get(R"(/Relay/([^/]+)/answer/([^/]+))", bind(&RelayService::Answer));
}

RelayService::~RelayService()
{
    Stop();
}

std::optional<int> RelayService::Start(int port)
{
    return server_.Start(port);
}

void RelayService::Stop()
{
    server_.Stop();
}

std::string RelayService::NewDataKey()
{
    const unsigned long long high = random_(), low = random_();
    char text[37];
    std::snprintf(text, sizeof text, "%08llx-%04llx-%04llx-%04llx-%012llx", high >> 32, (high >> 16) & 0xffff,
                  high & 0xffff, low >> 48, low & 0xffffffffffffULL);
    return text;
}

void RelayService::Register(const httplib::Request& request, httplib::Response& response)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const std::string channel = request.matches[1];
    // Registering again keeps what waits: the add-on registers on every start of its polling.
    if (channels_.count(channel) == 0 && channels_.size() >= limits_.channels)
        return Fail(response, 429, "Too many channels");
    channels_[channel];
    response.set_content("{}", JsonType);
}

void RelayService::Poll(const httplib::Request& request, httplib::Response& response)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto channel = channels_.find(request.matches[1]);
    if (channel == channels_.end())
        return Fail(response, 401, "Unknown channel");
    if (channel->second.waiting.empty())
        return response.set_content("{}", JsonType);
    const Message& oldest = channel->second.waiting.front();
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("dataKey");
    writer.String(oldest.dataKey.c_str(), static_cast<rapidjson::SizeType>(oldest.dataKey.size()));
    writer.Key("payload");
    writer.String(oldest.payload.c_str(), static_cast<rapidjson::SizeType>(oldest.payload.size()));
    writer.EndObject();
    response.set_content(std::string(buffer.GetString(), buffer.GetSize()), JsonType);
}

void RelayService::Acknowledge(const httplib::Request& request, httplib::Response& response)
{
    const auto answer = AnswerFrom(request.body);
    if (!answer)
        return Fail(response, 400, "Expected {\"ok\":bool,\"message\":string}");
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto channel = channels_.find(request.matches[1]);
    if (channel == channels_.end())
        return Fail(response, 401, "Unknown channel");
    Channel& c = channel->second;
    const std::string dataKey = request.matches[2];
    auto message = c.waiting.begin();
    // A data key is a GUID: the add-on writes it back in its own letter case.
    while (message != c.waiting.end() && strcasecmp(message->dataKey.c_str(), dataKey.c_str()) != 0)
        ++message;
    if (message == c.waiting.end())
        return Fail(response, 404, "Unknown or already acknowledged dataKey");
    const std::string sentKey = message->dataKey;
    c.waiting.erase(message);
    c.answers[sentKey] = *answer;
    c.answerOrder.push_back(sentKey);
    // A page that never reads its answer must not grow the relay without end.
    if (c.answerOrder.size() > limits_.messagesPerChannel) {
        c.answers.erase(c.answerOrder.front());
        c.answerOrder.pop_front();
    }
    response.set_content("{}", JsonType);
}

void RelayService::Send(const httplib::Request& request, httplib::Response& response)
{
    if (request.body.empty())
        return Fail(response, 400, "Expected a product id");
    const std::lock_guard<std::mutex> lock(mutex_);
    // Only the add-on opens a channel; a page sending first would wait for a reader that may never come.
    const auto channel = channels_.find(request.matches[1]);
    if (channel == channels_.end())
        return Fail(response, 404, "No add-on listens on this channel");
    if (channel->second.waiting.size() >= limits_.messagesPerChannel)
        return Fail(response, 429, "Too many waiting messages");
    Message message{NewDataKey(), request.body};
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("dataKey");
    writer.String(message.dataKey.c_str(), static_cast<rapidjson::SizeType>(message.dataKey.size()));
    writer.EndObject();
    channel->second.waiting.push_back(std::move(message));
    response.set_content(std::string(buffer.GetString(), buffer.GetSize()), JsonType);
}

void RelayService::Answer(const httplib::Request& request, httplib::Response& response)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto channel = channels_.find(request.matches[1]);
    if (channel == channels_.end())
        return Fail(response, 404, "Unknown channel");
    const auto answer = channel->second.answers.find(request.matches[2]);
    if (answer == channel->second.answers.end())
        return Fail(response, 404, "No answer yet");
    response.set_content(answer->second, JsonType);
}

}  // namespace Velmar::Services

#include "ProductPlatform.hpp"

#include <httplib.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace Velmar::Services {

namespace {

namespace fs = std::filesystem;

constexpr const char* JsonType = "application/json";
// Issued tokens are forgotten once expired; this bounds those still alive.
constexpr std::size_t MaxLiveTokens = 10000;

void Fail(httplib::Response& response, int status, const std::string& message)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("error");
    writer.String(message.c_str(), static_cast<rapidjson::SizeType>(message.size()));
    writer.EndObject();
    response.status = status;
    response.set_content(buffer.GetString(), JsonType);
}

std::string Compact(const rapidjson::Value& value)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string Quoted(const std::string& text)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::map<std::string, std::string> LoadCatalog(const std::string& folder)
{
    std::map<std::string, std::string> systems;
    std::error_code error;
    fs::directory_iterator files(folder, error);
    if (error)
        throw std::runtime_error("Cannot read the catalog folder " + folder + ": " + error.message());
    for (const auto& entry : files) {
        const fs::path& file = entry.path();
        if (file.extension() != ".json" || file.filename() == "index.json")
            continue;
        std::ifstream stream(file, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        rapidjson::Document document;
        document.Parse(text.c_str(), text.size());
        if (!stream || document.HasParseError() || !document.IsObject())
            throw std::runtime_error("Not a system object: " + file.string());
        const auto id = document.FindMember("ID");
        if (id == document.MemberEnd() || !id->value.IsString())
            throw std::runtime_error("A system without an \"ID\": " + file.string());
        systems[id->value.GetString()] = Compact(document);
    }
    return systems;
}

}  // namespace

ProductPlatform::ProductPlatform(Options options)
    : options_(std::move(options)), systems_(LoadCatalog(options_.catalogDir)), random_(std::random_device{}())
{
    server_.Http().Post("/admin/fault", [this](const httplib::Request& request, httplib::Response& response) {
        SetFaultRoute(request, response);
    });
    // Any path: the token and data addresses of the settings differ in their paths, not in what they do.
    server_.Http().Get(
        ".*", [this](const httplib::Request& request, httplib::Response& response) { Serve(request, response); });
}

ProductPlatform::~ProductPlatform()
{
    Stop();
}

std::optional<int> ProductPlatform::Start(int port)
{
    return server_.Start(port);
}

void ProductPlatform::Stop()
{
    server_.Stop();
}

void ProductPlatform::SetFault(const Fault& fault)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (fault.times > 0 && (fault.status != 0 || fault.delayMs > 0 || fault.garbage))
        fault_ = fault;
    else
        fault_.reset();
}

std::optional<ProductPlatform::Fault> ProductPlatform::TakeFault()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!fault_)
        return std::nullopt;
    Fault fault = *fault_;
    if (--fault_->times <= 0)
        fault_.reset();
    return fault;
}

void ProductPlatform::SetFaultRoute(const httplib::Request& request, httplib::Response& response)
{
    // The server listens on loopback only; this guards the route should that ever change.
    if (request.remote_addr != "127.0.0.1" && request.remote_addr != "::1")
        return Fail(response, 403, "Faults are set from this machine only");
    rapidjson::Document document;
    document.Parse(request.body.c_str(), request.body.size());
    if (document.HasParseError() || !document.IsObject())
        return Fail(response, 400, "Expected a JSON object");
    Fault fault;
    for (const auto& member : document.GetObject()) {
        const std::string name = member.name.GetString();
        if (name == "garbage" && member.value.IsBool())
            fault.garbage = member.value.GetBool();
        else if (name == "status" && member.value.IsInt() && member.value.GetInt() >= 100 &&
                 member.value.GetInt() <= 599)
            fault.status = member.value.GetInt();
        else if (name == "delayMs" && member.value.IsInt() && member.value.GetInt() >= 0)
            fault.delayMs = member.value.GetInt();
        else if (name == "times" && member.value.IsInt() && member.value.GetInt() >= 0)
            fault.times = member.value.GetInt();
        else
            return Fail(response, 400, "Bad member: " + name);
    }
    SetFault(fault);
    response.set_content("{}", JsonType);
}

std::string ProductPlatform::NewToken()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const Clock::time_point now = options_.now();
    for (auto token = tokens_.begin(); token != tokens_.end();)
        token = token->second <= now ? tokens_.erase(token) : std::next(token);
    if (tokens_.size() >= MaxLiveTokens)
        return {};
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(random_()),
                  static_cast<unsigned long long>(random_()));
    tokens_[text] = now + options_.tokenLifetime;
    return text;
}

bool ProductPlatform::TokenValid(const std::string& token)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = tokens_.find(token);
    return found != tokens_.end() && options_.now() < found->second;
}

void ProductPlatform::Serve(const httplib::Request& request, httplib::Response& response)
{
    const std::string operation = request.get_param_value("OPSYS");
    if (operation != "GETTOKEN" && operation != "GETDATA")
        return Fail(response, 400, "Expected OPSYS=GETTOKEN or OPSYS=GETDATA");
    if (const auto fault = TakeFault()) {
        if (fault->delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(fault->delayMs));
        if (fault->status != 0)
            return Fail(response, fault->status, "Fault set for the test");
        if (fault->garbage)
            return response.set_content("<html>not JSON{\"token\":", JsonType);
    }
    if (operation == "GETTOKEN") {
        const std::string token = NewToken();
        if (token.empty())
            return Fail(response, 503, "Too many live tokens");
        return response.set_content("{\"token\":" + Quoted(token) + "}", JsonType);
    }
    if (!TokenValid(request.get_param_value("token")))
        return Fail(response, 401, "Missing, unknown or expired token");
    const std::string id = request.get_param_value("id");
    const auto system = systems_.find(id);
    if (system == systems_.end())
        return Fail(response, 404, "Unknown product id: " + id);
    response.set_content("{" + Quoted(id) + ":" + system->second + "}", JsonType);
}

}  // namespace Velmar::Services

#include "ProductPlatform.hpp"

#include <httplib.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
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

// The platform's own time stamp form, "2026-11-20 09:30:05".
std::string StampText(std::time_t time)
{
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

std::optional<std::time_t> StampTime(const std::string& text)
{
    std::tm parts{};
    if (strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &parts) == nullptr)
        return std::nullopt;
    return timegm(&parts);
}

// Where the platform writes numbers with a decimal comma.
bool UsesDecimalComma(const std::string& language)
{
    return language == "nl_NL" || language == "fr_FR";
}

bool IsNumeric(const rapidjson::Value& attribute)
{
    const auto type = attribute.FindMember("DataType");
    if (type == attribute.MemberEnd() || !type->value.IsString())
        return false;
    const std::string name = type->value.GetString();
    return name == "Number" || name == "Length" || name == "Area" || name == "Volume" || name == "Angle";
}

// The attribute of that id in the system's own sections: general, composition and each property set.
rapidjson::Value* FindOwnAttribute(rapidjson::Value& system, const std::string& id)
{
    const auto sections = system.FindMember("Attributes");
    if (sections == system.MemberEnd() || !sections->value.IsObject())
        return nullptr;
    for (auto& section : sections->value.GetObject()) {
        if (!section.value.IsObject())
            continue;
        const bool sets = std::string(section.name.GetString()) == "propertyset";
        for (auto& member : section.value.GetObject()) {
            if (!member.value.IsObject())
                continue;
            if (sets) {
                const auto found = member.value.FindMember(id.c_str());
                if (found != member.value.MemberEnd() && found->value.IsObject())
                    return &found->value;
            } else if (member.name.GetString() == id) {
                return &member.value;
            }
        }
    }
    return nullptr;
}

}  // namespace

ProductPlatform::ProductPlatform(Options options)
    : options_(std::move(options)), systems_(LoadCatalog(options_.catalogDir)), random_(std::random_device{}())
{
    server_.Http().Post("/admin/fault", [this](const httplib::Request& request, httplib::Response& response) {
        SetFaultRoute(request, response);
    });
    server_.Http().Post("/admin/publish", [this](const httplib::Request& request, httplib::Response& response) {
        PublishRoute(request, response);
    });
    server_.Http().Get("/admin/systems", [this](const httplib::Request&, httplib::Response& response) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        writer.StartObject();
        for (const auto& [id, stamp] : TimeStamps()) {
            writer.Key(id.c_str(), static_cast<rapidjson::SizeType>(id.size()));
            writer.String(stamp.c_str(), static_cast<rapidjson::SizeType>(stamp.size()));
        }
        writer.EndObject();
        response.set_content(buffer.GetString(), JsonType);
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

std::size_t ProductPlatform::SystemCount() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return systems_.size();
}

std::map<std::string, std::string> ProductPlatform::TimeStamps() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    std::map<std::string, std::string> stamps;
    for (const auto& [id, text] : systems_) {
        rapidjson::Document system;
        system.Parse(text.c_str(), text.size());
        const auto stamp = system.FindMember("TimeStamp");
        stamps[id] = stamp != system.MemberEnd() && stamp->value.IsString() ? stamp->value.GetString() : "";
    }
    return stamps;
}

std::string ProductPlatform::Publish(const std::string& id, const std::map<std::string, std::string>& values)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = systems_.find(id);
    if (found == systems_.end())
        throw std::invalid_argument("Unknown product id: " + id);
    rapidjson::Document system;
    system.Parse(found->second.c_str(), found->second.size());
    auto& allocator = system.GetAllocator();
    for (const auto& [attributeId, value] : values) {
        rapidjson::Value* attribute = FindOwnAttribute(system, attributeId);
        if (attribute == nullptr)
            throw std::invalid_argument("The system has no attribute " + attributeId);
        rapidjson::Value texts(rapidjson::kObjectType);
        const auto old = attribute->FindMember("Value");
        const bool numeric = IsNumeric(*attribute);
        for (const char* language : {"nl_NL", "fr_FR", "en_US"}) {
            std::string text = value;
            if (numeric && UsesDecimalComma(language))
                std::replace(text.begin(), text.end(), '.', ',');
            texts.AddMember(rapidjson::Value(language, allocator), rapidjson::Value(text.c_str(), allocator),
                            allocator);
        }
        if (old != attribute->MemberEnd())
            old->value = texts;
        else
            attribute->AddMember("Value", texts, allocator);
    }
    // Every version has its own stamp, even two published within a second.
    std::time_t time = std::time(nullptr);
    const auto stamp = system.FindMember("TimeStamp");
    if (stamp != system.MemberEnd() && stamp->value.IsString()) {
        if (const auto last = StampTime(stamp->value.GetString()); last && *last >= time)
            time = *last + 1;
    }
    const std::string text = StampText(time);
    if (stamp != system.MemberEnd())
        stamp->value.SetString(text.c_str(), allocator);
    else
        system.AddMember("TimeStamp", rapidjson::Value(text.c_str(), allocator), allocator);
    found->second = Compact(system);
    return text;
}

void ProductPlatform::PublishRoute(const httplib::Request& request, httplib::Response& response)
{
    if (request.remote_addr != "127.0.0.1" && request.remote_addr != "::1")
        return Fail(response, 403, "Systems are published from this machine only");
    rapidjson::Document document;
    document.Parse(request.body.c_str(), request.body.size());
    if (document.HasParseError() || !document.IsObject() || !document.HasMember("id") || !document["id"].IsString())
        return Fail(response, 400, "Expected {\"id\":\"...\",\"values\":{...}}");
    std::map<std::string, std::string> values;
    if (document.HasMember("values")) {
        if (!document["values"].IsObject())
            return Fail(response, 400, "\"values\" must be an object of texts");
        for (const auto& member : document["values"].GetObject()) {
            if (!member.value.IsString())
                return Fail(response, 400, "\"values\" must be an object of texts");
            values[member.name.GetString()] = member.value.GetString();
        }
    }
    try {
        const std::string stamp = Publish(document["id"].GetString(), values);
        response.set_content("{\"timeStamp\":" + Quoted(stamp) + "}", JsonType);
    } catch (const std::invalid_argument& error) {
        Fail(response, 404, error.what());
    }
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
    std::string system;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = systems_.find(id);
        if (found != systems_.end())
            system = found->second;
    }
    if (system.empty())
        return Fail(response, 404, "Unknown product id: " + id);
    response.set_content("{" + Quoted(id) + ":" + system + "}", JsonType);
}

}  // namespace Velmar::Services

#include "WorkbenchServer.hpp"

#include "FolderPath.hpp"
#include "LoopbackHosts.hpp"

#include <httplib.h>
#include <rapidjson/document.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <filesystem>
#include <fstream>

namespace Sim::Workbench {

namespace {

// With the charset named, the server does not compress: over loopback, brotli on a 50 000-wall model
// answer costs seconds and saves nothing.
constexpr const char* JsonType = "application/json; charset=utf-8";
constexpr auto LongestStateWait = std::chrono::seconds(25);
// Each waiting long poll and each bridge call held by a modal dialog keeps one thread.
constexpr std::size_t ServerThreads = 32;

// The page's requests are a few kilobytes; larger bodies are refused before they are read.
constexpr std::size_t LargestBody = 1 << 20;
// What reads a body further (the command table, the bridge's JavaScript values) recurses over it, so a body
// is refused past this depth before anything walks it.
constexpr unsigned DeepestBody = 64;

// A request's JSON body, which must be an object; throws BadRequest otherwise.
struct BadRequest {
    std::string message;
};

// Stops a parse once the text nests deeper than DeepestBody.
struct DepthCheck : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, DepthCheck> {
    unsigned depth = 0;
    bool tooDeep = false;

    bool Enter()
    {
        tooDeep = ++depth > DeepestBody;
        return !tooDeep;
    }
    bool StartObject() { return Enter(); }
    bool StartArray() { return Enter(); }
    bool EndObject(rapidjson::SizeType)
    {
        --depth;
        return true;
    }
    bool EndArray(rapidjson::SizeType)
    {
        --depth;
        return true;
    }
};

rapidjson::Document Body(const std::string& text)
{
    rapidjson::MemoryStream bytes(text.data(), text.size());
    DepthCheck check;
    rapidjson::Reader().Parse<rapidjson::kParseIterativeFlag>(bytes, check);
    if (check.tooDeep)
        throw BadRequest{"the body nests deeper than " + std::to_string(DeepestBody) + " levels"};
    rapidjson::Document body;
    body.Parse<rapidjson::kParseIterativeFlag>(text.c_str(), text.size());
    if (body.HasParseError() || !body.IsObject())
        throw BadRequest{"the body must be a JSON object"};
    return body;
}

rapidjson::Document Body(const httplib::Request& request)
{
    return Body(request.body);
}

int IntMember(const rapidjson::Document& body, const char* name)
{
    if (!body.HasMember(name) || !body[name].IsInt())
        throw BadRequest{std::string("\"") + name + "\" must be an integer"};
    return body[name].GetInt();
}

std::string StringMember(const rapidjson::Document& body, const char* name)
{
    if (!body.HasMember(name) || !body[name].IsString())
        throw BadRequest{std::string("\"") + name + "\" must be a text"};
    return std::string(body[name].GetString(), body[name].GetStringLength());
}

// A query parameter that counts (a version, a revision, an identity); 0 when absent.
std::uint64_t CountParam(const httplib::Request& request, const char* name)
{
    if (!request.has_param(name))
        return 0;
    const std::string text = request.get_param_value(name);
    // stoull takes a sign and leading blanks; a count is digits only.
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        throw BadRequest{std::string("\"") + name + "\" must be a count"};
    try {
        return std::stoull(text);
    } catch (const std::out_of_range&) {
        throw BadRequest{std::string("\"") + name + "\" must be a count"};
    }
}

using Handler = std::function<std::string(const httplib::Request&)>;

// An API route of the server on `port`: the handler's JSON answer; 400 for a malformed request.
httplib::Server::Handler ApiRoute(Handler handler, const std::string& pageOrigin, int port)
{
    return
        [handler = std::move(handler), pageOrigin, port](const httplib::Request& request, httplib::Response& response) {
            response.set_header("Cache-Control", "no-store");
            // Browsers name the page that sends a request; pages of other sites may not drive the host.
            const std::string origin = request.get_header_value("Origin");
            const std::string self = ":" + std::to_string(port);
            if (!origin.empty() && origin != pageOrigin && origin != "http://127.0.0.1" + self &&
                origin != "http://localhost" + self) {
                response.status = 403;
                response.set_content(ErrorAnswer("requests from " + origin + " are not taken"), JsonType);
                return;
            }
            // The add-on's pages come from the web application's origin; their text/plain calls need no preflight.
            if (origin == pageOrigin)
                response.set_header("Access-Control-Allow-Origin", pageOrigin);
            std::string answer;
            try {
                answer = handler(request);
            } catch (const BadRequest& error) {
                response.status = 400;
                answer = ErrorAnswer(error.message);
            }
            response.set_content(answer, JsonType);
        };
}

const char* ContentTypeOf(const std::string& name)
{
    const std::string extension = std::filesystem::path(name).extension().string();
    if (extension == ".js")
        return "text/javascript; charset=utf-8";
    if (extension == ".css")
        return "text/css; charset=utf-8";
    return "text/html; charset=utf-8";
}

}  // namespace

ScriptRequest ScriptRequestOf(const std::string& body, const std::vector<ProjectFolder>& folders)
{
    ScriptRequest request;
    try {
        rapidjson::Document command = Body(body);
        if (const auto refusal = HoldToProjectFolders(command, folders)) {
            request.refusal = *refusal;
            return request;
        }
        rapidjson::StringBuffer text;
        rapidjson::Writer<rapidjson::StringBuffer> writer(text);
        // A number just past the largest double reads as infinite, which the writer cannot put back.
        if (!command.Accept(writer))
            throw BadRequest{"the body holds a number too large to read"};
        request.command = text.GetString();
    } catch (const BadRequest& error) {
        request.status = 400;
        request.refusal = error.message;
    }
    return request;
}

WorkbenchServer::WorkbenchServer(std::string uiRoot)
    : uiRoot_(std::move(uiRoot)), server_(std::make_unique<httplib::Server>())
{
    // Headers and body go out as separate writes; waiting to merge them would delay every answer.
    server_->set_tcp_nodelay(true);
    // Stopping waits for idle kept-alive connections; a short wait keeps stopping quick.
    server_->set_keep_alive_timeout(1);
    server_->new_task_queue = [] { return new httplib::ThreadPool(ServerThreads); };
    server_->set_payload_max_length(LargestBody);
    // Every answer of 400 and above passes here; only the refused size has no words of its own yet.
    const httplib::Server::HandlerWithResponse tooLarge = [](const httplib::Request&, httplib::Response& response) {
        if (response.status != 413)
            return httplib::Server::HandlerResponse::Unhandled;
        response.set_content(ErrorAnswer("the body is larger than " + std::to_string(LargestBody) + " bytes"),
                             JsonType);
        return httplib::Server::HandlerResponse::Handled;
    };
    server_->set_error_handler(tooLarge);
}

WorkbenchServer::~WorkbenchServer()
{
    Stop();
}

std::optional<int> WorkbenchServer::Bind(int port)
{
    const int bound =
        port == 0 ? server_->bind_to_any_port("127.0.0.1") : (server_->bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0)
        return std::nullopt;
    port_ = bound;
    Velmar::Services::RefuseOtherHosts(*server_, bound);
    return bound;
}

void WorkbenchServer::Listen(Workbench& workbench, const std::string& pageOrigin)
{
    workbench_ = &workbench;
    pageOrigin_ = pageOrigin;
    AddRoutes();
    thread_ = std::thread([this] { server_->listen_after_bind(); });
}

void WorkbenchServer::Stop()
{
    server_->stop();
    if (thread_.joinable())
        thread_.join();
}

void WorkbenchServer::AddRoutes()
{
    const auto api = [this](Handler handler) { return ApiRoute(std::move(handler), pageOrigin_, port_); };

    // The page and its files: index.html at "/", the others by name.
    server_->Get(R"(/([A-Za-z0-9_-]+\.(?:html|js|css))?)",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     const std::string name = request.matches[1].length() > 0 ? request.matches[1].str() : "index.html";
                     const auto path = Velmar::Services::ResolveInFolder(uiRoot_, name);
                     std::error_code error;
                     std::ifstream file;
                     if (path && std::filesystem::is_regular_file(path.path, error))
                         file.open(path.path, std::ios::binary);
                     if (!file.is_open()) {
                         response.status = 404;
                         return;
                     }
                     const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
                     response.set_header("Cache-Control", "no-store");
                     response.set_content(bytes, ContentTypeOf(name));
                 });

    server_->Get("/api/state", api([this](const httplib::Request& request) {
                     return workbench_->State(CountParam(request, "since"), LongestStateWait);
                 }));
    server_->Post("/api/choose", api([this](const httplib::Request& request) {
                      const auto body = Body(request);
                      return workbench_->Choose(IntMember(body, "menu"), IntMember(body, "item"));
                  }));
    server_->Post("/api/window/resize", api([this](const httplib::Request& request) {
                      const auto body = Body(request);
                      return workbench_->ResizeWindow(IntMember(body, "window"), IntMember(body, "width"),
                                                      IntMember(body, "height"));
                  }));
    server_->Post("/api/window/close", api([this](const httplib::Request& request) {
                      return workbench_->CloseWindow(IntMember(Body(request), "window"));
                  }));
    server_->Post("/api/script", api([this](const httplib::Request& request) {
                      const ScriptRequest script = ScriptRequestOf(request.body, projectFolders_);
                      if (script.status != 200)
                          throw BadRequest{script.refusal};
                      return script.refusal.empty() ? workbench_->Script(script.command) : ErrorAnswer(script.refusal);
                  }));
    server_->Get("/api/projects", api([this](const httplib::Request&) { return ListProjects(projectFolders_); }));
    server_->Post("/api/progress/cancel", api([this](const httplib::Request&) { return workbench_->CancelProcess(); }));
    server_->Get("/api/model", api([this](const httplib::Request& request) {
                     return workbench_->Model(CountParam(request, "identity"), CountParam(request, "since"));
                 }));

    server_->Post("/api/call", api([this](const httplib::Request& request) {
                      const auto body = Body(request);
                      std::optional<std::string> argument;
                      if (body.HasMember("arg")) {
                          rapidjson::StringBuffer text;
                          rapidjson::Writer<rapidjson::StringBuffer> writer(text);
                          body["arg"].Accept(writer);
                          argument = text.GetString();
                      }
                      return workbench_->Call(IntMember(body, "window"), StringMember(body, "fn"), argument);
                  }));
}

}  // namespace Sim::Workbench

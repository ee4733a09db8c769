#include "WebAppServer.hpp"

#include "FolderPath.hpp"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace Velmar::Services {

namespace {

namespace fs = std::filesystem;

struct ContentType {
    const char* extension;
    const char* type;
};
// ES modules load only with a JavaScript type.
constexpr ContentType ContentTypes[] = {
    {".html", "text/html; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".json", "application/json"},
    {".svg", "image/svg+xml"},
    {".png", "image/png"},
    {".ico", "image/x-icon"},
};

const char* ContentTypeOf(const fs::path& file)
{
    const std::string extension = file.extension().string();
    for (const auto& entry : ContentTypes) {
        if (extension == entry.extension)
            return entry.type;
    }
    return "application/octet-stream";
}

// The file a request path names below the root: "/lod" is lod.html, "/css/pages.css" the file itself.
// Paths that leave the root (FolderPath.hpp) name nothing.
std::optional<fs::path> FileFor(const std::string& root, const std::string& path)
{
    if (path.empty() || path[0] != '/' || path.find('\\') != std::string::npos)
        return std::nullopt;
    const std::string relative = path.substr(1);
    std::error_code error;
    if (!fs::path(relative).has_extension()) {
        const FolderPath page = ResolveInFolder(root, relative + ".html");
        if (page && fs::is_regular_file(page.path, error))
            return page.path;
    }
    const FolderPath file = ResolveInFolder(root, relative);
    if (file && fs::is_regular_file(file.path, error))
        return file.path;
    return std::nullopt;
}

// The addresses of the brand's product selector, one per country and language, all the one page; it reads
// its language from the address.
constexpr const char* SelectorPaths[] = {"/be/nl/systemen", "/be/fr/systemes", "/nl/nl/systemen", "/int/en/systems"};
constexpr const char* SelectorPage = "/selector.html";
constexpr const char* CatalogPrefix = "/catalog/";

bool IsSelectorPath(std::string path)
{
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return std::find(std::begin(SelectorPaths), std::end(SelectorPaths), path) != std::end(SelectorPaths);
}

// A catalog file: index.json or <system id>.json straight in the folder, nothing else.
std::optional<fs::path> CatalogFileFor(const std::string& folder, const std::string& path)
{
    if (folder.empty() || path.rfind(CatalogPrefix, 0) != 0)
        return std::nullopt;
    const std::string name = path.substr(std::char_traits<char>::length(CatalogPrefix));
    const bool plain = std::all_of(name.begin(), name.end(),
                                   [](unsigned char c) { return std::isalnum(c) || c == '-' || c == '_' || c == '.'; });
    if (!plain || name.empty() || name[0] == '.' || fs::path(name).extension() != ".json")
        return std::nullopt;
    const FolderPath file = ResolveInFolder(folder, name);
    std::error_code error;
    if (!file || !fs::is_regular_file(file.path, error))
        return std::nullopt;
    return file.path;
}

std::string HtmlAttribute(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::optional<std::string> ReadFile(const fs::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (stream.bad())
        return std::nullopt;
    return bytes;
}

}  // namespace

WebAppServer::WebAppServer(std::string root, std::string headHtml)
    : root_(std::move(root)), headHtml_(std::move(headHtml))
{
    server_.Http().Get(
        ".*", [this](const httplib::Request& request, httplib::Response& response) { Serve(request, response); });
}

WebAppServer::~WebAppServer()
{
    Stop();
}

std::optional<int> WebAppServer::Start(int port)
{
    return server_.Start(port);
}

void WebAppServer::Stop()
{
    server_.Stop();
}

void WebAppServer::SetRelayAddress(std::string address)
{
    relayAddress_ = std::move(address);
}

void WebAppServer::SetCatalogFolder(std::string folder)
{
    catalogFolder_ = std::move(folder);
}

std::string WebAppServer::WithHead(const std::string& html, const std::string& headHtml)
{
    std::string lower(html.size(), '\0');
    std::transform(html.begin(), html.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::size_t head = lower.find("<head");
    // "<header" is no head tag.
    while (head != std::string::npos && head + 5 < lower.size() &&
           std::isalpha(static_cast<unsigned char>(lower[head + 5])))
        head = lower.find("<head", head + 5);
    const std::size_t end = head == std::string::npos ? std::string::npos : lower.find('>', head);
    if (end == std::string::npos)
        return headHtml + html;
    return html.substr(0, end + 1) + headHtml + html.substr(end + 1);
}

void WebAppServer::Serve(const httplib::Request& request, httplib::Response& response) const
{
    // The pages change while someone works on them; a stale copy helps nobody here.
    response.set_header("Cache-Control", "no-store");
    const bool selector = IsSelectorPath(request.path) || request.path == "/selector" || request.path == SelectorPage;
    const bool catalog = request.path.rfind(CatalogPrefix, 0) == 0;
    const auto file =
        catalog ? CatalogFileFor(catalogFolder_, request.path) : FileFor(root_, selector ? SelectorPage : request.path);
    const auto bytes = file ? ReadFile(*file) : std::nullopt;
    if (!bytes) {
        response.status = 404;
        response.set_content("<!doctype html><title>Not found</title><p>No page at this address.</p>",
                             "text/html; charset=utf-8");
        return;
    }
    const char* type = ContentTypeOf(*file);
    const bool page = file->extension() == ".html";
    // The selector is no page of the host's windows: it runs in the user's own browser, without the bridge,
    // and learns where the relay is from the server.
    if (selector)
        return response.set_content(
            WithHead(*bytes, "<meta name=\"velmar-relay\" content=\"" + HtmlAttribute(relayAddress_) + "\">"), type);
    response.set_content(page && !headHtml_.empty() ? WithHead(*bytes, headHtml_) : *bytes, type);
}

}  // namespace Velmar::Services

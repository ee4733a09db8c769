#include "HTTPHost.hpp"

#include "HostText.hpp"
#include "URI.hpp"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace HTTP {

namespace {
std::once_flag initOnce;
GSErrCode initResult = ErrIO;
bool initialized = false;

std::mutex routesMutex;
std::map<std::string, std::string> routes;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsLoopbackIPv4(const std::string& host)
{
    unsigned parts[4] = {};
    int count = 0;
    size_t digits = 0;
    for (char c : host) {
        if (c == '.') {
            if (digits == 0 || ++count > 3)
                return false;
            digits = 0;
        } else if (std::isdigit(static_cast<unsigned char>(c)) && digits < 3) {
            parts[count] = parts[count] * 10 + static_cast<unsigned>(c - '0');
            ++digits;
        } else {
            return false;
        }
    }
    return count == 3 && digits > 0 && parts[0] == 127 && parts[1] < 256 && parts[2] < 256 && parts[3] < 256;
}
}  // namespace

GSErrCode InitializeHostLibrary()
{
    std::call_once(initOnce, [] {
        initResult = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK ? NoError : ErrIO;
        initialized = initResult == NoError;
    });
    return initResult;
}

bool IsHostLibraryInitialized()
{
    std::call_once(initOnce, [] {});  // only orders this read after a finished initialisation
    return initialized;
}

bool IsLoopbackHost(const std::string& host)
{
    const std::string lower = Lower(host);
    return lower == "localhost" || lower == "::1" || IsLoopbackIPv4(lower);
}

GSErrCode SetRoute(const std::string& host, const std::string& base)
{
    const IO::URI::URI baseUri{HostText::Uni(base)};
    if (host.empty() || !baseUri.IsValid() || !IsLoopbackHost(baseUri.GetHost()) ||
        (baseUri.GetScheme() != "http" && baseUri.GetScheme() != "https"))
        return ErrParam;
    std::string trimmed = base;
    while (!trimmed.empty() && trimmed.back() == '/')
        trimmed.pop_back();
    std::lock_guard<std::mutex> lock(routesMutex);
    routes[Lower(host)] = trimmed;
    return NoError;
}

void ClearRoutes()
{
    std::lock_guard<std::mutex> lock(routesMutex);
    routes.clear();
}

std::string ApplyRoute(const std::string& utf8Url)
{
    const IO::URI::URI uri{HostText::Uni(utf8Url)};
    if (!uri.IsValid() || uri.GetScheme() != "https")
        return utf8Url;
    std::lock_guard<std::mutex> lock(routesMutex);
    const auto found = routes.find(uri.GetHost());
    if (found == routes.end())
        return utf8Url;
    return found->second + uri.GetPathAndQuery();
}

}  // namespace HTTP

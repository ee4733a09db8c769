#include "LoopbackHosts.hpp"

#include <httplib.h>

#include <algorithm>
#include <cctype>

namespace Velmar::Services {

bool IsLoopbackHost(const std::string& host, int port)
{
    std::string lower(host.size(), '\0');
    std::transform(host.begin(), host.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string suffix = ":" + std::to_string(port);
    return lower == "127.0.0.1" + suffix || lower == "localhost" + suffix || lower == "[::1]" + suffix;
}

void RefuseOtherHosts(httplib::Server& server, int port)
{
    server.set_pre_routing_handler([port](const httplib::Request& request, httplib::Response& response) {
        if (IsLoopbackHost(request.get_header_value("Host"), port))
            return httplib::Server::HandlerResponse::Unhandled;
        response.status = 403;
        // The body of a refused request is never read, so the connection cannot serve another one.
        response.set_header("Connection", "close");
        response.set_content("This server answers only requests addressed to 127.0.0.1:" + std::to_string(port) +
                                 ", localhost:" + std::to_string(port) + " or [::1]:" + std::to_string(port) + ".\n",
                             "text/plain; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
    });
}

}  // namespace Velmar::Services

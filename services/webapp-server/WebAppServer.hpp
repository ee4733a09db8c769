// The stand-in for the brand's production web application: serves the pages under services/webapp/ on a
// loopback port, where a test network maps the production address.
#pragma once

#include "LoopbackServer.hpp"

#include <memory>
#include <optional>
#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace Velmar::Services {

class WebAppServer {
public:
    // `root` is the folder of the pages; `headHtml` goes first into the head of every page served, as a
    // browser control adds its own scripts before the page's (empty: pages are served as they are).
    explicit WebAppServer(std::string root, std::string headHtml = {});
    ~WebAppServer();
    WebAppServer(const WebAppServer&) = delete;
    WebAppServer& operator=(const WebAppServer&) = delete;

    // Listens on 127.0.0.1:`port` (0: a free port) on a thread of its own; answers the port, or nothing when
    // the port cannot be had.
    std::optional<int> Start(int port);
    void Stop();

    // The relay address the brand's product selector page sends picks to; set before Start.
    void SetRelayAddress(std::string address);
    // The folder of the system catalog (index.json and one <ID>.json per system) served under /catalog/;
    // set before Start. Empty: /catalog/ answers 404.
    void SetCatalogFolder(std::string folder);

    // The page's HTML with `headHtml` put right after its <head> tag (before everything when it has none).
    static std::string WithHead(const std::string& html, const std::string& headHtml);

private:
    void Serve(const httplib::Request& request, httplib::Response& response) const;

    std::string root_;
    std::string headHtml_;
    std::string relayAddress_ = "https://relay.velmar.example/Relay";
    std::string catalogFolder_;
    LoopbackServer server_;
};

}  // namespace Velmar::Services

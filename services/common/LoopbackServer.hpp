// An HTTP server on a loopback port, served from a thread of its own until stopped: what every stand-in
// service runs on.
#pragma once

#include <memory>
#include <optional>
#include <thread>

namespace httplib {
class Server;
}  // namespace httplib

namespace Velmar::Services {

class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // For registering the routes, before Start.
    httplib::Server& Http() { return *server_; }
    // Listens on 127.0.0.1:port (0: a free port) for requests addressed to that port by a loopback name
    // (LoopbackHosts.hpp); the port it listens on, none when it cannot bind.
    std::optional<int> Start(int port);
    void Stop();

private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
};

}  // namespace Velmar::Services

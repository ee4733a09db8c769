#include "LoopbackServer.hpp"

#include "LoopbackHosts.hpp"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace Velmar::Services {

LoopbackServer::LoopbackServer() : server_(std::make_unique<httplib::Server>())
{
    // Without it every small answer waits for the peer's delayed acknowledgement.
    server_->set_tcp_nodelay(true);
    // Stopping waits for idle kept-alive connections; a short wait keeps stopping quick.
    server_->set_keep_alive_timeout(1);
}

LoopbackServer::~LoopbackServer()
{
    Stop();
}

std::optional<int> LoopbackServer::Start(int port)
{
    const int bound =
        port == 0 ? server_->bind_to_any_port("127.0.0.1") : (server_->bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0)
        return std::nullopt;
    RefuseOtherHosts(*server_, bound);
    auto ended = std::make_shared<std::atomic<bool>>(false);
    thread_ = std::thread([this, ended] {
        server_->listen_after_bind();
        *ended = true;
    });
    // A stop that comes before the listening loop runs is lost, and the join in Stop never returns.
    while (!server_->is_running() && !*ended)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void LoopbackServer::Stop()
{
    server_->stop();
    if (thread_.joinable())
        thread_.join();
}

}  // namespace Velmar::Services

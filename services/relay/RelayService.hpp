// The stand-in for the relay service between the brand pages and the add-on: the add-on registers a channel
// and polls it; a page sends a product id to the channel and reads back the add-on's acknowledgement.
#pragma once

#include "LoopbackServer.hpp"

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace Velmar::Services {

class RelayService {
public:
    struct Limits {
        std::size_t channels = 64;
        std::size_t messagesPerChannel = 100;  // waiting messages; kept answers are bounded the same
        std::size_t payloadBytes = 64 * 1024;
    };

    explicit RelayService(Limits limits);
    RelayService() : RelayService(Limits{}) {}
    ~RelayService();
    RelayService(const RelayService&) = delete;
    RelayService& operator=(const RelayService&) = delete;

    // Listens on 127.0.0.1:`port` (0: a free port) on a thread of its own; answers the port, or nothing when
    // the port cannot be had.
    std::optional<int> Start(int port);
    void Stop();

private:
    struct Message {
        std::string dataKey;
        std::string payload;
    };
    struct Channel {
        std::deque<Message> waiting;                 // oldest first
        std::deque<std::string> answerOrder;         // dataKeys of `answers`, oldest first
        std::map<std::string, std::string> answers;  // dataKey -> the add-on's answer as JSON
    };

    void Register(const httplib::Request& request, httplib::Response& response);
    void Poll(const httplib::Request& request, httplib::Response& response);
    void Acknowledge(const httplib::Request& request, httplib::Response& response);
    void Send(const httplib::Request& request, httplib::Response& response);
    void Answer(const httplib::Request& request, httplib::Response& response);
    std::string NewDataKey();

    const Limits limits_;
    std::mutex mutex_;
    std::map<std::string, Channel> channels_;
    std::mt19937_64 random_;
    LoopbackServer server_;
};

}  // namespace Velmar::Services

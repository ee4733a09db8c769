// A loopback HTTP server for wire-format tests: every request is recorded as it arrived, and a test
// decides each answer.
#pragma once

#include <httplib.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Velmar::Testing {

struct RecordedRequest {
    std::string method;
    std::string target;  // path and query exactly as sent
    std::string body;
    std::vector<std::string> userAgents;
    std::uint64_t mark = 0;  // what the test's marker answered when the request arrived
};

class RecordingServer {
public:
    using Answer = std::function<void(const httplib::Request&, httplib::Response&)>;

    // `answer` runs on the server's threads; `marker` (optional) stamps each request.
    explicit RecordingServer(Answer answer, std::function<std::uint64_t()> marker = {}, int port = 0)
        : answer_(std::move(answer)), marker_(std::move(marker))
    {
        const auto handle = [this](const httplib::Request& request, httplib::Response& response) {
            RecordedRequest recorded{request.method, request.target, request.body, {}, marker_ ? marker_() : 0};
            for (std::size_t i = 0; i < request.get_header_value_count("User-Agent"); ++i)
                recorded.userAgents.push_back(request.get_header_value("User-Agent", i));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(recorded);
            }
            answer_(request, response);
        };
        server_.Get(".*", handle);
        server_.Post(".*", handle);
        port_ =
            port == 0 ? server_.bind_to_any_port("127.0.0.1") : (server_.bind_to_port("127.0.0.1", port) ? port : -1);
        if (port_ > 0) {
            thread_ = std::thread([this] { server_.listen_after_bind(); });
            while (!server_.is_running())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    ~RecordingServer()
    {
        server_.stop();
        if (thread_.joinable())
            thread_.join();
    }

    int Port() const { return port_; }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

    std::vector<RecordedRequest> Requests()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // Waits (up to `limit`) until `count` requests arrived; answers the requests then.
    std::vector<RecordedRequest> WaitFor(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (Requests().size() < count && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return Requests();
    }

private:
    Answer answer_;
    std::function<std::uint64_t()> marker_;
    httplib::Server server_;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
    int port_ = -1;
};

}  // namespace Velmar::Testing

// The stand-in for the product-data platform: short-lived tokens, and the catalog's systems by id behind
// them. Faults can be set for the next answers so the add-on's failure paths can be reached.
#pragma once

#include "LoopbackServer.hpp"

#include <chrono>
#include <functional>
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

class ProductPlatform {
public:
    using Clock = std::chrono::steady_clock;

    struct Options {
        std::string catalogDir;  // one <system>.json per system; index.json is skipped
        std::chrono::milliseconds tokenLifetime = std::chrono::minutes(10);
        std::function<Clock::time_point()> now = [] { return Clock::now(); };  // tests move time on without waiting
    };

    // What the next `times` answers to OPSYS requests do instead of (or before) answering properly.
    struct Fault {
        int status = 0;        // answer this status (0: answer normally after the delay)
        int delayMs = 0;       // wait this long first
        bool garbage = false;  // answer 200 with a body that is no JSON
        int times = 1;
    };

    // Loads every system of the catalog; throws std::runtime_error naming the file that cannot be read.
    explicit ProductPlatform(Options options);
    ~ProductPlatform();
    ProductPlatform(const ProductPlatform&) = delete;
    ProductPlatform& operator=(const ProductPlatform&) = delete;

    std::optional<int> Start(int port);
    void Stop();

    void SetFault(const Fault& fault);
    std::size_t SystemCount() const;

    // A new version of a system, as the brand publishes one: a later "TimeStamp" (the time now, or a second
    // past the last one when that is not earlier) and the given attributes of the system's own sections
    // set to a value (in every language; decimal commas where the platform writes them). Answers the new
    // time stamp, or throws std::invalid_argument naming an unknown system or attribute (nothing changes).
    std::string Publish(const std::string& id, const std::map<std::string, std::string>& values);
    // {"ID":"TimeStamp",...} of every system.
    std::map<std::string, std::string> TimeStamps() const;

private:
    void Serve(const httplib::Request& request, httplib::Response& response);
    void SetFaultRoute(const httplib::Request& request, httplib::Response& response);
    void PublishRoute(const httplib::Request& request, httplib::Response& response);
    std::optional<Fault> TakeFault();
    std::string NewToken();
    bool TokenValid(const std::string& token);

    const Options options_;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> systems_;       // id -> the system object as JSON text, guarded by mutex_
    std::map<std::string, Clock::time_point> tokens_;  // token -> expiry
    std::optional<Fault> fault_;
    std::mt19937_64 random_;
    LoopbackServer server_;
};

}  // namespace Velmar::Services

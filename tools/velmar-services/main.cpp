// velmar-services: the production hosts' stand-ins (the relay service, the product-data platform and the
// web application with the product selector) on loopback ports, until SIGINT or SIGTERM. Prints
// {"relay":<port>,"platform":<port>,"web":<port>} once all listen, so scripts can route to them.
#include "StandInServices.hpp"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

constexpr const char* Usage =
    "usage: velmar-services [--relay-port N] [--platform-port N] [--web-port N] [--catalog DIR] [--webapp DIR]\n"
    "                       [--token-seconds S]\n"
    "  ports: 0 (the default) picks a free one\n";

bool ParseNumber(const char* text, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= 0;
}

bool ParsePort(const char* text, int& port)
{
    long value = 0;
    if (!ParseNumber(text, value) || value > 65535)
        return false;
    port = static_cast<int>(value);
    return true;
}

// The port of a "http://127.0.0.1:PORT" base.
std::string PortOf(const std::string& base)
{
    return base.substr(base.rfind(':') + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    using Velmar::Services::StandInServices;
    StandInServices::Options options = StandInServices::Options::Defaults();
    for (int i = 1; i < argc; i += 2) {  // options come in name-value pairs
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long seconds = 0;
        bool ok = value != nullptr;
        if (ok && option == "--relay-port") {
            ok = ParsePort(value, options.relayPort);
        } else if (ok && option == "--platform-port") {
            ok = ParsePort(value, options.platformPort);
        } else if (ok && option == "--web-port") {
            ok = ParsePort(value, options.webAppPort);
        } else if (ok && option == "--token-seconds") {
            ok = ParseNumber(value, seconds) && seconds > 0;
            options.tokenLifetime = std::chrono::seconds(seconds);
        } else if (ok && option == "--catalog") {
            options.catalogDir = value;
        } else if (ok && option == "--webapp") {
            options.webAppDir = value;
        } else {
            ok = false;
        }
        if (!ok) {
            std::cerr << Usage;
            return 2;
        }
    }

    // Blocked before the server threads start, so they inherit the mask and only sigwait sees the signals.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    StandInServices standIns(options);
    StandInServices::Routes routes;
    if (std::string error; !standIns.Start(routes, error)) {
        std::cerr << "velmar-services: " << error << "\n";
        return 1;
    }
    std::cout << "{\"relay\":" << PortOf(routes[StandInServices::RelayHost])
              << ",\"platform\":" << PortOf(routes[StandInServices::PlatformHosts[0]])
              << ",\"web\":" << PortOf(routes[StandInServices::WebApplicationHost]) << "}" << std::endl;
    int received = 0;
    sigwait(&signals, &received);
    return 0;
}

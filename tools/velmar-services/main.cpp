// velmar-services: the relay service and the product-data platform stand-ins on loopback ports, until
// SIGINT or SIGTERM. Prints {"relay":<port>,"platform":<port>} once both listen, so scripts can read them.
#include "ProductPlatform.hpp"
#include "RelayService.hpp"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

namespace {

constexpr const char* Usage =
    "usage: velmar-services [--relay-port N] [--platform-port N] [--catalog DIR] [--token-seconds S]\n"
    "  ports: 0 (the default) picks a free one\n";

bool ParseNumber(const char* text, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= 0;
}

}  // namespace

int main(int argc, char** argv)
{
    long relayPort = 0, platformPort = 0, tokenSeconds = 600;
    std::string catalog = VELMAR_CATALOG_DIR;
    for (int i = 1; i < argc; i += 2) {  // options come in name-value pairs
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = value != nullptr;
        if (ok && option == "--relay-port")
            ok = ParseNumber(value, relayPort) && relayPort <= 65535;
        else if (ok && option == "--platform-port")
            ok = ParseNumber(value, platformPort) && platformPort <= 65535;
        else if (ok && option == "--token-seconds")
            ok = ParseNumber(value, tokenSeconds) && tokenSeconds > 0;
        else if (ok && option == "--catalog")
            catalog = value;
        else
            ok = false;
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

    try {
        Velmar::Services::ProductPlatform::Options options;
        options.catalogDir = catalog;
        options.tokenLifetime = std::chrono::seconds(tokenSeconds);
        Velmar::Services::ProductPlatform platform(options);
        Velmar::Services::RelayService relay;
        const auto relayBound = relay.Start(static_cast<int>(relayPort));
        if (!relayBound) {
            std::cerr << "velmar-services: cannot listen on relay port " << relayPort << "\n";
            return 1;
        }
        const auto platformBound = platform.Start(static_cast<int>(platformPort));
        if (!platformBound) {
            std::cerr << "velmar-services: cannot listen on platform port " << platformPort << "\n";
            return 1;
        }
        std::cout << "{\"relay\":" << *relayBound << ",\"platform\":" << *platformBound << "}" << std::endl;
        int received = 0;
        sigwait(&signals, &received);
    } catch (const std::exception& error) {
        std::cerr << "velmar-services: " << error.what() << "\n";
        return 1;
    }
    return 0;
}

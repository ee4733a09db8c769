// The stand-ins for the brand's and the platform's production hosts, in this process: the web application
// (with the product selector), the relay service and the product-data platform, each on a loopback port.
// Hosts that already have a route are left to whatever that route names.
#pragma once

#include "ProductPlatform.hpp"
#include "RelayService.hpp"
#include "WebAppServer.hpp"

#include <chrono>
#include <map>
#include <memory>
#include <string>

namespace Velmar::Services {

class StandInServices {
public:
    struct Options {
        std::string webAppDir;
        std::string catalogDir;
        std::string headHtml;  // what a browser control adds to every page of the web application
        int relayPort = 0;     // each 0: a free one
        int platformPort = 0;
        int webAppPort = 0;
        std::chrono::milliseconds tokenLifetime = std::chrono::minutes(10);

        // The pages and the sample catalog of this source tree.
        static Options Defaults();
    };
    // Production host -> local base ("http://127.0.0.1:PORT").
    using Routes = std::map<std::string, std::string>;

    explicit StandInServices(Options options);
    ~StandInServices();

    // Starts the stand-ins the hosts without a route in `routes` need and adds their routes; false (with
    // `error`) when a port could not be had.
    bool Start(Routes& routes, std::string& error);
    void Stop();

    // The stand-ins started, or null.
    RelayService* Relay() { return relay_.get(); }
    ProductPlatform* Platform() { return platform_.get(); }

    static constexpr const char* WebApplicationHost = "app.velmar.example";
    static constexpr const char* SelectorHost = "selector.velmar.example";
    static constexpr const char* RelayHost = "relay.velmar.example";
    static constexpr const char* PlatformHosts[] = {"auth.corvana.example", "api.corvana.example"};

private:
    Options options_;
    std::unique_ptr<RelayService> relay_;
    std::unique_ptr<ProductPlatform> platform_;
    std::unique_ptr<WebAppServer> webApp_;
};

}  // namespace Velmar::Services

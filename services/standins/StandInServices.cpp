#include "StandInServices.hpp"

namespace Velmar::Services {

namespace {

std::string Loopback(int port)
{
    return "http://127.0.0.1:" + std::to_string(port);
}

}  // namespace

StandInServices::Options StandInServices::Options::Defaults()
{
    Options options;
    options.webAppDir = VELMAR_WEBAPP_DIR;
    options.catalogDir = VELMAR_CATALOG_DIR;
    return options;
}

StandInServices::StandInServices(Options options) : options_(std::move(options)) {}

StandInServices::~StandInServices()
{
    Stop();
}

bool StandInServices::Start(Routes& routes, std::string& error)
{
    // The relay first: the selector page must be told where it is.
    if (routes.count(RelayHost) == 0) {
        relay_ = std::make_unique<RelayService>();
        const auto port = relay_->Start(options_.relayPort);
        if (!port) {
            error = "the relay stand-in cannot listen on port " + std::to_string(options_.relayPort);
            return false;
        }
        routes[RelayHost] = Loopback(*port);
    }
    const bool platformRouted = routes.count(PlatformHosts[0]) != 0 && routes.count(PlatformHosts[1]) != 0;
    if (!platformRouted) {
        ProductPlatform::Options platformOptions;
        platformOptions.catalogDir = options_.catalogDir;
        platformOptions.tokenLifetime = options_.tokenLifetime;
        try {
            platform_ = std::make_unique<ProductPlatform>(platformOptions);
        } catch (const std::exception& failure) {  // the catalog folder cannot be read
            error = failure.what();
            return false;
        }
        const auto port = platform_->Start(options_.platformPort);
        if (!port) {
            error = "the platform stand-in cannot listen on port " + std::to_string(options_.platformPort);
            return false;
        }
        for (const char* host : PlatformHosts)
            routes.emplace(host, Loopback(*port));
    }
    if (routes.count(WebApplicationHost) == 0 || routes.count(SelectorHost) == 0) {
        webApp_ = std::make_unique<WebAppServer>(options_.webAppDir, options_.headHtml);
        webApp_->SetRelayAddress(routes[RelayHost] + "/Relay");
        webApp_->SetCatalogFolder(options_.catalogDir);
        const auto port = webApp_->Start(options_.webAppPort);
        if (!port) {
            error = "the web application stand-in cannot listen on port " + std::to_string(options_.webAppPort);
            return false;
        }
        routes.emplace(WebApplicationHost, Loopback(*port));
        routes.emplace(SelectorHost, Loopback(*port));
    }
    return true;
}

void StandInServices::Stop()
{
    if (webApp_)
        webApp_->Stop();
    if (platform_)
        platform_->Stop();
    if (relay_)
        relay_->Stop();
}

}  // namespace Velmar::Services

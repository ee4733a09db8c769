// Fixed production addresses of the brand's services, compiled into the module.
#pragma once

namespace brixlab::xdWebEngine {

constexpr const char* WebApplicationBase = "https://app.velmar.example";
constexpr const char* RelayServiceAddress = "https://relay.velmar.example/Relay";

}  // namespace brixlab::xdWebEngine

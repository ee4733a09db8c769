// Host-side set-up of the HTTP library: the one-time libcurl initialisation and the routing table
// that sends requests for a production host to a local stand-in. The add-on module calls neither.
#pragma once

#include "Definitions.hpp"

#include <string>

namespace HTTP {

// Initialises libcurl once for the process. The host calls it at start, before any thread that may
// open a connection exists (curl_global_init is not thread-safe); it is deliberately not a static
// initialiser so the order is explicit. Later calls return the first result. Connections opened
// before it fail with an error.
GSErrCode InitializeHostLibrary();
bool IsHostLibraryInitialized();

// Routes "https://HOST/..." to "BASE/..." (BASE like "http://127.0.0.1:8080", loopback only).
// Process-wide and thread-safe; a later call for the same host replaces the earlier one.
// Returns ErrParam (and changes nothing) for an empty host or a base that is not loopback http(s).
GSErrCode SetRoute(const std::string& host, const std::string& base);
void ClearRoutes();

// The address a request for utf8Url really goes to: routed when its scheme is https and its host
// has a route, unchanged otherwise.
std::string ApplyRoute(const std::string& utf8Url);

// 127.0.0.0/8, ::1 and localhost (case-insensitive): the only hosts plain http may reach.
bool IsLoopbackHost(const std::string& host);

}  // namespace HTTP

// The one check every loopback server of this tree makes before it routes a request: the Host header must
// name the server by a loopback name. A page of another site whose name was made to resolve to 127.0.0.1
// (DNS rebinding) sends its own name there, so it reads nothing, GET included.
#pragma once

#include <string>

namespace httplib {
class Server;
}  // namespace httplib

namespace Velmar::Services {

// Whether `host` is 127.0.0.1:port, localhost:port or [::1]:port (names compared without case).
bool IsLoopbackHost(const std::string& host, int port);

// Answers 403 to every request on `server` whose Host is not a loopback name of `port`; once per server,
// after it is bound.
void RefuseOtherHosts(httplib::Server& server, int port);

}  // namespace Velmar::Services

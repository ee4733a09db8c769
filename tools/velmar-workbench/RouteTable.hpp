// Where the workbench's browser finds what the add-on addresses at fixed production addresses: each routed
// host's https:// addresses go to a local base instead, as on a test network.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace Sim::Workbench {

class RouteTable {
public:
    // `host` as in "app.velmar.example"; `localBase` as in "http://127.0.0.1:8181" (no trailing slash).
    void Add(const std::string& host, const std::string& localBase);
    // Reads "HOST=http://127.0.0.1:PORT"; false when the text is not of that form.
    bool AddFromOption(const std::string& option);

    // The local address of an https:// address of a routed host (same path, query and fragment); nothing
    // for any other address.
    std::optional<std::string> LocalAddress(const std::string& address) const;
    bool Routes(const std::string& host) const;
    // Routed host -> local base.
    const std::map<std::string, std::string>& Bases() const { return bases_; }

private:
    std::map<std::string, std::string> bases_;
};

}  // namespace Sim::Workbench

// Every error a host call answered reaches the add-on's own log, where an architect's support finds it,
// as one line per operation and error for each step or call from the host, never one per element.
#pragma once

#include "UniString.hpp"

namespace Velmar {

// Writes what the host refused since the last such write, each line beginning with `where`.
void LogHostRefusals(const GS::UniString& where) noexcept;

// Writes them when the scope ends, however it ends: a call from the host, a step.
class HostRefusalsLogged {
public:
    explicit HostRefusalsLogged(GS::UniString where) : where_(std::move(where)) {}
    ~HostRefusalsLogged() { LogHostRefusals(where_); }
    HostRefusalsLogged(const HostRefusalsLogged&) = delete;
    HostRefusalsLogged& operator=(const HostRefusalsLogged&) = delete;

private:
    GS::UniString where_;
};

}  // namespace Velmar

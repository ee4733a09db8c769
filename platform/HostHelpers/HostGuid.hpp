// A new GS::Guid in one expression for the host side (the simulated host, tools, tests and benchmarks).
// Not part of the kit, whose Guid::Generate fills a GUID and answers an error code.
#pragma once

#include "Guid.hpp"

#include <stdexcept>
#include <string>

namespace HostGuid {

inline GS::Guid New()
{
    GS::Guid guid;
    if (const GSErrCode err = guid.Generate(); err != NoError)
        throw std::runtime_error("no GUID could be generated (" + std::to_string(err) + ")");
    return guid;
}

}  // namespace HostGuid

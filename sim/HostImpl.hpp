// The host's implementation of each operation of the table, one file per area; HostFunctions.cpp wraps
// them with fault injection and builds the table the add-on receives.
#pragma once

#include "Archicad.hpp"

#include <cstring>

namespace Sim {

inline Archicad& Host()
{
    return Archicad::Current();
}

// Changes of elements, attributes, properties and classifications are refused outside a command.
inline bool OutsideCommand()
{
    return !Host().InCommand();
}

// User data and module data leave the host as a new handle the caller frees, and come in as a copy.
template <typename Record>
GSErrCode HandOut(const UserData& data, Record* record)
{
    record->dataVersion = data.version;
    record->platformSign = data.platformSign;
    record->dataHdl = BMAllocateHandle(static_cast<Int32>(data.bytes.size()), 0, 0);
    if (record->dataHdl == nullptr)
        return APIERR_MEMFULL;
    std::memcpy(*record->dataHdl, data.bytes.data(), data.bytes.size());
    return NoError;
}

template <typename Record>
UserData TakeIn(const Record& record)
{
    const Int32 size = BMGetHandleSize(record.dataHdl);
    return UserData{record.dataVersion, record.platformSign,
                    size > 0 ? std::string(*record.dataHdl, static_cast<std::size_t>(size)) : std::string()};
}

namespace Impl {
#define SIM_DECLARE_OPERATION(name, ret, params, args) ret name params;
API_HOST_OPERATIONS(SIM_DECLARE_OPERATION)
#undef SIM_DECLARE_OPERATION
}  // namespace Impl

}  // namespace Sim

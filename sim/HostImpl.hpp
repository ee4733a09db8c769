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

// The part of the selection an element is picked by: the kit names a slab's a ceiling's.
inline API_NeigID NeigOf(API_ElemTypeID type)
{
    switch (type) {
        case API_WallID:
            return APINeig_Wall;
        case API_SlabID:
            return APINeig_Ceil;
        case API_ColumnID:
            return APINeig_Colu;
        case API_BeamID:
            return APINeig_Beam;
        case API_WindowID:
            return APINeig_Wind;
        case API_DoorID:
            return APINeig_Door;
        default:
            return APINeig_None;
    }
}

// User data and module data leave the host as a new handle the caller frees, and come in as a copy. Only a
// read that succeeds writes the record: on a failed one the caller's fields stay as the caller left them, as
// in the kit, so a module that takes the handle of a failed read takes whatever it had there.
template <typename Record>
GSErrCode HandOut(const UserData& data, Record* record)
{
    GSHandle handle = BMAllocateHandle(static_cast<Int32>(data.bytes.size()), 0, 0);
    if (handle == nullptr)
        return APIERR_MEMFULL;
    std::memcpy(*handle, data.bytes.data(), data.bytes.size());
    record->dataVersion = static_cast<decltype(record->dataVersion)>(data.version);
    record->platformSign = data.platformSign;
    record->dataHdl = handle;
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

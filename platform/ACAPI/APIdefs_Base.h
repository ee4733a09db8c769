// The Archicad API's basic records: GUIDs, coordinates and colours, in the host's units (metres,
// radians, colour components 0..1).
#pragma once

#include "Array.hpp"
#include "BM.hpp"
#include "Definitions.hpp"
#include "Guid.hpp"
#include "RS.hpp"
#include "UniString.hpp"

#include <array>
#include <functional>
#include <tuple>

// The kit takes this from GSRoot's Definitions.hpp, which the stand-in does not declare.
using GSPtr = char*;

struct API_Guid {
    UInt32 time_low;
    UInt16 time_mid;
    UInt16 time_hi_and_version;
    UInt8 clock_seq_hi_and_reserved;
    UInt8 clock_seq_low;
    UInt8 node[6];
};

inline API_Guid GSGuid2APIGuid(const GS::Guid& guid)
{
    const auto& b = guid.GetBytes();
    API_Guid result = {};
    result.time_low = (UInt32(b[0]) << 24) | (UInt32(b[1]) << 16) | (UInt32(b[2]) << 8) | b[3];
    result.time_mid = static_cast<UInt16>((b[4] << 8) | b[5]);
    result.time_hi_and_version = static_cast<UInt16>((b[6] << 8) | b[7]);
    result.clock_seq_hi_and_reserved = b[8];
    result.clock_seq_low = b[9];
    for (int i = 0; i < 6; ++i)
        result.node[i] = b[10 + i];
    return result;
}

inline GS::Guid APIGuid2GSGuid(const API_Guid& guid)
{
    std::array<UInt8, 16> b{};
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<UInt8>(guid.time_low >> (24 - 8 * i));
    b[4] = static_cast<UInt8>(guid.time_mid >> 8);
    b[5] = static_cast<UInt8>(guid.time_mid);
    b[6] = static_cast<UInt8>(guid.time_hi_and_version >> 8);
    b[7] = static_cast<UInt8>(guid.time_hi_and_version);
    b[8] = guid.clock_seq_hi_and_reserved;
    b[9] = guid.clock_seq_low;
    for (int i = 0; i < 6; ++i)
        b[10 + i] = guid.node[i];
    return GS::Guid(b);
}

// Field by field, which orders as the GUIDs' bytes do (the fields are their big-endian reading) without
// building either GS::Guid: containers of the host compare GUIDs all the time.
inline auto GuidFields(const API_Guid& guid)
{
    return std::tie(guid.time_low, guid.time_mid, guid.time_hi_and_version, guid.clock_seq_hi_and_reserved,
                    guid.clock_seq_low, guid.node[0], guid.node[1], guid.node[2], guid.node[3], guid.node[4],
                    guid.node[5]);
}

inline bool operator==(const API_Guid& left, const API_Guid& right)
{
    return GuidFields(left) == GuidFields(right);
}
inline bool operator!=(const API_Guid& left, const API_Guid& right)
{
    return !(left == right);
}

inline GS::UniString APIGuidToString(const API_Guid& guid)
{
    return APIGuid2GSGuid(guid).ToUniString();
}

inline bool operator<(const API_Guid& left, const API_Guid& right)
{
    return GuidFields(left) < GuidFields(right);
}

inline const API_Guid APINULLGuid{};

struct API_Coord {
    double x;
    double y;
};

struct API_Coord3D {
    double x;
    double y;
    double z;
};

struct API_RGBColor {
    double f_red;
    double f_green;
    double f_blue;
};

// A value that may be absent, as the kit's overridable fields are.
template <typename T>
struct APIOptional {
    bool hasValue;
    T value;

    APIOptional& operator=(const T& given)
    {
        hasValue = true;
        value = given;
        return *this;
    }
};

template <>
struct std::hash<API_Guid> {
    std::size_t operator()(const API_Guid& guid) const noexcept { return std::hash<GS::Guid>()(APIGuid2GSGuid(guid)); }
};

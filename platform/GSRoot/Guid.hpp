// GS::Guid: the host's 128-bit identifier, with its text form "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX".
#pragma once

#include "Definitions.hpp"
#include "UniString.hpp"

#include <array>

namespace GS {

class Guid {
public:
    Guid() = default;  // the null GUID
    explicit Guid(const std::array<UInt8, 16>& bytes) : bytes_(bytes) {}

    static Guid Generate();
    // Takes the text form with or without braces, in any letter case; the GUID stays null on failure.
    GSErrCode ConvertFromString(const char* text);
    UniString ToUniString() const;

    bool IsNull() const;
    const std::array<UInt8, 16>& GetBytes() const { return bytes_; }

    bool operator==(const Guid& other) const { return bytes_ == other.bytes_; }
    bool operator!=(const Guid& other) const { return bytes_ != other.bytes_; }
    bool operator<(const Guid& other) const { return bytes_ < other.bytes_; }

private:
    std::array<UInt8, 16> bytes_{};
};

extern const Guid NULLGuid;

}  // namespace GS

template <>
struct std::hash<GS::Guid> {
    std::size_t operator()(const GS::Guid& guid) const noexcept
    {
        std::size_t value = 1469598103934665603ull;
        for (UInt8 byte : guid.GetBytes())
            value = (value ^ byte) * 1099511628211ull;
        return value;
    }
};

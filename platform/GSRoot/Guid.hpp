// GS::Guid: the host's 128-bit identifier, with its text form "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX".
#pragma once

#include "Definitions.hpp"
#include "UniString.hpp"

#include <array>

namespace GS {

enum { GUIDInternalError = GuidErrors + 1, GUIDInvalidString = GuidErrors + 2 };

class Guid {
public:
    Guid() = default;  // the null GUID
    explicit Guid(const char* string);
    explicit Guid(const UniString& string);

    // Gives this GUID a new value.
    GSErrCode Generate();
    void Clear() { bytes_ = {}; }
    // Takes the text form with or without braces, in any letter case; the GUID is null after a failure.
    GSErrCode ConvertFromString(const char* string);
    GSErrCode ConvertFromString(const UniString& string);
    UniString ToUniString() const;

    bool IsEqual(const Guid& rightOp) const { return *this == rightOp; }
    bool IsNull() const;

    // The stand-in's own, for platform/ACAPI's API_Guid conversion (the kit reinterprets the record in
    // place); not part of the kit, so the module does not use them.
    explicit Guid(const std::array<UInt8, 16>& bytes) : bytes_(bytes) {}
    const std::array<UInt8, 16>& GetBytes() const { return bytes_; }

    bool operator==(const Guid& other) const { return bytes_ == other.bytes_; }
    bool operator!=(const Guid& other) const { return bytes_ != other.bytes_; }
    bool operator<(const Guid& other) const { return bytes_ < other.bytes_; }

private:
    std::array<UInt8, 16> bytes_{};
};

extern const Guid NULLGuid;

}  // namespace GS

// The stand-in's own, for its containers: the kit hashes with GenerateHashValue.
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

// Velmar::Bo::CompositeTag: what a composite built by the add-on remembers about its origin (stored system,
// when it was built, for which LOD), kept as the composite attribute's user data in a fixed 292-byte record.
#pragma once

#include "APIdefs.h"

#include <optional>
#include <string>

namespace Velmar::Bo {

class CompositeTag {
public:
    static constexpr short DataVersion = 1;
    static constexpr UInt16 PlatformSign = 0x5757;
    static constexpr std::size_t Size = 292;
    static constexpr std::size_t NameField = 256;  // zero-terminated, so at most 255 characters are written

    // Written with day of week and milliseconds 0, which the record holds but nothing reads.
    struct TimeStamp {
        UInt16 year = 0;
        UInt16 month = 0;
        UInt16 day = 0;
        UInt16 hour = 0;
        UInt16 minute = 0;
        UInt16 second = 0;
        bool operator==(const TimeStamp& other) const;
    };

    std::string systemName;  // in the host's 8-bit code page, as stored
    GS::Guid storedSystemId;
    TimeStamp timeStamp;
    Int32 lod = 0;

    // The record, little-endian; a name longer than 255 characters is cut there.
    std::string ToBytes() const;
    // A tag only for data version 1, platform sign 0x5757 and exactly 292 bytes.
    static std::optional<CompositeTag> FromUserData(Int32 dataVersion, UInt16 platformSign, const char* bytes,
                                                    std::size_t size);
    static std::optional<CompositeTag> FromUserData(const API_AttributeUserData& userData);
    // The tag in a composite's user data. NoError and none when the composite has no user data or holds
    // something else (`otherData`, when given, tells which); the host's error when it could not be read.
    static GSErrCode Read(const API_Attr_Head& composite, std::optional<CompositeTag>& tag, bool* otherData = nullptr);
};

}  // namespace Velmar::Bo

// Basic types and codes of the host's GSRoot library.
#pragma once

#include <cstddef>
#include <cstdint>

using Int8 = std::int8_t;
using UInt8 = std::uint8_t;
using Int16 = std::int16_t;
using UInt16 = std::uint16_t;
using Int32 = std::int32_t;
using UInt32 = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using USize = UInt32;
using UIndex = UInt32;
using GSFlags = Int32;
using GSErrCode = Int32;
using GSResID = Int32;
using GSType = UInt32;
using GSHandle = char**;

constexpr GSErrCode NoError = 0;
constexpr GSErrCode ErrParam = -50;
constexpr GSErrCode ErrIO = -36;
constexpr GSErrCode ErrMemoryFull = -108;
// The id every GS::GeneralException carries (GSException::GetID). Error and the GSRoot error ranges have
// the values of an older kit's public GSRoot/Definitions.hpp.
constexpr GSErrCode Error = -7003;

constexpr Int32 GSRootErrorStart = static_cast<Int32>(0x80000000u | (256u << 16));
constexpr Int32 GuidErrors = GSRootErrorStart + 0x0400;

constexpr UIndex MaxUIndex = 0xFFFFFFFF;
constexpr USize MaxUSize = 0xFFFFFFFF;

// The kit's character codes. The values are those of an older kit's public GSRoot/CH.hpp (the 28 kit's
// header was not at hand to compare). CC_Default and the system's other 8-bit codes read and write the
// system code page; only CC_UTF8 is UTF-8.
enum GSCharCode {
    CC_Default = 0,
    CC_System = 1,
    CC_User = 2,
    CC_Application = 3,
    CC_Legacy = 4,

    CC_WestEuropean = 11,
    CC_EastEuropean = 12,
    CC_Baltic = 13,
    CC_Cyrillic = 14,
    CC_Greek = 15,
    CC_Turkish = 16,

    CC_Hebrew = 21,
    CC_Arabic = 22,

    CC_Thai = 31,
    CC_Japanese = 32,
    CC_TradChinese = 33,
    CC_SimpChinese = 34,
    CC_Korean = 35,

    CC_Symbol = 40,

    CC_UTF8 = 99,
    CC_UTF16 = 100,
    CC_UniCode = 100
};

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

constexpr UIndex MaxUIndex = 0xFFFFFFFF;
constexpr USize MaxUSize = 0xFFFFFFFF;

enum GSCharCode { CC_Default = 0, CC_UTF8 = 1, CC_UTF16 = 2 };

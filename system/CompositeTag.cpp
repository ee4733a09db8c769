#include "CompositeTag.hpp"

#include "ACAPinc.hpp"
#include "HandleOwner.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

namespace Velmar::Bo {

namespace {

constexpr std::size_t IdOffset = 256;
constexpr std::size_t TimeOffset = 272;
constexpr std::size_t LodOffset = 288;

void PutUInt16(std::string& bytes, std::size_t offset, UInt16 value)
{
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>(value >> 8);
}

UInt16 GetUInt16(const char* bytes, std::size_t offset)
{
    return static_cast<UInt16>(UInt8(bytes[offset]) | (UInt8(bytes[offset + 1]) << 8));
}

}  // namespace

bool CompositeTag::TimeStamp::operator==(const TimeStamp& other) const
{
    return year == other.year && month == other.month && day == other.day && hour == other.hour &&
           minute == other.minute && second == other.second;
}

std::string CompositeTag::ToBytes() const
{
    std::string bytes(Size, '\0');
    std::memcpy(bytes.data(), systemName.data(), std::min(systemName.size(), NameField - 1));
    // The GUID as it lies in memory, as the kit's own records (API_Guid) take it.
    static_assert(sizeof(GS::Guid) == 16);
    std::memcpy(bytes.data() + IdOffset, &storedSystemId, sizeof(GS::Guid));
    // Year, month, day of week, day, hour, minute, second, milliseconds; the two unused ones stay 0.
    const UInt16 time[] = {timeStamp.year,   timeStamp.month,  0, timeStamp.day, timeStamp.hour,
                           timeStamp.minute, timeStamp.second, 0};
    for (std::size_t i = 0; i < std::size(time); ++i)
        PutUInt16(bytes, TimeOffset + 2 * i, time[i]);
    const UInt32 level = static_cast<UInt32>(lod);
    for (std::size_t i = 0; i < 4; ++i)
        bytes[LodOffset + i] = static_cast<char>((level >> (8 * i)) & 0xFF);
    return bytes;
}

std::optional<CompositeTag> CompositeTag::FromUserData(Int32 dataVersion, UInt16 platformSign, const char* bytes,
                                                       std::size_t size)
{
    if (dataVersion != DataVersion || platformSign != PlatformSign || size != Size || bytes == nullptr)
        return std::nullopt;
    CompositeTag tag;
    // A name filling the whole field has no terminating zero: it ends with the field.
    const char* nameEnd = std::find(bytes, bytes + NameField, '\0');
    tag.systemName.assign(bytes, nameEnd);
    std::memcpy(&tag.storedSystemId, bytes + IdOffset, sizeof(GS::Guid));
    tag.timeStamp.year = GetUInt16(bytes, TimeOffset);
    tag.timeStamp.month = GetUInt16(bytes, TimeOffset + 2);
    tag.timeStamp.day = GetUInt16(bytes, TimeOffset + 6);
    tag.timeStamp.hour = GetUInt16(bytes, TimeOffset + 8);
    tag.timeStamp.minute = GetUInt16(bytes, TimeOffset + 10);
    tag.timeStamp.second = GetUInt16(bytes, TimeOffset + 12);
    UInt32 level = 0;
    for (std::size_t i = 0; i < 4; ++i)
        level |= UInt32(UInt8(bytes[LodOffset + i])) << (8 * i);
    tag.lod = static_cast<Int32>(level);
    return tag;
}

GSErrCode CompositeTag::Read(const API_Attr_Head& composite, std::optional<CompositeTag>& tag, bool* otherData)
{
    tag.reset();
    if (otherData != nullptr)
        *otherData = false;
    API_Attr_Head head = composite;
    API_AttributeUserData userData = {};
    if (const GSErrCode err = ACAPI_UserData_GetUserData(&head, &userData); err != NoError)
        return err == APIERR_NOUSERDATA ? NoError : err;
    const Velmar::HandleOwner data(userData.dataHdl);
    tag = FromUserData(userData);
    if (otherData != nullptr)
        *otherData = !tag;
    return NoError;
}

std::optional<CompositeTag> CompositeTag::FromUserData(const API_AttributeUserData& userData)
{
    if (userData.dataHdl == nullptr)
        return std::nullopt;
    const Int32 size = BMGetHandleSize(userData.dataHdl);
    return FromUserData(userData.dataVersion, userData.platformSign, *userData.dataHdl,
                        size > 0 ? static_cast<std::size_t>(size) : 0);
}

}  // namespace Velmar::Bo

#include "Guid.hpp"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <random>

namespace GS {

const Guid NULLGuid;

namespace {

// Positions of the hex digits of each byte in the 36-character text form.
constexpr std::array<int, 16> BytePositions{0, 2, 4, 6, 9, 11, 14, 16, 19, 21, 24, 26, 28, 30, 32, 34};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

Guid::Guid(const char* string)
{
    ConvertFromString(string);
}

Guid::Guid(const UniString& string)
{
    ConvertFromString(string);
}

GSErrCode Guid::Generate()
{
    static std::mutex mutex;
    static std::mt19937_64 engine{std::random_device{}()};
    std::array<UInt8, 16> bytes{};
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (std::size_t i = 0; i < bytes.size(); i += 8) {
            const UInt64 value = engine();
            std::memcpy(bytes.data() + i, &value, 8);
        }
    }
    bytes[6] = static_cast<UInt8>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<UInt8>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    bytes_ = bytes;
    return NoError;
}

GSErrCode Guid::ConvertFromString(const UniString& string)
{
    return ConvertFromString(string.ToCStr(CC_UTF8).Get());
}

GSErrCode Guid::ConvertFromString(const char* string)
{
    bytes_ = {};
    if (string == nullptr)
        return ErrParam;
    std::string form(string);
    if (form.size() == 38 && form.front() == '{' && form.back() == '}')
        form = form.substr(1, 36);
    if (form.size() != 36 || form[8] != '-' || form[13] != '-' || form[18] != '-' || form[23] != '-')
        return GUIDInvalidString;
    std::array<UInt8, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexValue(form[BytePositions[i]]);
        const int low = HexValue(form[BytePositions[i] + 1]);
        if (high < 0 || low < 0)
            return GUIDInvalidString;
        bytes[i] = static_cast<UInt8>(high * 16 + low);
    }
    bytes_ = bytes;
    return NoError;
}

UniString Guid::ToUniString() const
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string form(36, '-');
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        form[BytePositions[i]] = Digits[bytes_[i] >> 4];
        form[BytePositions[i] + 1] = Digits[bytes_[i] & 0x0F];
    }
    return UniString(form.c_str(), CC_UTF8);
}

bool Guid::IsNull() const
{
    return std::all_of(bytes_.begin(), bytes_.end(), [](UInt8 byte) { return byte == 0; });
}

}  // namespace GS

#include "UniString.hpp"

#include "Array.hpp"
#include "GSException.hpp"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstring>

namespace GS {

namespace {

// Windows-1252 at 0x80..0x9F; the five bytes the code page leaves undefined read as the C1 controls of the
// same value, as Windows' conversion reads them.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsSystemCodePage(GSCharCode charCode)
{
    switch (charCode) {
        case CC_Default:
        case CC_System:
        case CC_User:
        case CC_Application:
        case CC_Legacy:
        case CC_WestEuropean:
            return true;
        default:
            return false;
    }
}

// Only the system code page and UTF-8 are modelled; a code the stand-in cannot convert is refused rather
// than read as something else.
void CheckCharCode(GSCharCode charCode)
{
    if (charCode != CC_UTF8 && !IsSystemCodePage(charCode))
        throw IllegalArgumentException("the stand-in converts only the system code page and UTF-8");
}

std::u16string DecodeWindows1252(std::string_view text)
{
    std::u16string units;
    units.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        units.push_back(byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : char16_t(byte));
    }
    return units;
}

std::u16string DecodeUtf8(std::string_view text)
{
    if (text.empty())
        return {};
    // Most texts are ASCII; they widen byte by byte without a trip through the converter.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::u16string(text.begin(), text.end());
    std::u16string units(text.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    // Invalid UTF-8 becomes U+FFFD, as the host's conversion does.
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(units.data()), static_cast<int32_t>(units.size()), &length,
                         text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    units.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return units;
}

std::u16string Decode(std::string_view text, GSCharCode charCode)
{
    CheckCharCode(charCode);
    return charCode == CC_UTF8 ? DecodeUtf8(text) : DecodeWindows1252(text);
}

std::string EncodeWindows1252(std::u16string_view units, UniString::OnConversionError onError)
{
    std::string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            text.push_back(static_cast<char>(unit));
            continue;
        }
        const auto* high = std::find(std::begin(Windows1252High), std::end(Windows1252High), unit);
        if (high != std::end(Windows1252High)) {
            text.push_back(static_cast<char>(0x80 + (high - std::begin(Windows1252High))));
            continue;
        }
        if (onError == UniString::ThrowException)
            throw ConversionErrorException("the text does not fit the system code page");
        // A surrogate pair is one character, so one filler.
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF)
            ++i;
        text.push_back('?');
    }
    return text;
}

std::string EncodeUtf8(std::u16string_view units)
{
    if (units.empty())
        return {};
    std::string text(units.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length,
                       reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()), 0xFFFD,
                       nullptr, &status);
    text.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return text;
}

std::u16string_view Range(const std::u16string& units, UIndex from, USize range)
{
    if (from >= units.size())
        return {};
    return std::u16string_view(units).substr(from, range);
}

std::u16string MapCase(std::u16string_view units, bool upper)
{
    if (units.empty())
        return {};
    std::u16string result(units.size() * 3, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    auto* dest = reinterpret_cast<UChar*>(result.data());
    auto* src = reinterpret_cast<const UChar*>(units.data());
    const auto capacity = static_cast<int32_t>(result.size());
    const auto length = static_cast<int32_t>(units.size());
    const int32_t written = upper ? u_strToUpper(dest, capacity, src, length, "", &status)
                                  : u_strToLower(dest, capacity, src, length, "", &status);
    result.resize(U_SUCCESS(status) ? static_cast<std::size_t>(written) : 0);
    return result;
}

}  // namespace

UniString::UniString(const char16_t* uStr) : units_(uStr == nullptr ? u"" : uStr) {}

UniString::UniString(const char16_t* uChars, USize charCount) : units_(uChars, charCount) {}

UniString::UniString(const char* cStr, GSCharCode charCode)
    : units_(Decode(cStr == nullptr ? std::string_view() : std::string_view(cStr), charCode))
{
}

UniString::UniString(const char* chars, USize charCount, GSCharCode charCode)
    : units_(Decode(std::string_view(chars, charCount), charCode))
{
}

UniString::UniString(std::u16string_view str) : units_(str) {}

UniString::UniString(std::string_view str, GSCharCode charCode) : units_(Decode(str, charCode)) {}

UniString::CStr UniString::ToCStr(UIndex from, USize range, GSCharCode charCode,
                                  OnConversionError onConversionError) const
{
    CheckCharCode(charCode);
    const std::u16string_view part = Range(units_, from, range);
    return CStr(charCode == CC_UTF8 ? EncodeUtf8(part) : EncodeWindows1252(part, onConversionError));
}

UniString::CStr UniString::ToCStr(GSCharCode charCode) const
{
    return ToCStr(0, MaxUSize, charCode);
}

UniString::CompareResult UniString::Compare(const UniString& rightOp, CaseComparison caseComparison) const
{
    int order = 0;
    if (caseComparison == CaseSensitive) {
        order = units_.compare(rightOp.units_);
    } else {
        UErrorCode status = U_ZERO_ERROR;
        order = u_strCaseCompare(reinterpret_cast<const UChar*>(units_.data()), static_cast<int32_t>(units_.size()),
                                 reinterpret_cast<const UChar*>(rightOp.units_.data()),
                                 static_cast<int32_t>(rightOp.units_.size()), U_FOLD_CASE_DEFAULT, &status);
    }
    return order < 0 ? Less : order > 0 ? Greater : Equal;
}

bool UniString::IsEqual(const UniString& rightOp, CaseComparison caseComparison) const
{
    return caseComparison == CaseSensitive ? units_ == rightOp.units_ : Compare(rightOp, caseComparison) == Equal;
}

bool UniString::BeginsWith(const UniString& str) const
{
    return units_.compare(0, str.units_.size(), str.units_) == 0;
}

bool UniString::EndsWith(const UniString& str) const
{
    return units_.size() >= str.units_.size() &&
           units_.compare(units_.size() - str.units_.size(), str.units_.size(), str.units_) == 0;
}

bool UniString::Contains(const UniString& str, UIndex from, USize range) const
{
    return FindFirst(str, from, range) != MaxUIndex;
}

UIndex UniString::FindFirst(const UniString& str, UIndex from, USize range) const
{
    const std::u16string_view part = Range(units_, from, range);
    const auto position = part.find(str.units_);
    return position == std::u16string_view::npos ? MaxUIndex : static_cast<UIndex>(from + position);
}

UniString UniString::GetSubstring(UIndex from, USize range) const
{
    return UniString(Units{}, std::u16string(Range(units_, from, range)));
}

UniString UniString::ToLowerCase(UIndex from, USize range) const
{
    UniString result(*this);
    const std::u16string_view part = Range(units_, from, range);
    if (!part.empty())
        result.units_.replace(from, part.size(), MapCase(part, false));
    return result;
}

UniString UniString::ToUpperCase(UIndex from, USize range) const
{
    UniString result(*this);
    const std::u16string_view part = Range(units_, from, range);
    if (!part.empty())
        result.units_.replace(from, part.size(), MapCase(part, true));
    return result;
}

void UniString::Trim()
{
    auto isSpace = [](char16_t unit) { return u_isUWhiteSpace(unit) != 0; };
    const auto first = std::find_if_not(units_.begin(), units_.end(), isSpace);
    const auto last = std::find_if_not(units_.rbegin(), units_.rend(), isSpace).base();
    units_ = first < last ? std::u16string(first, last) : std::u16string();
}

UInt32 UniString::Split(const UniString& separatorString, Array<UniString>* parts) const
{
    if (parts == nullptr)
        throw IllegalArgumentException("Split needs an array for the parts");
    if (separatorString.IsEmpty()) {
        parts->Push(*this);
        return 1;
    }
    UInt32 added = 0;
    std::size_t start = 0;
    for (;;) {
        const auto position = units_.find(separatorString.units_, start);
        parts->Push(UniString(
            Units{}, units_.substr(start, position == std::u16string::npos ? std::u16string::npos : position - start)));
        ++added;
        if (position == std::u16string::npos)
            return added;
        start = position + separatorString.units_.size();
    }
}

UInt32 UniString::Split(const UniString& separatorCharSet, EmptyPartProcessing emptyPartProcessing,
                        Array<UniString>* parts) const
{
    if (parts == nullptr)
        throw IllegalArgumentException("Split needs an array for the parts");
    UInt32 added = 0;
    std::size_t start = 0;
    for (;;) {
        const auto position = units_.find_first_of(separatorCharSet.units_, start);
        const std::size_t end = position == std::u16string::npos ? units_.size() : position;
        if (end > start || emptyPartProcessing == KeepEmptyParts) {
            parts->Push(UniString(Units{}, units_.substr(start, end - start)));
            ++added;
        }
        if (position == std::u16string::npos)
            return added;
        start = position + 1;
    }
}

void UniString::Append(const UniString& str, UIndex strFrom, USize strRange)
{
    units_ += Range(str.units_, strFrom, strRange);
}

UniString& UniString::operator+=(const UniString& str)
{
    Append(str);
    return *this;
}

UniString operator+(const UniString& leftOp, const UniString& rightOp)
{
    UniString result(leftOp);
    result += rightOp;
    return result;
}

}  // namespace GS

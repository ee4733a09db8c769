#include "UniString.hpp"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>

namespace GS {

namespace {

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
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(units.data()), static_cast<int32_t>(units.size()), &length,
                         text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    units.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return units;
}

std::string EncodeUtf8(const std::u16string& units)
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

std::u16string MapCase(const std::u16string& units, bool upper)
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

UniString::UniString(const char* text, GSCharCode) : units_(DecodeUtf8(text == nullptr ? "" : text)) {}

UniString::UniString(const std::string& text, GSCharCode) : units_(DecodeUtf8(text)) {}

UniString::UniString(const char16_t* text) : units_(text == nullptr ? u"" : text) {}

UniString UniString::FromUtf8(std::string_view text)
{
    return UniString(DecodeUtf8(text));
}

UniString::CStr UniString::ToCStr(GSCharCode) const
{
    return CStr(EncodeUtf8(units_));
}

std::string UniString::ToUtf8() const
{
    return EncodeUtf8(units_);
}

Int32 UniString::Compare(const UniString& other, CaseComparison comparison) const
{
    if (comparison == CaseSensitive)
        return units_.compare(other.units_);
    UErrorCode status = U_ZERO_ERROR;
    return u_strCaseCompare(reinterpret_cast<const UChar*>(units_.data()), static_cast<int32_t>(units_.size()),
                            reinterpret_cast<const UChar*>(other.units_.data()),
                            static_cast<int32_t>(other.units_.size()), U_FOLD_CASE_DEFAULT, &status);
}

bool UniString::IsEqual(const UniString& other, CaseComparison comparison) const
{
    return comparison == CaseSensitive ? units_ == other.units_ : Compare(other, CaseInsensitive) == 0;
}

bool UniString::BeginsWith(const UniString& prefix) const
{
    return units_.compare(0, prefix.units_.size(), prefix.units_) == 0;
}

bool UniString::EndsWith(const UniString& suffix) const
{
    return units_.size() >= suffix.units_.size() &&
           units_.compare(units_.size() - suffix.units_.size(), suffix.units_.size(), suffix.units_) == 0;
}

UIndex UniString::FindFirst(const UniString& part, UIndex from) const
{
    const auto position = units_.find(part.units_, from);
    return position == std::u16string::npos ? MaxUIndex : static_cast<UIndex>(position);
}

UniString UniString::GetSubstring(UIndex from, USize length) const
{
    if (from >= units_.size())
        return {};
    return UniString(units_.substr(from, length));
}

UniString UniString::ToLowerCase() const
{
    return UniString(MapCase(units_, false));
}

UniString UniString::ToUpperCase() const
{
    return UniString(MapCase(units_, true));
}

void UniString::Trim()
{
    auto isSpace = [](char16_t unit) { return u_isUWhiteSpace(unit) != 0; };
    const auto first = std::find_if_not(units_.begin(), units_.end(), isSpace);
    const auto last = std::find_if_not(units_.rbegin(), units_.rend(), isSpace).base();
    units_ = first < last ? std::u16string(first, last) : std::u16string();
}

std::vector<UniString> UniString::Split(const UniString& separator) const
{
    std::vector<UniString> parts;
    if (separator.IsEmpty()) {
        parts.push_back(*this);
        return parts;
    }
    std::size_t start = 0;
    for (;;) {
        const auto position = units_.find(separator.units_, start);
        parts.emplace_back(
            units_.substr(start, position == std::u16string::npos ? std::u16string::npos : position - start));
        if (position == std::u16string::npos)
            return parts;
        start = position + separator.units_.size();
    }
}

UniString& UniString::Append(const UniString& other)
{
    units_ += other.units_;
    return *this;
}

UniString operator+(const UniString& left, const UniString& right)
{
    UniString result(left);
    return result.Append(right);
}

}  // namespace GS

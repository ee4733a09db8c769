// GS::UniString: the host's Unicode text, held as UTF-16 like the host, converted to UTF-8 at the edges.
#pragma once

#include "Definitions.hpp"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace GS {

class UniString {
public:
    enum CaseComparison { CaseSensitive, CaseInsensitive };

    // The UTF-8 text of a string, kept alive for as long as the caller holds it.
    class CStr {
    public:
        explicit CStr(std::string text) : text_(std::move(text)) {}
        const char* Get() const { return text_.c_str(); }
        const std::string& ToStd() const { return text_; }

    private:
        std::string text_;
    };

    UniString() = default;
    UniString(const char* text, GSCharCode charCode = CC_UTF8);
    UniString(const std::string& text, GSCharCode charCode = CC_UTF8);
    UniString(const char16_t* text);
    explicit UniString(std::u16string text) : units_(std::move(text)) {}

    // Invalid UTF-8 becomes U+FFFD, as the host's conversion does.
    static UniString FromUtf8(std::string_view text);

    CStr ToCStr(GSCharCode charCode = CC_UTF8) const;
    std::string ToUtf8() const;
    const char16_t* ToUStr() const { return units_.c_str(); }
    const std::u16string& ToU16() const { return units_; }

    USize GetLength() const { return static_cast<USize>(units_.size()); }
    bool IsEmpty() const { return units_.empty(); }
    void Clear() { units_.clear(); }
    char16_t operator[](UIndex index) const { return units_[index]; }

    bool IsEqual(const UniString& other, CaseComparison comparison = CaseSensitive) const;
    // <0, 0, >0 like strcmp; the insensitive form compares case-folded text.
    Int32 Compare(const UniString& other, CaseComparison comparison = CaseSensitive) const;
    bool BeginsWith(const UniString& prefix) const;
    bool EndsWith(const UniString& suffix) const;
    bool Contains(const UniString& part) const { return FindFirst(part) != MaxUIndex; }
    UIndex FindFirst(const UniString& part, UIndex from = 0) const;

    UniString GetSubstring(UIndex from, USize length) const;
    UniString ToLowerCase() const;
    UniString ToUpperCase() const;
    void Trim();
    // Parts between separators, empty parts included.
    std::vector<UniString> Split(const UniString& separator) const;

    UniString& Append(const UniString& other);
    UniString& operator+=(const UniString& other) { return Append(other); }
    bool operator==(const UniString& other) const { return units_ == other.units_; }
    bool operator!=(const UniString& other) const { return units_ != other.units_; }
    bool operator<(const UniString& other) const { return units_ < other.units_; }

private:
    std::u16string units_;
};

UniString operator+(const UniString& left, const UniString& right);

}  // namespace GS

template <>
struct std::hash<GS::UniString> {
    std::size_t operator()(const GS::UniString& text) const noexcept
    {
        return std::hash<std::u16string>()(text.ToU16());
    }
};

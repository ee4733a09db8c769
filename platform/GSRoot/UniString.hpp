// GS::UniString: the host's Unicode text, held as UTF-16 like the host. The members are the kit's (GSRoot's
// UniString.hpp): 8-bit text crosses in and out only with a character code, and CC_Default, what a
// constructor or ToCStr takes when none is given, is the system code page. The stand-in's system code page
// is Windows-1252, what a Western-European Windows workstation runs Archicad with: UTF-8 passed without
// CC_UTF8 comes out mangled here as it does there ("Ã©" for "é"), and text Windows-1252 cannot hold is
// written as "?".
#pragma once

#include "Definitions.hpp"
#include "TextDefinitions.hpp"

#include <functional>
#include <string>
#include <string_view>

namespace GS {

template <typename T>
class Array;

class UniString {
public:
    // The 8-bit text of a string, kept alive for as long as the caller holds it; it moves but does not copy.
    class CStr {
    public:
        CStr(CStr&& source) = default;
        CStr(const CStr&) = delete;
        CStr& operator=(const CStr&) = delete;

        operator const char*() const { return text_.c_str(); }
        const char* Get() const { return text_.c_str(); }

    private:
        friend class UniString;
        explicit CStr(std::string text) : text_(std::move(text)) {}

        std::string text_;
    };

    enum OnConversionError { ReplaceWithFillers, ThrowException };
    enum EmptyPartProcessing { KeepEmptyParts, SkipEmptyParts };
    enum CompareResult { Less, Equal, Greater };

    UniString() = default;
    UniString(const char16_t* uStr);
    UniString(const char16_t* uChars, USize charCount);
    UniString(const char* cStr, GSCharCode charCode = CC_Default);
    UniString(const char* chars, USize charCount, GSCharCode charCode = CC_Default);
    UniString(std::u16string_view str);
    UniString(std::string_view str, GSCharCode charCode = CC_Default);

    CStr ToCStr(UIndex from = 0, USize range = MaxUSize, GSCharCode charCode = CC_Default,
                OnConversionError onConversionError = ReplaceWithFillers) const;
    CStr ToCStr(GSCharCode charCode) const;
    const char16_t* ToUStr() const { return units_.c_str(); }

    USize GetLength() const { return static_cast<USize>(units_.size()); }
    bool IsEmpty() const { return units_.empty(); }
    void Clear() { units_.clear(); }
    char16_t operator[](UIndex index) const { return units_[index]; }

    bool IsEqual(const UniString& rightOp, CaseComparison caseComparison = CaseSensitive) const;
    // The insensitive form compares case-folded text.
    CompareResult Compare(const UniString& rightOp, CaseComparison caseComparison = CaseSensitive) const;
    bool BeginsWith(const UniString& str) const;
    bool EndsWith(const UniString& str) const;
    bool Contains(const UniString& str, UIndex from = 0, USize range = MaxUSize) const;
    UIndex FindFirst(const UniString& str, UIndex from = 0, USize range = MaxUSize) const;

    UniString GetSubstring(UIndex from, USize range) const;
    UniString ToLowerCase(UIndex from = 0, USize range = MaxUSize) const;
    UniString ToUpperCase(UIndex from = 0, USize range = MaxUSize) const;
    void Trim();
    // Adds the parts between separators to parts, empty parts included; answers how many were added.
    UInt32 Split(const UniString& separatorString, Array<UniString>* parts) const;
    // Splits at every character of the set.
    UInt32 Split(const UniString& separatorCharSet, EmptyPartProcessing emptyPartProcessing,
                 Array<UniString>* parts) const;

    void Append(const UniString& str, UIndex strFrom = 0, USize strRange = MaxUSize);
    UniString& operator+=(const UniString& str);
    bool operator==(const UniString& rightOp) const { return units_ == rightOp.units_; }
    bool operator!=(const UniString& rightOp) const { return units_ != rightOp.units_; }
    bool operator<(const UniString& rightOp) const { return units_ < rightOp.units_; }
    bool operator<=(const UniString& rightOp) const { return units_ <= rightOp.units_; }
    bool operator>(const UniString& rightOp) const { return units_ > rightOp.units_; }
    bool operator>=(const UniString& rightOp) const { return units_ >= rightOp.units_; }

private:
    struct Units {};
    UniString(Units, std::u16string units) : units_(std::move(units)) {}

    std::u16string units_;
};

UniString operator+(const UniString& leftOp, const UniString& rightOp);

}  // namespace GS

// The stand-in's own, for its containers: the kit hashes with GenerateHashValue.
template <>
struct std::hash<GS::UniString> {
    std::size_t operator()(const GS::UniString& text) const noexcept
    {
        return std::hash<std::u16string_view>()(std::u16string_view(text.ToUStr(), text.GetLength()));
    }
};

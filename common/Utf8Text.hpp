// UTF-8 across the module's edges (JSON, files, the network, logs): GS::UniString takes and gives 8-bit
// text in the system code page unless it is told CC_UTF8, so every crossing goes through these two.
#pragma once

#include "UniString.hpp"

#include <string>
#include <string_view>

namespace Velmar {

inline GS::UniString UniStringOfUtf8(std::string_view utf8)
{
    return GS::UniString(utf8.data(), static_cast<USize>(utf8.size()), CC_UTF8);
}

// ToCStr gives a C string, which ends at the first U+0000: text that holds one is taken piece by piece.
inline std::string Utf8Of(const GS::UniString& text)
{
    const GS::UniString nul("", 1, CC_UTF8);
    std::string utf8;
    UIndex from = 0;
    for (;;) {
        const UIndex at = text.FindFirst(nul, from);
        if (from < text.GetLength() && at != from)
            utf8 += text.ToCStr(from, at == MaxUIndex ? MaxUSize : at - from, CC_UTF8).Get();
        if (at == MaxUIndex)
            return utf8;
        utf8.push_back('\0');
        from = at + 1;
    }
}

}  // namespace Velmar

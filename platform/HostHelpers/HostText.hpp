// UTF-8 <-> GS::UniString for the host side (the other stand-ins, the simulated host, tools, tests and
// benchmarks), which speaks UTF-8 everywhere. Not part of the kit: the module has its own in common/.
#pragma once

#include "UniString.hpp"

#include <string>
#include <string_view>

namespace HostText {

inline GS::UniString Uni(std::string_view utf8)
{
    return GS::UniString(utf8.data(), static_cast<USize>(utf8.size()), CC_UTF8);
}

// Piece by piece around U+0000, where a C string would end.
inline std::string Utf8(const GS::UniString& text)
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

}  // namespace HostText

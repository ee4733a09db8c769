// An attribute's name as the host takes it: the whole name through the header's Unicode name pointer, at
// most 255 characters; the header's 8-bit field holds the start of it in UTF-8, as the host hands names out.
#pragma once

#include "APIdefs.h"
#include "Utf8Text.hpp"

#include <algorithm>
#include <cstring>
#include <string>

namespace Velmar::Services {

constexpr std::size_t MaxAttributeNameCharacters = API_AttrNameLen - 1;

// Characters, not bytes: a name of 200 accented letters is a name of 200 characters.
inline std::size_t CharacterCount(const std::string& utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

inline bool FitsAttributeName(const GS::UniString& name)
{
    return CharacterCount(Velmar::Utf8Of(name)) <= MaxAttributeNameCharacters;
}

// Points the header at `name`, which must outlive the host call, and fills its 8-bit field with the start
// of it, cut where a character begins. The kit's pointer is not const; the host only reads a name from it.
inline void PutAttributeName(API_Attr_Head& head, const GS::UniString& name)
{
    const std::string utf8 = Velmar::Utf8Of(name);
    std::size_t size = std::min(utf8.size(), static_cast<std::size_t>(API_AttrNameLen - 1));
    while (size > 0 && size < utf8.size() && (static_cast<unsigned char>(utf8[size]) & 0xC0) == 0x80)
        --size;
    std::memcpy(head.name, utf8.data(), size);
    head.name[size] = '\0';
    head.uniStringNamePtr = const_cast<GS::UniString*>(&name);
}

}  // namespace Velmar::Services

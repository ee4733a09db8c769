// An attribute's name as the host's header holds it: UTF-8 in a field of 256 bytes with its terminating zero.
#pragma once

#include "APIdefs.h"
#include "Utf8Text.hpp"

#include <cstring>
#include <string>

namespace Velmar::Services {

constexpr std::size_t MaxAttributeNameBytes = API_AttrNameLen - 1;

inline bool FitsAttributeName(const std::string& utf8)
{
    return utf8.size() <= MaxAttributeNameBytes;
}

// Names are checked with FitsAttributeName before anything is written, so nothing is cut here in practice.
inline void PutAttributeName(API_Attr_Head& head, const GS::UniString& name)
{
    const std::string utf8 = Velmar::Utf8Of(name);
    const std::size_t size = std::min(utf8.size(), MaxAttributeNameBytes);
    std::memcpy(head.name, utf8.data(), size);
    head.name[size] = '\0';
}

}  // namespace Velmar::Services

// The link a wall or slab carries to the system it was written from: the stored-system id as the first 16
// bytes of the element's user data, written with data version 1 and platform sign 0x5757, read whatever
// the version, as rules and updates read it.
#pragma once

#include "APIdefs.h"

#include <optional>

namespace Velmar::Bo::ElementLink {

constexpr short DataVersion = 1;
constexpr UInt16 PlatformSign = 0x5757;

// NoError and none when the element carries no such link; the host's error when it could not be read.
GSErrCode Read(const API_Elem_Head& element, std::optional<GS::Guid>& storedSystemId);
GSErrCode Write(const API_Elem_Head& element, const GS::Guid& storedSystemId);

}  // namespace Velmar::Bo::ElementLink

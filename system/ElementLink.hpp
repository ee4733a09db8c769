// What ties a wall or slab to a Velmar system: its link, the stored-system id as the first 16 bytes of the
// element's user data, written with data version 1 and platform sign 0x5757, read whatever the version,
// as rules and updates read it; and the composite it is built of, whose tag names a system too.
#pragma once

#include "APIdefs.h"

#include <optional>

namespace Velmar::Bo::ElementLink {

constexpr short DataVersion = 1;
constexpr UInt16 PlatformSign = 0x5757;

// NoError and none when the element carries no such link; the host's error when it could not be read.
GSErrCode Read(const API_Elem_Head& element, std::optional<GS::Guid>& storedSystemId);
GSErrCode Write(const API_Elem_Head& element, const GS::Guid& storedSystemId);

// The composite a wall or slab is built of; none for a basic or profiled one.
std::optional<API_AttributeIndex> CompositeOf(const API_Element& element);

}  // namespace Velmar::Bo::ElementLink

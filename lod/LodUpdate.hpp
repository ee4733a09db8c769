// The LOD page's two updates: the composites the project's walls and slabs use, rebuilt at the active
// level. Elements count once the add-on has met them (they carry its element user data, version 1).
#pragma once

#include "APIdefs.h"
#include "CompositeTag.hpp"

#include <vector>

namespace Velmar::Lod {

enum class LodUpdateScope {
    Lower,  // composites built at a level below the active one
    All,    // composites built at any other level
};

struct CollectedComposite {
    API_Attr_Head head = {};
    Bo::CompositeTag tag;
};

// Whether a composite tagged with `tagged` is brought to `active`.
bool IsCollected(LodUpdateScope scope, Int32 tagged, Int32 active);

// Each tagged composite the scope takes, once, in the order the elements first use it: a wall's composite,
// a slab's for any other element. Elements or composites the host cannot read are left out (and logged).
std::vector<CollectedComposite> CollectComposites(LodUpdateScope scope, Int32 active);

// Rebuilds the collected composites at the active level as one undo step, showing the host's process
// window with a phase per composite; a cancel stops before the next one and keeps those rebuilt. Answers
// how many were rebuilt; none without an active level.
std::size_t UpdateToActiveLod(LodUpdateScope scope);

}  // namespace Velmar::Lod

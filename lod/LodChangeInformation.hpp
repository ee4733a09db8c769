// velmar::lod::model::LodChangeInformation: what the Lod page is told before the active LOD changes (whether
// the project holds composites built for a lower or for a higher LOD, and the active one), read from the project.
#pragma once

#include "LodProvider.hpp"
#include "Record.hpp"

namespace velmar::lod::model {

class LodChangeInformation : public Velmar::Json::BaseObject {
public:
    // The page reads this member under this spelling.
    Velmar::Json::ValueProperty<bool> hasElementsWitHigherLod{"hasElementsWitHigherLod"};
    Velmar::Json::ValueProperty<bool> hasElementsWithLowerLod{"hasElementsWithLowerLod"};
    Velmar::Json::ValueProperty<Int32> activeLod{"activeLod"};
    VELMAR_JSON_MEMBERS(hasElementsWitHigherLod, hasElementsWithLowerLod, activeLod)
};

}  // namespace velmar::lod::model

namespace Velmar::Lod {

// Compares the LODs recorded in the project's composite tags with the provider's active level: lower when
// a composite was built below it, higher when one was built at or above it. Without an active level both
// are false and activeLod is absent.
velmar::lod::model::LodChangeInformation ComputeLodChangeInformation(const LodProvider& provider);

}  // namespace Velmar::Lod

// velmar::lod::model::LodChangeInformation: what the Lod page is told before the active LOD changes:
// whether the project holds composites built for a lower or for a higher (or the same) LOD, and the active one.
#pragma once

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

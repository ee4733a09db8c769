// The numeric properties a user may pick for a rule's property-selector question.
#pragma once

#include "RuleRecords.hpp"

namespace Velmar::Bo {

// Every single-valued integer or real definition of the project's groups, as ("group.name", GUID text),
// sorted by display name in the host's string order. Empty when the groups cannot be read; a group whose
// definitions cannot be read is left out.
GS::Array<velmar::rules::model::TargetProperty> ListSelectableProperties();

}  // namespace Velmar::Bo

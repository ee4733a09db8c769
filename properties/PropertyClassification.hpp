// Classification in property writing: the items a new definition is available to, and the codes the
// user mapped to a property, written with a system's values.
#pragma once

#include "BoSystem.hpp"
#include "MappingFile.hpp"

namespace Velmar::Services::Properties {

// The project's items the mapping lists under systems of those names; what the project lacks is logged
// and left out, with the items listed under it.
GS::Array<API_Guid> ResolveItems(const GS::Array<Cnf::VelmarClassificationDescriptor>& wanted,
                                 const GS::Array<API_ClassificationSystem>& systems);

// Adds to `values` the value of each active mapping of a classification code to a property.
void AddClassificationCodes(const Bo::System& system, GS::Array<API_Property>& values);

}  // namespace Velmar::Services::Properties

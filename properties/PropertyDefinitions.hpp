// The property groups and definitions a system's values are written into.
#pragma once

#include "BoSystem.hpp"
#include "MappingFile.hpp"
#include "PropertyValues.hpp"

#include <optional>
#include <unordered_map>

namespace Velmar::Services::Properties {

// The project's groups and the definitions of each, listed once however many elements a write reaches,
// and kept up to date with what it creates and changes.
class DefinitionCatalog {
public:
    // None when the group is missing and not to be made, or the host will not make it (a skipped value).
    std::optional<API_Guid> GroupNamed(const GS::UniString& name, bool create);
    GS::Array<API_PropertyDefinition>& DefinitionsOf(const API_Guid& group);
    // The definition the entry names. With `create`, a missing one is made available to `availability`, and
    // an existing one is widened to it; otherwise none when it is missing.
    std::optional<API_PropertyDefinition> DefinitionFor(const Cnf::Property& entry, const Bo::Property& parameter,
                                                        const ValueKind& kind, const GS::Array<API_Guid>& availability,
                                                        bool create);

private:
    bool groupsListed_ = false;
    GS::Array<API_PropertyGroup> groups_;
    std::unordered_map<API_Guid, GS::Array<API_PropertyDefinition>> definitions_;
};

// Renames the definitions of every stored system's parameters into the language and sets their value type
// from the mapping. Answers how many definitions changed.
std::size_t RefreshDefinitions(DefinitionCatalog& catalog, const Cnf::VelmarMappingFile* mapping, Int32 languageIndex);

}  // namespace Velmar::Services::Properties

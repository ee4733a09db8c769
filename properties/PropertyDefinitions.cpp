#include "PropertyDefinitions.hpp"

#include "ACAPinc.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyReads.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"

#include <string>

namespace Velmar::Services::Properties {

namespace {

// A definition made for walls also serves the floors and ceilings written later: the classification
// items of their kind are added to where it is available (an empty list already means everywhere).
API_PropertyDefinition Widened(API_PropertyDefinition& definition, const GS::Array<API_Guid>& availability)
{
    if (definition.availability.IsEmpty() || definition.definitionType != API_PropertyCustomDefinitionType)
        return definition;
    API_PropertyDefinition widened = definition;
    for (const API_Guid& item : availability) {
        if (!widened.availability.Contains(item))
            widened.availability.Push(item);
    }
    if (widened.availability.GetSize() == definition.availability.GetSize())
        return definition;
    // Refused, the definition stays as it is, and a value it cannot carry is skipped where it is written.
    if (ChangePropertyDefinition(definition, widened) != NoError)
        return definition;
    definition = widened;
    return definition;
}

// A name the mapping gives is the country's own and stays; the parameter's name follows the language.
bool MappingNames(const Cnf::VelmarMappingFile* mapping, const Cnf::Property& entry, const GS::UniString& id)
{
    return mapping != nullptr && Cnf::FindProperty(mapping->properties.Items(), id) != nullptr &&
           entry.name.HasValue() && !entry.name.Get().IsEmpty();
}

// Every name the parameter's definition may have been given: the mapping's, each language's, its ID.
GS::Array<GS::UniString> KnownNames(const Cnf::Property& entry, const Bo::Property& parameter, bool named)
{
    GS::Array<GS::UniString> known;
    if (named)
        known.Push(entry.name.Get());
    for (Int32 language = 1; language <= 3; ++language) {
        if (const auto text = parameter.attribute.NameText(language))
            known.Push(*text);
    }
    known.Push(parameter.attribute.ID.ValueOr(GS::UniString()));
    return known;
}

API_PropertyDefinition* FirstKnown(GS::Array<API_PropertyDefinition>& definitions,
                                   const GS::Array<GS::UniString>& known)
{
    for (API_PropertyDefinition& definition : definitions) {
        if (definition.definitionType == API_PropertyCustomDefinitionType && known.Contains(definition.name))
            return &definition;
    }
    return nullptr;
}

API_PropertyDefinition Rewritten(const API_PropertyDefinition& definition, const GS::UniString& name,
                                 const ValueKind& kind, const Cnf::Property& entry)
{
    API_PropertyDefinition rewritten = definition;
    rewritten.name = name;
    rewritten.measureType = kind.measureType;
    if (rewritten.valueType != kind.valueType) {
        rewritten.valueType = kind.valueType;
        rewritten.defaultValue.basicValue = DefaultValueOf(kind.valueType, entry.DefaultIsUndefined.ValueOr(false));
    }
    return rewritten;
}

// Whether the parameter's definition changed; one the project does not have is left alone.
bool RefreshParameter(DefinitionCatalog& catalog, const Cnf::VelmarMappingFile* mapping, const Bo::Property& parameter,
                      Int32 languageIndex)
{
    const Cnf::Property entry = EntryFor(mapping, parameter);
    const auto group = catalog.GroupNamed(GroupOf(entry), false);
    if (!group)
        return false;
    const GS::UniString id = parameter.attribute.ID.ValueOr(GS::UniString());
    const bool named = MappingNames(mapping, entry, id);
    API_PropertyDefinition* definition = FirstKnown(catalog.DefinitionsOf(*group), KnownNames(entry, parameter, named));
    if (definition == nullptr)
        return false;
    const GS::UniString name = named ? entry.name.Get() : parameter.attribute.NameText(languageIndex).value_or(id);
    const ValueKind kind = ValueKindOf(DataTypeOf(entry, parameter));
    if (definition->name == name && definition->valueType == kind.valueType &&
        definition->measureType == kind.measureType)
        return false;
    const API_PropertyDefinition rewritten = Rewritten(*definition, name, kind, entry);
    // A rename is all or nothing: half the properties in the new language would be neither.
    if (const GSErrCode err = ChangePropertyDefinition(*definition, rewritten); err != NoError)
        throw GS::GeneralException(UniStringOfUtf8("the property \"" + Utf8Of(definition->name) +
                                                   "\" could not be renamed to \"" + Utf8Of(name) + "\" (" +
                                                   std::to_string(err) + ")"));
    *definition = rewritten;
    return true;
}

}  // namespace

std::optional<API_Guid> DefinitionCatalog::GroupNamed(const GS::UniString& name, bool create)
{
    if (!groupsListed_) {
        if (const GSErrCode err = ACAPI_Property_GetPropertyGroups(groups_); err != NoError)
            ReadRefused("the property groups", err);
        groupsListed_ = true;
    }
    for (const API_PropertyGroup& group : groups_) {
        if (group.name == name)
            return group.guid;
    }
    if (!create)
        return std::nullopt;
    API_PropertyGroup group;
    group.groupType = API_PropertyCustomGroupType;
    group.name = name;
    group.description = " ";
    if (CreatePropertyGroup(group) != NoError) {
        NoteSkippedValue(name);
        return std::nullopt;
    }
    groups_.Push(group);
    return group.guid;
}

GS::Array<API_PropertyDefinition>& DefinitionCatalog::DefinitionsOf(const API_Guid& group)
{
    auto found = definitions_.find(group);
    if (found != definitions_.end())
        return found->second;
    GS::Array<API_PropertyDefinition> listed;
    if (const GSErrCode err = ACAPI_Property_GetPropertyDefinitions(group, listed); err != NoError)
        ReadRefused("the properties of a group", err);
    return definitions_.emplace(group, std::move(listed)).first->second;
}

std::optional<API_PropertyDefinition>
DefinitionCatalog::DefinitionFor(const Cnf::Property& entry, const Bo::Property& parameter, const ValueKind& kind,
                                 const GS::Array<API_Guid>& availability, bool create)
{
    const GS::UniString name = NameOf(entry, parameter);
    const auto group = GroupNamed(GroupOf(entry), create);
    if (!group)
        return std::nullopt;
    GS::Array<API_PropertyDefinition>& definitions = DefinitionsOf(*group);
    for (API_PropertyDefinition& definition : definitions) {
        if (definition.name == name)
            return create ? Widened(definition, availability) : definition;
    }
    if (!create)
        return std::nullopt;
    API_PropertyDefinition definition;
    definition.definitionType = API_PropertyCustomDefinitionType;
    definition.groupGuid = *group;
    definition.name = name;
    definition.description = " ";
    definition.collectionType = API_PropertySingleCollectionType;
    definition.valueType = kind.valueType;
    definition.measureType = kind.measureType;
    definition.defaultValue.basicValue = DefaultValueOf(kind.valueType, entry.DefaultIsUndefined.ValueOr(false));
    definition.availability = availability;
    if (CreatePropertyDefinition(definition) != NoError) {
        NoteSkippedValue(name);
        return std::nullopt;
    }
    definitions.Push(definition);
    return definition;
}

std::size_t RefreshDefinitions(DefinitionCatalog& catalog, const Cnf::VelmarMappingFile* mapping, Int32 languageIndex)
{
    std::size_t changed = 0;
    for (const auto& stored : ProjectStore::ProjectStoreService::instance()->GetAllSystems()) {
        for (const Bo::Property& parameter : stored.first.properties)
            changed += RefreshParameter(catalog, mapping, parameter, languageIndex) ? 1 : 0;
    }
    return changed;
}

}  // namespace Velmar::Services::Properties

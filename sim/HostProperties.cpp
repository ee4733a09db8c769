// The host's property and classification operations.
#include "HostGuid.hpp"
#include "HostImpl.hpp"

namespace Sim {

namespace {

bool IsEnumeration(API_PropertyCollectionType collection)
{
    return collection == API_PropertySingleChoiceEnumerationCollectionType ||
           collection == API_PropertyMultipleChoiceEnumerationCollectionType;
}

bool IsList(API_PropertyCollectionType collection)
{
    return collection == API_PropertyListCollectionType ||
           collection == API_PropertyMultipleChoiceEnumerationCollectionType;
}

bool IsEnumKey(const API_PropertyDefinition& definition, const API_Variant& key)
{
    for (const auto& possible : definition.possibleEnumValues) {
        if (possible.keyVariant.guidValue == key.guidValue)
            return true;
    }
    return false;
}

// Whether a value fits the definition: an enumeration holds keys of its possible values, the other
// kinds variants of the definition's value type.
GSErrCode CheckValue(const API_PropertyDefinition& definition, const API_PropertyValue& value)
{
    if (value.variantStatus == API_VariantStatusNull)
        return APIERR_BADPARS;
    if (value.variantStatus == API_VariantStatusUserUndefined)
        return NoError;
    const bool enumeration = IsEnumeration(definition.collectionType);
    const auto fits = [&](const API_Variant& variant) {
        if (enumeration)
            return variant.type == API_PropertyGuidValueType && IsEnumKey(definition, variant);
        return variant.type == definition.valueType;
    };
    if (IsList(definition.collectionType)) {
        for (const auto& variant : value.listVariant.variants) {
            if (!fits(variant))
                return enumeration ? APIERR_BADVALUE : APIERR_BADPARS;
        }
        return NoError;
    }
    if (!fits(value.singleVariant.variant))
        return enumeration ? APIERR_BADVALUE : APIERR_BADPARS;
    return NoError;
}

GSErrCode CheckDefinition(const Project& project, const API_PropertyDefinition& definition)
{
    if (definition.definitionType != API_PropertyCustomDefinitionType ||
        definition.collectionType == API_PropertyUndefinedCollectionType ||
        definition.valueType == API_PropertyUndefinedValueType ||
        definition.measureType == API_PropertyUndefinedMeasureType)
        return APIERR_BADPARS;
    const bool singleReal = definition.collectionType == API_PropertySingleCollectionType &&
                            definition.valueType == API_PropertyRealValueType;
    if (definition.measureType != API_PropertyDefaultMeasureType && !singleReal)
        return APIERR_BADPARS;
    if (definition.name.IsEmpty())
        return APIERR_BADNAME;
    const PropertyGroup* group = project.FindGroup(definition.groupGuid);
    if (group == nullptr || group->group.groupType != API_PropertyCustomGroupType)
        return APIERR_BADID;
    for (const API_Guid& item : definition.availability) {
        if (project.FindItem(item) == nullptr)
            return APIERR_BADID;
    }
    for (const PropertyDefinition* other : project.Definitions(definition.groupGuid)) {
        if (other->definition.name == definition.name && other->definition.guid != definition.guid)
            return APIERR_NAMEALREADYUSED;
    }
    return CheckValue(definition, definition.defaultValue.basicValue);
}

// Drops the values elements carry for a definition that changed what it holds, or is gone.
void DropValues(Project& project, const API_Guid& definition)
{
    std::vector<API_Guid> carriers;
    for (const auto& entry : project.Elements()) {
        if (entry.second.properties.count(definition) > 0)
            carriers.push_back(entry.second.Guid());
    }
    for (const API_Guid& guid : carriers)
        project.EditElement(guid)->properties.erase(definition);
}

API_ClassificationItem ItemRecord(const Project& project, const API_Guid& guid)
{
    const ClassificationItem* item = project.FindItem(guid);
    return item != nullptr ? item->item : API_ClassificationItem{};
}

}  // namespace

namespace Impl {

GSErrCode ACAPI_Property_GetPropertyGroups(GS::Array<API_PropertyGroup>& groups)
{
    groups.Clear();
    for (const PropertyGroup* group : Host().CurrentProject().Groups())
        groups.Push(group->group);
    return NoError;
}

GSErrCode ACAPI_Property_GetPropertyDefinitions(const API_Guid& groupGuid,
                                                GS::Array<API_PropertyDefinition>& definitions)
{
    const Project& project = Host().CurrentProject();
    if (groupGuid != APINULLGuid && project.FindGroup(groupGuid) == nullptr)
        return APIERR_BADID;
    definitions.Clear();
    for (const PropertyDefinition* definition : project.Definitions(groupGuid))
        definitions.Push(definition->definition);
    return NoError;
}

GSErrCode ACAPI_Property_GetPropertyDefinition(API_PropertyDefinition& definition)
{
    const PropertyDefinition* found = Host().CurrentProject().FindDefinition(definition.guid);
    if (found == nullptr)
        return APIERR_BADID;
    definition = found->definition;
    return NoError;
}

GSErrCode ACAPI_Property_CreatePropertyGroup(API_PropertyGroup& group)
{
    if (group.groupType != API_PropertyCustomGroupType)
        return APIERR_BADPARS;
    if (group.name.IsEmpty())
        return APIERR_BADNAME;
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    Project& project = Host().CurrentProject();
    for (const PropertyGroup* other : project.Groups()) {
        if (other->group.name == group.name)
            return APIERR_NAMEALREADYUSED;
    }
    group.guid = GSGuid2APIGuid(HostGuid::New());
    PropertyGroup created;
    created.group = group;
    project.AddGroup(created);
    return NoError;
}

// A group that still holds definitions is refused: each is deleted on its own first.
GSErrCode ACAPI_Property_DeletePropertyGroup(const API_Guid& groupGuid)
{
    Project& project = Host().CurrentProject();
    const PropertyGroup* found = project.FindGroup(groupGuid);
    if (found == nullptr)
        return APIERR_BADID;
    if (found->group.groupType != API_PropertyCustomGroupType)
        return APIERR_NOACCESSRIGHT;
    if (!project.Definitions(groupGuid).empty())
        return APIERR_BADPARS;
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    project.DeleteGroup(groupGuid);
    return NoError;
}

GSErrCode ACAPI_Property_CreatePropertyDefinition(API_PropertyDefinition& definition)
{
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    Project& project = Host().CurrentProject();
    definition.guid = GSGuid2APIGuid(HostGuid::New());
    if (const GSErrCode err = CheckDefinition(project, definition); err != NoError) {
        definition.guid = APINULLGuid;
        return err;
    }
    definition.canValueBeEditable = true;
    PropertyDefinition created;
    created.definition = definition;
    project.AddDefinition(created);
    return NoError;
}

// Values elements carry stay while the definition holds the same kind of value (value type, collection
// and, for enumerations, a key that is still possible); otherwise they are dropped.
GSErrCode ACAPI_Property_ChangePropertyDefinition(const API_PropertyDefinition& definition)
{
    Project& project = Host().CurrentProject();
    const PropertyDefinition* found = project.FindDefinition(definition.guid);
    if (found == nullptr)
        return APIERR_BADID;
    if (found->definition.definitionType != API_PropertyCustomDefinitionType)
        return APIERR_NOACCESSRIGHT;
    if (const GSErrCode err = CheckDefinition(project, definition); err != NoError)
        return err;
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    const bool sameKind = found->definition.valueType == definition.valueType &&
                          found->definition.collectionType == definition.collectionType;
    PropertyDefinition* edited = project.EditDefinition(definition.guid);
    edited->definition = definition;
    edited->definition.canValueBeEditable = true;
    if (!sameKind) {
        DropValues(project, definition.guid);
    } else if (IsEnumeration(definition.collectionType)) {
        std::vector<API_Guid> stale;
        for (const auto& entry : project.Elements()) {
            const auto value = entry.second.properties.find(definition.guid);
            if (value != entry.second.properties.end() && CheckValue(definition, value->second) != NoError)
                stale.push_back(entry.second.Guid());
        }
        for (const API_Guid& guid : stale)
            project.EditElement(guid)->properties.erase(definition.guid);
    }
    return NoError;
}

GSErrCode ACAPI_Property_DeletePropertyDefinition(const API_Guid& propertyGuid)
{
    Project& project = Host().CurrentProject();
    const PropertyDefinition* found = project.FindDefinition(propertyGuid);
    if (found == nullptr)
        return APIERR_BADID;
    if (found->definition.definitionType != API_PropertyCustomDefinitionType)
        return APIERR_NOACCESSRIGHT;
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    DropValues(project, propertyGuid);
    project.DeleteDefinition(propertyGuid);
    return NoError;
}

GSErrCode ACAPI_Element_GetPropertyDefinitions(const API_Guid& elemGuid, API_PropertyDefinitionFilter filter,
                                               GS::Array<API_PropertyDefinition>& definitions)
{
    const Project& project = Host().CurrentProject();
    const Element* element = project.FindElement(elemGuid);
    if (element == nullptr)
        return APIERR_BADID;
    definitions.Clear();
    for (const PropertyDefinition* row : project.Definitions(APINULLGuid)) {
        const auto& definition = row->definition;
        const bool custom = definition.definitionType == API_PropertyCustomDefinitionType;
        const bool wanted = filter == API_PropertyDefinitionFilter_All ||
                            (filter == API_PropertyDefinitionFilter_UserDefined) == custom;
        if (wanted && project.IsAvailable(*element, definition))
            definitions.Push(definition);
    }
    return NoError;
}

namespace {

// The element's value of the definition; the status stays "not available" where the definition does not apply.
API_Property PropertyOf(const Project& project, const Element& element, const PropertyDefinition& definition)
{
    API_Property property{};
    property.definition = definition.definition;
    if (!project.IsAvailable(element, definition.definition))
        return property;
    property.status = API_Property_HasValue;
    const auto own = element.properties.find(definition.definition.guid);
    property.isDefault = own == element.properties.end();
    property.value = property.isDefault ? definition.definition.defaultValue.basicValue : own->second;
    return property;
}

// Why the host refuses to set the value on the element, or NoError.
GSErrCode RefusalOf(const Project& project, const Element& element, const API_Property& property)
{
    const PropertyDefinition* definition = project.FindDefinition(property.definition.guid);
    if (definition == nullptr || !project.IsAvailable(element, definition->definition))
        return APIERR_BADPROPERTY;
    if (!definition->definition.canValueBeEditable)
        return APIERR_READONLY;
    if (!property.isDefault)
        return CheckValue(definition->definition, property.value);
    return NoError;
}

void Assign(Element& element, const API_Property& property)
{
    if (property.isDefault)
        element.properties.erase(property.definition.guid);
    else
        element.properties[property.definition.guid] = property.value;
}

}  // namespace

GSErrCode ACAPI_Element_GetPropertyValue(const API_Guid& elemGuid, const API_Guid& definitionGuid,
                                         API_Property& property)
{
    const Project& project = Host().CurrentProject();
    const Element* element = project.FindElement(elemGuid);
    if (element == nullptr)
        return APIERR_BADID;
    const PropertyDefinition* definition = project.FindDefinition(definitionGuid);
    if (definition == nullptr)
        return APIERR_GENERAL;
    property = PropertyOf(project, *element, *definition);
    return NoError;
}

// As many single reads, in their order, for one look-up of the element; an unknown definition fails them all.
GSErrCode ACAPI_Element_GetPropertyValuesByGuid(const API_Guid& elemGuid, const GS::Array<API_Guid>& definitionGuids,
                                                GS::Array<API_Property>& properties)
{
    const Project& project = Host().CurrentProject();
    const Element* element = project.FindElement(elemGuid);
    if (element == nullptr)
        return APIERR_BADID;
    std::vector<const PropertyDefinition*> definitions;
    definitions.reserve(definitionGuids.GetSize());
    for (const API_Guid& guid : definitionGuids) {
        definitions.push_back(project.FindDefinition(guid));
        if (definitions.back() == nullptr)
            return APIERR_GENERAL;
    }
    properties.Clear();
    properties.SetCapacity(definitionGuids.GetSize());
    for (const PropertyDefinition* definition : definitions)
        properties.Push(PropertyOf(project, *element, *definition));
    return NoError;
}

// A property marked as default takes the definition's default again; otherwise its value must fit.
GSErrCode ACAPI_Element_SetProperty(const API_Guid& elemGuid, const API_Property& property)
{
    Project& project = Host().CurrentProject();
    const Element* element = project.FindElement(elemGuid);
    if (element == nullptr)
        return APIERR_BADID;
    if (const GSErrCode err = RefusalOf(project, *element, property); err != NoError)
        return err;
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    Assign(*project.EditElement(elemGuid), property);
    return NoError;
}

// Every value is checked before any is set: one refused leaves the element as it was.
GSErrCode ACAPI_Element_SetProperties(const API_Guid& elemGuid, const GS::Array<API_Property>& properties)
{
    Project& project = Host().CurrentProject();
    const Element* element = project.FindElement(elemGuid);
    if (element == nullptr)
        return APIERR_BADID;
    for (const API_Property& property : properties) {
        if (const GSErrCode err = RefusalOf(project, *element, property); err != NoError)
            return err;
    }
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    Element* edited = project.EditElement(elemGuid);
    for (const API_Property& property : properties)
        Assign(*edited, property);
    return NoError;
}

GSErrCode ACAPI_Classification_GetClassificationSystems(GS::Array<API_ClassificationSystem>& systems)
{
    systems.Clear();
    for (const ClassificationSystem* system : Host().CurrentProject().Systems())
        systems.Push(system->system);
    return NoError;
}

GSErrCode ACAPI_Classification_GetClassificationSystemRootItems(const API_Guid& systemGuid,
                                                                GS::Array<API_ClassificationItem>& items)
{
    const Project& project = Host().CurrentProject();
    const ClassificationSystem* system = project.FindSystem(systemGuid);
    if (system == nullptr)
        return APIERR_BADID;
    items.Clear();
    for (const API_Guid& root : system->roots)
        items.Push(ItemRecord(project, root));
    return NoError;
}

GSErrCode ACAPI_Classification_GetClassificationItemChildren(const API_Guid& itemGuid,
                                                             GS::Array<API_ClassificationItem>& children)
{
    const Project& project = Host().CurrentProject();
    const ClassificationItem* item = project.FindItem(itemGuid);
    if (item == nullptr)
        return APIERR_BADID;
    children.Clear();
    for (const API_Guid& child : item->children)
        children.Push(ItemRecord(project, child));
    return NoError;
}

GSErrCode ACAPI_Classification_GetClassificationItem(API_ClassificationItem& item)
{
    const ClassificationItem* found = Host().CurrentProject().FindItem(item.guid);
    if (found == nullptr)
        return APIERR_BADID;
    item = found->item;
    return NoError;
}

GSErrCode ACAPI_Element_GetClassificationItems(const API_Guid& elemGuid,
                                               GS::Array<GS::Pair<API_Guid, API_Guid>>& systemItemPairs)
{
    const Element* element = Host().CurrentProject().FindElement(elemGuid);
    if (element == nullptr)
        return APIERR_BADID;
    systemItemPairs.Clear();
    for (const auto& [system, item] : element->classification)
        systemItemPairs.Push(GS::Pair<API_Guid, API_Guid>(system, item));
    return NoError;
}

// An element has at most one item of a system: a new one replaces the one it had there.
GSErrCode ACAPI_Element_AddClassificationItem(const API_Guid& elemGuid, const API_Guid& itemGuid)
{
    Project& project = Host().CurrentProject();
    const ClassificationItem* item = project.FindItem(itemGuid);
    if (project.FindElement(elemGuid) == nullptr || item == nullptr)
        return APIERR_BADID;
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    project.EditElement(elemGuid)->classification[item->system] = itemGuid;
    return NoError;
}

GSErrCode ACAPI_Element_RemoveClassificationItem(const API_Guid& elemGuid, const API_Guid& itemGuid)
{
    Project& project = Host().CurrentProject();
    const Element* element = project.FindElement(elemGuid);
    const ClassificationItem* item = project.FindItem(itemGuid);
    if (element == nullptr || item == nullptr)
        return APIERR_BADID;
    const auto found = element->classification.find(item->system);
    if (found == element->classification.end() || found->second != itemGuid)
        return APIERR_BADPARS;
    if (OutsideCommand())
        return APIERR_NEEDSUNDOSCOPE;
    project.EditElement(elemGuid)->classification.erase(item->system);
    return NoError;
}

}  // namespace Impl

}  // namespace Sim

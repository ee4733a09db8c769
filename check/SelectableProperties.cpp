#include "SelectableProperties.hpp"

#include "ACAPinc.hpp"
#include "GSDebug.hpp"
#include "Utf8Text.hpp"

#include <algorithm>

namespace Velmar::Bo {

namespace {

bool IsSelectable(const API_PropertyDefinition& definition)
{
    return definition.collectionType == API_PropertySingleCollectionType &&
           (definition.valueType == API_PropertyIntegerValueType || definition.valueType == API_PropertyRealValueType);
}

}  // namespace

GS::Array<velmar::rules::model::TargetProperty> ListSelectableProperties()
{
    GS::Array<velmar::rules::model::TargetProperty> properties;
    GS::Array<API_PropertyGroup> groups;
    if (const GSErrCode err = ACAPI_Property_GetPropertyGroups(groups); err != NoError) {
        DBPrintf("Velmar: the property groups were not listed (%d)\n", err);
        return properties;
    }
    std::vector<std::pair<GS::UniString, GS::UniString>> found;
    for (const API_PropertyGroup& group : groups) {
        GS::Array<API_PropertyDefinition> definitions;
        if (const GSErrCode err = ACAPI_Property_GetPropertyDefinitions(group.guid, definitions); err != NoError) {
            DBPrintf("Velmar: the definitions of group %s were not listed (%d)\n", Velmar::Utf8Of(group.name).c_str(),
                     err);
            continue;
        }
        for (const API_PropertyDefinition& definition : definitions) {
            if (IsSelectable(definition))
                found.emplace_back(group.name + "." + definition.name, APIGuidToString(definition.guid));
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& left, const auto& right) {
        return left.first.Compare(right.first) == GS::UniString::Less;
    });
    properties.SetCapacity(static_cast<USize>(found.size()));
    for (const auto& [name, guid] : found) {
        velmar::rules::model::TargetProperty property;
        property.targetProperty.Set(name);
        property.targetValue.Set(guid);
        properties.Push(std::move(property));
    }
    return properties;
}

}  // namespace Velmar::Bo

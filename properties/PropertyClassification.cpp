#include "PropertyClassification.hpp"

#include "ACAPinc.hpp"
#include "GSDebug.hpp"
#include "PropertyValues.hpp"
#include "State.hpp"
#include "Utf8Text.hpp"

namespace Velmar::Services::Properties {

namespace {

bool SameName(const GS::UniString& a, const GS::UniString& b)
{
    return a.IsEqual(b, GS::CaseInsensitive);
}

const API_ClassificationItem* ItemNamed(const GS::Array<API_ClassificationItem>& level, const GS::UniString& name)
{
    for (const API_ClassificationItem& item : level) {
        if (SameName(item.id, name) || SameName(item.name, name))
            return &item;
    }
    return nullptr;
}

// The listed items found at this level of a system, and below them the children they list; an item the
// project does not have is left out with what it lists.
void CollectItems(const GS::Array<Cnf::VelmarClassificationItemDescriptor>& wanted,
                  const GS::Array<API_ClassificationItem>& level, GS::Array<API_Guid>& items)
{
    for (const auto& descriptor : wanted) {
        const GS::UniString name = descriptor.name.ValueOr(GS::UniString());
        const API_ClassificationItem* found = ItemNamed(level, name);
        if (found == nullptr) {
            DBPrintf("Velmar: the classification item \"%s\" is not in the project\n", Utf8Of(name).c_str());
            continue;
        }
        items.Push(found->guid);
        if (descriptor.children.Items().IsEmpty())
            continue;
        GS::Array<API_ClassificationItem> children;
        if (const GSErrCode err = ACAPI_Classification_GetClassificationItemChildren(found->guid, children);
            err != NoError) {
            DBPrintf("Velmar: the items under \"%s\" were not read (%d)\n", Utf8Of(name).c_str(), err);
            continue;
        }
        CollectItems(descriptor.children.Items(), children, items);
    }
}

// The parameter's value whose ID is the code; empty when the system has none, so the default is written.
GS::UniString CodeText(const Bo::System& system, const GS::UniString& code)
{
    for (const Bo::Property& parameter : system.properties) {
        if (SameName(parameter.attribute.ID.ValueOr(GS::UniString()), code))
            return parameter.attribute.ValueText(parameter.language).value_or(GS::UniString());
    }
    return GS::UniString();
}

}  // namespace

// Systems are matched by name only: the project's edition of a system rarely carries the mapping's version.
GS::Array<API_Guid> ResolveItems(const GS::Array<Cnf::VelmarClassificationDescriptor>& wanted,
                                 const GS::Array<API_ClassificationSystem>& systems)
{
    GS::Array<API_Guid> items;
    for (const auto& descriptor : wanted) {
        const GS::UniString name = descriptor.name.ValueOr(GS::UniString());
        for (const API_ClassificationSystem& system : systems) {
            if (!SameName(system.name, name))
                continue;
            GS::Array<API_ClassificationItem> roots;
            if (const GSErrCode err = ACAPI_Classification_GetClassificationSystemRootItems(system.guid, roots);
                err != NoError)
                DBPrintf("Velmar: the items of \"%s\" were not read (%d)\n", Utf8Of(name).c_str(), err);
            else
                CollectItems(descriptor.children.Items(), roots, items);
            break;
        }
    }
    return items;
}

// A mapping the user switched off is not written; a target the project lost is skipped.
void AddClassificationCodes(const Bo::System& system, GS::Array<API_Property>& values)
{
    for (const auto& mapping : App::State::instance()->classificationMappings) {
        if (!mapping.propertyDefinitionId.HasValue() || !mapping.active.ValueOr(true))
            continue;
        API_PropertyDefinition definition;
        definition.guid = GSGuid2APIGuid(mapping.propertyDefinitionId.Get());
        if (ACAPI_Property_GetPropertyDefinition(definition) != NoError)
            continue;
        values.Push(ToProperty(definition, CodeText(system, mapping.classificationCode.ValueOr(GS::UniString()))));
    }
}

}  // namespace Velmar::Services::Properties

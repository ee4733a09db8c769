#include "ClassificationTargets.hpp"

#include "ACAPinc.hpp"
#include "GSDebug.hpp"
#include "Utf8Text.hpp"

#include <algorithm>
#include <tuple>
#include <vector>

namespace Velmar::Services::Classification {

namespace {

struct Candidate {
    GS::UniString name;
    GS::UniString group;
    GS::UniString guid;
    API_Guid id = {};
};

bool CanTakeCode(const API_PropertyDefinition& definition)
{
    return definition.valueType == API_PropertyStringValueType &&
           definition.collectionType == API_PropertySingleCollectionType && definition.canValueBeEditable &&
           !definition.defaultValue.hasExpression;
}

bool Before(const Candidate& a, const Candidate& b)
{
    const auto key = [](const Candidate& c) {
        return std::make_tuple(Velmar::Utf8Of(c.name.ToLowerCase()), Velmar::Utf8Of(c.group.ToLowerCase()),
                               Velmar::Utf8Of(c.guid));
    };
    return key(a) < key(b);
}

}  // namespace

GS::Array<velmar::ui::model::ClassificationTarget> ClassificationTargets()
{
    GS::Array<API_PropertyGroup> groups;
    if (const GSErrCode err = ACAPI_Property_GetPropertyGroups(groups); err != NoError)
        DBPrintf("Velmar: the property groups were not listed (%d); no classification target is offered\n", err);
    std::vector<Candidate> candidates;
    for (const API_PropertyGroup& group : groups) {
        GS::Array<API_PropertyDefinition> definitions;
        if (const GSErrCode err = ACAPI_Property_GetPropertyDefinitions(group.guid, definitions); err != NoError) {
            DBPrintf("Velmar: the properties of \"%s\" were not listed (%d)\n", Velmar::Utf8Of(group.name).c_str(),
                     err);
            continue;
        }
        for (const API_PropertyDefinition& definition : definitions) {
            if (CanTakeCode(definition))
                candidates.push_back({definition.name, group.name, APIGuidToString(definition.guid), definition.guid});
        }
    }
    std::sort(candidates.begin(), candidates.end(), Before);
    GS::Array<velmar::ui::model::ClassificationTarget> targets;
    for (const Candidate& candidate : candidates) {
        velmar::ui::model::ClassificationTarget target;
        target.id.Set(APIGuid2GSGuid(candidate.id));
        target.name.Set(candidate.name);
        targets.Push(target);
    }
    return targets;
}

}  // namespace Velmar::Services::Classification

// The JSON records the rule pages exchange with the add-on: a question's answer (or a selectable
// property), a run request, and the result of one rule over the linked elements.
#pragma once

#include "RuleDocument.hpp"

namespace velmar::rules::model {

// In a run request: a question's code and its answer. In the property list: a property's display name
// and its definition's GUID text.
class TargetProperty : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<GS::UniString> targetValue{"targetValue"};
    Velmar::Json::ValueProperty<GS::UniString> targetProperty{"targetProperty"};
    VELMAR_JSON_MEMBERS(targetValue, targetProperty)
};

class RuleRunRequest : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ArrayProperty<Velmar::Rules::Rule> activeRules{"activeRules"};
    Velmar::Json::ArrayProperty<TargetProperty> targetProperties{"targetProperties"};
    VELMAR_JSON_MEMBERS(activeRules, targetProperties)
};

// "failedItems" are the elements whose Logic was true: the Logic states the failure.
class RuleExecutionResult : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<Velmar::Rules::Rule> rule{"rule"};
    Velmar::Json::ArrayProperty<API_Guid> failedItems{"failedItems"};
    Velmar::Json::ArrayProperty<API_Guid> successItems{"successItems"};
    Velmar::Json::ArrayProperty<API_Guid> noneEvalItems{"noneEvalItems"};
    VELMAR_JSON_MEMBERS(rule, failedItems, successItems, noneEvalItems)
};

}  // namespace velmar::rules::model

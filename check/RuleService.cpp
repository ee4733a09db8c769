#include "RuleService.hpp"

#include "ACAPinc.hpp"
#include "BM.hpp"
#include "ConfigurationService.hpp"
#include "GSDebug.hpp"
#include "ProcessWindow.hpp"
#include "ProjectStoreService.hpp"
#include "RapidJson.hpp"
#include "ServiceSlot.hpp"
#include "Utf8Text.hpp"
#include "WallsAndSlabs.hpp"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace Velmar::Services {

namespace {

using velmar::rules::model::RuleExecutionResult;
using velmar::rules::model::RuleRunRequest;

ServiceSlot<RuleService> slot;

constexpr Int32 CancelCheckEvery = 512;

std::vector<GS::Guid> DistinctSystems(const std::vector<std::pair<API_Guid, GS::Guid>>& pairs)
{
    std::vector<GS::Guid> systems;
    std::unordered_set<GS::Guid> seen;
    for (const auto& pair : pairs) {
        if (seen.insert(pair.second).second)
            systems.push_back(pair.second);
    }
    return systems;
}

GS::UniString ActiveLanguageCode()
{
    const auto configuration = ConfigurationService::Get();
    return configuration != nullptr ? configuration->GetLanguageCode().value_or(GS::UniString()) : GS::UniString();
}

GS::UniString LabelOf(const Rules::Rule& rule)
{
    return rule.Label.ValueOr(GS::UniString());
}

bool SameLabel(const Rules::Rule& left, const Rules::Rule& right)
{
    return LabelOf(left).IsEqual(LabelOf(right), GS::CaseInsensitive);
}

// One label's verdicts so far: Logic false (passed) and Logic true (failed), the latest system's first.
struct LabelResult {
    Rules::Rule rule;
    std::vector<API_Guid> passed;
    std::vector<API_Guid> failed;
};

void Prepend(std::vector<API_Guid>& to, std::vector<API_Guid> first)
{
    first.insert(first.end(), to.begin(), to.end());
    to = std::move(first);
}

GS::Array<API_Guid> ToArray(const std::vector<API_Guid>& guids)
{
    GS::Array<API_Guid> array;
    array.SetCapacity(static_cast<USize>(guids.size()));
    for (const API_Guid& guid : guids)
        array.Push(guid);
    return array;
}

}  // namespace

std::vector<std::pair<API_Guid, GS::Guid>> CollectLinkedElements()
{
    std::vector<std::pair<API_Guid, GS::Guid>> pairs;
    Bo::ForEachWallAndSlab(
        Bo::LogRefusal, [](const Bo::ElementKind&, USize) { return true; },
        [&](const API_Guid& element, UIndex) {
            if (const auto system = Bo::LinkOf(element, Bo::LogRefusal))
                pairs.emplace_back(element, *system);
            return true;
        });
    return pairs;
}

std::shared_ptr<RuleService> RuleService::instance()
{
    return slot.GetOrCreate();
}

GS::Array<Rules::Rule> RuleService::ListRules() const
{
    GS::Array<Rules::Rule> rules;
    const auto store = ProjectStore::ProjectStoreService::instance();
    store->Reload();
    const GS::UniString language = ActiveLanguageCode();
    for (const GS::Guid& id : DistinctSystems(CollectLinkedElements())) {
        const auto system = store->GetSystem(id);
        if (system == nullptr)
            continue;
        for (const Bo::Rule& rule : system->rules) {
            const Rules::Rule& record = rule.Record();
            const bool listed = std::any_of(rules.begin(), rules.end(),
                                            [&record](const Rules::Rule& other) { return SameLabel(other, record); });
            if (listed && record.Language.ValueOr(GS::UniString()) == language)
                continue;
            rules.Push(record);
        }
    }
    return rules;
}

namespace {

// One linked system in a run: its compiled rules of the request's labels, with the accessor they read
// through and their verdicts on the system's elements in project order.
struct SystemRun {
    SystemRun(std::shared_ptr<Bo::System> linked, const Bo::AnswerList& answers,
              const GS::Array<Rules::Rule>& activeRules)
        : system(std::move(linked)), parameters(Bo::BuildParameterTable(*system)),
          accessor(std::make_shared<Bo::ObjectAccessor>(&answers, &parameters))
    {
        // Reserved: a compiled rule keeps its accessor, and a copy would compile again without it.
        rules.reserve(system->rules.GetSize());
        for (const Bo::Rule& rule : system->rules) {
            const bool active = std::any_of(activeRules.begin(), activeRules.end(), [&rule](const Rules::Rule& wanted) {
                return SameLabel(wanted, rule.Record());
            });
            if (!active)
                continue;
            rules.emplace_back(rule);
            rules.back().Compile();
            rules.back().SetAccessor(accessor);
            verdicts.push_back(LabelResult{rules.back().Record(), {}, {}});
        }
    }
    SystemRun(const SystemRun&) = delete;
    SystemRun& operator=(const SystemRun&) = delete;

    // One read serves every rule; after a failed read the next rule asks the host again, so a failure
    // takes the verdict of the rule it met only. An element without a verdict counts as failed.
    void Judge(const API_Guid& guid)
    {
        bool read = false;
        for (std::size_t i = 0; i < rules.size(); ++i) {
            read = read || Read(guid);
            (!read || rules[i].Fails(accessor.get()) ? verdicts[i].failed : verdicts[i].passed).push_back(guid);
        }
    }

    bool Read(const API_Guid& guid)
    {
        API_Element element = {};
        element.header.guid = guid;
        if (const GSErrCode err = ACAPI_Element_Get(&element, 0); err != NoError) {
            DBPrintf("Velmar: an element was not read for the rules (%d)\n", err);
            return false;
        }
        accessor->SetElement(element);
        return true;
    }

    std::shared_ptr<Bo::System> system;
    Bo::ParameterTable parameters;
    std::shared_ptr<Bo::ObjectAccessor> accessor;
    std::vector<Bo::Rule> rules;
    std::vector<LabelResult> verdicts;
};

}  // namespace

RuleService::RunOutcome RuleService::RunRules(const RuleRunRequest& request)
{
    Bo::AnswerList answers;
    for (const auto& property : request.targetProperties.Items())
        answers.emplace_back(property.targetProperty.ValueOr(GS::UniString()),
                             property.targetValue.ValueOr(GS::UniString()));
    const auto store = ProjectStore::ProjectStoreService::instance();
    store->Reload();

    // One pass in project order, as the host keeps its elements: each element is read once, right after
    // its link, and the rules of its system judge it then. A system is loaded and its rules compiled when
    // its first element comes, so systems stay in the order their elements come in.
    std::vector<std::unique_ptr<SystemRun>> runs;
    std::unordered_map<GS::Guid, SystemRun*> runOf;
    ProcessWindow window("Check", static_cast<Int32>(std::size(Bo::WallsAndSlabs)));
    const bool complete = Bo::ForEachWallAndSlab(
        Bo::LogRefusal,
        [&](const Bo::ElementKind& kind, USize count) {
            return window.NextPhase(kind.phase, static_cast<Int32>(count));
        },
        [&](const API_Guid& guid, UIndex position) {
            const Int32 done = static_cast<Int32>(position) + 1;
            if (done % CancelCheckEvery == 0 && !window.SetValue(done))
                return false;
            const auto id = Bo::LinkOf(guid, Bo::LogRefusal);
            if (!id)
                return true;
            auto found = runOf.find(*id);
            if (found == runOf.end()) {
                SystemRun* run = nullptr;
                if (auto system = store->GetSystem(*id)) {
                    runs.push_back(
                        std::make_unique<SystemRun>(std::move(system), answers, request.activeRules.Items()));
                    run = runs.back().get();
                }
                found = runOf.emplace(*id, run).first;
            }
            if (found->second != nullptr && !found->second->rules.empty())
                found->second->Judge(guid);
            return true;
        });
    if (!complete)
        return RunOutcome::Cancelled;

    // Per label, the verdicts of the later system come first.
    std::vector<LabelResult> labels;
    for (const auto& run : runs) {
        for (LabelResult& verdict : run->verdicts) {
            const auto existing = std::find_if(labels.begin(), labels.end(), [&verdict](const LabelResult& entry) {
                return SameLabel(entry.rule, verdict.rule);
            });
            if (existing == labels.end()) {
                labels.push_back(std::move(verdict));
            } else {
                Prepend(existing->passed, std::move(verdict.passed));
                Prepend(existing->failed, std::move(verdict.failed));
            }
        }
    }

    GS::Array<RuleExecutionResult> results;
    for (const LabelResult& label : labels) {
        RuleExecutionResult result;
        result.rule.Set(label.rule);
        result.failedItems.Items() = ToArray(label.failed);
        result.successItems.Items() = ToArray(label.passed);
        results.Push(std::move(result));
    }
    results_ = std::move(results);
    return RunOutcome::Stored;
}

void RuleService::HighlightElements(const std::string& guidArray)
{
    Json::rj::Document document;
    GS::Array<API_Neig> elements;
    if (Json::ParseDocument(guidArray.data(), guidArray.size(), document) && document.IsArray()) {
        for (const auto& item : document.GetArray()) {
            GS::Guid guid;
            if (item.IsString() && guid.ConvertFromString(item.GetString()) == NoError)
                elements.Push(API_Neig(GSGuid2APIGuid(guid)));
        }
    }
    if (const GSErrCode err = ACAPI_Selection_DeselectAll(); err != NoError)
        DBPrintf("Velmar: the selection was not cleared (%d)\n", err);
    if (const GSErrCode err = ACAPI_Selection_Select(elements, true); err != NoError)
        DBPrintf("Velmar: the elements were not selected (%d)\n", err);
    if (const GSErrCode err = ACAPI_View_ZoomToSelected(); err != NoError)
        DBPrintf("Velmar: the view was not zoomed to the selection (%d)\n", err);
}

}  // namespace Velmar::Services

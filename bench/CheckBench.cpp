// Check of the six built-in rules over linked walls carrying their systems' values, against a loop written
// by hand that reads the same host values (each wall's link, record, length quantity and the four selected
// property values) and tests the same conditions with the systems' thresholds read beforehand. Both give
// the same verdicts, which the benchmark checks. 5 000 and 50 000 walls show Check grows linearly.
#include "BuiltInRules.hpp"
#include "HostText.hpp"
#include "LinkedWalls.hpp"
#include "RatioReporter.hpp"
#include "RuleService.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <set>
#include <unordered_map>

namespace {

using namespace Velmar;
using namespace Velmar::Bench;
using velmar::rules::model::RuleRunRequest;

// The definitions the property questions ~P1 to ~P4 select: two of the project's own, two of Velmar's.
const char* const Selected[] = {"Fire Rating", "Acoustic Rating", "Rw", "Gewicht"};

API_Guid DefinitionNamed(const char* name)
{
    for (const Sim::PropertyDefinition* definition : LinkedWalls::Instance().Project().Definitions(APINULLGuid)) {
        if (definition->definition.name == name)
            return definition->definition.guid;
    }
    throw std::runtime_error(std::string("the project has no definition ") + name);
}

// The project of that size with every linked wall written once, as the walls of a project Check runs on.
void Prepare(int walls)
{
    static std::set<int> written;
    LinkedWalls::Instance().Use(walls);
    if (written.insert(walls).second)
        Services::PropertyProvider::instance()->ReapplyToAll();
}

RuleRunRequest Request()
{
    RuleRunRequest request;
    for (const Rules::Rule& rule : Rules::SelectBuiltInRules(App::State::instance()->languageIndex.value_or(1)))
        request.activeRules.Items().Push(rule);
    const auto answer = [&request](const GS::UniString& code, const GS::UniString& value) {
        velmar::rules::model::TargetProperty property;
        property.targetProperty.Set(code);
        property.targetValue.Set(value);
        request.targetProperties.Items().Push(property);
    };
    answer("DIN_18183", "TOEP1");
    for (int p = 0; p < 4; ++p)
        answer(HostText::Uni(("~P" + std::to_string(p + 1)).c_str()), APIGuidToString(DefinitionNamed(Selected[p])));
    return request;
}

// A system's thresholds as the rules read them: lengths in metres.
struct Thresholds {
    bool fireRated;
    double height1, height2, foa1, foa2, expansion, fire, rw, dnt, weight;
};

Thresholds ThresholdsOf(std::size_t n)
{
    std::map<std::string, std::string> values;
    for (const Performance& p : PerformanceOf(n, 0))
        values[p.id] = p.value;
    const auto number = [&values](const char* id) {
        std::string text = values.at(id);
        std::replace(text.begin(), text.end(), ',', '.');
        return std::stod(text);
    };
    const auto metres = [&number](const char* id) { return number(id) / 1000.0; };
    return {values.at("RTF") != "geen",
            metres("MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_1_VOLGENS_DIN_18183_"),
            metres("MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_2_VOLGENS_DIN_18183_"),
            metres("MH_FOA1"),
            metres("MH_FOA2"),
            metres("DILATATIE"),
            number("BRANDWERENDHEID"),
            number("ASIRW"),
            number("LUCHTGELUIDISOLATIE_DNT_A_K"),
            number("Weight")};
}

// An element value as the rules read it: a length or height in six decimals.
double AsRead(double value)
{
    return std::nearbyint(value * 1e6) / 1e6;
}

// A selected value above a threshold; an absent value is above nothing.
bool Above(const std::optional<double>& value, double threshold)
{
    return value && *value > threshold;
}

std::optional<double> ValueOf(const API_Guid& element, const API_Guid& definition)
{
    API_Property property;
    if (ACAPI_Element_GetPropertyValue(element, definition, property) != NoError ||
        property.status != API_Property_HasValue || property.value.variantStatus != API_VariantStatusNormal)
        return std::nullopt;
    const API_Variant& variant = property.value.singleVariant.variant;
    if (property.definition.valueType == API_PropertyIntegerValueType)
        return static_cast<double>(variant.intValue);
    if (property.definition.valueType == API_PropertyRealValueType)
        return variant.doubleValue;
    return std::nullopt;
}

// Failed elements per rule, in the built-in order.
using Verdicts = std::array<std::size_t, 6>;

Verdicts HandWritten(const std::unordered_map<GS::Guid, Thresholds>& systems, const API_Guid (&selected)[4])
{
    Verdicts failed{};
    ForEachLinkedElement([&](const API_Guid& guid, const std::optional<GS::Guid>& link) {
        const auto system = link ? systems.find(*link) : systems.end();
        if (system == systems.end())
            return;
        const Thresholds& t = system->second;
        API_Element element = {};
        element.header.guid = guid;
        ACAPI_Element_Get(&element, 0);
        API_QuantitiesMask mask;
        ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, wall, length);
        API_ElementQuantity quantity = {};
        API_Quantities quantities;
        quantities.elements = &quantity;
        const API_QuantityPar parameters = {};
        ACAPI_Element_GetQuantities(guid, &parameters, &quantities, &mask);
        std::optional<double> values[4];
        for (int p = 0; p < 4; ++p)
            values[p] = ValueOf(guid, selected[p]);

        const double height = AsRead(element.wall.height);
        failed[0] += t.fireRated ? height > t.height1 : height > t.foa1;  // the answer is TOEP1
        failed[1] += AsRead(quantity.wall.length) > t.expansion;
        failed[2] += Above(values[0], t.fire);
        failed[3] += Above(values[1], t.rw);
        failed[4] += Above(values[2], t.dnt);
        failed[5] += Above(values[3], t.weight * height);
    });
    return failed;
}

struct Inputs {
    std::unordered_map<GS::Guid, Thresholds> systems;
    API_Guid selected[4] = {};
};

Inputs InputsOf(int walls)
{
    Prepare(walls);
    Inputs inputs;
    for (std::size_t n = 0; n < Systems; ++n)
        inputs.systems.emplace(LinkedWalls::Instance().StoredSystems()[n], ThresholdsOf(n));
    for (int p = 0; p < 4; ++p)
        inputs.selected[p] = DefinitionNamed(Selected[p]);
    return inputs;
}

void Check(benchmark::State& state)
{
    const Inputs inputs = InputsOf(Walls(state));
    const RuleRunRequest request = Request();
    const auto service = Services::RuleService::instance();
    for (auto _ : state) {
        if (service->RunRules(request) != Services::RuleService::RunOutcome::Stored)
            state.SkipWithError("the run was cancelled");
    }
    const auto results = service->GetResults();
    const Verdicts expected = HandWritten(inputs.systems, inputs.selected);
    for (std::size_t r = 0; r < expected.size(); ++r) {
        if (r >= results.GetSize() || results[static_cast<UIndex>(r)].failedItems.Items().GetSize() != expected[r])
            state.SkipWithError("Check and the hand-written loop disagree");
    }
    state.counters["failed"] = static_cast<double>(std::accumulate(expected.begin(), expected.end(), std::size_t(0)));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void CheckByHand(benchmark::State& state)
{
    const Inputs inputs = InputsOf(Walls(state));
    Verdicts failed{};
    for (auto _ : state)
        benchmark::DoNotOptimize(failed = HandWritten(inputs.systems, inputs.selected));
    state.counters["failed"] = static_cast<double>(std::accumulate(failed.begin(), failed.end(), std::size_t(0)));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(Check)->Arg(SmallProject)->Arg(LargeProject)->MinTime(Bench::SteadySeconds)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckByHand)
    ->Arg(SmallProject)
    ->Arg(LargeProject)
    ->MinTime(Bench::SteadySeconds)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return Bench::RunWithRatios(
        argc, argv,
        {
            {"Check/50000", "CheckByHand/50000",
             "Check of the six built-in rules vs by hand, 50 000 walls (goal <= 1.5x)"},
            {"Check/5000", "CheckByHand/5000", "Check of the six built-in rules vs by hand, 5 000 walls"},
            {"Check/50000", "Check/5000", "Check, 50 000 walls vs 5 000 (linear: 10x)"},
            {"CheckByHand/50000", "CheckByHand/5000", "by hand, 50 000 walls vs 5 000"},
        });
}

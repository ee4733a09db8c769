// The rule language: compiled predicates against hand-written C++ over the same element reads, compile
// cost against reading the rule, and record parsing against RapidJSON's own parse of the same text.
#include "BoRule.hpp"
#include "BuiltInRules.hpp"
#include "RatioReporter.hpp"

#include <map>
#include <random>

namespace {

using namespace Velmar::Rules;

constexpr int Elements = 100000;
constexpr int DistinctElements = 1000;

// Elements that differ in height, length and the system's values, with answers as a user gives them.
class SyntheticElement : public TargetObject {
public:
    explicit SyntheticElement(int seed)
    {
        std::mt19937 random(static_cast<unsigned>(seed));
        auto number = [&](int low, int high) {
            return std::to_string(std::uniform_int_distribution<int>(low, high)(random)) + ".5";
        };
        values_ = {{"Type.Height", number(2, 5)}, {"Quantity.length", number(5, 20)}};
        parameters_ = {{"RTF", seed % 3 == 0 ? "geen" : "EI 60"},
                       {"MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_1_VOLGENS_DIN_18183_", number(2, 5)},
                       {"MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_2_VOLGENS_DIN_18183_", number(2, 5)},
                       {"MH_FOA1", number(2, 5)},
                       {"MH_FOA2", number(2, 5)},
                       {"DILATATIE", number(10, 15)},
                       {"BRANDWERENDHEID", number(30, 120)},
                       {"ASIRW", number(40, 60)},
                       {"LUCHTGELUIDISOLATIE_DNT_A_K", number(40, 60)},
                       {"Weight", number(20, 40)}};
        answer_ = seed % 2 == 0 ? "TOEP1" : "TOEP2";
        numericAnswer_ = std::uniform_int_distribution<int>(20, 130)(random);
    }

    OptionalValue GetElementValue(const std::string& name) override { return Find(values_, name); }
    OptionalValue GetParameterValue(const std::string& name) override { return Find(parameters_, name); }
    OptionalValue GetAnswerValue(const std::string& code) override
    {
        if (!code.empty() && code[0] == '~')
            return Value(numericAnswer_);
        return Value(answer_);
    }

private:
    static OptionalValue Find(const std::map<std::string, std::string>& map, const std::string& key)
    {
        const auto found = map.find(key);
        return found == map.end() ? OptionalValue() : OptionalValue(Value(found->second));
    }

    std::map<std::string, std::string> values_, parameters_;
    std::string answer_;
    double numericAnswer_ = 0;
};

std::vector<SyntheticElement>& Population()
{
    static std::vector<SyntheticElement> elements = [] {
        std::vector<SyntheticElement> made;
        for (int i = 0; i < DistinctElements; ++i)
            made.emplace_back(i);
        return made;
    }();
    return elements;
}

// The conditions written by hand, reading the element exactly as the compiled slots do.
double Number(TargetObject* t, OptionalValue (TargetObject::*read)(const std::string&), const char* name)
{
    const OptionalValue value = (t->*read)(name);
    return value ? NumberOf(*value) : -1.0;
}
bool IsNone(const OptionalValue& value)
{
    if (!value)
        return true;
    const std::string text = TextOf(*value);
    return text == "geen" || text == "none" || text == "GEEN" || text == "NONE";
}
bool AnswerIs(TargetObject* t, const char* option)
{
    const OptionalValue answer = t->GetAnswerValue("DIN_18183");
    return answer && strcasecmp(TextOf(*answer).c_str(), option) == 0;
}
bool HigherThan(TargetObject* t, const char* maximum)
{
    return Number(t, &TargetObject::GetElementValue, "Type.Height") >
           Number(t, &TargetObject::GetParameterValue, maximum);
}
bool MaximumHeight(TargetObject* t)
{
    if (!IsNone(t->GetParameterValue("RTF")) &&
        ((AnswerIs(t, "TOEP1") && HigherThan(t, "MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_1_VOLGENS_DIN_18183_")) ||
         (AnswerIs(t, "TOEP2") && HigherThan(t, "MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_2_VOLGENS_DIN_18183_"))))
        return true;
    return IsNone(t->GetParameterValue("RTF")) &&
           ((AnswerIs(t, "TOEP1") && HigherThan(t, "MH_FOA1")) || (AnswerIs(t, "TOEP2") && HigherThan(t, "MH_FOA2")));
}
bool MaximumLength(TargetObject* t)
{
    return Number(t, &TargetObject::GetElementValue, "Quantity.length") >
           Number(t, &TargetObject::GetParameterValue, "DILATATIE");
}
template <const char* Code, const char* Parameter>
bool AnswerAbove(TargetObject* t)
{
    return Number(t, &TargetObject::GetAnswerValue, Code) > Number(t, &TargetObject::GetParameterValue, Parameter);
}
bool MaximumLoad(TargetObject* t)
{
    return Number(t, &TargetObject::GetAnswerValue, "~P4") >
           Number(t, &TargetObject::GetParameterValue, "Weight") *
               Number(t, &TargetObject::GetElementValue, "Type.Height");
}
constexpr char P1[] = "~P1", P2[] = "~P2", P3[] = "~P3";
constexpr char Fire[] = "BRANDWERENDHEID", Rw[] = "ASIRW", Dnt[] = "LUCHTGELUIDISOLATIE_DNT_A_K";

using HandWritten = bool (*)(TargetObject*);
const HandWritten HandWrittenRules[] = {MaximumHeight,       MaximumLength,        AnswerAbove<P1, Fire>,
                                        AnswerAbove<P2, Rw>, AnswerAbove<P3, Dnt>, MaximumLoad};
const char* const RuleNames[] = {"MaximumHeight", "MaximumLength", "FireResistance",
                                 "SoundRw",       "SoundDnt",      "MaximumLoad"};

void CompiledPredicate(benchmark::State& state)
{
    Velmar::Bo::Rule rule(SelectBuiltInRules(3)[static_cast<UIndex>(state.range(0))]);
    rule.Compile();
    auto& elements = Population();
    for (auto _ : state) {
        int failing = 0;
        for (int i = 0; i < Elements; ++i)
            failing += rule.Fails(&elements[static_cast<std::size_t>(i % DistinctElements)]);
        benchmark::DoNotOptimize(failing);
    }
}

void HandWrittenCondition(benchmark::State& state)
{
    const HandWritten condition = HandWrittenRules[state.range(0)];
    auto& elements = Population();
    for (auto _ : state) {
        int failing = 0;
        for (int i = 0; i < Elements; ++i)
            failing += condition(&elements[static_cast<std::size_t>(i % DistinctElements)]);
        benchmark::DoNotOptimize(failing);
    }
}

void CompileRule(benchmark::State& state)
{
    const auto rules = Velmar::Json::ParseRecord<RuleSet>(BuiltInRules()).Rules.Items();
    Velmar::Bo::Rule rule(rules[static_cast<UIndex>(state.range(0))]);
    for (auto _ : state)
        rule.Compile();
}

void CompileAllTwelve(benchmark::State& state)
{
    const auto document = Velmar::Json::ParseRecord<RuleSet>(BuiltInRules());
    std::vector<Velmar::Bo::Rule> rules;
    for (const auto& record : document.Rules.Items())
        rules.emplace_back(record);
    for (auto _ : state) {
        for (auto& rule : rules)
            rule.Compile();
    }
}

// Reading the twelve rules from their text: the baseline that compile is set against.
void ReadAllTwelve(benchmark::State& state)
{
    const std::string text = BuiltInRules();
    for (auto _ : state)
        benchmark::DoNotOptimize(Velmar::Json::ParseRecord<RuleSet>(text));
}

// A rule set of about 500 kB, as a page could send: the built-in rules many times over.
const std::string& LargeRuleSet()
{
    static const std::string text = [] {
        const std::string builtIn = BuiltInRules();
        const std::string rules = builtIn.substr(builtIn.find('[') + 1, builtIn.rfind(']') - builtIn.find('[') - 1);
        std::string document = "{\"Rules\":[";
        while (document.size() < 500 * 1024)
            document += (document.size() > 10 ? "," : "") + rules;
        return document + "]}";
    }();
    return text;
}

void ParseRecordOfRuleSet(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Velmar::Json::ParseRecord<RuleSet>(LargeRuleSet()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * LargeRuleSet().size()));
}

void RapidJsonParseOnly(benchmark::State& state)
{
    for (auto _ : state) {
        Velmar::Json::rj::Document document;
        document.Parse(LargeRuleSet().c_str(), LargeRuleSet().size());
        benchmark::DoNotOptimize(document.IsObject());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * LargeRuleSet().size()));
}

BENCHMARK(CompiledPredicate)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(HandWrittenCondition)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(CompileRule)->DenseRange(0, 11)->Unit(benchmark::kMicrosecond);
BENCHMARK(CompileAllTwelve)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadAllTwelve)->Unit(benchmark::kMicrosecond);
BENCHMARK(ParseRecordOfRuleSet)->Unit(benchmark::kMillisecond);
BENCHMARK(RapidJsonParseOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    std::vector<Velmar::Bench::Ratio> ratios;
    static std::vector<std::string> labels;
    for (int i = 0; i < 6; ++i)
        labels.push_back(std::string("predicate vs hand-written, ") + RuleNames[i] + " (goal <= 3x)");
    for (int i = 0; i < 6; ++i)
        ratios.push_back({"CompiledPredicate/" + std::to_string(i), "HandWrittenCondition/" + std::to_string(i),
                          labels[static_cast<std::size_t>(i)].c_str()});
    ratios.push_back({"CompileAllTwelve", "ReadAllTwelve", "compiling the twelve rules vs reading them"});
    ratios.push_back(
        {"ParseRecordOfRuleSet", "RapidJsonParseOnly", "ParseRecord of 500 kB rules vs parse alone (goal <= 2x)"});
    return Velmar::Bench::RunWithRatios(argc, argv, ratios);
}

#include "BoRule.hpp"
#include "BuiltInRules.hpp"
#include "HostText.hpp"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace Velmar::Rules;
using Velmar::Json::ParseRecord;
using Velmar::Json::RecordToText;

TEST(DecodeLogic, PercentDecodesThenReplacesEntitiesInOrder)
{
    struct Case {
        const char* stored;
        const char* decoded;
    };
    const Case cases[] = {
        {"%5BType.Height%5D &gt; 2.6", "[Type.Height] > 2.6"},
        {"&amp;lt;", "<"},
        {"&amp;amp;", "&amp;"},
        {"a &amp;&amp; b", "a && b"},
        {"&geq;&leq;&quot;x&quot;&newline;&tab;", ">=<=\"x\"\n\t"},
        {"[a] + [b]", "[a] + [b]"},
        {"%C3%A9", "é"},
        {"100% &gt; 1", "100% &gt; 1"},  // not a valid escape: stored as received
        {"%4", "%4"},
        {"%FF &gt;", "%FF &gt;"},  // decodes to invalid UTF-8
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HostText::Utf8(DecodeLogic(c.stored)), c.decoded) << c.stored;
}

TEST(RuleDocument, ReadsDecodedLogicAndWritesWhatItHas)
{
    const auto rule = ParseRecord<Rule>(
        R"({"targetplatform":"Archicad","Label":"L","Logic":"%5Bx%5D &gt; 1","Questions":[)"
        R"({"Code":"~P1","Label":"pick","IsPropertySelector":true},)"
        R"({"Code":"DIN","DefaultOption":"A","Options":[{"Code":"A","Label":"a"},null,{"Code":"B"}]}]})");
    EXPECT_EQ(HostText::Utf8(rule.Logic.Get()), "[x] > 1");
    EXPECT_EQ(HostText::Utf8(Velmar::Json::RecordListToText(rule.Questions.Items())),
              R"([{"Code":"~P1","Label":"pick","IsPropertySelector":true},)"
              R"({"Code":"DIN","DefaultOption":"A","Options":[{"Code":"A","Label":"a"},{"Code":"B"}]}])");
    EXPECT_EQ(HostText::Utf8(RecordToText(Rule())),
              R"({"TargetPlatform":null,"Label":null,"Language":null,"Logic":null,"ResultLabel":null,"Questions":[]})");
}

TEST(BuiltInRules, SixPerLanguageForArchicadOnly)
{
    const auto all = ParseRecord<RuleSet>(BuiltInRules());
    ASSERT_EQ(all.Rules.Items().GetSize(), 12u);
    for (const Rule& rule : all.Rules.Items()) {
        EXPECT_EQ(HostText::Utf8(rule.TargetPlatform.Get()), "Archicad");
        const std::string logic = HostText::Utf8(rule.Logic.Get());
        EXPECT_EQ(logic.find("&amp;"), std::string::npos) << logic;
        EXPECT_EQ(logic.find("&gt;"), std::string::npos) << logic;
    }

    struct Case {
        Int32 languageIndex;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {1,
         {"Maximum Wandhoogte", "Maximale lengte", "Brandwerendheid", "Geluidsisolatie Rw", "Geluidisolatie DnT,a,k",
          "Maximale belasting"}},
        {2, {}},
        {3,
         {"Maximum Wall Height", "Maximum length", "Fire resistance", "Sound insulation Rw", "Sound insulation DnT,a,k",
          "Maximum load"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> labels;
        for (const Rule& rule : SelectBuiltInRules(c.languageIndex))
            labels.push_back(HostText::Utf8(rule.Label.Get()));
        EXPECT_EQ(labels, c.labels) << c.languageIndex;
    }
    // A property selector question is written without options.
    const auto question = SelectBuiltInRules(3)[2].Questions.Items()[0];
    EXPECT_TRUE(question.IsPropertySelector.Get());
    EXPECT_EQ(HostText::Utf8(Velmar::Json::RecordListToText(GS::Array<Question>{question})).find("Options"),
              std::string::npos);
}

struct ElementData {
    std::map<std::string, std::string> values, parameters, answers;
    std::map<std::string, double> numericAnswers;
};

// An element as the rules read it: element values, system parameters and answers by name.
struct Element : Velmar::Rules::TargetObject, ElementData {
    Element() = default;
    explicit Element(const ElementData& data) : ElementData(data) {}

    static Velmar::Rules::OptionalValue Find(const std::map<std::string, std::string>& map, const std::string& key)
    {
        const auto found = map.find(key);
        return found == map.end() ? Velmar::Rules::OptionalValue() : Velmar::Rules::Value(found->second);
    }
    Velmar::Rules::OptionalValue GetElementValue(const std::string& name) override { return Find(values, name); }
    Velmar::Rules::OptionalValue GetParameterValue(const std::string& name) override { return Find(parameters, name); }
    Velmar::Rules::OptionalValue GetAnswerValue(const std::string& code) override
    {
        const auto number = numericAnswers.find(code);
        if (number != numericAnswers.end())
            return Velmar::Rules::Value(number->second);
        return Find(answers, code);
    }
};

TEST(BuiltInRules, EachRuleFailsTheElementItShouldAndPassesTheOther)
{
    const std::string fireMax1 = "MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_1_VOLGENS_DIN_18183_";
    struct Case {
        std::size_t rule;  // position within one language's six
        ElementData element;
        bool fails;
    };
    const Case cases[] = {
        {0, {{{"Type.Height", "3.5"}}, {{"RTF", "EI 30"}, {fireMax1, "3.0"}}, {{"DIN_18183", "toep1"}}, {}}, true},
        {0, {{{"Type.Height", "2.5"}}, {{"RTF", "EI 30"}, {fireMax1, "3.0"}}, {{"DIN_18183", "TOEP1"}}, {}}, false},
        {0, {{{"Type.Height", "4"}}, {{"MH_FOA2", "3,2"}}, {{"DIN_18183", "TOEP2"}}, {}}, true},
        {0, {{{"Type.Height", "4"}}, {{"RTF", "geen"}, {"MH_FOA2", "4.5"}}, {{"DIN_18183", "TOEP2"}}, {}}, false},
        {1, {{{"Quantity.length", "16.2"}}, {{"DILATATIE", "15"}}, {}, {}}, true},
        {1, {{{"Quantity.length", "10"}}, {{"DILATATIE", "15"}}, {}, {}}, false},
        {2, {{}, {{"BRANDWERENDHEID", "30"}}, {}, {{"~P1", 60}}}, true},
        {2, {{}, {{"BRANDWERENDHEID", "60"}}, {}, {{"~P1", 30}}}, false},
        {3, {{}, {{"ASIRW", "52"}}, {}, {{"~P2", 55}}}, true},
        {3, {{}, {{"ASIRW", "58"}}, {}, {{"~P2", 55}}}, false},
        {4, {{}, {{"LUCHTGELUIDISOLATIE_DNT_A_K", "40"}}, {}, {{"~P3", 45}}}, true},
        {4, {{}, {{"LUCHTGELUIDISOLATIE_DNT_A_K", "50"}}, {}, {{"~P3", 45}}}, false},
        {5, {{{"Type.Height", "3"}}, {{"Weight", "30"}}, {}, {{"~P4", 100}}}, true},
        {5, {{{"Type.Height", "3"}}, {{"Weight", "40"}}, {}, {{"~P4", 100}}}, false},
    };
    for (const Int32 languageIndex : {1, 3}) {
        const auto rules = SelectBuiltInRules(languageIndex);
        ASSERT_EQ(rules.GetSize(), 6u);
        for (const auto& c : cases) {
            Velmar::Bo::Rule rule(rules[static_cast<UIndex>(c.rule)]);
            rule.Compile();
            Element element(c.element);
            EXPECT_EQ(rule.Fails(&element), c.fails) << HostText::Utf8(rule.Record().Label.Get()) << " case of rule "
                                                     << c.rule << " language " << languageIndex;
        }
    }
}

TEST(BoRule, CopiesAreCompiledAgainAndAFailedCompileKeepsTheFormItHad)
{
    Rule record;
    record.Logic.Set("[x] > 1");
    Velmar::Bo::Rule rule(record);
    EXPECT_FALSE(rule.IsCompiled());
    rule.Compile();
    ASSERT_TRUE(rule.IsCompiled());
    const Velmar::Bo::Rule copy(rule);
    EXPECT_FALSE(copy.IsCompiled());

    Rule broken;
    broken.Logic.Set("[x] > 1 && true");
    Velmar::Bo::Rule assigned(broken);
    EXPECT_THROW(assigned.Compile(), Velmar::Rules::CompileError);
    EXPECT_FALSE(assigned.IsCompiled());
    assigned = rule;
    EXPECT_FALSE(assigned.IsCompiled());
    assigned.Compile();
    Element element;
    element.values["x"] = "2";
    EXPECT_TRUE(assigned.Fails(&element));

    Velmar::Bo::Rule empty{Rule()};
    empty.Compile();
    EXPECT_THROW(empty.Fails(&element), std::bad_function_call);
}

}  // namespace

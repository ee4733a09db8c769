#include "Interpreter.hpp"
#include "HostText.hpp"
#include "SmallStackThread.hpp"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <map>
#include <random>
#include <stdexcept>
#include <tuple>

namespace {

using namespace Velmar::Rules;
using Values = std::map<std::string, Value>;

Value Text(const char* text)
{
    return std::string(text);
}

// An element whose values are map entries; a name that is not in its map has no value.
class MapTarget : public TargetObject {
public:
    Values elements, parameters, answers;
    OptionalValue GetElementValue(const std::string& name) override { return Find(elements, name); }
    OptionalValue GetParameterValue(const std::string& name) override { return Find(parameters, name); }
    OptionalValue GetAnswerValue(const std::string& code) override { return Find(answers, code); }

private:
    static OptionalValue Find(const Values& values, const std::string& name)
    {
        const auto found = values.find(name);
        return found == values.end() ? OptionalValue() : OptionalValue(found->second);
    }
};

std::string Describe(const OptionalValue& value)
{
    if (!value)
        return "absent";
    if (const auto* text = std::get_if<std::string>(&*value))
        return "'" + *text + "'";
    if (const auto* number = std::get_if<double>(&*value)) {
        char digits[32];
        return std::string(digits, std::to_chars(digits, digits + sizeof digits, *number).ptr);
    }
    return std::get<bool>(*value) ? "true" : "false";
}

// The result of run, or the documented failure it ended in; any other exception fails the test.
template <typename Run>
std::string Outcome(Run run)
{
    try {
        return run();
    } catch (const CompileError&) {
        return "CompileError";
    } catch (const std::logic_error& error) {  // the standard conversions' invalid_argument and out_of_range
        return error.what();
    } catch (const std::bad_function_call&) {
        return "bad_function_call";
    }
}

// The value of the first slot the text compiles to, so that numbers and texts can be checked too.
std::string ValueOf(const std::string& logic, MapTarget& target)
{
    return Outcome([&] {
        InterpretationContext context;
        const std::string rewritten = Interpreter::Compile(context, logic);
        const auto at = rewritten.find('@');
        return at == std::string::npos
                   ? "no slot"
                   : Describe(context.interpretations.at(std::stoi(rewritten.substr(at + 1)))->GetValue(&target));
    });
}

std::string VerdictOf(const std::string& logic, MapTarget& target)
{
    return Outcome([&] {
        InterpretationContext context;
        return std::string(Interpreter::CompilePredicate(context, logic)(&target) ? "true" : "false");
    });
}

struct Case {
    std::string logic;
    std::string expected;
    Values elements = {}, parameters = {}, answers = {};
};

TEST(Interpreter, EachPassPrecedenceAndTypeRule)
{
    const Values abc{{"x", Text("abc")}};
    const Values a{{"a", Text("element")}}, aa{{"a", Text("parameter")}}, aaa{{"a", Text("answer")}};
    const Case cases[] = {
        {R"("abc")", "'abc'"},
        {R"("a[b](c) 1 && true")", "'a[b](c) 1 && true'"},
        {R"("")", "no slot"},
        {R"("x" + 1)", "invalid stod argument"},
        {R"(ISNULL("geen"))", "true"},
        {"ISNULL(true)", "false"},
        {"isnull([x])", "CompileError"},
        {"ISNULL(abc)", "CompileError"},
        {"[[[a]]]", "'answer'", a, aa, aaa},
        {"[[a]]", "'parameter'", a, aa, aaa},
        {"[a]", "'element'", a, aa, aaa},
        {R"([[[DIN_18183]]] = "toep1")", "true", {}, {}, {{"DIN_18183", Text("TOEP1")}}},
        {"[[[~Q]]] = 2,5", "true", {}, {}, {{"~Q", 2.5}}},
        {"[[[Q]]] = 2", "CompileError"},
        {R"([[[~Q]]] = "2")", "CompileError"},
        {"[[W]] * [Type.Height]", "6", {{"Type.Height", Text("3.000000")}}, {{"W", Text(" 2 kN")}}},
        {"(1 + 2) * 3", "9"},
        {"((2))", "2"},
        {"(((1 - 2)) - 3)", "-4"},
        {"10 - (2 - 3)", "11"},
        {"2,5", "2.5"},
        {"2.5", "2.5"},
        {"-5", "5"},
        {"0 - 5", "-5"},
        {"1" + std::string(400, '0'), "stod argument out of range"},
        {"true", "true"},
        {"TRUE", "true"},
        {"True", "true"},
        {"fAlSe", "false"},
        {"untrue", "true"},
        {"true && false", "false"},
        {"false || true", "true"},
        {"true || false && false", "false"},
        {"false && ([x] > 1)", "false", abc},
        {"true || ([x] > 1)", "true", abc},
        {"([x] > 1) || true", "invalid stod argument", abc},
        {"10 / 4", "2.5"},
        {"8 / 2 / 2", "2"},
        {"1 - 2 - 3", "-4"},
        {"2 + 3 * 4", "14"},
        {"1 / 0", "inf"},
        {"0,1 + 0,2", "0.30000000000000004"},
        {"true * 2", "CompileError"},
        {"[x] + 1", "absent"},
        {"1 - [x]", "absent"},
        {"[x] * 2", "6", {{"x", Text("3")}}},
        {"1,5 >= 1.5", "true"},
        {"[[x]] > 3", "invalid stod argument", {}, abc},
        {"[x] > 3", "true", {{"x", Text("12 mm")}}},
        {"[x] >= 2.6", "true", {{"x", Text("2.600000")}}},
        {"[x] < 12,5", "true", {{"x", Text("12,5")}}},
        {"[x] > 0", "stod argument out of range", {{"x", Text("1e999")}}},
        {"[x] > 0", "stod argument out of range", {{"x", Text("1e-320")}}},
        {"[x] >= 16", "true", {{"x", Text("0x10")}}},
        {"[x] >= 3", "true", {{"x", Text("+3")}}},
        {"[a] = [b]", "true", {{"a", Text("ABC")}, {"b", Text("abc")}}},
        {"[a] = [b]", "false", {{"a", Text("ab")}, {"b", Text("abc")}}},
        {"[a] = [b]", "false", {{"a", Text("\xC3\xA9")}, {"b", Text("\xC3\x89")}}},  // é and É: ASCII only
        {"[a] = [b]", "true"},
        {"[a] = [b]", "false", {{"b", Text("x")}}},
        {"2 = 2.0", "true"},
        {"0,1 + 0,2 = 0,3", "false"},
        {"true = TRUE", "true"},
        {"true = false", "false"},
        {"1 < 2 = true", "true"},
        {"1 + 1 = 2", "true"},
        {R"([b] = "TRUE")", "true", {{"b", true}}},
        {"[b] + 1", "2", {{"b", true}}},
        {"ISNULL([b])", "false", {{"b", true}}},
        {R"([b] = "false")", "true", {{"b", false}}},
        {"[b] < 1", "true", {{"b", false}}},
        {"[x] + @0@", "CompileError"},
        {"@99999999999@ = true", "stoi argument out of range"},
    };
    for (const auto& c : cases) {
        MapTarget target;
        target.elements = c.elements;
        target.parameters = c.parameters;
        target.answers = c.answers;
        EXPECT_EQ(ValueOf(c.logic, target), c.expected) << c.logic;
    }
}

TEST(Interpreter, IsNullKnowsFourExactWords)
{
    const std::pair<OptionalValue, bool> cases[] = {
        {std::nullopt, true}, {Text("geen"), true},  {Text("none"), true},  {Text("GEEN"), true},
        {Text("NONE"), true}, {Text("None"), false}, {Text("Geen"), false}, {Text(" none"), false},
        {Text(""), false},    {Text("0"), false},
    };
    for (const auto& [value, isNull] : cases) {
        MapTarget target;
        if (value)
            target.parameters["RTF"] = *value;
        EXPECT_EQ(VerdictOf("ISNULL([[RTF]])", target), isNull ? "true" : "false") << Describe(value);
        EXPECT_EQ(VerdictOf("!ISNULL([[RTF]])", target), isNull ? "false" : "true") << Describe(value);
    }
}

TEST(Interpreter, AnAbsentValueOrdersBelowEveryNumber)
{
    // Per operator: both present (1 against 2), only left, only right, both absent.
    const std::map<std::string, std::array<const char*, 4>> table{
        {">=", {"false", "true", "false", "true"}},
        {"<=", {"true", "false", "true", "true"}},
        {">", {"false", "true", "false", "false"}},
        {"<", {"true", "false", "true", "false"}},
    };
    for (const auto& [op, expected] : table)
        for (int presence = 0; presence < 4; ++presence) {
            MapTarget target;
            if (presence == 0 || presence == 1)
                target.elements["l"] = Text("1");
            if (presence == 0 || presence == 2)
                target.elements["r"] = Text("2");
            EXPECT_EQ(VerdictOf("[l] " + op + " [r]", target), expected[presence]) << op << " case " << presence;
        }
    MapTarget noAnswer;
    EXPECT_EQ(VerdictOf("[[[~Q]]] >= 2", noAnswer), "false");
    EXPECT_EQ(VerdictOf("[[[~Q]]] <= 2", noAnswer), "true");
}

TEST(Interpreter, PredicateNeedsOneBooleanRoot)
{
    MapTarget target;
    target.elements = {{"Type.Height", Text("3.000000")}, {"y", Text("2")}};
    const Case cases[] = {
        {"", "bad_function_call"},
        {"   ", "bad_function_call"},
        {"abc", "bad_function_call"},
        {"true", "true"},
        {"true junk", "true"},
        {"1 + 1", "CompileError"},
        {"[x]", "CompileError"},
        {"(true", "CompileError"},
        {"true)", "CompileError"},
        {"true ()", "CompileError"},
        {"ISNULL(([x]))", "CompileError"},
        {"@3@", "CompileError"},
        {"[Type.Height] > 2.6 && true", "CompileError"},
        {"([Type.Height] > 2.6) && true", "true"},
        {"ISNULL([x]) && ([y] > 1)", "true"},
        {std::string(Interpreter::kMaxLogicLength - 4, ' ') + "true", "true"},
        {std::string(Interpreter::kMaxLogicLength - 3, ' ') + "true", "CompileError"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VerdictOf(c.logic, target), c.expected) << c.logic;
}

TEST(Interpreter, CompileErrorsSayWhatFailed)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1 && true", "&& and || join conditions, not Number and Boolean"},
        {"[x] = 5", "compares Text with Number"},
        {"FOO([x])", "unknown function FOO"},
        {"1 < 2 < 3", "needs numbers, not a Boolean"},
        {"ISNULL(5)", "cannot take a Number"},
        {"1 + 1", "not a condition"},
        {"(true", "unbalanced"},
        {"[x] + @0@ > 1", "more than once"},
    };
    for (const auto& [logic, fragment] : cases) {
        InterpretationContext context;
        try {
            Interpreter::CompilePredicate(context, logic);
            ADD_FAILURE() << logic << " compiled";
        } catch (const CompileError& error) {
            EXPECT_NE(HostText::Utf8(error.GetMessage()).find(fragment), std::string::npos)
                << HostText::Utf8(error.GetMessage());
        }
    }
}

TEST(Interpreter, OneCompiledRuleJudgesEachElementAnew)
{
    const std::string logic =
        R"~((!ISNULL([[RTF]]) && ((([[[DIN_18183]]] = "TOEP1") && ([Type.Height] > [[MAX1]])) || )~"
        R"~(( ([[[DIN_18183]]] = "TOEP2") && ([Type.Height] > [[MAX2]]))))||)~"
        R"~((ISNULL([[RTF]]) && ((([[[DIN_18183]]] = "TOEP1") && ([Type.Height] > [[MH_FOA1]])) || )~"
        R"~((([[[DIN_18183]]] = "TOEP2") && ([Type.Height] > [[MH_FOA2]])))))~";
    InterpretationContext context;
    const auto predicate = Interpreter::CompilePredicate(context, logic);
    const Values parameters{
        {"RTF", Text("EI30")}, {"MAX1", Text("2.5")}, {"MAX2", Text("3.5")}, {"MH_FOA1", Text("2.8")}};
    const std::tuple<const char*, const char*, const char*, bool> elements[] = {
        {"3.000000", "toep1", "EI30", true}, {"2.000000", "TOEP1", "EI30", false}, {"3.000000", "TOEP2", "EI30", false},
        {"3.000000", "TOEP1", "geen", true}, {"2.700000", "TOEP1", "NONE", false}, {"0.1", "TOEP2", "none", true},
    };
    for (const auto& [height, answer, rtf, fails] : elements) {
        MapTarget target;
        target.parameters = parameters;
        target.parameters["RTF"] = Text(rtf);
        target.elements["Type.Height"] = Text(height);
        target.answers["DIN_18183"] = Text(answer);
        EXPECT_EQ(predicate(&target), fails) << height << " " << answer << " " << rtf;
    }
}

// Hostile logic texts end in a verdict or a documented failure on a 1 MiB stack, never in a crash.
TEST(Interpreter, HostileTextsFailCleanlyOnASmallStack)
{
    const std::size_t limit = Interpreter::kMaxLogicLength;
    std::string chain = "1";
    while (chain.size() + 4 <= limit - 2)
        chain += "+1";
    std::string literals = "[";
    while (literals.size() + 3 <= limit)
        literals += R"("a")";
    const Case cases[] = {
        {"((((true", "CompileError"},
        {'"' + std::string(100 * 1024, 'a') + '"', "CompileError"},
        {'"' + std::string(3300, 'a') + '"', "CompileError"},
        {'"' + std::string(limit - 2, 'a') + '"', "CompileError"},
        {std::string(510, '(') + "true" + std::string(510, ')'), "true"},
        {std::string(511, '(') + "true" + std::string(511, ')'), "CompileError"},
        {chain + ">0", "true"},
        {literals, "CompileError"},
        {"(" + literals.substr(1), "CompileError"},
        {"ISNULL(" + literals.substr(7), "CompileError"},
        {"true" + std::string(limit - 20, ' ') + "&& false", "false"},
        {std::string(limit - 4, '1') + " > 0", "stod argument out of range"},
        {std::string(limit - 3, 'a') + "(x)", "CompileError"},
    };
    Velmar::Testing::RunOnSmallStack([&] {
        MapTarget target;
        for (const auto& c : cases)
            EXPECT_EQ(VerdictOf(c.logic, target), c.expected) << c.logic.substr(0, 40) << "... " << c.logic.size();

        const char* tokens[] = {"(",   ")",     "[",        "]",    "]]",   "\"",    "@",       "@0@",
                                "1",   ",5",    " ",        "&&",   "||",   "*",     "/",       "+",
                                "-",   ">=",    "<",        "=",    "TRUE", "false", "ISNULL(", "!ISNULL(",
                                "[x]", "[[n]]", "[[[~Q]]]", "\xff", "\t",   "geen"};
        target.elements["x"] = Text("abc");
        target.parameters["n"] = Text("4,5");
        target.answers["~Q"] = 2.0;
        std::mt19937 random(20240601);
        for (int round = 0; round < 300; ++round) {
            std::string logic;
            for (auto n = random() % 300; n > 0; --n)
                logic += tokens[random() % std::size(tokens)];
            const std::string outcome = VerdictOf(logic, target);
            EXPECT_TRUE(outcome == "true" || outcome == "false" || outcome == "CompileError" ||
                        outcome == "bad_function_call" || outcome.find("sto") != std::string::npos)
                << outcome << " from " << logic;
        }
    });
}

}  // namespace

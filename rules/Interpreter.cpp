#include "Interpreter.hpp"

#include "Numbers.hpp"
#include "Value.hpp"

#include <regex>

namespace Velmar::Rules {

namespace {

constexpr auto kGrammar = std::regex::ECMAScript;

// Built once at module load and only read afterwards, by every compile on any thread.

const std::regex kStringLiteral(R"~("([^"]+)")~", kGrammar);
const std::regex kFunctionCall(R"~(([a-zA-Z_\!][a-zA-Z_0-9]*)\(([^\(\)]+)\))~", kGrammar);
const std::regex kAnswer(R"~(\[\[\[([^\]]+)\]\]\])~", kGrammar);
const std::regex kParameter(R"~(\[\[([^\]]+)\]\])~", kGrammar);
const std::regex kElementValue(R"~(\[([^\]]+)\])~", kGrammar);
const std::regex kParentheses(R"~(\(([^\(\)]+)\))~", kGrammar);
const std::regex kNumber(R"~((\d+)(?:[\.,\,](\d+))?(?![@\d]))~", kGrammar);
const std::regex kBoolean(R"~(((?:false)|(?:true)))~", kGrammar | std::regex::icase);
const std::regex kLogic(R"~(@(\d+)@\s*((?:&&)|(?:\|\|))\s*@(\d+)@)~", kGrammar);
const std::regex kProduct(R"~(@(\d+)@\s*((?:\*)|(?:\/))\s*@(\d+)@)~", kGrammar);
const std::regex kSum(R"~(@(\d+)@\s*((?:\+)|(?:\-))\s*@(\d+)@)~", kGrammar);
const std::regex kComparison(R"~(@(\d+)@\s*((?:>=)|(?:<=)|(?:<)|(?:>))\s*@(\d+)@)~", kGrammar);
const std::regex kEquality(R"~(@(\d+)@\s*=\s*@(\d+)@)~", kGrammar);
const std::regex kSlotReference(R"~(\@(\d+)\@)~", kGrammar);

using Type = InterpretationType;

std::string CompileText(InterpretationContext& context, std::string text);

bool Search(const std::string& text, std::smatch& match, const std::regex& pattern)
{
    try {
        return std::regex_search(text, match, pattern);
    } catch (const std::regex_error& error) {
        throw CompileError(std::string("the logic text is too complex to match: ") + error.what());
    }
}

const char* NameOf(Type type)
{
    switch (type) {
        case Type::Text:
            return "Text";
        case Type::Number:
            return "Number";
        case Type::Boolean:
            return "Boolean";
        default:
            return "untyped";
    }
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(const std::string& left, const std::string& right)
{
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i)
        if (AsciiLower(left[i]) != AsciiLower(right[i]))
            return false;
    return true;
}

std::size_t SlotIndex(const InterpretationContext& context, const std::string& digits)
{
    const Int32 slot = ParseInteger(digits);
    if (slot < 0 || static_cast<std::size_t>(slot) >= context.interpretations.size())
        throw CompileError("the logic text refers to slot @" + digits + "@, which does not exist");
    return static_cast<std::size_t>(slot);
}

const Interpretation* Take(InterpretationContext& context, const std::string& digits)
{
    const std::size_t slot = SlotIndex(context, digits);
    if (context.consumed[slot])
        throw CompileError("the logic text refers to slot @" + digits + "@ more than once");
    context.consumed[slot] = true;
    return context.interpretations[slot].get();
}

std::string AddSlot(InterpretationContext& context, Type type, Getter getter)
{
    // Each slot uses up at least one character of the logic text.
    if (context.interpretations.size() >= Interpreter::kMaxLogicLength)
        throw CompileError("the logic text needs too many slots");
    context.interpretations.push_back(std::make_unique<Interpretation>(type, std::move(getter)));
    context.consumed.push_back(false);
    return "@" + std::to_string(context.counter++) + "@";
}

std::string RewriteStringLiteral(InterpretationContext& context, const std::smatch& match)
{
    return AddSlot(context, Type::Text, [text = match.str(1)](TargetObject*) -> OptionalValue { return text; });
}

bool IsNull(const OptionalValue& value)
{
    if (!value)
        return true;
    const std::string text = TextOf(*value);
    return text == "geen" || text == "none" || text == "GEEN" || text == "NONE";
}

std::string RewriteFunctionCall(InterpretationContext& context, const std::smatch& match)
{
    const std::string name = match.str(1);
    const bool negated = name == "!ISNULL";
    if (!negated && name != "ISNULL")
        throw CompileError("unknown function " + name + " in the logic text");
    const std::string argument = CompileText(context, match.str(2));
    std::smatch reference;
    if (!Search(argument, reference, kSlotReference))
        throw CompileError(name + " has no operand it can read");
    const Interpretation* operand = Take(context, reference.str(1));
    if (operand->GetType() == Type::Number)
        throw CompileError(name + " reads its operand as text and cannot take a Number");
    return AddSlot(context, Type::Boolean, [operand, negated](TargetObject* target) -> OptionalValue {
        return IsNull(operand->GetValue(target)) != negated;
    });
}

std::string RewriteAnswer(InterpretationContext& context, const std::smatch& match)
{
    const std::string code = match.str(1);
    return AddSlot(context, code[0] == '~' ? Type::Number : Type::Text,
                   [code](TargetObject* target) { return target->GetAnswerValue(code); });
}

std::string RewriteParameter(InterpretationContext& context, const std::smatch& match)
{
    return AddSlot(context, Type::Text,
                   [name = match.str(1)](TargetObject* target) { return target->GetParameterValue(name); });
}

std::string RewriteElementValue(InterpretationContext& context, const std::smatch& match)
{
    return AddSlot(context, Type::Text,
                   [name = match.str(1)](TargetObject* target) { return target->GetElementValue(name); });
}

std::string RewriteParentheses(InterpretationContext& context, const std::smatch& match)
{
    return CompileText(context, match.str(1));
}

std::string RewriteNumber(InterpretationContext& context, const std::smatch& match)
{
    const double number = ParseNumber(match[2].matched ? match.str(1) + "." + match.str(2) : match.str(1));
    return AddSlot(context, Type::Number, [number](TargetObject*) -> OptionalValue { return number; });
}

std::string RewriteBoolean(InterpretationContext& context, const std::smatch& match)
{
    const bool truth = EqualIgnoringAsciiCase(match.str(1), "true");
    return AddSlot(context, Type::Boolean, [truth](TargetObject*) -> OptionalValue { return truth; });
}

std::string RewriteLogic(InterpretationContext& context, const std::smatch& match)
{
    const Interpretation* left = Take(context, match.str(1));
    const Interpretation* right = Take(context, match.str(3));
    if (left->GetType() != Type::Boolean || right->GetType() != Type::Boolean)
        throw CompileError(std::string("&& and || join conditions, not ") + NameOf(left->GetType()) + " and " +
                           NameOf(right->GetType()) + "; put comparisons in parentheses before joining them");
    const bool isAnd = match.str(2) == "&&";
    return AddSlot(context, Type::Boolean, [left, right, isAnd](TargetObject* target) {
        OptionalValue value = left->GetValue(target);
        if ((value && TruthOf(*value)) != isAnd)
            return value;
        return right->GetValue(target);
    });
}

// Arithmetic and comparisons read both operands as numbers, and a Boolean has no number to give.
const Interpretation* TakeNumeric(InterpretationContext& context, const std::string& digits, const std::string& op)
{
    const Interpretation* slot = Take(context, digits);
    if (slot->GetType() == Type::Boolean)
        throw CompileError("\"" + op + "\" needs numbers, not a Boolean");
    return slot;
}

std::string RewriteArithmetic(InterpretationContext& context, const std::smatch& match)
{
    const char op = match.str(2)[0];
    const Interpretation* left = TakeNumeric(context, match.str(1), match.str(2));
    const Interpretation* right = TakeNumeric(context, match.str(3), match.str(2));
    return AddSlot(context, Type::Number, [left, right, op](TargetObject* target) -> OptionalValue {
        const OptionalValue l = left->GetNumber(target);
        const OptionalValue r = right->GetNumber(target);
        if (!l || !r)
            return std::nullopt;
        const double a = NumberOf(*l), b = NumberOf(*r);
        switch (op) {
            case '*':
                return a * b;
            case '/':
                return a / b;
            case '+':
                return a + b;
            default:
                return a - b;
        }
    });
}

template <typename T>
bool Holds(const std::string& op, T left, T right)
{
    if (op == ">=")
        return left >= right;
    if (op == "<=")
        return left <= right;
    return op == ">" ? left > right : left < right;
}

std::string RewriteComparison(InterpretationContext& context, const std::smatch& match)
{
    const std::string op = match.str(2);
    const Interpretation* left = TakeNumeric(context, match.str(1), op);
    const Interpretation* right = TakeNumeric(context, match.str(3), op);
    return AddSlot(context, Type::Boolean, [left, right, op](TargetObject* target) -> OptionalValue {
        const OptionalValue l = left->GetNumber(target);
        const OptionalValue r = right->GetNumber(target);
        if (l && r)
            return Holds(op, NumberOf(*l), NumberOf(*r));
        // An absent value orders below every number and equal to another absent value.
        return Holds(op, l.has_value(), r.has_value());
    });
}

std::string RewriteEquality(InterpretationContext& context, const std::smatch& match)
{
    const Interpretation* left = Take(context, match.str(1));
    const Interpretation* right = Take(context, match.str(2));
    const Type type = left->GetType();
    if (type != right->GetType())
        throw CompileError(std::string("\"=\" compares ") + NameOf(type) + " with " + NameOf(right->GetType()) +
                           "; both sides must have the same type");
    return AddSlot(context, Type::Boolean, [left, right, type](TargetObject* target) -> OptionalValue {
        const OptionalValue l = left->GetValue(target);
        const OptionalValue r = right->GetValue(target);
        if (!l || !r)
            return !l && !r;
        switch (type) {
            case Type::Text:
                return EqualIgnoringAsciiCase(TextOf(*l), TextOf(*r));
            case Type::Number:
                return NumberOf(*l) == NumberOf(*r);
            default:
                return TruthOf(*l) == TruthOf(*r);
        }
    });
}

struct Pass {
    const std::regex& pattern;
    std::string (*rewrite)(InterpretationContext&, const std::smatch&);
};

// In this order: literals hide their contents from every later pass, and the operator passes set precedence.
const Pass kPasses[] = {
    {kStringLiteral, RewriteStringLiteral},
    {kFunctionCall, RewriteFunctionCall},
    {kAnswer, RewriteAnswer},
    {kParameter, RewriteParameter},
    {kElementValue, RewriteElementValue},
    {kParentheses, RewriteParentheses},
    {kNumber, RewriteNumber},
    {kBoolean, RewriteBoolean},
    {kLogic, RewriteLogic},
    {kProduct, RewriteArithmetic},
    {kSum, RewriteArithmetic},
    {kComparison, RewriteComparison},
    {kEquality, RewriteEquality},
};

std::string CompileText(InterpretationContext& context, std::string text)
{
    for (const Pass& pass : kPasses) {
        std::smatch match;
        for (std::size_t rewrites = 0; Search(text, match, pass.pattern); ++rewrites) {
            // Each rewrite uses up characters of the logic text, so a pass that goes on longer is stuck.
            if (rewrites == Interpreter::kMaxLogicLength)
                throw CompileError("rewriting the logic text does not come to an end");
            std::string rewritten = match.prefix().str() + pass.rewrite(context, match) + match.suffix().str();
            text = std::move(rewritten);
        }
    }
    return text;
}

}  // namespace

std::string Interpreter::Compile(InterpretationContext& context, const std::string& text)
{
    if (text.size() > kMaxLogicLength)
        throw CompileError("the logic text is too long: " + std::to_string(text.size()) + " bytes, at most " +
                           std::to_string(kMaxLogicLength));
    context.consumed.resize(context.interpretations.size(), false);
    return CompileText(context, text);
}

Interpreter::Predicate Interpreter::CompilePredicate(InterpretationContext& context, const std::string& logic)
{
    const std::string rewritten = Compile(context, logic);
    // Balanced pairs are all gone by now. A stray or empty one means the intended grouping was lost, so it is
    // refused rather than ignored like other leftover text.
    if (rewritten.find_first_of("()") != std::string::npos)
        throw CompileError("the logic text has unbalanced or empty parentheses");
    std::smatch reference;
    if (!Search(rewritten, reference, kSlotReference))
        return {};
    const Interpretation* root = context.interpretations[SlotIndex(context, reference.str(1))].get();
    if (root->GetType() != Type::Boolean)
        throw CompileError(std::string("the logic text is not a condition: its value is ") + NameOf(root->GetType()));
    return [root](TargetObject* target) {
        const OptionalValue value = root->GetValue(target);
        return value && TruthOf(*value);
    };
}

}  // namespace Velmar::Rules

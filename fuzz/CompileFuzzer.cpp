// Untrusted logic text through the rule compiler and one evaluation: it ends in a verdict or one of the
// documented failures, never a crash, and compiling or evaluating it again gives the same result.
#include "Interpreter.hpp"

#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>

namespace {

using namespace Velmar::Rules;

class FixedTarget : public TargetObject {
public:
    OptionalValue GetElementValue(const std::string& name) override { return Find(elements_, name); }
    OptionalValue GetParameterValue(const std::string& name) override { return Find(parameters_, name); }
    OptionalValue GetAnswerValue(const std::string& code) override { return Find(answers_, code); }

private:
    using Values = std::map<std::string, Value>;
    static OptionalValue Find(const Values& values, const std::string& name)
    {
        const auto found = values.find(name);
        return found == values.end() ? OptionalValue() : OptionalValue(found->second);
    }

    const Values elements_{
        {"Type.Height", std::string("2.600000")}, {"x", std::string("abc")}, {"n", std::string("12 mm")}, {"b", true}};
    const Values parameters_{{"RTF", std::string("NONE")}, {"W", std::string("2,5")}};
    const Values answers_{{"DIN", std::string("TOEP1")}, {"~Q", 2.5}};
};

// "c" for a compile failure, "e" for an evaluation failure, else the verdict.
std::string Run(const std::string& logic, FixedTarget& target, std::string& rewritten)
{
    InterpretationContext context;
    try {
        rewritten = Interpreter::Compile(context, logic);
    } catch (const CompileError&) {
        return "c";
    } catch (const std::out_of_range&) {
        return "c";
    } catch (const std::invalid_argument&) {
        return "c";
    }
    InterpretationContext predicateContext;
    try {
        const auto predicate = Interpreter::CompilePredicate(predicateContext, logic);
        const bool first = predicate(&target);
        if (predicate(&target) != first)
            std::abort();
        return first ? "1" : "0";
    } catch (const CompileError&) {
        return "c";
    } catch (const std::invalid_argument&) {
        return "e";
    } catch (const std::out_of_range&) {
        return "e";
    } catch (const std::bad_function_call&) {
        return "e";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FixedTarget target;
    const std::string logic(reinterpret_cast<const char*>(data), size);
    std::string rewritten, again;
    const std::string outcome = Run(logic, target, rewritten);
    if (Run(logic, target, again) != outcome || again != rewritten)
        std::abort();
    return 0;
}

// Velmar::Rules::Interpreter: compiles a rule's logic text into a predicate over one element by
// rewriting the text, pass after pass, into numbered slots.
#pragma once

#include "CompileError.hpp"
#include "Interpretation.hpp"

#include <cstddef>
#include <functional>
#include <string>

namespace Velmar::Rules {

class Interpreter {
public:
    // True when the element fails the rule. Reads through the target, which must not be null.
    using Predicate = std::function<bool(TargetObject*)>;

    // Longer logic texts are refused before any pattern runs. std::regex recurses once per character it
    // matches, and numbering literals can make the working text 5/3 as long, so the deepest match takes
    // about 470 KiB of stack (750 KiB under AddressSanitizer): inside the 1 MiB of a Windows main thread.
    // The limit also bounds the slot count and every rewrite loop.
    static constexpr std::size_t kMaxLogicLength = 1024;

    // Runs the thirteen passes in order and returns the rewritten text, normally one slot reference.
    // Throws CompileError, or std::out_of_range for a number literal or slot number out of range.
    static std::string Compile(InterpretationContext& context, const std::string& text);

    // The predicate evaluates the first slot reference that Compile leaves; it is empty when none is
    // left. It points into the context's slots, which must outlive it. Evaluating throws
    // std::invalid_argument or std::out_of_range when a text read as a number does not convert.
    static Predicate CompilePredicate(InterpretationContext& context, const std::string& logic);
};

}  // namespace Velmar::Rules

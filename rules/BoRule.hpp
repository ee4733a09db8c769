// Velmar::Bo::Rule: a rule record with the compiled form of its Logic, as a rule run uses it.
#pragma once

#include "Interpreter.hpp"
#include "RuleDocument.hpp"

#include <memory>

namespace Velmar::Bo {

class ObjectAccessor;

class Rule {
public:
    explicit Rule(const Rules::Rule& record) : record_(record) {}
    // A copy keeps the record and the accessor; it is compiled again before use.
    Rule(const Rule& other) : accessor_(other.accessor_), record_(other.record_) {}
    Rule& operator=(const Rule& other);

    // Replaces the compiled form with one made from the Logic now. On a CompileError (or a number out of
    // range) the exception reaches the caller and the rule keeps the form it had.
    void Compile();
    bool IsCompiled() const { return static_cast<bool>(predicate_); }
    // True when the element fails the rule. Throws std::bad_function_call when the Logic left no
    // expression, and the conversion errors of a text that is not a number.
    bool Fails(Rules::TargetObject* target) const { return predicate_(target); }

    const Rules::Rule& Record() const { return record_; }
    const std::shared_ptr<ObjectAccessor>& Accessor() const { return accessor_; }
    void SetAccessor(std::shared_ptr<ObjectAccessor> accessor) { accessor_ = std::move(accessor); }

private:
    std::vector<std::unique_ptr<Rules::Interpretation>> slots_;
    Rules::Interpreter::Predicate predicate_;
    std::shared_ptr<ObjectAccessor> accessor_;
    Rules::Rule record_;
};

}  // namespace Velmar::Bo

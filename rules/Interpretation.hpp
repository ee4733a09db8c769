// Velmar::Rules::Interpretation: one numbered slot of a compiled rule expression, and the context
// that numbers and owns the slots of one compile.
#pragma once

#include "Definitions.hpp"
#include "TargetObject.hpp"

#include <functional>
#include <memory>
#include <vector>

namespace Velmar::Rules {

enum class InterpretationType : Int32 { None = 0, Text = 1, Number = 2, Boolean = 3 };

// Computes a slot's value for one element; each call hands out a fresh value.
using Getter = std::function<OptionalValue(TargetObject*)>;

class Interpretation {
public:
    // The type comes first because installing the value getter derives the number getter from it.
    Interpretation(InterpretationType type, Getter valueGetter);

    // Also installs the number getter: for a Text slot it converts the text, otherwise it is the same getter.
    void SetValueGetter(Getter valueGetter);

    OptionalValue GetValue(TargetObject* target) const { return valueGetter_(target); }
    OptionalValue GetNumber(TargetObject* target) const { return numberGetter_(target); }
    InterpretationType GetType() const { return type_; }

private:
    Getter valueGetter_;
    Getter numberGetter_;
    InterpretationType type_;
};

// Slot n is interpretations[n]; counter is the number of the next slot. Operator slots point at their
// operands, so whoever keeps the predicate keeps this list alive.
struct InterpretationContext {
    std::vector<std::unique_ptr<Interpretation>> interpretations;
    Int32 counter = 0;
    // Slots already read by another slot. Each may feed only one, so a slot reference written into the
    // logic text cannot make a subtree shared and its evaluation exponential.
    std::vector<bool> consumed;
};

}  // namespace Velmar::Rules

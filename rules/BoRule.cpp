#include "BoRule.hpp"
#include "Utf8Text.hpp"

namespace Velmar::Bo {

Rule& Rule::operator=(const Rule& other)
{
    if (this != &other) {
        predicate_ = nullptr;
        slots_.clear();
        accessor_ = other.accessor_;
        record_ = other.record_;
    }
    return *this;
}

void Rule::Compile()
{
    Rules::InterpretationContext context;
    const std::string logic = record_.Logic.HasValue() ? Velmar::Utf8Of(record_.Logic.Get()) : std::string();
    auto predicate = Rules::Interpreter::CompilePredicate(context, logic);
    // The predicate points at the context's slots; the rule owns them from here on.
    predicate_ = std::move(predicate);
    slots_ = std::move(context.interpretations);
}

}  // namespace Velmar::Bo

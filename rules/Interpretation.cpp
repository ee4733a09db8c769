#include "Interpretation.hpp"

namespace Velmar::Rules {

Interpretation::Interpretation(InterpretationType type, Getter valueGetter) : type_(type)
{
    SetValueGetter(std::move(valueGetter));
}

void Interpretation::SetValueGetter(Getter valueGetter)
{
    valueGetter_ = std::move(valueGetter);
    if (type_ != InterpretationType::Text) {
        numberGetter_ = valueGetter_;
        return;
    }
    numberGetter_ = [value = valueGetter_](TargetObject* target) -> OptionalValue {
        const OptionalValue text = value(target);
        if (!text)
            return std::nullopt;
        return NumberOf(*text);
    };
}

}  // namespace Velmar::Rules

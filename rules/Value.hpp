// Velmar::Rules::Value: what one evaluation of a rule expression yields, and its text and number readings.
#pragma once

#include <optional>
#include <string>
#include <variant>

namespace Velmar::Rules {

// Text is a UTF-8 byte string. std::nullopt in an OptionalValue means "no value".
using Value = std::variant<std::string, double, bool>;
using OptionalValue = std::optional<Value>;

// A target may hand a boolean property to a Text slot. Read as text it is "true" or "false", read as a
// number it is 1 or 0; a number read as text is its "%f" form. These three readings are the only ones.
std::string TextOf(const Value& value);
// Text converts as ParseNumber does, so a text that is not numeric throws.
double NumberOf(const Value& value);
// The root's verdict: a boolean as is, a number unless zero, a text by its first byte.
bool TruthOf(const Value& value);

// A number in "%f" form, as printf writes it in the C locale: six decimals.
std::string FixedText(double value);

}  // namespace Velmar::Rules

// The design rules that come with the add-on, in Dutch and English, and their selection for a product system.
#pragma once

#include "RuleDocument.hpp"

namespace Velmar::Rules {

// The built-in rules document: {"Rules": [...]}, Logic texts in their stored (encoded) form.
std::string BuiltInRules();

// The built-in rules meant for Archicad whose language maps to `languageIndex`, in document order.
GS::Array<Rule> SelectBuiltInRules(Int32 languageIndex);

}  // namespace Velmar::Rules

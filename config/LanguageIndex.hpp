// LanguageIndex: 1 Dutch, 2 French, 3 English, chosen from the active language code.
#pragma once

#include "UniString.hpp"

namespace Velmar::App {

// "nl-BE" 1, "fr-BE" 2, "en-US" 3 (letter case ignored); any other code, the empty one included, 1.
Int32 LanguageIndexOf(const GS::UniString& languageCode);

// Entry of a three-entry text list (English, Dutch, French) for a language index.
Int32 TextEntryFor(Int32 languageIndex);

}  // namespace Velmar::App

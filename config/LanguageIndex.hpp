// LanguageIndex: 1 Dutch, 2 French, 3 English, chosen from the active language code.
#pragma once

#include "UniString.hpp"

namespace Velmar::App {

// "nl-BE" 1, "fr-BE" 2, "en-US" 3 (letter case ignored); any other code, the empty one included, 1.
Int32 LanguageIndexOf(const GS::UniString& languageCode);

// Entry of a three-entry text list (English, Dutch, French) for a language index.
Int32 TextEntryFor(Int32 languageIndex);

// The text of one of the add-on's three-entry lists in the active language; "%s" in it is replaced by
// `argument`. Empty, and logged, when the resources lack it.
GS::UniString ActiveLanguageText(GSResID list, const GS::UniString& argument = GS::UniString());

}  // namespace Velmar::App

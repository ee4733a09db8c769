#include "LanguageIndex.hpp"

#include "ACAPinc.hpp"
#include "GSDebug.hpp"
#include "RS.hpp"
#include "State.hpp"

namespace Velmar::App {

namespace {
struct LanguageRow {
    const char* code;
    Int32 index;
};
constexpr LanguageRow LanguageRows[] = {{"nl-BE", 1}, {"fr-BE", 2}, {"en-US", 3}};
}  // namespace

Int32 LanguageIndexOf(const GS::UniString& languageCode)
{
    for (const auto& row : LanguageRows) {
        if (languageCode.IsEqual(row.code, GS::CaseInsensitive))
            return row.index;
    }
    return 1;
}

Int32 TextEntryFor(Int32 languageIndex)
{
    switch (languageIndex) {
        case 1:
            return 2;
        case 2:
            return 3;
        default:
            return 1;
    }
}

GS::UniString ActiveLanguageText(GSResID list, const GS::UniString& argument)
{
    const Int32 entry = TextEntryFor(State::instance()->languageIndex.value_or(1));
    GS::UniString text;
    if (!RSGetIndString(&text, list, entry, ACAPI_GetOwnResModule())) {
        DBPrintf("Velmar: no text %d in string list %d\n", entry, static_cast<int>(list));
        return GS::UniString();
    }
    const GS::UniString placeholder("%s");
    if (const UIndex at = text.FindFirst(placeholder); at != MaxUIndex)
        text = text.GetSubstring(0, at) + argument + text.GetSubstring(at + 2, MaxUSize);
    return text;
}

}  // namespace Velmar::App

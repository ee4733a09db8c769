#include "LanguageIndex.hpp"

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

}  // namespace Velmar::App

#include "LanguageIndex.hpp"
#include "LodProvider.hpp"

#include "HostText.hpp"
#include "RS.hpp"

#include <gtest/gtest.h>

extern "C" const RS::ModuleData GSResourceModuleData;

namespace {

TEST(LanguageIndex, CodesMapToTheIndexAndToTheMenuTextsOfTheirLanguage)
{
    struct Case {
        const char* code;
        Int32 index;
        std::vector<std::string> texts;  // lists 37000, 37001, 37002, 37004, 37005
    };
    const std::vector<std::string> dutch{"Zoeken", "Controleer", "Update", "Instellingen", "Neutraal"};
    const std::vector<std::string> french{"Chercher", "Vérifier", "Mise à jour", "Réglages", "Neutre"};
    const std::vector<std::string> english{"Search", "Check", "Update", "Settings", "Neutral"};
    const Case cases[] = {
        {"nl-BE", 1, dutch},   {"NL-be", 1, dutch},  {"nl-NL", 1, dutch},  {"", 1, dutch},        {"de-DE", 1, dutch},
        {"fr-BE", 2, french},  {"FR-be", 2, french}, {"fr-FR", 1, dutch},  {"en-US", 3, english}, {"en-us", 3, english},
        {"EN-US", 3, english}, {"en-GB", 1, dutch},  {" en-US", 1, dutch},
    };
    const GSResModule module = RS::RSOpenModule(&GSResourceModuleData);
    ASSERT_NE(module, InvalidResModule);
    const GSResID lists[] = {37000, 37001, 37002, 37004, 37005};
    for (const auto& c : cases) {
        const Int32 index = Velmar::App::LanguageIndexOf(c.code);
        EXPECT_EQ(index, c.index) << c.code;
        for (std::size_t i = 0; i < std::size(lists); ++i) {
            GS::UniString text;
            ASSERT_TRUE(RSGetIndString(&text, lists[i], Velmar::App::TextEntryFor(index), module));
            EXPECT_EQ(HostText::Utf8(text), c.texts[i]) << c.code << " list " << lists[i];
        }
    }
    RS::RSCloseModule(module);
}

TEST(Lod, ComparesByValueOnlyAndFindsLevelsByNameIgnoringCase)
{
    const Velmar::Bo::LOD l100("100", false, false, 100), l300("300", true, false, 300), l500("500", true, true, 500);
    const Velmar::Bo::LOD renamed300("other", false, true, 300);
    struct Case {
        const Velmar::Bo::LOD& left;
        const Velmar::Bo::LOD& right;
        Int32 expected;
    };
    const Case cases[] = {{l300, l300, 0}, {l500, l100, 1}, {l100, l500, -1}, {l300, renamed300, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.left.CompareTo(c.right), c.expected) << c.left.value << " vs " << c.right.value;

    Velmar::Lod::LodProvider provider;
    for (const auto& lod : {l100, l300, l500, l300})
        provider.AddLevel(lod);
    EXPECT_EQ(provider.FindByName("300"), std::optional<UIndex>(1));
    EXPECT_EQ(provider.FindByName("250"), std::nullopt);
    EXPECT_EQ(provider.FindByValue(500), std::optional<UIndex>(2));
    EXPECT_FALSE(provider.GetActive().has_value());
}

}  // namespace

#include "Array.hpp"
#include "Guid.hpp"
#include "HashTable.hpp"
#include "UniString.hpp"

#include <gtest/gtest.h>

namespace {

TEST(UniString, KeepsUtf16AndRoundTripsUtf8)
{
    struct Case {
        const char* utf8;
        USize units;
    };
    const Case cases[] = {
        {"", 0},
        {"Velmar", 6},
        {"Réglages", 8},
        {"Vérifier", 8},
        {"\xF0\x9F\x8F\xA0 house", 8},  // U+1F3E0 is a surrogate pair
    };
    for (const auto& c : cases) {
        const GS::UniString text(c.utf8);
        EXPECT_EQ(text.GetLength(), c.units) << c.utf8;
        EXPECT_EQ(text.ToUtf8(), c.utf8);
        EXPECT_STREQ(text.ToCStr(CC_UTF8).Get(), c.utf8);
    }
}

TEST(UniString, ReplacesInvalidUtf8AndSplitsKeepingEmptyParts)
{
    EXPECT_EQ(GS::UniString(std::string("a\xC3(b\xFF", 5)).ToUtf8(), "a\xEF\xBF\xBD(b\xEF\xBF\xBD");
    std::string parts;
    for (const auto& part : GS::UniString("/velmar//archicad/log.txt").Split("/"))
        parts += "<" + part.ToUtf8() + ">";
    EXPECT_EQ(parts, "<><velmar><><archicad><log.txt>");
}

TEST(UniString, ComparesIgnoringCaseThroughCaseFolding)
{
    struct Case {
        const char* left;
        const char* right;
        bool insensitiveEqual;
    };
    const Case cases[] = {
        {"en-US", "EN-us", true},
        {"nl-BE", "nl-be", true},
        {"fr-BE", "fr-BEX", false},
        {"RÉGLAGES", "réglages", true},
        {"Straße", "STRASSE", true},
        {"", "", true},
        {"a", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GS::UniString(c.left).IsEqual(c.right, GS::UniString::CaseInsensitive), c.insensitiveEqual)
            << c.left << " / " << c.right;
        EXPECT_EQ(GS::UniString(c.left).IsEqual(c.right), std::string(c.left) == c.right);
    }
}

TEST(Guid, TextFormRoundTripsAndRejectsMalformedText)
{
    GS::Guid guid;
    ASSERT_EQ(guid.ConvertFromString("{901e167f-078d-4032-8383-39568546b9f9}"), NoError);
    EXPECT_EQ(guid.ToUniString().ToUtf8(), "901E167F-078D-4032-8383-39568546B9F9");

    for (const char* bad : {"", "901E167F-078D-4032-8383-39568546B9F", "901E167F+078D-4032-8383-39568546B9F9",
                            "901E167F-078D-4032-8383-39568546B9FG", "{901E167F-078D-4032-8383-39568546B9F9"}) {
        GS::Guid parsed = GS::Guid::Generate();
        EXPECT_NE(parsed.ConvertFromString(bad), NoError) << bad;
        EXPECT_TRUE(parsed.IsNull()) << bad;
    }
    EXPECT_NE(GS::Guid::Generate(), GS::Guid::Generate());
}

TEST(Containers, RaiseHostExceptionsInsteadOfReadingPastTheEnd)
{
    GS::Array<int> items{1, 2};
    EXPECT_THROW(items[2], GS::IndexOutOfRangeException);
    EXPECT_THROW(items.Delete(5), GS::GeneralException);

    GS::HashTable<GS::UniString, int> table;
    EXPECT_TRUE(table.Add("a", 1));
    EXPECT_FALSE(table.Add("a", 2));
    table.Put("a", 3);
    EXPECT_EQ(table.Get("a"), 3);
    EXPECT_EQ(table.GetPtr("b"), nullptr);
    EXPECT_THROW(table.Get("b"), GS::IllegalArgumentException);
}

}  // namespace

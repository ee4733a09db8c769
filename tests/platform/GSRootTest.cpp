#include "Array.hpp"
#include "GSException.hpp"
#include "Guid.hpp"
#include "HashTable.hpp"
#include "HostText.hpp"
#include "UniString.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

namespace {

TEST(UniString, KeepsUtf16AndConvertsEightBitTextByItsCharacterCode)
{
    // Without CC_UTF8 the bytes are the system code page's (Windows-1252): UTF-8 comes out mangled, and
    // what the code page cannot hold is written as "?".
    struct Case {
        const char* utf8;
        USize units;
        const char* readAsSystemCodePage;
        const char* writtenToSystemCodePage;
    };
    const Case cases[] = {
        {"", 0, "", ""},
        {"Velmar", 6, "Velmar", "Velmar"},
        {"R\xC3\xA9glages", 8, "R\xC3\x83\xC2\xA9glages", "R\xE9glages"},
        {"\xE2\x82\xAC 5", 3, "\xC3\xA2\xE2\x80\x9A\xC2\xAC 5", "\x80 5"},
        {"\xF0\x9F\x8F\xA0 house", 8, "\xC3\xB0\xC5\xB8\xC2\x8F\xC2\xA0 house", "? house"},  // U+1F3E0 is a pair
    };
    for (const auto& c : cases) {
        const GS::UniString text(c.utf8, CC_UTF8);
        EXPECT_EQ(text.GetLength(), c.units) << c.utf8;
        EXPECT_STREQ(text.ToCStr(CC_UTF8).Get(), c.utf8);
        EXPECT_STREQ(text.ToCStr(0, MaxUSize, CC_UTF8).Get(), c.utf8);
        EXPECT_EQ(HostText::Utf8(GS::UniString(c.utf8)), c.readAsSystemCodePage) << c.utf8;
        EXPECT_STREQ(text.ToCStr().Get(), c.writtenToSystemCodePage) << c.utf8;
    }
    EXPECT_THROW(GS::UniString("\xE2\x96\xB8", CC_UTF8).ToCStr(0, MaxUSize, CC_Default, GS::UniString::ThrowException),
                 GS::ConversionErrorException);
}

TEST(UniString, ReplacesInvalidUtf8AndSplitsIntoAnArray)
{
    EXPECT_EQ(HostText::Utf8(HostText::Uni(std::string("a\xC3(b\xFF", 5))), "a\xEF\xBF\xBD(b\xEF\xBF\xBD");
    // A separator string, or (with the empty-part choice) a set of separator characters.
    struct Case {
        const char* text;
        const char* separator;
        std::optional<GS::UniString::EmptyPartProcessing> charSet;
        const char* parts;
    };
    const Case cases[] = {
        {"/velmar//archicad/log.txt", "/", std::nullopt, "<><velmar><><archicad><log.txt>"},
        {"/velmar//archicad/log.txt", "/", GS::UniString::SkipEmptyParts, "<velmar><archicad><log.txt>"},
        {"a--b-c", "--", std::nullopt, "<a><b-c>"},
        {"a, b;;c", ",;", GS::UniString::SkipEmptyParts, "<a>< b><c>"},
        {"a, b;;c", ",;", GS::UniString::KeepEmptyParts, "<a>< b><><c>"},
        {"", "/", std::nullopt, "<>"},
    };
    for (const auto& c : cases) {
        GS::Array<GS::UniString> parts{"kept"};
        const UInt32 added = c.charSet ? GS::UniString(c.text).Split(c.separator, *c.charSet, &parts)
                                       : GS::UniString(c.text).Split(c.separator, &parts);
        std::string joined;
        for (UIndex i = 1; i < parts.GetSize(); ++i)
            joined += "<" + HostText::Utf8(parts[i]) + ">";
        EXPECT_EQ(joined, c.parts) << c.text;
        EXPECT_EQ(added, parts.GetSize() - 1) << c.text;
        EXPECT_EQ(parts[0], GS::UniString("kept")) << "the parts are added to what the array holds";
    }
}

TEST(UniString, ComparesIntoLessEqualGreaterIgnoringCaseThroughCaseFolding)
{
    struct Case {
        const char* left;
        const char* right;
        GS::UniString::CompareResult sensitive;
        GS::UniString::CompareResult insensitive;
    };
    const Case cases[] = {
        {"en-US", "EN-us", GS::UniString::Greater, GS::UniString::Equal},
        {"nl-BE", "nl-be", GS::UniString::Less, GS::UniString::Equal},
        {"fr-BE", "fr-BEX", GS::UniString::Less, GS::UniString::Less},
        {"R\xC3\x89GLAGES", "r\xC3\xA9glages", GS::UniString::Less, GS::UniString::Equal},
        {"Stra\xC3\x9F"
         "e",
         "STRASSE", GS::UniString::Greater, GS::UniString::Equal},
        {"", "", GS::UniString::Equal, GS::UniString::Equal},
        {"a", "", GS::UniString::Greater, GS::UniString::Greater},
    };
    for (const auto& c : cases) {
        const GS::UniString left(c.left, CC_UTF8);
        const GS::UniString right(c.right, CC_UTF8);
        EXPECT_EQ(left.Compare(right), c.sensitive) << c.left << " / " << c.right;
        EXPECT_EQ(left.Compare(right, GS::CaseInsensitive), c.insensitive) << c.left << " / " << c.right;
        EXPECT_EQ(left.IsEqual(right, GS::CaseInsensitive), c.insensitive == GS::UniString::Equal);
        EXPECT_EQ(left.IsEqual(right), c.sensitive == GS::UniString::Equal);
    }
}

TEST(Guid, TextFormRoundTripsAndRejectsMalformedText)
{
    GS::Guid guid;
    ASSERT_EQ(guid.ConvertFromString("{901e167f-078d-4032-8383-39568546b9f9}"), NoError);
    EXPECT_EQ(HostText::Utf8(guid.ToUniString()), "901E167F-078D-4032-8383-39568546B9F9");

    for (const char* bad : {"", "901E167F-078D-4032-8383-39568546B9F", "901E167F+078D-4032-8383-39568546B9F9",
                            "901E167F-078D-4032-8383-39568546B9FG", "{901E167F-078D-4032-8383-39568546B9F9"}) {
        GS::Guid parsed;
        ASSERT_EQ(parsed.Generate(), NoError);
        EXPECT_NE(parsed.ConvertFromString(bad), NoError) << bad;
        EXPECT_TRUE(parsed.IsNull()) << bad;
    }
    GS::Guid first;
    GS::Guid second;
    ASSERT_EQ(first.Generate(), NoError);
    ASSERT_EQ(second.Generate(), NoError);
    EXPECT_NE(first, second);
}

// A class derived from a host exception builds the virtual base GS::GSException itself: what it hands its
// direct base is not the message.
struct ForgetsItsMessage : GS::GeneralException {
    ForgetsItsMessage() : GS::GeneralException("lost") {}
};

TEST(Exceptions, CarryTheIdOfTheirClassAndWhereTheyWereRaised)
{
    struct Case {
        std::function<void()> raise;
        const char* name;
        Int32 id;
        bool general;
        const char* message;
    };
    const Case cases[] = {
        {[] { throw GS::GeneralException("general", "Here.cpp", 7); }, "GeneralException", Error, true, "general"},
        {[] { throw GS::IllegalArgumentException("argument"); }, "IllegalArgumentException", ErrParam, true,
         "argument"},
        {[] { throw GS::OutOfMemoryException("memory"); }, "OutOfMemoryException", ErrMemoryFull, true, "memory"},
        {[] { throw GS::ClassCastException("Bad cast."); }, "ClassCastException", Error, false, "Bad cast."},
        {[] { throw ForgetsItsMessage(); }, "GeneralException", 0, true, ""},
    };
    for (const auto& c : cases) {
        try {
            c.raise();
            ADD_FAILURE() << c.name;
        } catch (const GS::Exception& exception) {
            EXPECT_STREQ(exception.GetName(), c.name);
            EXPECT_EQ(exception.GetID(), c.id) << c.name;
            EXPECT_EQ(dynamic_cast<const GS::GeneralException*>(&exception) != nullptr, c.general) << c.name;
            EXPECT_EQ(HostText::Utf8(exception.GetMessage()), c.message) << c.name;
        }
    }
    try {
        throw GS::GeneralException("general", "Here.cpp", 7);
    } catch (const GS::GeneralException& exception) {
        EXPECT_STREQ(exception.GetFileName(), "Here.cpp");
        EXPECT_EQ(exception.GetLineNumber(), 7u);
    }
}

TEST(Containers, RaiseHostExceptionsInsteadOfReadingPastTheEnd)
{
    GS::Array<int> items{1, 2};
    EXPECT_THROW(items[2], GS::IllegalReferenceException);
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

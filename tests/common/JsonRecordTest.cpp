#include "HostText.hpp"
#include "Record.hpp"
#include "SmallStackThread.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace Velmar::Json;

struct Language : BaseObject {
    ValueProperty<GS::UniString> code{"code"};
    ValueProperty<GS::UniString> label{"label"};
    ValueProperty<GS::UniString> selectorUrl{"selectorUrl"};
    VELMAR_JSON_MEMBERS(code, label, selectorUrl)
};

struct Settings : BaseObject {
    ValueProperty<Int32> version{"version"};
    ValueProperty<Int16> small{"small"};
    ValueProperty<bool> enabled{"enabled"};
    ValueProperty<GS::Guid> id{"id"};
    ValueProperty<Language> main{"main"};
    ArrayProperty<Language> languages{"languages"};
    ArrayProperty<GS::UniString> tags{"tags"};
    ArrayProperty<API_Guid> ids{"ids"};
    ArrayProperty<Int32> numbers{"numbers"};
    VELMAR_JSON_MEMBERS(version, small, enabled, id, main, languages, tags, ids, numbers)
};

TEST(JsonRecord, ReadsEachKindAndIgnoresMembersOfAnotherKind)
{
    struct Case {
        const char* json;
        std::optional<Int32> version;
        std::optional<Int16> small;
        std::optional<bool> enabled;
        bool hasMain;
    };
    const Case cases[] = {
        {R"({"version":3,"small":7,"enabled":true,"main":{}})", 3, 7, true, true},
        {R"({"VERSION":3,"Small":-2,"ENABLED":false})", 3, -2, false, false},
        {R"({"version":4294967297,"small":65537})", 1, 1, std::nullopt, false},
        {R"({"version":-1})", -1, std::nullopt, std::nullopt, false},
        {R"({"version":3.0,"small":1e2,"enabled":1,"main":[]})", std::nullopt, std::nullopt, std::nullopt, false},
        {R"({"version":"12","small":null,"enabled":"true","main":"x"})", std::nullopt, std::nullopt, std::nullopt,
         false},
        {R"({"version":18446744073709551615})", std::nullopt, std::nullopt, std::nullopt, false},
        {R"({"version":1,"version":2})", 1, std::nullopt, std::nullopt, false},
    };
    for (const auto& c : cases) {
        const auto settings = ParseRecord<Settings>(c.json);
        EXPECT_EQ(settings.version.Optional(), c.version) << c.json;
        EXPECT_EQ(settings.small.Optional(), c.small) << c.json;
        EXPECT_EQ(settings.enabled.Optional(), c.enabled) << c.json;
        EXPECT_EQ(settings.main.HasValue(), c.hasMain) << c.json;
    }
}

TEST(JsonRecord, TextAndGuidMembers)
{
    const auto language = ParseRecord<Language>(R"({"CODE":"nl-BE","label":null,"selectorUrl":5})");
    EXPECT_EQ(HostText::Utf8(language.code.Get()), "nl-BE");
    EXPECT_FALSE(language.label.HasValue());
    EXPECT_FALSE(language.selectorUrl.HasValue());

    // GUIDs and arrays are looked up by their exact name.
    const auto exact = ParseRecord<Settings>(R"({"id":"901e167f-078d-4032-8383-39568546b9f9","IDS":["x"]})");
    ASSERT_TRUE(exact.id.HasValue());
    EXPECT_EQ(HostText::Utf8(exact.id.Get().ToUniString()), "901E167F-078D-4032-8383-39568546B9F9");
    EXPECT_TRUE(exact.ids.Items().IsEmpty());
    EXPECT_FALSE(ParseRecord<Settings>(R"({"ID":"901e167f-078d-4032-8383-39568546b9f9"})").id.HasValue());
}

TEST(JsonRecord, ArraysSkipNullsAndElementsOfAnotherKind)
{
    const auto settings = ParseRecord<Settings>(
        R"({"languages":[null,{"code":"fr-BE"},5,"nl",[]],"tags":["a",1,null,"b"],)"
        R"("ids":["901E167F-078D-4032-8383-39568546B9F9",7],"numbers":[1,2.5,-3,4294967296,"4"]})");
    ASSERT_EQ(settings.languages.Items().GetSize(), 1u);
    EXPECT_EQ(HostText::Utf8(settings.languages.Items()[0].code.Get()), "fr-BE");
    ASSERT_EQ(settings.tags.Items().GetSize(), 2u);
    EXPECT_EQ(HostText::Utf8(settings.tags.Items()[1]), "b");
    EXPECT_EQ(settings.ids.Items().GetSize(), 1u);
    EXPECT_EQ(settings.numbers.Items(), (GS::Array<Int32>{1, -3}));

    EXPECT_TRUE(ParseRecord<Settings>(R"({"languages":{"code":"nl-BE"}})").languages.Items().IsEmpty());

    Settings made;
    rj::Document document;
    const std::string list = R"({"languages":[{"code":"x"},null,3]})";
    ASSERT_TRUE(ParseDocument(list.data(), list.size(), document));
    made.languages.ReadFrom(document, [](const rj::Value& element) {
        Language language;
        language.label.Set(element.IsObject() ? "object" : "other");
        return language;
    });
    ASSERT_EQ(made.languages.Items().GetSize(), 2u);
    EXPECT_EQ(HostText::Utf8(made.languages.Items()[1].label.Get()), "other");
}

TEST(JsonRecord, WritesAbsentValuesAsNullOnlyWhenAskedAndRoundTrips)
{
    EXPECT_EQ(HostText::Utf8(RecordToText(Settings())),
              R"({"version":null,"small":null,"enabled":null,"id":null,"main":null,"languages":[],"tags":[],)"
              R"("ids":[],"numbers":[]})");

    Language nl;
    nl.code.Set("nl-BE");
    Language empty;
    GS::Array<Language> list{nl, empty};
    EXPECT_EQ(HostText::Utf8(RecordListToText(list)), R"([{"code":"nl-BE"},{}])");

    // A round trip keeps accents, order and nesting.
    const std::string text =
        R"({"version":28,"small":-5,"enabled":false,"id":"901E167F-078D-4032-8383-39568546B9F9",)"
        R"("main":{"code":"fr-BE","label":"Français — Réglages","selectorUrl":null},)"
        R"j("languages":[{"code":"nl-BE","label":"Nederlands (België)","selectorUrl":"https://x.example/nl?a=1&b=\"2\""}],)j"
        R"("tags":["é","\u0000x"],"ids":["901E167F-078D-4032-8383-39568546B9F9","00000001-0002-0A03-0405-060708090A0B"],)"
        R"("numbers":[2147483647,-2147483648]})";
    EXPECT_EQ(HostText::Utf8(RecordToText(ParseRecord<Settings>(text))), text);
}

TEST(JsonRecord, UntrustedTextGivesADefaultRecordWithoutCrashing)
{
    // As deep as the parse could go before its limit, on a stack as small as the host's main thread.
    const std::string abyss = std::string(100000, '[') + std::string(100000, ']');
    const std::string wideAndDeep = R"({"languages":[)" + std::string(50000, '{') + std::string(50000, '}') + "]}";
    Velmar::Testing::RunOnSmallStack([&] {
        for (const auto* text : {&abyss, &wideAndDeep}) {
            const auto settings = ParseRecord<Settings>(*text);
            EXPECT_TRUE(settings.languages.Items().IsEmpty());
            EXPECT_EQ(HostText::Utf8(RecordToText(settings)).size(), HostText::Utf8(RecordToText(Settings())).size());
        }
    });

    // Inside the root object: one level short of the limit, and one past it.
    const std::size_t limit = Velmar::Json::MaxNestingDepth;
    const std::string deepInside = R"({"version":1,"x":)" + std::string(limit, '[') + std::string(limit, ']') + "}";
    const std::string allowed =
        R"({"version":1,"x":)" + std::string(limit - 1, '[') + std::string(limit - 1, ']') + "}";
    const std::string cases[] = {
        "",
        "{",
        R"({"version":1)",
        "[]",
        "null",
        "1",
        "\"text\"",
        R"({"version":1} {})",
        "\xEF\xBB\xBF{\"version\":1}",
        R"({"version":1e999999})",
        deepInside,
        std::string(R"({"version":1,)") + '\0' + "}",
    };
    for (const auto& text : cases) {
        const auto settings = ParseRecord<Settings>(text);
        EXPECT_FALSE(settings.version.HasValue()) << text.substr(0, 40);
    }
    EXPECT_EQ(ParseRecord<Settings>(allowed).version.Optional(), std::optional<Int32>(1));

    // A stray byte is no reason to lose the record: it becomes U+FFFD in the host string.
    const auto stray = ParseRecord<Language>(std::string("{\"code\":\"nl\xC3(\",\"label\":\"x\"}"));
    EXPECT_EQ(HostText::Utf8(stray.code.Get()), "nl\xEF\xBF\xBD(");
    EXPECT_EQ(HostText::Utf8(stray.label.Get()), "x");
}

TEST(JsonDocument, ValidTextParsesAsTheDefaultParseDoes)
{
    const char* cases[] = {
        "[1e-10]",
        R"({"a":[],"b":{}})",
        R"(["\u0000"])",
        "[-0]",
        "[1E+2]",
        R"({"\ud834\udd1e":1})",
        " [1] ",
        "[123456789012345678901234567890]",
        R"(["é\/\b\f\n\r\t"])",
        "[true,false,null]",
        "[-9223372036854775808]",
        "[18446744073709551615]",
        "0.5",
        R"("top")",
    };
    for (const char* text : cases) {
        Velmar::Json::rj::Document ours;
        Velmar::Json::rj::Document reference;
        ASSERT_TRUE(Velmar::Json::ParseDocument(text, std::strlen(text), ours)) << text;
        reference.Parse(text);
        ASSERT_FALSE(reference.HasParseError()) << text;
        EXPECT_EQ(Velmar::Json::DocumentToText(ours), Velmar::Json::DocumentToText(reference)) << text;
    }
}

}  // namespace

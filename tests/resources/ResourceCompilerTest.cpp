#include "ResourceCompiler.hpp"
#include "HostText.hpp"
#include "RS.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>

extern "C" const RS::ModuleData GSResourceModuleData;

namespace {

auto Tie(const rescomp::DialogItem& item)
{
    return std::tie(item.kind, item.x, item.y, item.width, item.height);
}

TEST(ResourceCompiler, RejectsMalformedInputAtItsLine)
{
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"// icons\n'ICON' 1 \"x\" {\n}\n", 2, "unknown resource type 'ICON'"},
        {"'STR#' 1 \"x\"\n\"a\"\n}\n", 2, "expected '{', found \"a\""},
        {"'STR#' 1 \"x\" {\n\"a\"\n", 1, "missing '}'"},
        {"'STR#' 1 \"x\" {\n\"a\"\n'STR#' 2 \"y\" {\n\"b\"\n}\n", 3, "expected a string or '}', found 'STR#'"},
        {"'GDLG' 1 Modal 20 2x0 10 10 \"t\" {\n}\n", 1, "bad number '2x0'"},
        {"\n'STR#' 65536 \"x\" {\n\"a\"\n}\n", 2, "resource id 65536 is out of range 0..65535"},
        {"'STR#' -1 \"x\" {\n\"a\"\n}\n", 1, "resource id -1 is out of range"},
        {"'GDLG' 1 Modal 0 0 10 10 \"t\" {\nBrowser 0 -32769 5 5\n}\n", 2, "y coordinate -32769 is out of range"},
        {"'GDLG' 1 Modal 0 0 10 10 \"t\" {\n\nButton 0 0 -5 5 \"OK\"\n}\n", 3, "width -5 is out of range"},
        {"'MDID' 1 \"x\" {\n1\n99999999999999999999999\n}\n", 3, "local id 99999999999999999999999 is out of range"},
        {"'MDID' 1 \"x\" {\n4294967296\n1\n}\n", 2, "developer id 4294967296 is out of range"},
        {"'MDID' 1 \"x\" {\n1\n2\n3\n}\n", 4, "expected '}' after the two identifier values"},
        {"'STR#' 1 \"x\" {\n\"abc\n}\n", 2, "unterminated string"},
        {"'STR#' 1 \"x\" {\n\"a\\qb\"\n}\n", 2, "unknown escape sequence"},
        {"'STR#' 1 \"x\" {\n\"a\"\n}\n/* open\n\n", 4, "unterminated comment"},
        {"'STR#' 1 \"x\" {\n\"a\"\n}\n/* two\nlines */\n'STR#' 1 \"y\" {\n\"b\"\n}\n", 6,
         "duplicate 'STR#' 1, first defined at in.grc:1"},
        {"'STR#' 1 \"x\" {\n\"ok\"\n\"caf\xC3\"\n}\n", 3, "invalid UTF-8"},
        {"'STR#' 1 \"x\" {\n\n\"\xC0\xAF\"\n}\n", 3, "invalid UTF-8"},    // overlong '/'
        {"'STR#' 1 \"x\" {\n\"\xED\xA0\x80\"\n}\n", 2, "invalid UTF-8"},  // a lone surrogate
        {"\n\n'STR#' 1 \"x\" {\n}\n", 3, "'STR#' 1 has no entries"},
        {"'GDLG' 1 Palette | grow\n| wobbly 0 0 1 1 \"t\" {\n}\n", 2, "unknown dialog flag 'wobbly'"},
        {"'GDLG' 1 Palette | grow | noGrow 0 0 1 1 \"t\" {\n}\n", 1, "contradict"},
        {"'GDLG' 1 Palette 0 0 1 1 \"t\" {\n\nSlider 0 0 1 1\n}\n", 3, "unknown dialog item 'Slider'"},
        {"'DLGH' 1 DLG_1 {\n1 Browser_0\n}\n", 2, "expected the help text"},
    };
    for (const Case& c : cases) {
        rescomp::Module module;
        try {
            rescomp::Parse(c.text, "in.grc", module);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const rescomp::CompileError& error) {
            const std::string what = error.what();
            EXPECT_EQ(what.rfind("in.grc:" + std::to_string(c.line) + ": error: ", 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
        }
    }
}

TEST(ResourceCompiler, ParsesStringsDialogsAndIdentifiers)
{
    const char* text = "\xEF\xBB\xBF// a byte-order mark and comments are skipped\n"
                       "'STR#' 100 \"Texts\" {\n"
                       "/* [  1] */ \"Say \\\"hi\\\"\\tC:\\\\dir\\n\"\n"
                       "/* [  2] */ \"R\xC3\xA9glages // /* kept */\"\n"
                       "}\n"
                       "'GDLG' 37000 Modal | noGrow | close 20 -20 1250 800 \"Zoek\" {\n"
                       "Browser 2 2 1246 790\n"
                       "Button 10 20 30 40 \"OK\"\n"
                       "StaticText 0 0 0 0\n"
                       "}\n"
                       "'DLGH' 37000 DLG_Search {\n1 \"\" Browser_0\n2 \"Help\" Button_0\n}\n"
                       "'GDLG' 7 Palette | grow 0 0 10 10 \"P\" {\n}\n"
                       "'MDID' 32500 \"Id\" {\n\t4294967295\n\t0\n}\n";
    rescomp::Module module;
    rescomp::Parse(text, "in.grc", module);

    ASSERT_EQ(module.stringLists.size(), 1u);
    EXPECT_EQ(module.stringLists[0].id, 100);
    EXPECT_EQ(module.stringLists[0].entries,
              (std::vector<std::string>{"Say \"hi\"\tC:\\dir\n", "R\xC3\xA9glages // /* kept */"}));

    ASSERT_EQ(module.dialogs.size(), 2u);
    const rescomp::Dialog& modal = module.dialogs[0];
    EXPECT_EQ(std::tie(modal.id, modal.kind, modal.resizable, modal.x, modal.y, modal.width, modal.height, modal.title),
              std::make_tuple(37000, rescomp::DialogKind::Modal, false, 20, -20, 1250, 800, std::string("Zoek")));
    ASSERT_EQ(modal.items.size(), 3u);
    EXPECT_EQ(Tie(modal.items[0]), Tie({rescomp::ItemKind::Browser, 2, 2, 1246, 790}));
    EXPECT_EQ(Tie(modal.items[1]), Tie({rescomp::ItemKind::Button, 10, 20, 30, 40}));
    EXPECT_EQ(Tie(modal.items[2]), Tie({rescomp::ItemKind::StaticText, 0, 0, 0, 0}));
    EXPECT_EQ(module.dialogs[1].kind, rescomp::DialogKind::Palette);
    EXPECT_TRUE(module.dialogs[1].resizable);
    EXPECT_TRUE(module.dialogs[1].items.empty());

    ASSERT_EQ(module.identifiers.size(), 1u);
    EXPECT_EQ(module.identifiers[0].developerId, 4294967295u);
    EXPECT_EQ(module.identifiers[0].localId, 0u);
}

TEST(ResourceCompiler, ChecksAcrossFilesAndRequirements)
{
    rescomp::Module module;
    rescomp::Parse("'STR#' 1 \"x\" {\n\"a\"\n}\n", "a.grc", module);
    try {
        rescomp::Parse("\n'MDID' 1 \"x\" {\n1 2\n}\n'STR#' 1 \"x\" {\n\"b\"\n}\n", "b.grc", module);
        ADD_FAILURE() << "duplicate across files accepted";
    } catch (const rescomp::CompileError& error) {
        EXPECT_STREQ(error.what(), "b.grc:5: error: duplicate 'STR#' 1, first defined at a.grc:1");
    }
    const rescomp::Location end{"b.grc", 7};
    EXPECT_NO_THROW(rescomp::CheckRequired(module, {{"STR#", 1}, {"MDID", 1}}, end));
    EXPECT_THROW(rescomp::CheckRequired(module, {{"STR#", 1}, {"GDLG", 1}}, end), rescomp::CompileError);
    EXPECT_THROW(rescomp::CheckRequired(module, {{"MDID", 2}}, end), rescomp::CompileError);

    const auto required = rescomp::ParseRequirement("STR#:37000");
    EXPECT_EQ(std::tie(required.type, required.id), std::make_tuple(std::string("STR#"), 37000));
    for (const char* bad : {"STR#", "STR#:", "ICON:1", "STR#:65536", "STR#:-1", "STR#:12a", ":1"})
        EXPECT_THROW(rescomp::ParseRequirement(bad), std::invalid_argument) << bad;
}

TEST(ResourceCompiler, EscapesLiteralsIntoPlainAscii)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Lod 100^ES^M", R"("Lod 100^ES^M")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"\xC3\xA9"
         "1",
         R"("\303\2511")"},  // a digit after an escape must not extend it
        {"\n\t", R"("\012\011")"},
    };
    for (const auto& [text, literal] : cases)
        EXPECT_EQ(rescomp::CppStringLiteral(text), literal);
}

const RS::StringEntry kStrings[] = {{1, 1, "one"}, {1, 2, "R\xC3\xA9glages"}, {2, 1, "two"}, {-1, 1, "negative"}};
const RS::DialogItem kItems[] = {{RS::DialogItemKind::Browser, 2, 2, 100, 50}};
const RS::Dialog kDialogs[] = {{600, RS::DialogKind::Palette, true, 0, 0, 104, 54, "Search", kItems, 1}};
const RS::ModuleIdentifier kIdentifiers[] = {{500, 7, 9}};
const RS::ModuleData kData = {kStrings, 4, kDialogs, 1, kIdentifiers, 1};

TEST(RS, AnswersFromOpenModulesOnly)
{
    const GSResModule module = RS::RSOpenModule(&kData);
    const GSResModule closed = RS::RSOpenModule(&kData);
    RS::RSCloseModule(closed);
    ASSERT_GT(module, 0);
    ASSERT_GT(closed, 0);
    ASSERT_NE(module, closed);

    struct Case {
        GSResModule module;
        GSResID list;
        Int32 index;
        const char* text;  // nullptr: no such entry
    };
    const Case cases[] = {
        {module, 1, 1, "one"},   {module, 1, 2, "R\xC3\xA9glages"},
        {module, 2, 1, "two"},   {module, -1, 1, "negative"},
        {module, 1, 0, nullptr}, {module, 1, 3, nullptr},
        {module, 2, 2, nullptr}, {module, 3, 1, nullptr},
        {closed, 1, 1, nullptr}, {InvalidResModule, 1, 1, nullptr},
    };
    for (const Case& c : cases) {
        GS::UniString text("stale");
        EXPECT_EQ(RSGetIndString(&text, c.list, c.index, c.module), c.text != nullptr) << c.list << "/" << c.index;
        EXPECT_EQ(text, HostText::Uni(c.text == nullptr ? "" : c.text)) << c.list << "/" << c.index;
    }

    EXPECT_EQ(RS::RSGetDialog(module, 600), &kDialogs[0]);
    EXPECT_EQ(RS::RSGetDialog(module, 601), nullptr);
    EXPECT_EQ(RS::RSGetDialog(closed, 600), nullptr);
    UInt32 developerId = 0, localId = 0;
    EXPECT_TRUE(RS::RSGetModuleIdentifier(module, 500, &developerId, &localId));
    EXPECT_EQ(std::make_pair(developerId, localId), std::make_pair(7u, 9u));
    EXPECT_FALSE(RS::RSGetModuleIdentifier(module, 501, &developerId, &localId));
    EXPECT_FALSE(RS::RSGetModuleIdentifier(closed, 500, &developerId, &localId));
    RS::RSCloseModule(module);

    const RS::ModuleData broken[] = {{nullptr, 1, nullptr, 0, nullptr, 0}, {kStrings, -1, nullptr, 0, nullptr, 0}};
    for (const RS::ModuleData& data : broken)
        EXPECT_EQ(RS::RSOpenModule(&data), InvalidResModule);
    EXPECT_EQ(RS::RSOpenModule(nullptr), InvalidResModule);
}

TEST(RS, OpensReadsAndClosesFromManyThreads)
{
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&failures] {
            for (int i = 0; i < 200; ++i) {
                const GSResModule module = RS::RSOpenModule(&kData);
                GS::UniString text;
                if (module <= 0 || !RSGetIndString(&text, 2, 1, module) || text != GS::UniString("two"))
                    ++failures;
                RS::RSCloseModule(module);
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, 0);
}

// The module's own table, as the build generated it: non-ASCII text and dialogs survive the generated C++.
TEST(RS, ServesTheCompiledModuleResources)
{
    const GSResModule module = RS::RSOpenModule(&GSResourceModuleData);
    GS::UniString text;
    EXPECT_TRUE(RSGetIndString(&text, static_cast<GSResID>(37002), 3, module));
    EXPECT_EQ(HostText::Utf8(text), "Mise \xC3\xA0 jour");
    EXPECT_TRUE(RSGetIndString(&text, 32501, 3, module));
    EXPECT_EQ(HostText::Utf8(text), "Lod 100^ES^EE^EI^ED^EW^E3^EL^M");
    const RS::Dialog* modal = RS::RSGetDialog(module, 32601);
    ASSERT_NE(modal, nullptr);
    EXPECT_EQ(std::make_tuple(modal->kind, modal->resizable, modal->width, modal->height, modal->itemCount),
              std::make_tuple(RS::DialogKind::Modal, true, 1250, 800, 1));
    EXPECT_TRUE(RS::RSGetModuleIdentifier(module, 32500, nullptr, nullptr));
    RS::RSCloseModule(module);
}

}  // namespace

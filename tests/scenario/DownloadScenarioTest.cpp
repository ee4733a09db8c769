// A product picked on the selector page, through velmar-sim's protocol: the relay carries it to the add-on,
// the platform stand-in gives the system, the Download window shows it and the confirmation writes it into
// the project; products that cannot be had open nothing and the page is told so.
#include "VelmarSimRun.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

using Velmar::Testing::ParseAnswer;
using Velmar::Testing::RunVelmarSim;
using Velmar::Testing::SimRun;
using Velmar::Testing::TempFolder;

std::string DetailsProductCode(const std::string& answer)
{
    const auto document = ParseAnswer(answer);
    if (!document.IsObject() || !document.HasMember("answer") || !document["answer"].IsString())
        return "(" + answer + ")";
    const auto details = ParseAnswer(document["answer"].GetString());
    return details["productCode"].GetString();
}

// "name: material thickness, ..." of each composite in an `attributes` answer, thicknesses in millimetres.
std::string Composites(const std::string& answer)
{
    const auto document = ParseAnswer(answer);
    if (!document.IsObject() || !document.HasMember("attributes"))
        return "(" + answer + ")";
    std::string text;
    for (const auto& composite : document["attributes"].GetArray()) {
        text += std::string(text.empty() ? "" : "; ") + composite["name"].GetString() + ":";
        for (const auto& skin : composite["skins"].GetArray()) {
            char millimetres[32];
            std::snprintf(millimetres, sizeof millimetres, "%g", std::round(skin["thickness"].GetDouble() * 10000.0) / 10.0);
            text += " " + std::string(skin["material"].GetString()) + " " + millimetres;
        }
        text += composite.HasMember("userData") ? " (tagged)" : "";
    }
    return text;
}

// A picked product is downloaded into the project as one undo step; the Download window, opened again after
// undo and redo, lists the composites the project has then.
TEST(DownloadScenario, APickedProductBecomesACompositeThatUndoTakesAwayAndTheWindowSeesIt)
{
    TempFolder root;
    const std::string download = R"({"cmd":"call","window":4,"fn":"download_processDownload","arg":)";
    const SimRun run = RunVelmarSim(
        root / "data", root / "script.jsonl",
        {
            R"({"cmd":"choose","menu":32500,"item":1})",                                   // 0
            R"({"cmd":"pick","product":"VELMAR-MS75-1x12.5"})",                            // 1
            R"({"cmd":"wait","ms":20000,"until":{"window":4}})",                           // 2
            R"({"cmd":"call","window":4,"fn":"download_productDetails"})",                 // 3
            R"({"cmd":"call","window":4,"fn":"download_getComposites"})",                  // 4
            R"({"cmd":"pick.answer","ms":10000})",                                         // 5
            download + R"("{\"newCompositeName\":\"\",\"selectedLod\":300}"})",            // 6: no name
            R"({"cmd":"windows"})",                                                        // 7
            download + R"("{\"newCompositeName\":\"MS75\",\"selectedLod\":300}"})",        // 8
            R"({"cmd":"windows"})",                                                        // 9
            R"({"cmd":"reports"})",                                                        // 10
            R"({"cmd":"attributes","type":"composite"})",                                  // 11
            R"({"cmd":"undo"})",                                                           // 12
            R"({"cmd":"pick","product":"VELMAR-MS75-1x12.5"})",                            // 13
            R"({"cmd":"wait","ms":20000,"until":{"window":4}})",                           // 14
            R"({"cmd":"call","window":4,"fn":"download_getComposites"})",                  // 15
            download + R"("{\"existingCompositeName\":\"MS75\"}"})",                       // 16: undone, so none
            R"({"cmd":"windows"})",                                                        // 17
            R"({"cmd":"redo"})",                                                           // 18
            R"({"cmd":"pick","product":"VELMAR-MS75-1x12.5"})",                            // 19
            R"({"cmd":"wait","ms":20000,"until":{"window":4}})",                           // 20
            R"({"cmd":"call","window":4,"fn":"download_getComposites"})",                  // 21
            download + R"("{\"existingCompositeName\":\"MS75\",\"selectedLod\":100}"})",   // 22
            R"({"cmd":"attributes","type":"composite"})",                                  // 23
            R"({"cmd":"undo.list"})",                                                      // 24
            R"({"cmd":"shell"})",                                                          // 25
        });
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.answers.size(), 26u);
    EXPECT_EQ(run.answers[0], R"({"ok":true,"result":0})");
    // The window is a modal dialog: the wait is answered once it runs, or as met when it already ran.
    for (const std::size_t wait : {2, 14, 20})
        EXPECT_TRUE(run.answers[wait] == R"({"ok":true,"modal":true})" || run.answers[wait] == R"({"ok":true,"met":true})")
            << run.answers[wait];
    EXPECT_EQ(DetailsProductCode(run.answers[3]), "VELMAR-MS75-1x12.5");
    EXPECT_EQ(run.answers[4], R"({"ok":true,"answer":[]})");
    EXPECT_EQ(run.answers[5], R"({"ok":true,"answer":{"ok":true}})");
    // A refused name leaves the window open with the user's choices; a processed download closes it.
    EXPECT_EQ(run.answers[6], R"({"ok":true,"answer":null})");
    EXPECT_EQ(ParseAnswer(run.answers[7])["windows"].Size(), 1u) << run.answers[7];
    EXPECT_EQ(run.answers[8], R"({"ok":true,"answer":true})");
    EXPECT_EQ(run.answers[9], R"({"ok":true,"windows":[]})");
    EXPECT_EQ(run.answers[10], R"({"ok":true,"reports":[{"text":"failed\n the composite needs a name","alert":true}]})");
    EXPECT_EQ(Composites(run.answers[11]), "MS75: Summary_Board 12.5 Summary_Frame 75 Summary_Board 12.5 (tagged)");
    EXPECT_EQ(run.answers[12], R"({"ok":true,"step":"Download Velmar system"})");
    EXPECT_EQ(run.answers[15], R"({"ok":true,"answer":[]})") << "the window reads the project as undo left it";
    EXPECT_EQ(run.answers[16], R"({"ok":true,"answer":false})");
    EXPECT_EQ(run.answers[17], R"({"ok":true,"windows":[]})") << "an answer of false closes the window too";
    EXPECT_EQ(run.answers[18], R"({"ok":true,"step":"Download Velmar system"})");
    EXPECT_EQ(run.answers[21], R"({"ok":true,"answer":["MS75"]})");
    EXPECT_EQ(run.answers[22], R"({"ok":true,"answer":true})");
    EXPECT_EQ(Composites(run.answers[23]), "MS75: Summary 100 (tagged)") << "linked again and rebuilt at LOD 100";
    EXPECT_EQ(run.answers[24], R"({"ok":true,"steps":["Download Velmar system","Download Velmar system"]})");
    // One channel for the add-on's whole life: Search opened one address.
    EXPECT_EQ(ParseAnswer(run.answers[25])["opened"].Size(), 1u) << run.answers[25];
}

TEST(DownloadScenario, WhatThePlatformDoesNotKnowOrWhatIsNoIdOpensNoWindow)
{
    struct Case {
        const char* product;
        const char* pageHears;
    } cases[] = {
        // Handed over, then not found: the window stays closed, and the hand-over itself went well.
        {"VELMAR-NOT-IN-THE-CATALOG", R"({"ok":true})"},
        {"line\nbreak", R"({"ok":false,"message":"Failed to download product"})"},
        {"VELMAR-WITH-A-NAME-LONGER-THAN-A-COMPOSITE-TAG-HOLDS-"
         "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX"
         "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX",
         R"({"ok":false,"message":"Failed to download product"})"},
    };
    for (const auto& c : cases) {
        TempFolder root;
        std::string product;
        for (const char* p = c.product; *p != '\0'; ++p)
            product += *p == '\n' ? std::string("\\n") : std::string(1, *p);
        const SimRun run = RunVelmarSim(root / "data", root / "script.jsonl",
                                        {
                                            R"({"cmd":"choose","menu":32500,"item":1})",
                                            R"({"cmd":"pick","product":")" + product + R"("})",
                                            R"({"cmd":"pick.answer","ms":10000})",
                                            R"({"cmd":"wait","ms":1000,"until":{"window":4}})",
                                            R"({"cmd":"windows"})",
                                        });
        ASSERT_EQ(run.answers.size(), 5u) << c.product;
        EXPECT_EQ(run.answers[2], std::string(R"({"ok":true,"answer":)") + c.pageHears + "}") << c.product;
        EXPECT_EQ(run.answers[3], R"({"ok":true,"met":false})") << c.product;
        EXPECT_EQ(run.answers[4], R"({"ok":true,"windows":[]})") << c.product;
    }
}

}  // namespace

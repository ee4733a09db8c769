// A product picked on the selector page, through velmar-sim's protocol: the relay carries it to the add-on,
// the platform stand-in gives the system, the Download window shows it and the confirmation writes it into
// the project; products that cannot be had open nothing and the page is told so.
#include "VelmarSimRun.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

using Velmar::Testing::ParseAnswer;
using Velmar::Testing::RunSteps;
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
            std::snprintf(millimetres, sizeof millimetres, "%g",
                          std::round(skin["thickness"].GetDouble() * 10000.0) / 10.0);
            text += " " + std::string(skin["material"].GetString()) + " " + millimetres;
        }
        text += composite.HasMember("userData") ? " (tagged)" : "";
    }
    return text;
}

// A picked product is downloaded into the project as a new composite. Archicad does not undo attributes or
// module data, so Edit > Undo leaves the composite, and the Download window, opened again, links to it.
TEST(DownloadScenario, APickedProductBecomesACompositeThatUndoLeavesAndTheWindowLinksTo)
{
    TempFolder root;
    const std::string download = R"({"cmd":"call","window":4,"fn":"download_processDownload","arg":)";
    const std::string pick = R"({"cmd":"pick","product":"VELMAR-MS75-1x12.5"})";
    const std::string wait = R"({"cmd":"wait","ms":20000,"until":{"window":4}})";
    const std::string noWindows = R"({"ok":true,"windows":[]})";
    // clang-format off
    const SimRun run = RunSteps(root, {
        {R"({"cmd":"choose","menu":32500,"item":1})", R"({"ok":true,"result":0})"},
        {pick},
        {wait},  // 2
        {R"({"cmd":"call","window":4,"fn":"download_productDetails"})"},  // 3
        {R"({"cmd":"call","window":4,"fn":"download_getComposites"})", R"({"ok":true,"answer":[]})"},
        {R"({"cmd":"pick.answer","ms":10000})", R"({"ok":true,"answer":{"ok":true}})"},
        // A refused name leaves the window open with the user's choices; a processed download closes it.
        {download + R"("{\"newCompositeName\":\"\",\"selectedLod\":300}"})", R"({"ok":true,"answer":null})"},
        {R"({"cmd":"windows"})"},  // 7
        {download + R"("{\"newCompositeName\":\"MS75\",\"selectedLod\":300}"})", R"({"ok":true,"answer":true})"},
        {R"({"cmd":"windows"})", noWindows},
        {R"({"cmd":"reports"})", R"({"ok":true,"reports":[{"text":"failed\n the composite needs a name","alert":true}]})"},
        {R"({"cmd":"attributes","type":"composite"})"},  // 11
        // A new composite is no undoable entry.
        {R"({"cmd":"undo"})", R"({"ok":false,"error":"there is nothing to undo"})"},
        {pick},
        {wait},  // 14
        {R"({"cmd":"call","window":4,"fn":"download_getComposites"})", R"({"ok":true,"answer":["MS75"]})"},
        {download + R"("{\"existingCompositeName\":\"MS75\"}"})", R"({"ok":true,"answer":true})"},
        {R"({"cmd":"windows"})", noWindows},
    });
    // clang-format on
    EXPECT_EQ(run.exitCode, 0);
    // The window is a modal dialog: the wait is answered once it runs, or as met when it already ran.
    for (const std::size_t wait : {2, 14})
        EXPECT_TRUE(run.answers[wait] == R"({"ok":true,"modal":true})" ||
                    run.answers[wait] == R"({"ok":true,"met":true})")
            << run.answers[wait];
    EXPECT_EQ(DetailsProductCode(run.answers[3]), "VELMAR-MS75-1x12.5");
    EXPECT_EQ(ParseAnswer(run.answers[7])["windows"].Size(), 1u) << run.answers[7];
    EXPECT_EQ(Composites(run.answers[11]), "MS75: Summary_Board 12.5 Summary_Frame 75 Summary_Board 12.5 (tagged)");
}

// Every "token=" the user or a developer could see hides its value.
bool HidesEveryToken(const std::string& text)
{
    for (auto at = text.find("token="); at != std::string::npos; at = text.find("token=", at + 1)) {
        if (text.compare(at + 6, 3, "***") != 0)
            return false;
    }
    return true;
}

TEST(DownloadScenario, WhatThePlatformDoesNotKnowOrCannotGiveOrWhatIsNoIdOpensNoWindow)
{
    struct Case {
        const char* product;
        const char* pageHears;
        std::vector<std::string> options;
        const char* report;  // the start of the one report, or none
    } cases[] = {
        // Handed over, then not found: the window stays closed, and the hand-over itself went well.
        {"VELMAR-NOT-IN-THE-CATALOG", R"({"ok":true})", {}, nullptr},
        // Handed over, then the platform cannot be reached: the user is told why.
        {"VELMAR-MS75-1x12.5",
         R"({"ok":true})",
         {"--route api.corvana.example=http://127.0.0.1:1"},
         "failed\n The product platform's data request failed: request to http://127.0.0.1:1/"},
        {"line\nbreak", R"({"ok":false,"message":"Failed to download product"})", {}, nullptr},
        {"VELMAR-WITH-A-NAME-LONGER-THAN-A-COMPOSITE-TAG-HOLDS-"
         "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX"
         "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX",
         R"({"ok":false,"message":"Failed to download product"})",
         {},
         nullptr},
    };
    for (const auto& c : cases) {
        TempFolder root;
        std::string product;
        for (const char* p = c.product; *p != '\0'; ++p)
            product += *p == '\n' ? std::string("\\n") : std::string(1, *p);
        const SimRun run = RunVelmarSim(
            root,
            {R"({"cmd":"choose","menu":32500,"item":1})", R"({"cmd":"pick","product":")" + product + R"("})",
             R"({"cmd":"pick.answer","ms":10000})", R"({"cmd":"wait","ms":1000,"until":{"window":4}})",
             R"({"cmd":"windows"})", R"({"cmd":"reports"})", R"({"cmd":"log"})", R"({"cmd":"debug"})"},
            c.options);
        ASSERT_EQ(run.answers.size(), 8u) << c.product;
        EXPECT_EQ(run.answers[2], std::string(R"({"ok":true,"answer":)") + c.pageHears + "}") << c.product;
        EXPECT_EQ(run.answers[3], R"({"ok":true,"met":false})") << c.product;
        EXPECT_EQ(run.answers[4], R"({"ok":true,"windows":[]})") << c.product;
        const auto reports = ParseAnswer(run.answers[5]);
        ASSERT_EQ(reports["reports"].Size(), c.report == nullptr ? 0u : 1u) << run.answers[5];
        if (c.report != nullptr) {
            EXPECT_EQ(std::string(reports["reports"][0]["text"].GetString()).rfind(c.report, 0), 0u) << run.answers[5];
            EXPECT_TRUE(reports["reports"][0]["alert"].GetBool());
            EXPECT_NE(run.answers[5].find("token=***"), std::string::npos) << "the address, its token hidden";
        }
        for (std::size_t seen = 5; seen < 8; ++seen)
            EXPECT_TRUE(HidesEveryToken(run.answers[seen])) << run.answers[seen];
        const auto logAnswer = ParseAnswer(run.answers[6]);
        const auto& log = logAnswer["lines"];
        ASSERT_GT(log.Size(), 0u);
        EXPECT_STREQ(log[log.Size() - 1].GetString(), "menu routine terminated") << "the pick logged a line";
    }
}

}  // namespace

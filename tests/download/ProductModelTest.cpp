#include "BoSystem.hpp"
#include "HostText.hpp"
#include "LodProvider.hpp"

#include <gtest/gtest.h>

namespace {

using namespace Velmar;

std::string Attribute(const std::string& id, const std::string& nl, const std::string& extra = "")
{
    return "\"" + id + R"(":{"ID":")" + id + R"(","Value":{"nl_NL":")" + nl + "\"}" + extra + "}";
}

// A double-board stud wall as the platform sends it, with the products it links.
std::string WallSystem(const std::string& composition, const std::string& general = "")
{
    return std::string(R"({"ID":"VELMAR-MS-100-2x12.5","TimeStamp":"2026-11-20 09:30:05","Description":"wall",)") +
           R"("Attributes":{"general":{)" + Attribute("template_type", "SchW") +
           (general.empty() ? "" : "," + general) + R"(},"composition":{)" + composition +
           R"(},"propertyset":{"10_Brand":{)" +
           Attribute("RTF", "EI60",
                     R"(,"Name":{"nl_NL":"Brandklasse","fr_FR":"Classe feu"},"LOD":"300","DataType":"text")") +
           R"(}}},"LinkedProducts":{)"
           R"("p1":{"ID":"MS100","Attributes":{"general":{"a":{"ID":"ZBN_BRANDNAME","Value":{"nl_NL":"Velmar"}},)"
           R"("b":{"ID":"ZBN_TRADE_MARK","Value":{"nl_NL":"MS 100"}}},"composition":{"c":{"ID":"Inside_dimensions_BIM","Value":{"nl_NL":"98,5"}}}}},)"
           R"("p2":{"ID":"A13","Attributes":{"general":{"a":{"ID":"pibName","Value":{"nl_NL":"Velmar A 12,5"}}},)"
           R"("propertyset":{"02_Beschrijving":{"r":{"ID":"RGB","Value":{"nl_NL":"#FF8000"}}},)"
           R"("09_Thermisch":{"l":{"ID":"ZZLAMBDA","Value":{"nl_NL":"0,035"}}}}}}}})";
}

Corvana::CVSystem Read(const std::string& text)
{
    return Json::ParseRecord<Corvana::CVSystem>(text);
}

class ProductModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto lods = Lod::LodProvider::instance();
        if (lods->GetLevels().IsEmpty()) {
            for (Int32 value : {100, 200, 300, 400, 500})
                lods->AddLevel(Bo::LOD(std::to_string(value).c_str(), value >= 300, value == 500, value));
        }
    }
};

TEST_F(ProductModel, FramesBoardsAndProductsComeFromTheCompositionInDutch)
{
    const std::string composition = Attribute("Thickness", "12,5") + "," + Attribute("STIJL_FRAME_1", "velmar ms 100") +
                                    "," + Attribute("REGEL_FRAME_1", "MS 100") + "," +
                                    Attribute("PLAAT_ZIJDE_1_LAAG_1_BUITEN_DIKTE", "12,5") + "," +
                                    Attribute("PLAAT_ZIJDE_1_LAAG_1_BUITEN_TYPE", "Velmar A 12,5") + "," +
                                    Attribute("PLAAT_ZIJDE_2_LAAG_2_TYPE", "Velmar A 12,5") + "," +
                                    Attribute("AKOESTISCHE_ISOLATIE_FRAME_1_DIKTE", "75");
    const Bo::System system(Read(WallSystem(composition)), 2);
    EXPECT_EQ(HostText::Utf8(system.name), "VELMAR-MS-100-2x12.5");
    EXPECT_EQ(system.kind, std::optional<Bo::SystemKind>(Bo::SystemKind::Wall));
    EXPECT_DOUBLE_EQ(*system.thickness, 0.0125);
    EXPECT_EQ(system.timeStamp, std::optional<Bo::TimeStamp>(Bo::TimeStamp{2026, 11, 0, 20, 9, 30, 5, 0}));

    const Bo::Frame& frame = system.frames[0];
    EXPECT_DOUBLE_EQ(*frame.depth, 0.0985);
    EXPECT_DOUBLE_EQ(*frame.insulationThickness, 0.075);
    EXPECT_FALSE(frame.insulationType.has_value());
    const Bo::Board& outer = frame.boards[0];
    EXPECT_DOUBLE_EQ(*outer.thickness, 0.0125);
    EXPECT_EQ(HostText::Utf8(*outer.type), "Velmar A 12,5");
    ASSERT_TRUE(outer.colour.has_value());
    EXPECT_NEAR((*outer.colour)[1], 0.50196, 1e-5);
    EXPECT_DOUBLE_EQ(*outer.lambda, 0.035);
    EXPECT_FALSE(system.frames[1].boards[1].type.has_value()) << "a TYPE without DIKTE gives neither";
    EXPECT_FALSE(system.frames[1].depth.has_value());

    // Properties: all attributes, named and valued in the project language.
    ASSERT_EQ(system.properties.GetSize(), 9u);
    const Bo::Property& fire = system.properties[8];
    EXPECT_EQ(HostText::Utf8(fire.name), "Classe feu");
    EXPECT_EQ(fire.lod->value, 300);
    EXPECT_FALSE(fire.attribute.ValueText(2).has_value()) << "no fall-back to Dutch";
    EXPECT_EQ(HostText::Utf8(system.properties[0].name), "template_type");
    EXPECT_EQ(system.rules.GetSize(), 0u) << "no built-in rules in French";
}

TEST_F(ProductModel, KindLanguageAndNumbersFollowTheirRules)
{
    struct Case {
        std::string templateType;
        std::optional<Int32> language;
        std::optional<Bo::SystemKind> kind;
        UIndex rules;
    };
    const Case cases[] = {
        {"vloer", 1, Bo::SystemKind::Floor, 6},
        {"PLAFOND", 3, Bo::SystemKind::Ceiling, 6},
        {"Wand", 1, Bo::SystemKind::Wall, 6},
        {"SchW", std::nullopt, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        std::string text = WallSystem(Attribute("Thickness", "120"));
        text.replace(text.find("SchW"), 4, c.templateType);
        const Bo::System system(Read(text), c.language);
        EXPECT_EQ(system.kind, c.kind) << c.templateType;
        EXPECT_EQ(system.rules.GetSize(), c.rules) << c.templateType;
        if (c.language) {
            EXPECT_DOUBLE_EQ(*system.thickness, 0.12);
        }
    }
    // A text that does not convert ends the reading with the standard library's message.
    const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        return text.replace(text.find(from), from.size(), to);
    };
    const std::string wall = WallSystem(Attribute("Thickness", "120"));
    const struct {
        std::string text;
        const char* message;
    } unconvertible[] = {
        {WallSystem(Attribute("Thickness", "dik")), "invalid stod argument"},
        {replaced(wall, "0,035", "n.b."), "invalid stod argument"},
        {replaced(wall, "#FF8000", "#FF80"), "invalid stoi argument"},
        {replaced(wall, "#FF8000", "FF8000"), "invalid stoi argument"},
        {replaced(wall, "#FF8000", "#FF80G0"), "invalid stoi argument"},
        {replaced(wall, "2026-11", "99999999999-11"), "stoi argument out of range"},
    };
    for (const auto& c : unconvertible) {
        try {
            const Bo::System system(Read(c.text), 1);
            ADD_FAILURE() << "converted: " << c.message;
        } catch (const std::logic_error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
    for (const char* bad : {"2026-11-20", "2026-11-20T09:30:05", " 2026-11-20 09:30:05", "2026-11-20 9:3:5x"})
        EXPECT_FALSE(Bo::ParseTimeStamp(bad).has_value()) << bad;
    EXPECT_EQ(Bo::DataTypeOf("INT"), Bo::DataType::Integer);
    EXPECT_EQ(Bo::DataTypeOf(""), Bo::DataType::String);
}

TEST_F(ProductModel, ObjectsOfAnotherKindAreIgnored)
{
    const auto system = Read(R"({"ID":"X","Attributes":{"general":[1,2],"composition":"none","propertyset":{"s":[]}},)"
                             R"("LinkedProducts":[{"ID":"p"}]})");
    EXPECT_TRUE(system.General().IsEmpty());
    EXPECT_TRUE(system.Composition().IsEmpty());
    ASSERT_EQ(system.propertySets.GetSize(), 1u);
    EXPECT_TRUE(system.Attributes(system.propertySets[0]).IsEmpty());
    EXPECT_TRUE(system.linkedProducts.IsEmpty());
    const auto again = Read(HostText::Utf8(Json::RecordToText(Read(WallSystem(Attribute("Thickness", "120"))))));
    EXPECT_EQ(again.allAttributes.GetSize(), 3u);
    EXPECT_EQ(again.linkedProducts.GetSize(), 2u);
}

}  // namespace

// The sample catalog as the add-on reads it: every system file goes through the platform reader and the
// product model in each language, so a catalog edit that a user would notice breaks here first.
#include "BoSystem.hpp"
#include "CatalogGenerator.hpp"
#include "HostText.hpp"
#include "LodProvider.hpp"
#include "RapidJson.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <unistd.h>

namespace {

using namespace Velmar;
namespace fs = std::filesystem;

const fs::path CatalogDir(VELMAR_CATALOG_DIR);

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Json::rj::Document ReadDocument(const fs::path& path)
{
    const std::string text = ReadText(path);
    Json::rj::Document document;
    EXPECT_TRUE(Json::ParseDocument(text.c_str(), text.size(), document)) << path;
    return document;
}

// Kind per system id, from the selector's index.
std::map<std::string, std::string> IndexedKinds(const fs::path& dir)
{
    std::map<std::string, std::string> kinds;
    const auto index = ReadDocument(dir / "index.json");
    for (const auto& entry : index["systems"].GetArray()) {
        for (const char* language : {"nl_NL", "fr_FR", "en_US"})
            EXPECT_TRUE(entry["name"].HasMember(language)) << entry["id"].GetString() << " " << language;
        kinds[entry["id"].GetString()] = entry["kind"].GetString();
    }
    return kinds;
}

std::vector<fs::path> SystemFiles(const fs::path& dir)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == ".json" && entry.path().filename() != "index.json")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool Has(Corvana::AttributeView attributes, const std::string& id)
{
    return Corvana::FindAttribute(attributes, id.c_str()) != nullptr;
}

class Catalog : public ::testing::Test {
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

// What a user relies on in each system of the catalog in `dir`, in each language.
void ExpectEverySystemBuilds(const fs::path& dir)
{
    const auto kinds = IndexedKinds(dir);
    const auto files = SystemFiles(dir);
    ASSERT_EQ(kinds.size(), files.size()) << "index.json lists every system file once";
    const std::map<std::string, Bo::SystemKind> kindNames = {
        {"wall", Bo::SystemKind::Wall}, {"ceiling", Bo::SystemKind::Ceiling}, {"floor", Bo::SystemKind::Floor}};
    const UIndex rulesPerLanguage[] = {6, 0, 6};

    for (const auto& file : files) {
        const std::string id = file.stem().string();
        SCOPED_TRACE(id);
        const auto source = Json::ParseRecord<Corvana::CVSystem>(ReadText(file));
        ASSERT_TRUE(kinds.count(id)) << "missing from index.json";
        for (Int32 language = 1; language <= 3; ++language) {
            SCOPED_TRACE(language);
            const Bo::System system(source, language);
            EXPECT_EQ(HostText::Utf8(system.name), id);
            EXPECT_TRUE(system.timeStamp.has_value());
            EXPECT_EQ(system.kind, std::optional<Bo::SystemKind>(kindNames.at(kinds.at(id))));
            ASSERT_TRUE(system.thickness.has_value());

            // The build-up has to fit in the stated thickness: boards plus profile depths.
            double layers = 0;
            for (Int32 n = 1; n <= 4; ++n) {
                const Bo::Frame& frame = system.frames[static_cast<std::size_t>(n - 1)];
                const std::string frameNo = std::to_string(n);
                if (Has(source.Composition(), "STIJL_FRAME_" + frameNo) ||
                    Has(source.Composition(), "REGEL_FRAME_" + frameNo)) {
                    EXPECT_TRUE(frame.depth.has_value()) << "profile of frame " << n << " resolves to no product";
                    layers += frame.depth.value_or(0);
                }
                if (Has(source.Composition(), "AKOESTISCHE_ISOLATIE_FRAME_" + frameNo + "_TYPE")) {
                    EXPECT_TRUE(frame.insulationThickness.has_value());
                    EXPECT_TRUE(frame.insulationLambda.has_value()) << "insulation of frame " << n << " not linked";
                    EXPECT_LE(frame.insulationThickness.value_or(1), frame.depth.value_or(0) + 1e-9);
                }
                const char* layerNames[] = {"1_BUITEN", "2", "3", "4"};
                for (std::size_t layer = 0; layer < 4; ++layer) {
                    const std::string key = "PLAAT_ZIJDE_" + frameNo + "_LAAG_" + layerNames[layer] + "_";
                    if (!Has(source.Composition(), key + "TYPE"))
                        continue;
                    const Bo::Board& board = frame.boards[layer];
                    ASSERT_TRUE(board.thickness.has_value()) << key;
                    EXPECT_TRUE(board.type.has_value()) << key;
                    EXPECT_TRUE(board.colour.has_value()) << key << " names no linked board";
                    EXPECT_TRUE(board.lambda.has_value()) << key;
                    layers += *board.thickness;
                }
            }
            EXPECT_GT(layers, 0);
            EXPECT_LE(layers, *system.thickness + 1e-9);

            ASSERT_EQ(system.properties.GetSize(), source.allAttributes.GetSize());
            for (const auto& property : system.properties) {
                const std::string name = HostText::Utf8(property.attribute.ID.ValueOr(GS::UniString()));
                EXPECT_TRUE(property.attribute.NameText(language).has_value()) << name;
                EXPECT_TRUE(property.attribute.ValueText(language).has_value()) << name;
                // The mapping's classification codes go to the property the user chooses, at any level.
                const bool code = name == "NL-SfB" || name == "STABU" || name == "Uniclass";
                EXPECT_EQ(property.lod.has_value(), !code) << name << ": a level only where a property has one";
                if (property.dataType != Bo::DataType::String && property.dataType != Bo::DataType::Boolean) {
                    EXPECT_NO_THROW(property.attribute.ValueNumber(language)) << name;
                }
            }
            EXPECT_EQ(system.rules.GetSize(), rulesPerLanguage[language - 1]);
        }
    }
}

TEST_F(Catalog, SampleSystemsBuildCompletelyInEveryLanguage)
{
    EXPECT_GE(SystemFiles(CatalogDir).size(), 12u);
    ExpectEverySystemBuilds(CatalogDir);
}

TEST_F(Catalog, GeneratedCatalogsAreDeterministicAndBuildLikeTheSample)
{
    const auto first = CatalogGenerator::Generate(CatalogDir, 30, 7);
    const auto again = CatalogGenerator::Generate(CatalogDir, 30, 7);
    const auto other = CatalogGenerator::Generate(CatalogDir, 30, 8);
    ASSERT_EQ(first.size(), 30u);
    std::set<std::string> ids, samples;
    for (std::size_t n = 0; n < first.size(); ++n) {
        EXPECT_EQ(first[n].text, again[n].text) << "the same seed gives the same catalog";
        ids.insert(first[n].id);
        samples.insert(first[n].sampleId);
    }
    EXPECT_EQ(ids.size(), first.size());
    EXPECT_GT(samples.size(), 5u) << "a catalog mixes the samples";
    EXPECT_NE(first[0].text, other[0].text);

    const fs::path dir = fs::temp_directory_path() / ("velmar-catalog-" + std::to_string(::getpid()));
    CatalogGenerator::WriteCatalog(CatalogDir, dir, 30, 7);
    ExpectEverySystemBuilds(dir);
    fs::remove_all(dir);
}

TEST_F(Catalog, CoversTheMappingTheLevelsAndTheRuleAttributes)
{
    const auto kinds = IndexedKinds(CatalogDir);
    const char* const ruleAttributes[] = {"RTF",
                                          "MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_1_VOLGENS_DIN_18183_",
                                          "MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_2_VOLGENS_DIN_18183_",
                                          "MH_FOA1",
                                          "MH_FOA2",
                                          "DILATATIE",
                                          "BRANDWERENDHEID",
                                          "ASIRW",
                                          "LUCHTGELUIDISOLATIE_DNT_A_K",
                                          "Weight"};
    std::set<std::string> systemIds, productIds, levels, systemKinds;
    for (const auto& file : SystemFiles(CatalogDir)) {
        const auto source = Json::ParseRecord<Corvana::CVSystem>(ReadText(file));
        const std::string kind = kinds.count(file.stem().string()) ? kinds.at(file.stem().string()) : "";
        systemKinds.insert(kind);
        for (const auto& attribute : source.allAttributes) {
            systemIds.insert(HostText::Utf8(attribute.ID.ValueOr(GS::UniString())));
            levels.insert(HostText::Utf8(attribute.LOD.ValueOr(GS::UniString())));
        }
        for (const auto& product : source.linkedProducts) {
            for (const auto& set : product.propertySets) {
                for (const auto& attribute : product.Attributes(set))
                    productIds.insert(HostText::Utf8(attribute.ID.ValueOr(GS::UniString())));
            }
        }
        if (kind == "wall") {
            for (const char* id : ruleAttributes)
                EXPECT_TRUE(Has(source.allAttributes, id)) << file.stem() << " lacks " << id;
        }
    }
    EXPECT_EQ(systemKinds, (std::set<std::string>{"wall", "ceiling", "floor"}));
    // No level: the classification codes, which the Download page offers apart.
    EXPECT_EQ(levels, (std::set<std::string>{"", "100", "200", "300", "400", "500"}));

    const auto mapping = ReadDocument(VELMAR_MAPPING_FILE);
    struct Section {
        const char* name;
        const std::set<std::string>& ids;
    };
    for (const Section& section : {Section{"properties", systemIds}, Section{"materialProperties", productIds}}) {
        for (const auto& entry : mapping[section.name].GetArray()) {
            const std::string key = entry["key"].GetString();
            // A material's brand and board type are read from its general attributes, not its sets.
            if (std::string(section.name) == "materialProperties" && (key == "BRAND" || key == "BOARD_TYPE"))
                continue;
            EXPECT_TRUE(section.ids.count(key)) << section.name << " key " << key << " is in no system";
        }
    }
    for (const auto& code : mapping["classificationCodes"].GetArray())
        EXPECT_TRUE(systemIds.count(code.GetString()))
            << "classification code " << code.GetString() << " is in no system";
}

}  // namespace

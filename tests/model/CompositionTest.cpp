// Composites and their materials written by the module's code into the simulated host's project, read
// back from the host's own records: skins, materials, thicknesses, lines, usage, tags and stored systems.
#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "CompositionService.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "LodProvider.hpp"
#include "LodUpdate.hpp"
#include "MaterialStore.hpp"
#include "ModuleHost.hpp"
#include "ProductSystems.hpp"
#include "ProjectStoreService.hpp"
#include "UndoStep.hpp"
#include "UndoablePart.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using Velmar::Services::Composition::CompositionService;
using Velmar::Services::Materials::LAYER_TYPE;
using Velmar::Services::Materials::MaterialStore;
using Velmar::Testing::Level;
using Velmar::Testing::MakeSystem;
using Velmar::Testing::StandardWall;
using Velmar::Testing::SystemOutline;

std::string Millimetres(double metres)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::round(metres * 10000.0) / 10.0);
    return text;
}

class Composites : public ::testing::Test, protected Velmar::Testing::ModuleHost {
protected:
    Composites() { Velmar::Services::ProjectStore::ProjectStoreService::instance()->Reload(); }

    // As a download writes a new composite: built and tagged in one undo step.
    GS::Guid Download(const SystemOutline& outline, std::optional<Int32> lod, const char* name = "Wall")
    {
        GS::Guid stored;
        const auto level = lod ? std::optional(Level(*lod)) : std::nullopt;
        Velmar::RunUndoStep("Download", [&] {
            const auto system = MakeSystem(outline);
            stored = service_.TagComposite(system, service_.CreateComposite(system, level, name), level);
        });
        return stored;
    }

    // "usage U, T mm: material thickness, ..." from the host's record; "none" when there is no such composite.
    std::string Describe(const char* name)
    {
        const Sim::Attribute* composite = Project().FindAttribute(API_CompWallID, HostText::Uni(name));
        if (composite == nullptr)
            return "none";
        std::string text = "usage " + std::to_string(composite->record.header.flags) + ", " +
                           Millimetres(composite->record.compWall.totalThick) + " mm:";
        for (const auto& skin : composite->skins) {
            const auto* material =
                Project().FindAttribute(API_BuildingMaterialID, skin.buildingMaterial.ToInt32_Deprecated());
            text += " " + (material != nullptr ? HostText::Utf8(material->name) : std::string("?")) + " " +
                    Millimetres(skin.fillThick);
            EXPECT_EQ(std::make_pair(skin.flagBits, skin.framePen), std::make_pair(short(1), short(1))) << name;
        }
        EXPECT_EQ(composite->lines.size(), composite->skins.size() + 1) << name;
        for (const auto& line : composite->lines)
            EXPECT_EQ(std::make_pair(line.ltypeInd.ToInt32_Deprecated(), line.linePen), std::make_pair(1, short(1)))
                << name;
        return text;
    }

    std::string TagOf(const char* name)
    {
        return Velmar::Testing::TagOf(Project().FindAttribute(API_CompWallID, HostText::Uni(name)));
    }

    CompositionService service_;
};

TEST_F(Composites, EachKindAndLevelLaysOutItsSkins)
{
    const auto wall = [](const char* thickness, const std::function<void(SystemOutline&)>& change) {
        SystemOutline outline = StandardWall(thickness);
        change(outline);
        return outline;
    };
    const SystemOutline insulated = wall("125", [](auto& o) { o.insulation = {{1, "Wool", "50"}}; });
    const SystemOutline ceiling = wall("135", [](auto& o) { o.kind = "plafond"; });
    struct Case {
        const char* what;
        SystemOutline outline;
        std::optional<Int32> lod;
        const char* expected;
    };
    const Case cases[] = {
        {"LOD 300: the air layer gets 0 and is dropped", StandardWall(), 300,
         "usage 1, 125 mm: Summary_Board 25 Summary_Frame 75 Summary_Board 25"},
        {"LOD 400: air takes what the layers leave", StandardWall("135"), 400,
         "usage 1, 135 mm: Summary_Board 25 Summary_Frame 75 Summary_Air 10 Summary_Board 25"},
        {"LOD 500: insulation between two halves of profile", insulated, 500,
         "usage 1, 125 mm: Board A 12.5 Board A 12.5 Profile 12.5 Wool 50 Profile 12.5 Board A 12.5 Board A 12.5"},
        {"LOD 500: the second side's boards in reverse layer order",
         wall("125",
              [](auto& o) {
                  o.boards[2].type = "Board B";
                  o.boards[3].type = "Board C";
              }),
         500, "usage 1, 125 mm: Board A 12.5 Board A 12.5 Profile 75 Board C 12.5 Board B 12.5"},
        {"LOD 100: one summary skin", insulated, 100, "usage 1, 125 mm: Summary 125"},
        {"LOD 200: one summary skin", StandardWall("135"), 200, "usage 1, 135 mm: Summary 135"},
        {"no level: as at LOD 100", StandardWall(), std::nullopt, "usage 1, 125 mm: Summary 125"},
        {"a floor has no air layer to take the rest", wall("135", [](auto& o) { o.kind = "VLOER"; }), 300,
         "usage 2, 125 mm: Summary_Board 25 Summary_Frame 75 Summary_Board 25"},
        {"a ceiling starts with its air", ceiling, 300,
         "usage 2, 135 mm: Summary_Air 10 Summary_Frame 75 Summary_Board 25 Summary_Board 25"},
        {"a ceiling's boards face down at LOD 500", ceiling, 500,
         "usage 2, 135 mm: Summary_Air 10 Profile 75 Board A 12.5 Board A 12.5 Board A 12.5 Board A 12.5"},
        {"an unknown kind is a wall", wall("125", [](auto& o) { o.kind = "Iets"; }), 100,
         "usage 1, 125 mm: Summary 125"},
        {"boards of 0 or less lay out nothing, and air takes their place",
         wall("125",
              [](auto& o) {
                  o.boards[0].thickness = "-12,5";
                  o.boards[1].thickness = "0";
              }),
         300, "usage 1, 125 mm: Summary_Frame 75 Summary_Air 25 Summary_Board 25"},
        {"no frames or boards", SystemOutline(), 300, "none"},
        {"no thickness", StandardWall(""), 100, "none"},
        {"a thickness of 0", StandardWall("0"), 100, "none"},
        {"a negative thickness", StandardWall("-125"), 300, "none"},
    };
    for (const auto& c : cases) {
        host.NewProject();
        EXPECT_EQ(Download(c.outline, c.lod).IsNull(), std::string(c.expected) == "none") << c.what;
        EXPECT_EQ(Describe("Wall"), c.expected) << c.what;
        if (std::string(c.expected) == "none")
            EXPECT_TRUE(Project().ModuleData().empty()) << c.what << ": nothing to tag, nothing stored";
        else
            EXPECT_EQ(TagOf("Wall"), "VELMAR-TEST " + std::to_string(c.lod.value_or(0))) << c.what;
    }
}

// "name: fill F, pens P/B, surface S (r g b), λ L, manufacturer" of a building material.
std::string DescribeMaterial(const Sim::Project& project, Int32 index)
{
    const Sim::Attribute* material = project.FindAttribute(API_BuildingMaterialID, index);
    if (material == nullptr)
        return "no material";
    const auto& record = material->record.buildingMaterial;
    const Sim::Attribute* surface = project.FindAttribute(API_MaterialID, record.cutMaterial.ToInt32_Deprecated());
    char surfaceText[300] = "no surface";
    if (surface != nullptr)
        std::snprintf(surfaceText, sizeof surfaceText, "surface %s (%.3f %.3f %.3f)",
                      HostText::Utf8(surface->name).c_str(), surface->record.material.surfaceRGB.f_red,
                      surface->record.material.surfaceRGB.f_green, surface->record.material.surfaceRGB.f_blue);
    char text[512];
    std::snprintf(text, sizeof text, "%s: fill %d, pens %d/%d, %s, λ %g, %s", HostText::Utf8(material->name).c_str(),
                  record.cutFill.ToInt32_Deprecated(), record.cutFillPen, record.cutFillBackgroundPen, surfaceText,
                  record.thermalConductivity, HostText::Utf8(material->manufacturer).c_str());
    return text;
}

TEST_F(Composites, MaterialsAreFoundByNameOrMadeWithTheProductsColourPenAndLambda)
{
    using Colour = Velmar::Corvana::Colour;
    struct Case {
        const char* what;
        std::optional<LAYER_TYPE> summary;
        const char* product;
        std::optional<Colour> colour;
        std::optional<double> lambda;
        const char* expected;
    };
    const Case cases[] = {
        {"a summary material", LAYER_TYPE::Air, "", std::nullopt, std::nullopt,
         "Summary_Air: fill 8, pens 1/19, no surface, λ 0, VELMAR"},
        {"a product in its colour, with the nearest pen", std::nullopt, "Board O", Colour{1.0, 0.50196, 0.0}, 0.035,
         "Board O: fill 8, pens 5/5, surface Board O (1.000 0.502 0.000), λ 0.035, VELMAR"},
        {"a product without colour is dark grey", std::nullopt, "Board G", std::nullopt, std::nullopt,
         "Board G: fill 8, pens 1/1, surface Board G (0.100 0.100 0.100), λ 0, VELMAR"},
    };
    for (const auto& c : cases) {
        const auto get = [&] {
            const auto materials = MaterialStore::instance();  // with the pens of the host's table
            return c.summary ? materials->SummaryMaterial(*c.summary)
                             : materials->ProductMaterial(c.product, c.colour, c.lambda);
        };
        std::shared_ptr<const Velmar::Services::Materials::MaterialEntry> made, again;
        Velmar::RunUndoStep("Download", [&] { made = get(); });
        ASSERT_NE(made, nullptr) << c.what;
        EXPECT_EQ(std::make_tuple(made->framePen, made->lineType, made->linePen), std::make_tuple(1, 1, 1)) << c.what;
        const Int32 index = made->material.ToInt32_Deprecated();
        EXPECT_EQ(DescribeMaterial(Project(), index), c.expected) << c.what;
        // The user recolours the material; the next download takes it as it is.
        host.RunHostCommand("Edit Attribute", [&] {
            Project().EditAttribute(API_BuildingMaterialID, index)->record.buildingMaterial.cutFillPen = 40;
        });
        const std::size_t materials = Project().Attributes(API_BuildingMaterialID).size();
        Velmar::RunUndoStep("Download", [&] { again = get(); });
        EXPECT_EQ(again->material, made->material) << c.what;
        EXPECT_EQ(Project().Attributes(API_BuildingMaterialID).size(), materials) << c.what;
    }
    EXPECT_EQ(MaterialStore::instance()->SummaryMaterial(static_cast<LAYER_TYPE>(6)), nullptr)
        << "no summary material of type 6";
}

TEST(NearestPen, TheLowerIndexWinsATieAndNoPensGivePen1)
{
    using Colour = Velmar::Corvana::Colour;
    struct Case {
        std::vector<MaterialStore::PenColour> pens;
        Colour colour;
        short expected;
    };
    const Case cases[] = {
        {{{{0, 0, 0}, 3}, {{0.2, 0.2, 0.2}, 7}}, {0.1, 0.1, 0.1}, 3},
        {{{{0.9, 0.9, 0.9}, 2}, {{0.2, 0.2, 0.2}, 7}, {{0, 0, 0}, 9}}, {0.1, 0.1, 0.1}, 7},
        {{{{1, 0, 0}, 4}, {{0, 0, 1}, 5}}, {0.1, 0.0, 0.9}, 5},
        {{}, {0.5, 0.5, 0.5}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaterialStore(c.pens).NearestPen(c.colour), c.expected) << c.pens.size() << " pens";
}

TEST_F(Composites, LinkingRebuildsFromTheTaggedSystemAndTagsAnUntaggedComposite)
{
    // A composite the user made, without a tag, and one a download at LOD 100 made from a wall system.
    Velmar::Testing::AddComposite(host, "Own");
    const GS::Guid stored = Download(StandardWall(), 100, "Tagged");
    SystemOutline floor = StandardWall("135");
    floor.id = "VELMAR-FLOOR";
    floor.kind = "VLOER";
    struct Case {
        const char* composite;
        const char* expected;
        const char* tag;
    };
    const Case cases[] = {
        {"Tagged", "usage 1, 125 mm: Summary_Board 25 Summary_Frame 75 Summary_Board 25", "VELMAR-TEST 300"},
        {"Own", "usage 2, 125 mm: Summary_Board 25 Summary_Frame 75 Summary_Board 25", "VELMAR-FLOOR 300"},
    };
    for (const auto& c : cases) {
        API_Attr_Head head = {};
        head.typeID = API_CompWallID;
        head.index = Project().FindAttribute(API_CompWallID, HostText::Uni(c.composite))->record.header.index;
        Velmar::RunUndoStep("Link", [&] { service_.LinkComposite(head, MakeSystem(floor), Level(300)); });
        EXPECT_EQ(Describe(c.composite), c.expected) << c.composite;
        EXPECT_EQ(TagOf(c.composite), c.tag) << c.composite;
    }
    EXPECT_EQ(Project().ModuleData().size(), 2u) << "the tagged composite kept its stored system";
    const std::vector<CompositionService::NamePair> linked = {{"Tagged", "VELMAR-FLOOR"}, {"Own", "VELMAR-FLOOR"}};
    EXPECT_EQ(service_.GetCompositeSystems(), linked) << "the list names the system the user linked";

    service_.RebuildIndex();
    const std::vector<CompositionService::NamePair> indexed = {{"Own", "VELMAR-FLOOR"}, {"Tagged", "VELMAR-TEST"}};
    EXPECT_EQ(service_.GetCompositeSystems(), indexed) << "the project's tags name the stored systems";
    EXPECT_EQ(service_.GetCompositeData().size(), 2u);
    EXPECT_EQ(service_.GetCompositeData()[1].second, stored);

    Velmar::Bo::CompositeTag unknown;
    unknown.storedSystemId = HostGuid::New();
    const std::string before = Describe("Own");
    API_Attr_Head own2 = {};
    own2.typeID = API_CompWallID;
    own2.index = ACAPI_CreateAttributeIndex(1);
    bool rebuilt = true;
    Velmar::RunUndoStep("Rebuild", [&] { rebuilt = service_.RebuildComposite(own2, unknown, Level(500)); });
    EXPECT_FALSE(rebuilt);
    EXPECT_EQ(Describe("Own"), before) << "a stored system the project does not have leaves the composite as it is";
}

// Archicad keeps what a failed step made with non-undoable modifiers, so the step takes away the composite,
// the materials and the stored system it made (the matrix in PropertyTest holds it to that); what the host
// will not remove is logged.
TEST_F(Composites, WhatAFailedStepCannotRemoveIsLogged)
{
    const auto made = [&] {
        return Project().Attributes(API_BuildingMaterialID).size() + Project().Attributes(API_MaterialID).size() +
               Project().Attributes(API_CompWallID).size() + Project().ModuleData().size();
    };
    const std::size_t before = made();
    host.Faults().Arm("ACAPI_Attribute_Delete", APIERR_GENERAL, Sim::FaultInjector::Every);
    host.Faults().Arm("ACAPI_ModulData_Delete", APIERR_GENERAL, Sim::FaultInjector::Every);
    const auto system = MakeSystem(StandardWall());
    EXPECT_THROW(Velmar::RunUndoStep("Download",
                                     [&] {
                                         service_.TagComposite(
                                             system, service_.CreateComposite(system, Level(500), "Wall"), Level(500));
                                         throw std::runtime_error("stod");
                                     }),
                 std::runtime_error);
    EXPECT_EQ(made() - before, 5u);
    EXPECT_NE(host.DebugLines().back().find("written by a failed step was not put back"), std::string::npos);
}

TEST_F(Composites, LodUpdatesRebuildTheMetElementsCompositesAtTheActiveLevelAsOneStep)
{
    using Velmar::Lod::LodUpdateScope;
    struct Case {
        const char* what;
        LodUpdateScope scope;
        std::optional<Int32> cancelAtPhase;
        const char* tags;
        Int32 phases;
        Int32 lastPhase;
        bool writesElements;
    };
    const Case cases[] = {
        {"lower", LodUpdateScope::Lower, std::nullopt, "A 300, B 500, C 100, D 300", 3, 3, true},
        {"all", LodUpdateScope::All, std::nullopt, "A 300, B 300, C 100, D 300", 4, 4, true},
        {"all, cancelled in the second phase", LodUpdateScope::All, 2, "A 300, B 500, C 100, D 200", 4, 2, false},
    };
    SystemOutline floor = StandardWall();
    floor.kind = "VLOER";
    Velmar::Lod::LodProvider::instance()->SetActive(Level(300));
    for (const auto& c : cases) {
        host.NewProject();
        Velmar::Services::ProjectStore::ProjectStoreService::instance()->Reload();
        Download(StandardWall(), 100, "A");
        Download(StandardWall(), 500, "B");
        Download(StandardWall(), 100, "C");
        Download(floor, 200, "D");
        // Walls and a slab the add-on has met (its user data, version 1) and one it has not.
        const auto place = [&](API_ElemTypeID type, const char* composite, bool met) {
            Sim::Element element = Sim::NewElement(type);
            const auto index = Project().FindAttribute(API_CompWallID, HostText::Uni(composite))->record.header.index;
            (type == API_WallID ? element.record.wall.composite : element.record.slab.composite) = index;
            (type == API_WallID ? element.record.wall.modelElemStructureType
                                : element.record.slab.modelElemStructureType) = API_CompositeStructure;
            if (met)
                element.userData = Sim::UserData{1, 0x5757, "stored system"};
            host.PlaceElement(element);
        };
        place(API_WallID, "A", true);
        place(API_WallID, "A", true);
        place(API_WallID, "C", false);
        place(API_WallID, "B", true);
        place(API_SlabID, "D", true);
        const std::string before = Project().ToJson();
        if (c.cancelAtPhase)
            host.ArmProcessCancel(*c.cancelAtPhase);

        Velmar::Lod::UpdateToActiveLod(c.scope);
        std::string tags;
        for (const char* name : {"A", "B", "C", "D"})
            tags +=
                std::string(tags.empty() ? "" : ", ") + name + TagOf(name).substr(std::string("VELMAR-TEST").size());
        EXPECT_EQ(tags, c.tags) << c.what;
        EXPECT_EQ(Describe("A"), "usage 1, 125 mm: Summary_Board 25 Summary_Frame 75 Summary_Board 25") << c.what;
        ASSERT_FALSE(host.ProcessWindows().empty()) << c.what;
        const Sim::ProcessWindow& window = host.ProcessWindows().back();
        EXPECT_EQ(std::make_tuple(window.title, window.phases, window.phase, window.open),
                  std::make_tuple(std::string("Update to the active LOD"), c.phases, c.lastPhase, false))
            << c.what;
        // One undo takes back the elements' values; Archicad leaves the rebuilt composites and their tags.
        EXPECT_EQ(Project().UndoNames().front() == "Update to the active LOD", c.writesElements) << c.what;
        if (c.writesElements) {
            ASSERT_TRUE(host.Undo()) << c.what;
        }
        EXPECT_EQ(Velmar::Testing::UndoablePartOf(Project().ToJson()), Velmar::Testing::UndoablePartOf(before))
            << c.what;
        EXPECT_EQ(Describe("A"), "usage 1, 125 mm: Summary_Board 25 Summary_Frame 75 Summary_Board 25") << c.what;
    }
}

}  // namespace

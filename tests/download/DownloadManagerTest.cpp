// The download manager over the platform client and the simulated host: what the page is shown of a loaded
// product, how its classification choices merge into the stored ones, and the confirmation's checks.
#include "DownloadManager.hpp"
#include "CompositeUpdate.hpp"
#include "CorvanaDatabase.hpp"
#include "GSException.hpp"
#include "HTTPHost.hpp"
#include "LodProvider.hpp"
#include "ModuleHost.hpp"
#include "ProductSystems.hpp"
#include "ProjectStoreService.hpp"
#include "RecordingServer.hpp"

#include <gtest/gtest.h>

namespace {

using Velmar::App::StoredProjectClassificationMapping;
using Velmar::Services::CorvanaDatabase;
using Velmar::Services::DownloadManager;
using velmar::ui::model::ProductMappedClassification;

GS::Guid GuidOf(const char* text)
{
    GS::Guid guid;
    guid.ConvertFromString(text);
    return guid;
}

const GS::Guid TargetA = GuidOf("AAAAAAAA-0000-4000-8000-000000000001");
const GS::Guid TargetB = GuidOf("BBBBBBBB-0000-4000-8000-000000000002");

StoredProjectClassificationMapping Stored(const char* code, std::optional<GS::Guid> target, std::optional<bool> active)
{
    StoredProjectClassificationMapping mapping;
    mapping.classificationCode.Set(code);
    if (target)
        mapping.propertyDefinitionId.Set(*target);
    if (active)
        mapping.active.Set(*active);
    return mapping;
}

ProductMappedClassification Chosen(const char* code, std::optional<GS::Guid> target, std::optional<bool> active)
{
    ProductMappedClassification choice;
    choice.classificationCode.Set(code);
    if (target)
        choice.targetPropertyGuid.Set(*target);
    if (active)
        choice.active.Set(*active);
    return choice;
}

std::string Describe(const GS::Array<StoredProjectClassificationMapping>& mappings)
{
    std::string text;
    for (const auto& m : mappings) {
        text +=
            HostText::Utf8(m.classificationCode.Get()) + "=" +
            (m.propertyDefinitionId.HasValue() ? HostText::Utf8(m.propertyDefinitionId.Get().ToUniString()).substr(0, 1)
                                               : "-") +
            (m.active.HasValue() ? (m.active.Get() ? "+" : "0") : "?") + " ";
    }
    return text;
}

// What `run` answers, or the message of what it raises.
template <typename Run>
std::string Outcome(Run run)
{
    try {
        return run();
    } catch (const GS::Exception& error) {
        return HostText::Utf8(error.GetMessage());
    } catch (const std::exception& error) {
        return error.what();
    }
}

TEST(ClassificationMappings, MergeKeepsOneMappingPerCodeOfTheFileInItsOrder)
{
    const GS::Array<GS::UniString> codes{"NL-SfB", "STABU"};
    struct Case {
        const char* what;
        GS::Array<StoredProjectClassificationMapping> stored;
        GS::Array<ProductMappedClassification> page;
        std::string merged;
    } cases[] = {
        {"nothing chosen still stores every code", {}, {}, "NL-SfB=-? STABU=-? "},
        {"the page's target and switch are taken", {}, {Chosen("stabu", TargetA, true)}, "NL-SfB=-? STABU=A+ "},
        {"a new target replaces the stored one",
         {Stored("NL-SfB", TargetA, true)},
         {Chosen("NL-SfB", TargetB, false)},
         "NL-SfB=B0 STABU=-? "},
        {"a choice without target keeps the stored target",
         {Stored("NL-SfB", TargetA, false)},
         {Chosen("NL-SfB", std::nullopt, true)},
         "NL-SfB=A+ STABU=-? "},
        {"a stored code no longer in the file is dropped", {Stored("OLD", TargetA, true)}, {}, "NL-SfB=-? STABU=-? "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(Velmar::Services::MergeClassificationMappings(codes, c.stored, c.page)), c.merged) << c.what;
}

TEST(ClassificationMappings, OnlyCodesTheSystemCarriesAValueForAreOffered)
{
    auto system = Velmar::Json::ParseRecord<Velmar::Corvana::CVSystem>(
        R"({"ID":"S","Attributes":{"general":{)"
        R"("a":{"ID":"nl-sfb","Name":{"en_US":"NL-SfB code"},"Value":{"en_US":"22.21","nl_NL":"22.21"}},)"
        R"("b":{"ID":"STABU","Value":{"nl_NL":"x"}},)"
        R"("c":{"ID":"OMNICLASS","Name":{"en_US":"OmniClass"},"Value":{"en_US":""}}}}})");
    const GS::Array<GS::UniString> codes{"NL-SfB", "STABU", "OMNICLASS", "UNICLASS"};
    const auto offered = Velmar::Services::OfferedClassifications(codes, system, 3, {Stored("NL-SFB", TargetA, true)});
    ASSERT_EQ(offered.GetSize(), 1u) << "STABU has no English value, OMNICLASS an empty one, UNICLASS none";
    EXPECT_EQ(HostText::Utf8(Velmar::Json::RecordToText(offered[0], false)),
              R"({"classificationCode":"NL-SfB","targetPropertyGuid":"AAAAAAAA-0000-4000-8000-000000000001",)"
              R"("value":"22.21","label":"NL-SfB code","active":true})");
}

class Downloads : public ::testing::Test, protected Velmar::Testing::ModuleHost {
protected:
    Downloads() : ModuleHost(3)
    {
        host.NewProject();
        platform_ = std::make_unique<Velmar::Testing::RecordingServer>(
            [this](const httplib::Request& request, httplib::Response& response) {
                response.set_content(request.path == "/token" ? R"({"token":"t"})" : system_, "application/json");
            });
        HTTP::SetRoute("platform.example", platform_->Base());
        CorvanaDatabase::Replace(
            std::make_shared<CorvanaDatabase>("https://platform.example/data", "https://platform.example/token"));
        const auto lods = Velmar::Lod::LodProvider::instance();
        for (Int32 level = 100; level <= 500 && lods->GetLevels().GetSize() < 5; level += 100)
            lods->AddLevel(Velmar::Testing::Level(level));
        lods->SetActive(lods->GetLevels()[1]);
    }
    ~Downloads() override
    {
        CorvanaDatabase::Replace(nullptr);
        HTTP::ClearRoutes();
    }

    void Serve(const std::string& lods) { system_ = R"({"S1":{"ID":"S1","Attributes":{"general":{)" + lods + "}}}}"; }

    // The confirmation's answer to the page's text, or the message of what it raises.
    std::string Confirm(const std::string& download)
    {
        return Outcome([&] {
            return manager_.ProcessDownload(Velmar::Json::ParseRecord<velmar::ui::model::ProductDownload>(download))
                       ? "true"
                       : "false";
        });
    }

    std::string system_;
    std::unique_ptr<Velmar::Testing::RecordingServer> platform_;
    DownloadManager manager_{Velmar::Cnf::DatabaseSettings(), 3};
};

// The details of the loaded product; a level that is no number aborts them, and a failed load forgets the product
// loaded before.
TEST_F(Downloads, DetailsListTheAttributesWithALevelAndTheLevelsToChooseFrom)
{
    Serve(R"("a":{"ID":"A","LOD":"300","Name":{"en_US":"Board"},"Value":{"en_US":"12.5"},"Unit":"mm",)"
          R"("DataType":"Length"},"b":{"ID":"B","Name":{"en_US":"No level"}},"c":{"ID":"C","LOD":"100"})");
    ASSERT_TRUE(manager_.LoadSystem("S1"));
    const auto details = [&] { return HostText::Utf8(Velmar::Json::RecordToText(manager_.GetProductDetails())); };
    EXPECT_EQ(details(),
              R"({"productCode":"S1","properties":[{"name":"Board","lod":300,"value":"12.5","unit":"mm",)"
              R"("dataType":"Length"},{"name":null,"lod":100,"value":null,"unit":null,"dataType":null}],)"
              R"("mappedClassifications":[],)"
              R"("availableClassificationTargets":[{"id":"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B05","name":"Position"}],)"
              R"("availableLods":[100,200,300,400,500],"activeLod":200})");

    Serve(R"("a":{"ID":"A","LOD":"LOD 300"})");
    ASSERT_TRUE(manager_.LoadSystem("S1"));
    EXPECT_EQ(Outcome(details), "invalid stoi argument");

    EXPECT_FALSE(manager_.LoadSystem("S2"));
    EXPECT_EQ(manager_.GetLoadedSystem(), nullptr);
    EXPECT_EQ(Outcome(details), "no product is loaded");
    EXPECT_EQ(Confirm(R"({"newCompositeName":"Wall"})"), "no product is loaded");
}

// What the page asks is checked before anything is written.
TEST_F(Downloads, AConfirmationIsCheckedBeforeAnythingIsWritten)
{
    using Velmar::Testing::SystemOutline;
    SystemOutline wall = Velmar::Testing::StandardWall();
    wall.id = "S1";
    SystemOutline longName = wall;
    longName.id = std::string(256, 'S');
    // 255 characters of two bytes each: a name by characters, and a tag name in the 8-bit code page.
    SystemOutline accented = wall;
    std::string e255;
    for (int i = 0; i < 255; ++i)
        e255 += "\xC3\xA9";
    accented.id = e255;
    SystemOutline badThickness = wall;
    badThickness.thickness = "dik";
    const std::string tooLong(256, 'x');
    struct Case {
        const char* what;
        SystemOutline served;
        std::string download;
        const char* answer;  // "true", "false", or what is raised
        std::string composites;
        bool otherData = false;  // "Wall A" carries another add-on's user data
    };
    const Case cases[] = {
        {"a new composite", wall, R"({"newCompositeName":"New","selectedLod":300})", "true",
         "Wall A (untagged), New (S1 300)"},
        {"a level the add-on does not know builds as at LOD 100, tagged 0", wall,
         R"({"newCompositeName":"New","selectedLod":250})", "true", "Wall A (untagged), New (S1 0)"},
        {"linking tags the composite and rebuilds it", wall, R"({"existingCompositeName":"Wall A","selectedLod":300})",
         "true", "Wall A (S1 300)"},
        {"linking a composite that carries another add-on's data", wall,
         R"({"existingCompositeName":"Wall A","selectedLod":300})",
         "the composite \"Wall A\" carries data that is not a Velmar system's; it is left as it is",
         "Wall A (not a tag)", true},
        {"linking a composite the project does not have", wall,
         R"({"existingCompositeName":"Wall B","selectedLod":300})", "false", "Wall A (untagged)"},
        {"no name", wall, R"({"selectedLod":300})", "the composite needs a name", "Wall A (untagged)"},
        {"a name in use", wall, R"({"newCompositeName":"Wall A"})", "a composite named \"Wall A\" exists already",
         "Wall A (untagged)"},
        {"a name the host cannot hold", wall, R"({"newCompositeName":")" + tooLong + R"("})",
         "the composite name is longer than 255 characters", "Wall A (untagged)"},
        {"a system name the tag cannot hold", longName, R"({"newCompositeName":"New"})",
         "the system name is longer than 255 characters", "Wall A (untagged)"},
        {"names of 255 accented characters", accented, R"({"newCompositeName":")" + e255 + R"("})", "true",
         "Wall A (untagged), " + e255 + " (" + std::string(255, '\xE9') + " 0)"},
        {"a thickness that is no number", badThickness, R"({"newCompositeName":"New"})", "invalid stod argument",
         "Wall A (untagged)"},
    };
    for (const auto& c : cases) {
        host.NewProject();
        Velmar::Testing::AddComposite(
            host, "Wall A", c.otherData ? std::optional(Sim::UserData{1, 0x5757, "another add-on's"}) : std::nullopt);
        const std::string before = Project().ToJson();
        system_ = Velmar::Testing::SystemResponse(c.served);
        ASSERT_TRUE(manager_.LoadSystem(HostText::Uni(c.served.id.c_str()))) << c.what;
        const std::string answer = Confirm(c.download);
        EXPECT_EQ(answer, c.answer) << c.what;
        std::string composites;
        for (const Sim::Attribute* written : Project().Attributes(API_CompWallID))
            composites += (composites.empty() ? "" : ", ") + HostText::Utf8(written->name) + " (" +
                          Velmar::Testing::TagOf(written) + ")";
        EXPECT_EQ(composites, c.composites) << c.what;
        EXPECT_EQ(Project().ToJson() != before, answer == "true") << c.what;
        // Archicad does not undo attributes or module data: with no element to write on, no undo step.
        EXPECT_TRUE(Project().UndoNames().empty()) << c.what;
    }
}

// A stored system is offered for update when the platform's version differs from it in any part of its time
// stamp, or either has none; one the platform does not give is left out.
TEST_F(Downloads, SystemsToUpdateAreThoseWhosePlatformVersionDiffers)
{
    using Velmar::Testing::SystemOutline;
    const auto version = [](const char* stamp, const char* id = "S1") {
        SystemOutline outline = Velmar::Testing::StandardWall();
        outline.id = id;
        outline.timeStamp = stamp;
        return outline;
    };
    const struct {
        const char* what;
        SystemOutline stored;
        std::optional<SystemOutline> served;  // none: the platform does not have it
        bool offered;
        bool unreadable = false;   // the stored text no longer reads as a system
        bool unreachable = false;  // the platform does not answer at all
    } cases[] = {
        {"the same version", version("2026-03-02 10:20:30"), version("2026-03-02 10:20:30"), false},
        {"a version a second later", version("2026-03-02 10:20:30"), version("2026-03-02 10:20:31"), true},
        {"a stored system without a time stamp", version(""), version("2026-03-02 10:20:30"), true},
        {"a platform version without a time stamp", version("2026-03-02 10:20:30"), version(""), true},
        {"a system the platform does not give", version("2026-03-02 10:20:30"), std::nullopt, false},
        {"another product in the platform's answer", version("2026-03-02 10:20:30"),
         version("2026-03-09 08:00:00", "S2"), false},
        {"a stored text that no longer reads", version("2026-03-02 10:20:30"), version("2026-03-09 08:00:00"), false,
         true},
        {"a platform that cannot be reached only shortens the list", version("2026-03-02 10:20:30"),
         version("2026-03-09 08:00:00"), false, false, true},
    };
    auto manager = std::make_shared<DownloadManager>(Velmar::Cnf::DatabaseSettings(), 3);
    DownloadManager::Replace(manager);
    for (const auto& c : cases) {
        host.NewProject();
        const auto store = Velmar::Services::ProjectStore::ProjectStoreService::instance();
        store->Reload();
        Velmar::Bo::System stored = Velmar::Testing::MakeSystem(c.stored);
        if (c.unreadable)
            stored.rawText = "{\"S1\":[";
        const Velmar::Bo::CompositeTag tag = store->StoreSystem(stored, 300);
        system_ = c.served ? Velmar::Testing::SystemResponse(*c.served) : "{}";
        // Port 1 of the loopback refuses every connection.
        HTTP::SetRoute("platform.example", c.unreachable ? "http://127.0.0.1:1" : platform_->Base());
        std::vector<GS::UniString> notReached;
        const auto candidates = Velmar::Services::Update::FindSystemsToUpdate(&notReached);
        EXPECT_EQ(notReached.size(), c.unreachable ? 1u : 0u) << c.what;
        ASSERT_EQ(candidates.size(), c.offered ? 1u : 0u) << c.what;
        if (c.offered) {
            EXPECT_EQ(candidates[0].storedSystemId, tag.storedSystemId) << c.what;
            EXPECT_EQ(candidates[0].fresh->name, GS::UniString("S1")) << c.what;
        }
        EXPECT_EQ(manager->GetLoadedSystem() != nullptr,
                  c.served && c.served->id == "S1" && !c.unreadable && !c.unreachable)
            << c.what;
    }
    DownloadManager::Replace(nullptr);
}

}  // namespace

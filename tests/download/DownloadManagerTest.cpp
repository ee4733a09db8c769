// The download manager over the platform client and the simulated host: what the page is shown of a loaded
// product, how its classification choices merge into the stored ones, and the confirmation's checks.
#include "DownloadManager.hpp"
#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "CorvanaDatabase.hpp"
#include "GSException.hpp"
#include "HTTPHost.hpp"
#include "LodProvider.hpp"
#include "RecordingServer.hpp"
#include "TempFolder.hpp"

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
        text += m.classificationCode.Get().ToUtf8() + "=" +
                (m.propertyDefinitionId.HasValue() ? m.propertyDefinitionId.Get().ToUniString().ToUtf8().substr(0, 1)
                                                   : "-") +
                (m.active.HasValue() ? (m.active.Get() ? "+" : "0") : "?") + " ";
    }
    return text;
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
    EXPECT_EQ(Velmar::Json::RecordToText(offered[0], false).ToUtf8(),
              R"({"classificationCode":"NL-SfB","targetPropertyGuid":"AAAAAAAA-0000-4000-8000-000000000001",)"
              R"("value":"22.21","label":"NL-SfB code","active":true})");
}

class Downloads : public ::testing::Test {
protected:
    Downloads()
    {
        host_.NewProject();
        Velmar::Host::SetHostFunctions(&Sim::HostFunctions());  // the module's calling layer, as a load sets it
        platform_ = std::make_unique<Velmar::Testing::RecordingServer>(
            [this](const httplib::Request& request, httplib::Response& response) {
                response.set_content(request.path == "/token" ? R"({"token":"t"})" : system_, "application/json");
            });
        HTTP::SetRoute("platform.example", platform_->Base());
        CorvanaDatabase::Replace(
            std::make_shared<CorvanaDatabase>("https://platform.example/data", "https://platform.example/token"));
        const auto lods = Velmar::Lod::LodProvider::instance();
        if (lods->GetLevels().IsEmpty()) {
            for (Int32 level = 100; level <= 500; level += 100)
                lods->AddLevel(
                    Velmar::Bo::LOD(GS::UniString(std::to_string(level)), level >= 300, level == 500, level));
        }
        lods->SetActive(lods->GetLevels()[1]);
    }
    ~Downloads() override
    {
        CorvanaDatabase::Replace(nullptr);
        HTTP::ClearRoutes();
        Velmar::Host::SetHostFunctions(nullptr);
    }

    void Serve(const std::string& lods) { system_ = R"({"S1":{"ID":"S1","Attributes":{"general":{)" + lods + "}}}}"; }

    Velmar::Testing::TempFolder folder_;
    Sim::Archicad host_{folder_ / "data"};
    std::string system_;
    std::unique_ptr<Velmar::Testing::RecordingServer> platform_;
    DownloadManager manager_{Velmar::Cnf::DatabaseSettings(), 3};
};

TEST_F(Downloads, DetailsListTheAttributesWithALevelAndTheLevelsToChooseFrom)
{
    Serve(R"("a":{"ID":"A","LOD":"300","Name":{"en_US":"Board"},"Value":{"en_US":"12.5"},"Unit":"mm",)"
          R"("DataType":"Length"},"b":{"ID":"B","Name":{"en_US":"No level"}},"c":{"ID":"C","LOD":"100"})");
    ASSERT_TRUE(manager_.LoadSystem("S1"));
    EXPECT_EQ(Velmar::Json::RecordToText(manager_.GetProductDetails()).ToUtf8(),
              R"({"productCode":"S1","properties":[{"name":"Board","lod":300,"value":"12.5","unit":"mm",)"
              R"("dataType":"Length"},{"name":null,"lod":100,"value":null,"unit":null,"dataType":null}],)"
              R"("mappedClassifications":[],)"
              R"("availableClassificationTargets":[],"availableLods":[100,200,300,400,500],"activeLod":200})");
}

TEST_F(Downloads, ALevelThatIsNoNumberAbortsTheDetails)
{
    Serve(R"("a":{"ID":"A","LOD":"LOD 300"})");
    ASSERT_TRUE(manager_.LoadSystem("S1"));
    try {
        manager_.GetProductDetails();
        ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "invalid stoi argument");
    }
}

TEST_F(Downloads, AFailedLoadForgetsTheProductLoadedBefore)
{
    Serve(R"("a":{"ID":"A","LOD":"100"})");
    ASSERT_TRUE(manager_.LoadSystem("S1"));
    EXPECT_FALSE(manager_.LoadSystem("S2"));
    EXPECT_EQ(manager_.GetLoadedSystem(), nullptr);
    EXPECT_THROW(manager_.GetProductDetails(), GS::GeneralException);
    velmar::ui::model::ProductDownload download;
    download.newCompositeName.Set("Wall");
    EXPECT_THROW(manager_.ProcessDownload(download), GS::GeneralException);
}

TEST_F(Downloads, LinkingACompositeTheProjectDoesNotHaveAnswersFalse)
{
    Serve(R"("a":{"ID":"A","LOD":"100"})");
    ASSERT_TRUE(manager_.LoadSystem("S1"));
    velmar::ui::model::ProductDownload download;
    Sim::Attribute composite;
    composite.record.header.typeID = API_CompWallID;
    Sim::SetAttributeName(composite, "Wall A");
    host_.RunHostCommand("Create Attribute", [&] { host_.CurrentProject().AddAttribute(composite); });
    download.existingCompositeName.Set("Wall B");
    download.selectedLod.Set(300);
    EXPECT_FALSE(manager_.ProcessDownload(download));
    // The composite that is there gets as far as the composite builder, which says it is not there yet.
    download.existingCompositeName.Set("Wall A");
    EXPECT_THROW(manager_.ProcessDownload(download), GS::GeneralException);
}

}  // namespace

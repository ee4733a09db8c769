// The LOD change summary computed by the module's code against the simulated host's project.
#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "CompositeTag.hpp"
#include "HostText.hpp"
#include "LodChangeInformation.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Velmar::Testing::TempFolder;

struct Composite {
    const char* name;
    std::optional<Int32> tagLod;  // none: no user data
    UInt16 platformSign = Velmar::Bo::CompositeTag::PlatformSign;
};

// A host with the module's calling layer pointed at its table, as SetImportedFuncAddrs does at load.
class HostedProject {
public:
    explicit HostedProject(const std::vector<Composite>& composites) : host_(root_ / "data")
    {
        Velmar::Host::SetHostFunctions(&Sim::HostFunctions());
        for (const auto& composite : composites)
            Place(composite);
    }
    ~HostedProject() { Velmar::Host::SetHostFunctions(nullptr); }

    Sim::Archicad& Host() { return host_; }

private:
    // As the user's attribute manager would: a composite with or without a tag in its user data.
    void Place(const Composite& composite)
    {
        Sim::Attribute attribute;
        attribute.record.header.typeID = API_CompWallID;
        Sim::SetAttributeName(attribute, composite.name);
        if (composite.tagLod) {
            Velmar::Bo::CompositeTag tag;
            tag.systemName = composite.name;
            tag.lod = *composite.tagLod;
            attribute.userData =
                Sim::UserData{Velmar::Bo::CompositeTag::DataVersion, composite.platformSign, tag.ToBytes()};
        }
        host_.RunHostCommand("Create Attribute", [&] { host_.CurrentProject().AddAttribute(attribute); });
    }

    TempFolder root_;
    Sim::Archicad host_;
};

// The provider as start-up leaves it, with the active level chosen as the Lod menu chooses it.
Velmar::Lod::LodProvider ProviderWithActive(std::optional<Int32> active)
{
    Velmar::Lod::LodProvider provider;
    for (Int32 value = 100; value <= 500; value += 100)
        provider.AddLevel(Velmar::Bo::LOD(HostText::Uni(std::to_string(value)), value >= 300, value == 500, value));
    if (active)
        provider.SetActive(provider.GetLevels()[*provider.FindByValue(*active)]);
    return provider;
}

std::string Summary(const Velmar::Lod::LodProvider& provider)
{
    return HostText::Utf8(Velmar::Json::RecordToText(Velmar::Lod::ComputeLodChangeInformation(provider)));
}

// The summary with the key names the page reads.
std::string Expected(bool higher, bool lower, const char* activeLod)
{
    return std::string(R"({"hasElementsWitHigherLod":)") + (higher ? "true" : "false") +
           R"(,"hasElementsWithLowerLod":)" + (lower ? "true" : "false") + R"(,"activeLod":)" + activeLod + "}";
}

TEST(LodChange, ComparesTheTaggedCompositesLodsWithTheActiveLevel)
{
    struct Case {
        const char* what;
        std::optional<Int32> active;
        std::vector<Composite> composites;
        std::string expected;
    };
    const Case cases[] = {
        {"lower and equal", 300, {{"A", 100}, {"B", 300}}, Expected(true, true, "300")},
        {"higher only", 300, {{"A", 400}}, Expected(true, false, "300")},
        {"equal only counts as higher", 200, {{"A", 200}}, Expected(true, false, "200")},
        {"lower only", 500, {{"A", 100}, {"B", 400}}, Expected(false, true, "500")},
        {"no composites", 300, {}, Expected(false, false, "300")},
        {"untagged and foreign user data are ignored",
         300,
         {{"A", std::nullopt}, {"B", 100, 0x1000}, {"C", 500}},
         Expected(true, false, "300")},
        {"no active level", std::nullopt, {{"A", 100}}, Expected(false, false, "null")},
    };
    for (const auto& c : cases) {
        HostedProject project(c.composites);
        EXPECT_EQ(Summary(ProviderWithActive(c.active)), c.expected) << c.what;
    }
}

TEST(LodChange, FailedHostReadsCountAsUntaggedAndAreReportedToTheDebugOutput)
{
    struct Case {
        const char* operation;
        std::string expected;
        const char* debugLine;
    };
    const Case cases[] = {
        {"ACAPI_Attribute_GetAttributesByType", Expected(false, false, "300"),
         "Velmar: composites not listed, error -2130313215\n"},
        {"ACAPI_UserData_GetUserData", Expected(true, false, "300"),
         "Velmar: user data of composite 1 not read, error -2130313215\n"},
    };
    for (const auto& c : cases) {
        HostedProject project({{"A", 100}, {"B", 400}});
        project.Host().Faults().Arm(c.operation, APIERR_GENERAL, 1);
        EXPECT_EQ(Summary(ProviderWithActive(300)), c.expected) << c.operation;
        EXPECT_EQ(project.Host().DebugLines(), std::vector<std::string>{c.debugLine}) << c.operation;
    }
}

}  // namespace

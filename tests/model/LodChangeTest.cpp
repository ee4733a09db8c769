// The LOD change summary computed by the module's code against the simulated host's project.
#include "LodChangeInformation.hpp"
#include "ModuleHost.hpp"

#include <gtest/gtest.h>

namespace {

using Velmar::Testing::Level;

struct Composite {
    const char* name;
    std::optional<Int32> tagLod;  // none: no user data
    UInt16 platformSign = Velmar::Bo::CompositeTag::PlatformSign;
};

// The summary with the key names the page reads.
std::string Expected(bool higher, bool lower, const char* activeLod)
{
    return std::string(R"({"hasElementsWitHigherLod":)") + (higher ? "true" : "false") +
           R"(,"hasElementsWithLowerLod":)" + (lower ? "true" : "false") + R"(,"activeLod":)" + activeLod + "}";
}

// A host read that fails counts the composite as untagged and says so in the debug output.
TEST(LodChange, ComparesTheTaggedCompositesLodsWithTheActiveLevel)
{
    struct Case {
        const char* what;
        std::optional<Int32> active;
        std::vector<Composite> composites;
        std::string expected;
        const char* refused = nullptr;  // the host operation refused once
        const char* debugLine = nullptr;
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
        {"composites not listed",
         300,
         {{"A", 100}, {"B", 400}},
         Expected(false, false, "300"),
         "ACAPI_Attribute_GetAttributesByType",
         "Velmar: composites not listed, error -2130313215\n"},
        {"a tag not read",
         300,
         {{"A", 100}, {"B", 400}},
         Expected(true, false, "300"),
         "ACAPI_UserData_GetUserData",
         "Velmar: user data of composite 1 not read, error -2130313215\n"},
    };
    for (const auto& c : cases) {
        Velmar::Testing::ModuleHost project;
        for (const auto& composite : c.composites) {
            std::optional<Sim::UserData> data;
            if (composite.tagLod) {
                Velmar::Bo::CompositeTag tag;
                tag.systemName = composite.name;
                tag.lod = *composite.tagLod;
                data = Sim::UserData{Velmar::Bo::CompositeTag::DataVersion, composite.platformSign, tag.ToBytes()};
            }
            Velmar::Testing::AddComposite(project.host, composite.name, data);
        }
        // The provider as start-up leaves it, with the active level chosen as the Lod menu chooses it.
        Velmar::Lod::LodProvider provider;
        for (Int32 value = 100; value <= 500; value += 100)
            provider.AddLevel(Level(value));
        if (c.active)
            provider.SetActive(Level(*c.active));
        if (c.refused)
            project.host.Faults().Arm(c.refused, APIERR_GENERAL, 1);
        EXPECT_EQ(HostText::Utf8(Velmar::Json::RecordToText(Velmar::Lod::ComputeLodChangeInformation(provider))),
                  c.expected)
            << c.what;
        EXPECT_EQ(project.host.DebugLines(),
                  c.debugLine ? std::vector<std::string>{c.debugLine} : std::vector<std::string>{})
            << c.what;
    }
}

}  // namespace

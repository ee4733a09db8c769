// The project's system store: the module's code over the simulated host's module data and project files.
#include "EventHandlers.hpp"
#include "HandleOwner.hpp"
#include "HostGuid.hpp"
#include "ModuleHost.hpp"
#include "ProjectSettings.hpp"
#include "ProjectStoreService.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

using Velmar::Services::ProjectStore::ProjectStoreService;

std::string SystemObject(const std::string& id, const std::string& thickness)
{
    return R"({"ID":")" + id +
           R"(","TimeStamp":"2026-11-20 09:30:05","Attributes":{"composition":)"
           R"({"t":{"ID":"Thickness","Value":{"nl_NL":")" +
           thickness + R"("}}}}})";
}

// A data response as the platform sends it: the system is the root object's first member.
std::string SystemText(const std::string& id, const std::string& thickness = "120")
{
    return R"({"Result":)" + SystemObject(id, thickness) + "}";
}

// The system as a download hands it over, with the whole response as its raw text.
Velmar::Bo::System MakeSystem(const std::string& id, const std::string& thickness = "120")
{
    auto source = Velmar::Json::ParseRecord<Velmar::Corvana::CVSystem>(SystemObject(id, thickness));
    source.rawText = SystemText(id, thickness);
    return Velmar::Bo::System(source, std::nullopt);
}

std::string Names(const std::vector<std::pair<Velmar::Bo::System, GS::Guid>>& systems)
{
    std::string names;
    for (const auto& entry : systems)
        names += HostText::Utf8(entry.first.name) + ";";
    return names;
}

class ProjectStore : public ::testing::Test, protected Velmar::Testing::ModuleHost {};

// A thickness that does not convert gives no system, and a debug line each time it is read.
TEST_F(ProjectStore, OnlyGuidNamedEntriesThatHoldASystemAreTaken)
{
    const auto guid = [] { return HostText::Utf8(HostGuid::New().ToUniString()); };
    const std::string bad = guid();
    const struct {
        std::string name, text;
        bool listed, system;
    } cases[] = {
        {"VelmarProjectSettings", SystemText("SETTINGS"), false, false},
        {"not-a-guid", SystemText("NAMELESS"), false, false},
        {"00000000-0000-0000-0000-000000000000", SystemText("NULL"), false, false},
        {guid(), "not json {", true, false},
        {guid(), "[1,2]", true, false},
        {guid(), "{}", true, false},
        {guid(), R"({"Result":5})", true, true},
        {guid(), SystemText("GOOD"), true, true},
        {bad, SystemText("BAD", "dik"), true, false},
    };
    for (const auto& c : cases) {
        Velmar::HandleOwner data(BMAllocateHandle(static_cast<Int32>(c.text.size() + 1), 0, 0));
        std::memcpy(*data.Get(), c.text.c_str(), c.text.size() + 1);
        API_ModulData entry = {};
        entry.dataHdl = data.Get();
        ASSERT_EQ(ACAPI_ModulData_Store(&entry, HostText::Uni(c.name.c_str())), NoError);
    }
    ProjectStoreService service;
    service.Reload();
    for (const auto& c : cases) {
        GS::Guid id;
        id.ConvertFromString(c.name.c_str());
        const auto& texts = service.GetSystemTexts();
        const bool listed = std::any_of(texts.begin(), texts.end(),
                                        [&](const auto& entry) { return entry.first == id && entry.second == c.text; });
        EXPECT_EQ(listed, c.listed) << c.name;
        EXPECT_EQ(service.GetSystem(id) != nullptr, c.system) << c.name;
    }
    EXPECT_EQ(service.GetAllSystems().size(), 2u);
    const auto lines = host.DebugLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& line) { return line.find(bad) != std::string::npos; }),
              2);
}

// Every module data entry of the open project: name, version, sign and bytes.
std::vector<std::string> ModuleDataEntries()
{
    GS::Array<GS::UniString> names;
    EXPECT_EQ(ACAPI_ModulData_GetList(&names), NoError);
    std::vector<std::string> entries;
    for (const auto& name : names) {
        API_ModulData entry = {};
        EXPECT_EQ(ACAPI_ModulData_Get(&entry, name), NoError);
        Velmar::HandleOwner data(entry.dataHdl);
        const std::size_t size = data.Get() != nullptr ? static_cast<std::size_t>(BMGetHandleSize(data.Get())) : 0;
        entries.push_back(HostText::Utf8(name) + " v" + std::to_string(entry.dataVersion) + " s" +
                          std::to_string(entry.platformSign) + " " + std::string(size != 0 ? *data.Get() : "", size));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Stored systems come back by their id from the project's entries, byte for byte through save and open.
TEST_F(ProjectStore, StoredSystemsFollowTheProjectThroughSaveAndOpen)
{
    ASSERT_EQ(
        ACAPI_ProjectOperation_CatchProjectEvent(APINotify_New | APINotify_Open, Velmar::AddOn::ProjectEventHandler),
        NoError);
    host.NewProject();
    EXPECT_EQ(ProjectStoreService::Existing(), nullptr);  // a project event does not create the store

    const auto store = ProjectStoreService::instance();
    const auto first = store->StoreSystem(MakeSystem("WALL-A"), 300);
    const auto second = store->StoreSystem(MakeSystem("ÉCRAN-Ø12,5 \u00e9"), 400);
    EXPECT_EQ(first.systemName, "WALL-A");
    EXPECT_EQ(first.timeStamp, (Velmar::Bo::CompositeTag::TimeStamp{2026, 11, 20, 9, 30, 5}));
    EXPECT_EQ(second.lod, 400);
    EXPECT_NE(first.storedSystemId, second.storedSystemId);
    EXPECT_EQ(Names(store->GetAllSystems()), "WALL-A;ÉCRAN-Ø12,5 \u00e9;");
    Velmar::App::State::instance()->classificationMappings.Push(Velmar::App::StoredProjectClassificationMapping());
    const GSErrCode saved = Velmar::App::SaveProjectSettings();
    Velmar::App::State::instance()->classificationMappings.Clear();
    ASSERT_EQ(saved, NoError);
    const auto before = ModuleDataEntries();
    ASSERT_EQ(before.size(), 3u);
    EXPECT_NE(
        std::find(before.begin(), before.end(),
                  HostText::Utf8(first.storedSystemId.ToUniString()) + " v1 s22359 " + SystemText("WALL-A") + '\0'),
        before.end());
    const std::string path = root / "project.json";
    std::string error;
    ASSERT_TRUE(host.SaveProject(path, &error)) << error;
    host.NewProject();
    EXPECT_TRUE(ProjectStoreService::Existing()->GetSystemTexts().empty());

    ASSERT_TRUE(host.OpenProject(path, &error)) << error;
    EXPECT_EQ(ModuleDataEntries(), before) << "every entry back byte for byte";
    ASSERT_EQ(ProjectStoreService::Existing()->GetSystemTexts().size(), 2u);
    ProjectStoreService reader;  // its empty list makes the first lookup load the project's entries
    for (const auto& [tag, name] : {std::pair(first, "WALL-A"), std::pair(second, "ÉCRAN-Ø12,5 \u00e9")}) {
        const auto system = reader.GetSystem(tag.storedSystemId);
        ASSERT_NE(system, nullptr) << name;
        EXPECT_EQ(HostText::Utf8(system->name), name);
        EXPECT_EQ(system->timeStamp, (Velmar::Bo::TimeStamp{2026, 11, 0, 20, 9, 30, 5, 0}));
        EXPECT_DOUBLE_EQ(system->thickness.value_or(0), 0.12);
    }
    EXPECT_EQ(reader.GetSystem(HostGuid::New()), nullptr);
}

}  // namespace

// The update of 20 systems used by 50 000 walls that carry their values, each system's new version a later
// time stamp with four values changed, against the raw host calls a hand-written update needs for the
// same project: the walls listed and each link read once, then in one undoable command with a process
// window phase per system, its new text stored, its composite rewritten and retagged, and the changed
// values written on its walls. The versions are fetched from an in-process stand-in platform once,
// before either is timed: the platform round trips are left out of both sides of the ratio.
#include "CompositeUpdate.hpp"
#include "CorvanaDatabase.hpp"
#include "DownloadManager.hpp"
#include "HTTPHost.hpp"
#include "HandleOwner.hpp"
#include "LinkedWalls.hpp"
#include "RatioReporter.hpp"
#include "RecordingServer.hpp"

#include <atomic>
#include <chrono>
#include <unordered_map>

namespace {

using namespace Velmar;
using namespace Velmar::Bench;

constexpr int Version = 1;
// What the platform publishes now. Stored systems are not undone (Archicad keeps module data through undo),
// so the systems the prepared update stored are at Version; FindUpdates has the platform publish again.
std::atomic<int> published{Version};

// What the raw update writes for each system: the property values of its walls and the tag of its composite.
struct SystemWrites {
    GS::Array<API_Property> values;
    std::string tag;
    std::string text;
};

struct Prepared {
    std::unique_ptr<Testing::RecordingServer> platform;
    std::vector<Services::Update::UpdateCandidate> candidates;
    std::vector<SystemWrites> writes;
    std::size_t depth = 0;
};

std::string UserDataOf(const API_AttributeIndex& composite)
{
    API_Attr_Head head = {};
    head.typeID = API_CompWallID;
    head.index = composite;
    API_AttributeUserData data = {};
    if (ACAPI_UserData_GetUserData(&head, &data) != NoError)
        throw std::runtime_error("a composite's tag was not read");
    Velmar::HandleOwner bytes(data.dataHdl);
    return std::string(*bytes.Get(), static_cast<std::size_t>(BMGetHandleSize(bytes.Get())));
}

// The 50 000-wall project with every wall written, the platform's new versions found, and one update run
// by the module (undone) recording the writes the raw update repeats.
Prepared& Prepare()
{
    static Prepared prepared = [] {
        Prepared made;
        LinkedWalls& linked = LinkedWalls::Instance();
        linked.Use(LargeProject);
        Services::PropertyProvider::instance()->ReapplyToAll();
        made.platform = std::make_unique<Testing::RecordingServer>(
            [](const httplib::Request& request, httplib::Response& response) {
                if (request.path == "/token") {
                    response.set_content(R"({"token":"t"})", "application/json");
                    return;
                }
                const std::string id = request.get_param_value("id");
                response.set_content(SystemResponse(std::stoul(id.substr(id.find('-') + 1)), published),
                                     "application/json");
            });
        HTTP::SetRoute("platform.example", made.platform->Base());
        Services::CorvanaDatabase::Replace(std::make_shared<Services::CorvanaDatabase>(
            "https://platform.example/data", "https://platform.example/token"));
        Services::DownloadManager::Replace(std::make_shared<Services::DownloadManager>(
            Cnf::DatabaseSettings(), App::State::instance()->languageIndex));
        made.candidates = Services::Update::FindSystemsToUpdate();
        if (made.candidates.size() != Systems)
            throw std::runtime_error("the platform did not offer every system for update");

        std::unordered_map<API_Guid, GS::Array<API_Property>> firsts;
        std::vector<API_Guid> first(Systems, APINULLGuid);
        for (const auto& [guid, n] : linked.Walls()) {
            if (first[n] == APINULLGuid)
                firsts[first[n] = guid];
        }
        made.depth = linked.Project().UndoNames().size();
        Host::SetHostFunctions(&RecordingHost());
        RecordedWrites::writes = &firsts;
        Services::Update::RunUpdate(made.candidates);
        RecordedWrites::writes = nullptr;
        for (std::size_t n = 0; n < Systems; ++n)
            made.writes.push_back(
                {firsts.at(first[n]), UserDataOf(linked.Composites()[n]), SystemResponse(n, Version)});
        linked.UndoTo(made.depth);
        return made;
    }();
    return prepared;
}

void Update(benchmark::State& state)
{
    Prepared& prepared = Prepare();
    std::size_t updated = 0;
    for (auto _ : state) {
        updated = Services::Update::RunUpdate(prepared.candidates);
        state.PauseTiming();
        LinkedWalls::Instance().UndoTo(prepared.depth);
        state.ResumeTiming();
    }
    if (updated != Systems)
        state.SkipWithError("not every system was updated");
    state.counters["values written per wall"] = static_cast<double>(prepared.writes[0].values.GetSize());
}

GSErrCode RewriteComposite(const API_AttributeIndex& index, const std::string& tag)
{
    API_Attribute composite = {};
    composite.header.typeID = API_CompWallID;
    composite.header.index = index;
    API_AttributeDefExt defs = {};
    GSErrCode err = ACAPI_Attribute_Get(&composite);
    err = err != NoError ? err : ACAPI_Attribute_GetDefExt(API_CompWallID, index, &defs);
    err = err != NoError ? err : ACAPI_Attribute_ModifyExt(&composite, &defs);
    ACAPI_DisposeAttrDefsHdlsExt(&defs);
    Velmar::HandleOwner data(BMAllocateHandle(static_cast<Int32>(tag.size()), 0, 0));
    std::memcpy(*data.Get(), tag.data(), tag.size());
    API_AttributeUserData userData{1, 0x5757, 0, data.Get()};
    return err != NoError ? err : ACAPI_UserData_SetUserData(&composite.header, &userData);
}

GSErrCode StoreText(const GS::Guid& id, const std::string& text)
{
    Velmar::HandleOwner data(BMAllocateHandle(static_cast<Int32>(text.size() + 1), 0, 0));
    std::memcpy(*data.Get(), text.c_str(), text.size() + 1);
    API_ModulData entry = {};
    entry.dataVersion = 1;
    entry.platformSign = 0x5757;
    entry.dataHdl = data.Get();
    return ACAPI_ModulData_Store(&entry, id.ToUniString());
}

void UpdateRaw(benchmark::State& state)
{
    Prepared& prepared = Prepare();
    LinkedWalls& linked = LinkedWalls::Instance();
    std::unordered_map<GS::Guid, std::size_t> systemOf;
    for (std::size_t n = 0; n < Systems; ++n)
        systemOf.emplace(linked.StoredSystems()[n], n);
    for (auto _ : state) {
        std::vector<std::vector<API_Guid>> walls(Systems);
        ForEachLinkedElement([&](const API_Guid& guid, const std::optional<GS::Guid>& link) {
            if (const auto found = link ? systemOf.find(*link) : systemOf.end(); found != systemOf.end())
                walls[found->second].push_back(guid);
        });
        const GSErrCode err = ACAPI_CallUndoableCommand("Update Velmar systems", [&] {
            const GS::UniString title("Update Velmar systems");
            Int32 phases = static_cast<Int32>(Systems);
            API_ProcessControlTypeID control = API_MenuCommandEnabled;
            ACAPI_ProcessWindow_InitProcessWindow(&title, &phases, &control);
            for (std::size_t n = 0; n < Systems; ++n) {
                const GS::UniString subtitle(("VELMAR-" + std::to_string(n)).c_str());
                Int32 max = 1;
                bool percent = false;
                ACAPI_ProcessWindow_SetNextProcessPhase(&subtitle, &max, &percent);
                ACAPI_ProcessWindow_IsProcessCanceled();
                GSErrCode done = StoreText(linked.StoredSystems()[n], prepared.writes[n].text);
                done = done != NoError ? done : RewriteComposite(linked.Composites()[n], prepared.writes[n].tag);
                for (const API_Guid& guid : walls[n])
                    done = done != NoError ? done : ACAPI_Element_SetProperties(guid, prepared.writes[n].values);
                if (done != NoError)
                    return done;
            }
            return ACAPI_ProcessWindow_CloseProcessWindow();
        });
        if (err != NoError)
            state.SkipWithError("a raw write failed");
        state.PauseTiming();
        linked.UndoTo(prepared.depth);
        state.ResumeTiming();
    }
}

// The platform round trips alone: every stored system loaded again and compared.
void FindUpdates(benchmark::State& state)
{
    Prepare();
    published = Version + 1;
    for (auto _ : state) {
        if (Services::Update::FindSystemsToUpdate().size() != Systems)
            state.SkipWithError("not every system was offered");
    }
}

BENCHMARK(Update)->MinTime(Bench::SteadySeconds)->Unit(benchmark::kMillisecond);
BENCHMARK(UpdateRaw)->MinTime(Bench::SteadySeconds)->Unit(benchmark::kMillisecond);
BENCHMARK(FindUpdates)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return Bench::RunWithRatios(
        argc, argv,
        {
            {"Update", "UpdateRaw", "update of 20 systems, 50 000 walls, vs its raw host calls (goal <= 1.5x)"},
            {"FindUpdates", "UpdateRaw", "finding the 20 updates (platform round trips) vs the raw update"},
        },
        [](const Bench::RatioReporter&) {
            Services::DownloadManager::Replace(nullptr);
            Services::CorvanaDatabase::Replace(nullptr);
            HTTP::ClearRoutes();
            return true;
        });
}

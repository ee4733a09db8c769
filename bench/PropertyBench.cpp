// The property writer on linked walls, each figure against the host property writes it makes, in one run.
// Neutral re-applies the systems to walls that carry none of their values yet (the definitions exist), so
// every wall gets every value its system gives; the baseline makes the same SetProperties calls in one
// undoable command from lists prepared beforehand. 5 000 and 50 000 walls show the writer grows linearly.
// Then the user placing one wall on a Velmar composite in the 50 000-wall project, with the add-on's
// notification handler against the same placement without it: the difference is the add-on's time.
#include "EventHandlers.hpp"
#include "HostGuid.hpp"
#include "LinkedWalls.hpp"
#include "RatioReporter.hpp"

#include <chrono>
#include <cstdio>
#include <unordered_map>

namespace {

using namespace Velmar;
using namespace Velmar::Bench;
using Services::PropertyProvider;

// The project of that size with the Velmar definitions made (on a wall placed and deleted again), and per
// system the values Neutral writes on its walls.
const std::vector<GS::Array<API_Property>>& Prepared(int walls)
{
    static std::map<int, std::vector<GS::Array<API_Property>>> prepared;
    auto& lists = prepared[walls];
    LinkedWalls& linked = LinkedWalls::Instance();
    linked.Use(walls);
    if (!lists.empty())
        return lists;
    Host::SetHostFunctions(&RecordingHost());
    App::State::instance()->SetNeutral(true);
    Sim::Element wall = Sim::NewElement(API_WallID);
    wall.record.wall.modelElemStructureType = API_CompositeStructure;
    wall.record.wall.composite = linked.Composites()[0];
    API_Elem_Head head = {};
    head.guid = linked.Host().PlaceElement(wall);
    PropertyProvider::instance()->UpdateElement(head, true);
    linked.Host().DeleteElement(head.guid);

    std::unordered_map<API_Guid, GS::Array<API_Property>> firsts;
    std::vector<API_Guid> first(Systems, APINULLGuid);
    for (const auto& [guid, n] : linked.Walls()) {
        if (first[n] == APINULLGuid)
            firsts[first[n] = guid];
    }
    const std::size_t depth = linked.Project().UndoNames().size();
    RecordedWrites::writes = &firsts;
    PropertyProvider::instance()->ReapplyToAll();
    RecordedWrites::writes = nullptr;
    linked.UndoTo(depth);
    for (std::size_t n = 0; n < Systems; ++n)
        lists.push_back(firsts.at(first[n]));
    return lists;
}

void PerWall(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void NeutralReapply(benchmark::State& state)
{
    Prepared(Walls(state));
    LinkedWalls& linked = LinkedWalls::Instance();
    const std::size_t depth = linked.Project().UndoNames().size();
    const std::int64_t groups = Lookups::groups, definitions = Lookups::definitions;
    std::size_t written = 0;
    for (auto _ : state) {
        written = PropertyProvider::instance()->ReapplyToAll();
        state.PauseTiming();
        linked.UndoTo(depth);
        state.ResumeTiming();
    }
    if (written != linked.Walls().size())
        state.SkipWithError("not every wall was written");
    const auto perRun = [&state](std::int64_t count) {
        return benchmark::Counter(static_cast<double>(count) / static_cast<double>(state.iterations()));
    };
    state.counters["group lists"] = perRun(Lookups::groups - groups);
    state.counters["definition lists"] = perRun(Lookups::definitions - definitions);
    PerWall(state);
}

void NeutralRaw(benchmark::State& state)
{
    const auto& lists = Prepared(Walls(state));
    LinkedWalls& linked = LinkedWalls::Instance();
    const auto& walls = linked.Walls();
    const std::size_t depth = linked.Project().UndoNames().size();
    for (auto _ : state) {
        GS::Array<API_Guid> listed;
        ACAPI_Element_GetElemList(API_WallID, &listed, APIFilt_None, APINULLGuid);
        const GSErrCode err = ACAPI_CallUndoableCommand("setting property", [&] {
            for (const auto& [guid, n] : walls) {
                if (const GSErrCode set = ACAPI_Element_SetProperties(guid, lists[n]); set != NoError)
                    return set;
            }
            return NoError;
        });
        if (err != NoError)
            state.SkipWithError("SetProperties failed");
        state.PauseTiming();
        linked.UndoTo(depth);
        state.ResumeTiming();
    }
    PerWall(state);
}

// The user's wall on the first system's composite, placed with or without the add-on listening; each is
// undone untimed, so every placement meets the same project.
void Place(benchmark::State& state, APIElementEventHandlerProc* handler)
{
    Prepared(LargeProject);
    LinkedWalls& linked = LinkedWalls::Instance();
    const std::size_t depth = linked.Project().UndoNames().size();
    Sim::Element wall = Sim::NewElement(API_WallID);
    wall.record.wall.modelElemStructureType = API_CompositeStructure;
    wall.record.wall.composite = linked.Composites()[0];
    linked.Host().Handlers().newElement = handler;
    for (auto _ : state) {
        wall.record.header.guid = GSGuid2APIGuid(HostGuid::New());
        const auto start = std::chrono::steady_clock::now();
        linked.Host().PlaceElement(wall);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        linked.UndoTo(depth);
    }
    linked.Host().Handlers().newElement = nullptr;
}

void PlaceWall(benchmark::State& state)
{
    Place(state, AddOn::ElementEventHandler);
}

void PlaceWallBare(benchmark::State& state)
{
    Place(state, nullptr);
}

BENCHMARK(NeutralReapply)
    ->Arg(SmallProject)
    ->Arg(LargeProject)
    ->MinTime(Bench::SteadySeconds)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(NeutralRaw)
    ->Arg(SmallProject)
    ->Arg(LargeProject)
    ->MinTime(Bench::SteadySeconds)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PlaceWall)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(PlaceWallBare)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return Bench::RunWithRatios(
        argc, argv,
        {
            {"NeutralReapply/50000", "NeutralRaw/50000",
             "Neutral re-apply vs its SetProperties calls, 50 000 walls (goal <= 1.5x)"},
            {"NeutralReapply/5000", "NeutralRaw/5000", "Neutral re-apply vs its SetProperties calls, 5 000 walls"},
            {"NeutralReapply/50000", "NeutralReapply/5000", "Neutral re-apply, 50 000 walls vs 5 000 (linear: 10x)"},
            {"NeutralRaw/50000", "NeutralRaw/5000", "the SetProperties calls, 50 000 walls vs 5 000"},
            {"PlaceWall", "PlaceWallBare", "placing a Velmar wall with the add-on vs without, 50 000 walls"},
        },
        [](const Bench::RatioReporter& reporter) {
            const auto with = reporter.Time("PlaceWall"), without = reporter.Time("PlaceWallBare");
            if (with && without)
                std::printf("add-on time of placing a wall, 50 000 walls: %.1f us (goal < 1000 us)\n",
                            *with - *without);
            return with && without;
        });
}

// The host's model operations the add-on calls, through the table it is handed, each against the same
// loop over the project's own tables, on generated projects of 5 000 and 50 000 walls (500 and 5 000
// slabs). A ratio that stays the same, or falls, from the smaller project to the larger says the host adds
// no cost per element that grows with the project; the plain loops themselves slow down per element once
// the larger project no longer fits the caches. Opening and saving are timed at both sizes, the larger over
// the smaller: 10x is linear.
#include "Archicad.hpp"
#include "ProjectGenerator.hpp"
#include "RatioReporter.hpp"

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>
#include <unordered_set>

namespace {

constexpr int SmallProject = 5000;
constexpr int LargeProject = 50000;

const API_HostFunctions& Api()
{
    return Sim::HostFunctions();
}

// One host for every benchmark; the project of the size a benchmark asks for is swapped in, the other
// waits aside, so each is generated once.
class Projects {
public:
    Projects()
        : folder_(std::filesystem::temp_directory_path() / ("velmar-hostmodel-" + std::to_string(getpid()))),
          host_(std::make_unique<Sim::Archicad>((folder_ / "data").string()))
    {
    }
    ~Projects()
    {
        host_.reset();
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    Projects(const Projects&) = delete;
    Projects& operator=(const Projects&) = delete;

    static Projects& Instance()
    {
        static Projects projects;
        return projects;
    }

    Sim::Archicad& Host() { return *host_; }

    Sim::Project& Use(int walls)
    {
        if (open_ != walls) {
            if (open_ != 0)
                std::swap(host_->CurrentProject(), waiting_[open_]);
            auto found = waiting_.find(walls);
            if (found == waiting_.end())
                found = waiting_.emplace(walls, Sim::ProjectGenerator::Generate(OptionsFor(walls))).first;
            std::swap(host_->CurrentProject(), found->second);
            open_ = walls;
        }
        return host_->CurrentProject();
    }

    // The project of that size as a file, written once.
    std::string File(int walls)
    {
        const std::string path = (folder_ / ("project-" + std::to_string(walls) + ".json")).string();
        if (!std::filesystem::exists(path))
            Sim::ProjectGenerator::WriteProject(OptionsFor(walls), path);
        return path;
    }
    std::string SavePath() const { return (folder_ / "saved.json").string(); }

    // The walls of that size's project, which is then the open one.
    const std::vector<API_Guid>& Walls(int walls)
    {
        const Sim::Project& project = Use(walls);
        auto& list = walls_[walls];
        if (list.empty()) {
            for (const auto& entry : project.Elements()) {
                if (entry.second.Type() == API_WallID)
                    list.push_back(entry.second.Guid());
            }
        }
        return list;
    }

    const API_PropertyDefinition& FireRating(int walls)
    {
        for (const Sim::PropertyDefinition* definition : Use(walls).Definitions(APINULLGuid)) {
            if (definition->definition.name == "Fire Rating")
                return definition->definition;
        }
        throw std::runtime_error("the generated project has no Fire Rating");
    }

private:
    static Sim::ProjectGenerator::Options OptionsFor(int walls)
    {
        return {static_cast<std::size_t>(walls), static_cast<std::size_t>(walls / 10), 40, 1};
    }

    std::filesystem::path folder_;
    std::unique_ptr<Sim::Archicad> host_;
    std::map<int, Sim::Project> waiting_;
    std::map<int, std::vector<API_Guid>> walls_;
    int open_ = 0;
};

int Walls(const benchmark::State& state)
{
    return static_cast<int>(state.range(0));
}

void PerWall(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void HostElemList(benchmark::State& state)
{
    Projects::Instance().Use(Walls(state));
    GS::Array<API_Guid> walls;
    for (auto _ : state) {
        if (Api().ACAPI_Element_GetElemList(API_WallID, &walls, APIFilt_None, APINULLGuid) != NoError)
            state.SkipWithError("GetElemList failed");
        benchmark::DoNotOptimize(walls.GetSize());
    }
    PerWall(state);
}

void DirectElemList(benchmark::State& state)
{
    const Sim::Project& project = Projects::Instance().Use(Walls(state));
    std::vector<API_Guid> walls;
    for (auto _ : state) {
        walls.clear();
        for (const auto& entry : project.Elements()) {
            if (entry.second.Type() == API_WallID)
                walls.push_back(entry.second.Guid());
        }
        benchmark::DoNotOptimize(walls.data());
    }
    PerWall(state);
}

void HostElementGet(benchmark::State& state)
{
    const auto& walls = Projects::Instance().Walls(Walls(state));
    for (auto _ : state) {
        for (const API_Guid& guid : walls) {
            API_Element element = {};
            element.header.guid = guid;
            if (Api().ACAPI_Element_Get(&element, 0) != NoError)
                state.SkipWithError("Get failed");
            benchmark::DoNotOptimize(element);
        }
    }
    PerWall(state);
}

void DirectElementGet(benchmark::State& state)
{
    const Sim::Project& project = Projects::Instance().Use(Walls(state));
    for (auto _ : state) {
        for (const auto& entry : project.Elements()) {
            if (entry.second.Type() != API_WallID)
                continue;
            API_Element element = entry.second.record;
            benchmark::DoNotOptimize(element);
        }
    }
    PerWall(state);
}

void HostQuantities(benchmark::State& state)
{
    const auto& walls = Projects::Instance().Walls(Walls(state));
    API_QuantitiesMask mask;
    ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, wall, length);
    ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, wall, surface1);
    ACAPI_ELEMENT_QUANTITY_MASK_SET(mask, wall, volume);
    for (auto _ : state) {
        for (const API_Guid& guid : walls) {
            API_ElementQuantity quantity = {};
            API_Quantities quantities;
            quantities.elements = &quantity;
            if (Api().ACAPI_Element_GetQuantities(guid, nullptr, &quantities, &mask) != NoError)
                state.SkipWithError("GetQuantities failed");
            benchmark::DoNotOptimize(quantity.wall.volume);
        }
    }
    PerWall(state);
}

// The same three figures from the record by the formulas of docs/host-model.md, openings left out.
void DirectQuantities(benchmark::State& state)
{
    const Sim::Project& project = Projects::Instance().Use(Walls(state));
    for (auto _ : state) {
        for (const auto& entry : project.Elements()) {
            if (entry.second.Type() != API_WallID)
                continue;
            const API_WallType& wall = entry.second.record.wall;
            API_ElementQuantity quantity = {};
            quantity.wall.length = std::hypot(wall.endC.x - wall.begC.x, wall.endC.y - wall.begC.y);
            quantity.wall.surface1 = quantity.wall.length * wall.height;
            quantity.wall.volume = quantity.wall.surface1 * wall.thickness;
            benchmark::DoNotOptimize(quantity.wall.volume);
        }
    }
    PerWall(state);
}

void HostPropertyRead(benchmark::State& state)
{
    const auto& walls = Projects::Instance().Walls(Walls(state));
    const API_Guid definition = Projects::Instance().FireRating(Walls(state)).guid;
    for (auto _ : state) {
        for (const API_Guid& guid : walls) {
            API_Property property;
            if (Api().ACAPI_Element_GetPropertyValue(guid, definition, property) != NoError)
                state.SkipWithError("GetPropertyValue failed");
            benchmark::DoNotOptimize(property.value.singleVariant.variant.doubleValue);
        }
    }
    PerWall(state);
}

void DirectPropertyRead(benchmark::State& state)
{
    const API_PropertyDefinition& definition = Projects::Instance().FireRating(Walls(state));
    const Sim::Project& project = Projects::Instance().Use(Walls(state));
    for (auto _ : state) {
        for (const auto& entry : project.Elements()) {
            if (entry.second.Type() != API_WallID)
                continue;
            const auto own = entry.second.properties.find(definition.guid);
            const API_PropertyValue value =
                own != entry.second.properties.end() ? own->second : definition.defaultValue.basicValue;
            benchmark::DoNotOptimize(value.singleVariant.variant.doubleValue);
        }
    }
    PerWall(state);
}

API_Property NinetyMinutes(const API_PropertyDefinition& definition)
{
    API_Property property;
    property.definition = definition;
    property.isDefault = false;
    property.value.variantStatus = API_VariantStatusNormal;
    property.value.singleVariant.variant.type = API_PropertyRealValueType;
    property.value.singleVariant.variant.doubleValue = 90.0;
    return property;
}

// Every wall's value in one undoable command, as the add-on writes; undone untimed, so the project and the
// undo list stay as they were from one iteration to the next.
void HostPropertyWrite(benchmark::State& state)
{
    const auto& walls = Projects::Instance().Walls(Walls(state));
    const API_Property property = NinetyMinutes(Projects::Instance().FireRating(Walls(state)));
    Sim::Archicad& host = Projects::Instance().Host();
    for (auto _ : state) {
        const GSErrCode err = Api().ACAPI_CallUndoableCommand("Set Fire Rating", [&] {
            for (const API_Guid& guid : walls) {
                if (const GSErrCode set = Api().ACAPI_Element_SetProperty(guid, property); set != NoError)
                    return set;
            }
            return NoError;
        });
        if (err != NoError) {
            state.SkipWithError("SetProperty failed");
            break;
        }
        state.PauseTiming();
        host.Undo();
        state.ResumeTiming();
    }
    PerWall(state);
}

void DirectPropertyWrite(benchmark::State& state)
{
    const auto& walls = Projects::Instance().Walls(Walls(state));
    const API_Property property = NinetyMinutes(Projects::Instance().FireRating(Walls(state)));
    Sim::Project& project = Projects::Instance().Use(Walls(state));
    for (auto _ : state) {
        for (const API_Guid& guid : walls)
            project.EditElement(guid)->properties[property.definition.guid] = property.value;
    }
    PerWall(state);
}

// Selecting every wall and observing each, as the add-on does with a selection of walls; the observers
// are dropped untimed, so each iteration attaches them anew.
void HostSelectAndObserve(benchmark::State& state)
{
    const auto& walls = Projects::Instance().Walls(Walls(state));
    Sim::Archicad& host = Projects::Instance().Host();
    GS::Array<API_Neig> neigs;
    for (const API_Guid& guid : walls) {
        API_Neig neig(guid);
        neig.neigID = APINeig_Wall;
        neigs.Push(neig);
    }
    for (auto _ : state) {
        GSErrCode err = Api().ACAPI_Selection_Select(neigs, false);
        for (const API_Guid& guid : walls)
            err = err != NoError ? err : Api().ACAPI_Element_AttachObserver(guid, 0);
        if (err != NoError) {
            state.SkipWithError("Select or AttachObserver failed");
            break;
        }
        state.PauseTiming();
        host.Handlers().observed.clear();
        state.ResumeTiming();
    }
    PerWall(state);
}

void DirectSelectAndObserve(benchmark::State& state)
{
    const auto& walls = Projects::Instance().Walls(Walls(state));
    Sim::Project& project = Projects::Instance().Use(Walls(state));
    std::unordered_set<API_Guid> observed;
    for (auto _ : state) {
        auto& selection = project.Selection();
        selection.clear();
        for (const API_Guid& guid : walls) {
            if (project.FindElement(guid) != nullptr) {
                selection.push_back(guid);
                observed.insert(guid);
            }
        }
        benchmark::DoNotOptimize(observed.size());
        state.PauseTiming();
        observed.clear();
        state.ResumeTiming();
    }
    PerWall(state);
}

void OpenProject(benchmark::State& state)
{
    const std::string file = Projects::Instance().File(Walls(state));
    Projects::Instance().Use(Walls(state));
    std::string error;
    for (auto _ : state) {
        if (!Projects::Instance().Host().OpenProject(file, &error))
            state.SkipWithError(error.c_str());
    }
    PerWall(state);
}

void SaveProject(benchmark::State& state)
{
    Projects::Instance().Use(Walls(state));
    std::string error;
    for (auto _ : state) {
        if (!Projects::Instance().Host().SaveProject(Projects::Instance().SavePath(), &error))
            state.SkipWithError(error.c_str());
    }
    PerWall(state);
}

#define PROJECT_SIZES(name) BENCHMARK(name)->Arg(SmallProject)->Arg(LargeProject)->Unit(benchmark::kMillisecond)
PROJECT_SIZES(HostElemList);
PROJECT_SIZES(DirectElemList);
PROJECT_SIZES(HostElementGet);
PROJECT_SIZES(DirectElementGet);
PROJECT_SIZES(HostQuantities);
PROJECT_SIZES(DirectQuantities);
PROJECT_SIZES(HostPropertyRead);
PROJECT_SIZES(DirectPropertyRead);
PROJECT_SIZES(HostPropertyWrite);
PROJECT_SIZES(DirectPropertyWrite);
PROJECT_SIZES(HostSelectAndObserve);
PROJECT_SIZES(DirectSelectAndObserve);
PROJECT_SIZES(SaveProject);
PROJECT_SIZES(OpenProject);

}  // namespace

int main(int argc, char** argv)
{
    const std::string small = "/" + std::to_string(SmallProject), large = "/" + std::to_string(LargeProject);
    struct Operation {
        const char* host;
        const char* direct;
        const char* what;
    };
    const Operation operations[] = {
        {"HostElemList", "DirectElemList", "ACAPI_Element_GetElemList"},
        {"HostElementGet", "DirectElementGet", "ACAPI_Element_Get"},
        {"HostQuantities", "DirectQuantities", "ACAPI_Element_GetQuantities (3 fields)"},
        {"HostPropertyRead", "DirectPropertyRead", "ACAPI_Element_GetPropertyValue"},
        {"HostPropertyWrite", "DirectPropertyWrite", "ACAPI_Element_SetProperty in an undoable command"},
        {"HostSelectAndObserve", "DirectSelectAndObserve", "ACAPI_Selection_Select, ACAPI_Element_AttachObserver"},
    };
    static std::vector<std::string> labels;
    labels.reserve(2 * std::size(operations));
    std::vector<Velmar::Bench::Ratio> ratios;
    for (const auto& operation : operations) {
        const std::string host = operation.host, direct = operation.direct;
        labels.push_back(std::string(operation.what) + " vs the tables, 5 000 walls");
        ratios.push_back({host + small, direct + small, labels.back().c_str()});
        labels.push_back(std::string(operation.what) + " vs the tables, 50 000 walls (goal: no more than at 5 000)");
        ratios.push_back({host + large, direct + large, labels.back().c_str()});
    }
    ratios.push_back({"OpenProject" + large, "OpenProject" + small, "open, 50 000 walls vs 5 000 (linear: 10x)"});
    ratios.push_back({"SaveProject" + large, "SaveProject" + small, "save, 50 000 walls vs 5 000 (linear: 10x)"});
    return Velmar::Bench::RunWithRatios(argc, argv, ratios);
}

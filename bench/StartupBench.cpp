// Start-up cost of the add-on: from dlopen to Initialize returning, against the host's own start.
#include "FreshAddOn.hpp"
#include "RatioReporter.hpp"

#include <dlfcn.h>

namespace {

using Velmar::Bench::Scratch;

// The host starting without add-ons: its folders, its event loop and a new project.
void HostStart(benchmark::State& state)
{
    for (auto _ : state) {
        Sim::Archicad host((Scratch() / "host").string());
        host.NewProject();
        host.Loop().RunUntilIdle();
    }
}

void AddOnStart(benchmark::State& state)
{
    for (auto _ : state) {
        const double seconds = Velmar::Bench::LoadFreshAddOn("addon");
        if (seconds < 0)
            state.SkipWithError("the add-on did not load");
        state.SetIterationTime(seconds);
    }
}

// Loading the module file alone, without running it: what any add-on of this size pays.
void ModuleLoadOnly(benchmark::State& state)
{
    int copy = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string module = (Scratch() / ("libPlain" + std::to_string(copy++) + ".so")).string();
        std::filesystem::copy_file(VELMAR_MODULE_PATH, module, std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();

        void* library = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            state.SkipWithError(dlerror());

        state.PauseTiming();
        if (library != nullptr)
            dlclose(library);
        std::filesystem::remove(module);
        state.ResumeTiming();
    }
}

// Each load keeps its module mapped (the add-on asks to stay in memory), so the count stays bounded.
BENCHMARK(HostStart)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(AddOnStart)->Iterations(300)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(ModuleLoadOnly)->Iterations(300)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    std::filesystem::create_directories(Scratch());
    const int result = Velmar::Bench::RunWithRatios(
        argc, argv,
        {{"AddOnStart", "HostStart", "add-on start-up (dlopen to Initialize) vs host start"},
         {"AddOnStart", "ModuleLoadOnly", "add-on start-up vs loading the module file alone"}});
    std::filesystem::remove_all(Scratch());
    return result;
}

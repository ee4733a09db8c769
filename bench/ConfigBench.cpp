// Start-up with the configuration files an installation ships against start-up with none: the cost of
// reading, checking against the installation's copies and applying the two files, start after start.
#include "FreshAddOn.hpp"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::vector<double> withoutFiles;
std::vector<double> withFiles;

double Median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// The two starts alternate within one benchmark, so both meet the same machine; the figure is the ratio
// of the medians, which a virtual machine's bursts of file-system latency do not move.
void StartupPair(benchmark::State& state)
{
    for (auto _ : state) {
        const double without = Velmar::Bench::LoadFreshAddOn("without");
        const double with = Velmar::Bench::LoadFreshAddOn(
            "with", [](Sim::Archicad& host) { host.InstallSharedData(VELMAR_SHARE_DIR); });
        if (without < 0 || with < 0)
            state.SkipWithError("the add-on did not load");
        withoutFiles.push_back(without);
        withFiles.push_back(with);
    }
}

BENCHMARK(StartupPair)->Iterations(300)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    std::filesystem::create_directories(Velmar::Bench::Scratch());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Velmar::Bench::Scratch());
    if (withoutFiles.empty())
        return 1;
    const double with = Median(withFiles);
    const double without = Median(withoutFiles);
    std::printf("start-up with the shipped configuration vs without (goal <= 1.5x): %.2fx (median %.0f us / %.0f us)\n",
                with / without, with * 1e6, without * 1e6);
    return 0;
}

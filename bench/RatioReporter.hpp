// Runs the registered benchmarks and prints each measured figure as a ratio to its baseline from the
// same run, so results compare across machines and loads.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Velmar::Bench {

// Benchmarks whose one run takes about a second run this long, so that one slow run does not make a ratio.
constexpr double SteadySeconds = 4.0;

struct Ratio {
    std::string measured;
    std::string baseline;
    const char* label;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            if (run.iterations > 0 && run.run_type == Run::RT_Iteration)
                seconds_[NameOf(run)] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints the ratios; answers false when a figure is missing.
    bool PrintRatios(const std::vector<Ratio>& ratios) const
    {
        bool complete = true;
        for (const auto& ratio : ratios) {
            const auto measured = seconds_.find(ratio.measured);
            const auto baseline = seconds_.find(ratio.baseline);
            if (measured == seconds_.end() || baseline == seconds_.end() || baseline->second <= 0) {
                std::printf("%s: not measured\n", ratio.label);
                complete = false;
                continue;
            }
            std::printf("%s: %.2fx (%s / %s)\n", ratio.label, measured->second / baseline->second,
                        ratio.measured.c_str(), ratio.baseline.c_str());
        }
        return complete;
    }

    // The real time of one iteration of a measured benchmark, in that benchmark's time unit; none when not
    // measured.
    std::optional<double> Time(const std::string& name) const
    {
        const auto found = seconds_.find(name);
        return found == seconds_.end() ? std::nullopt : std::optional<double>(found->second);
    }

private:
    // "Function/args": how long or how often it ran is no part of the name a ratio uses.
    static std::string NameOf(const Run& run)
    {
        const auto& name = run.run_name;
        return name.args.empty() ? name.function_name : name.function_name + "/" + name.args;
    }

    std::map<std::string, double> seconds_;
};

// Runs every benchmark, prints the ratios, then `after` (more figures, clean-up), which answers whether
// its figures were measured.
inline int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios,
                         const std::function<bool(const RatioReporter&)>& after = nullptr)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const bool complete = reporter.PrintRatios(ratios);
    const bool afterComplete = after == nullptr || after(reporter);
    return complete && afterComplete ? 0 : 1;
}

}  // namespace Velmar::Bench

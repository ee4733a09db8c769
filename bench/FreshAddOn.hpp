// Loading the add-on again and again, each time from its own copy of the module file so no state carries
// over in memory. The data folder stays from one load to the next, as on an architect's machine, where
// only the first start after installation creates folders and copies files.
#pragma once

#include "Archicad.hpp"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>

namespace Velmar::Bench {

inline std::filesystem::path Scratch()
{
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("velmar-bench-" + std::to_string(getpid()));
    return path;
}

// One load, from dlopen to Initialize returning, in seconds, with the data folder `dataFolder` below the
// scratch folder; `prepare` runs first on the new host (to place files, say) and is not counted.
// Answers a negative time when the add-on did not load.
inline double LoadFreshAddOn(const std::string& dataFolder, const std::function<void(Sim::Archicad&)>& prepare = {})
{
    static int copy = 0;
    auto host = std::make_unique<Sim::Archicad>((Scratch() / dataFolder).string());
    if (prepare)
        prepare(*host);
    const std::string module = (Scratch() / ("libVelmar" + std::to_string(copy++) + ".so")).string();
    std::filesystem::copy_file(VELMAR_MODULE_PATH, module, std::filesystem::copy_options::overwrite_existing);

    const auto start = std::chrono::steady_clock::now();
    const bool loaded = host->LoadAddOn(module);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    host->ReleaseAddOnLibrary();
    host.reset();
    std::filesystem::remove(module);
    return loaded ? seconds : -1.0;
}

}  // namespace Velmar::Bench

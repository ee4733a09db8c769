// Loading the add-on from nothing, again and again: each load gets a fresh data folder and its own copy
// of the module file, so no state carries over from the load before.
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

// One load, from dlopen to Initialize returning, in seconds; `prepare` runs first on the new host (to
// place files, say) and is not counted. Answers a negative time when the add-on did not load.
inline double LoadFreshAddOn(const std::function<void(Sim::Archicad&)>& prepare = {})
{
    static int copy = 0;
    std::filesystem::remove_all(Scratch() / "addon");
    auto host = std::make_unique<Sim::Archicad>((Scratch() / "addon").string());
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

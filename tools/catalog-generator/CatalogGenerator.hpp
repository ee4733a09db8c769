// Catalogs of any size for benchmarks: systems in the platform's format, made by varying the sample
// catalog deterministically, so one seed gives the same catalog on every machine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace Velmar::CatalogGenerator {

struct GeneratedSystem {
    std::string id;
    std::string sampleId;  // the sample system it varies
    std::string kind;      // "wall", "ceiling" or "floor", as the index names it
    std::string text;      // the system as the platform returns it
};

// `count` systems varied from the sample catalog in `sampleDir` (its system files and index.json).
// Each takes a sample's build-up and gets its own id, system code, time stamp and rule values.
// Raises std::runtime_error when the sample catalog cannot be read.
std::vector<GeneratedSystem> Generate(const std::filesystem::path& sampleDir, std::size_t count, std::uint32_t seed);

// Writes the systems of Generate, one file per system named after its id, and their index.json.
void WriteCatalog(const std::filesystem::path& sampleDir, const std::filesystem::path& outDir, std::size_t count,
                  std::uint32_t seed);

}  // namespace Velmar::CatalogGenerator

// Projects of any size for the workbench's samples and for benchmarks: a site of buildings whose rooms
// are bounded by straight composite walls with a few windows and doors, floor slabs over some rooms,
// colourful building materials, a classification tree and a custom property group with values on part
// of the elements. Made with the simulated host's own model, so the file is exactly what it saves, and
// from a seed, so one seed gives the same bytes on every machine.
#pragma once

#include "Project.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Sim::ProjectGenerator {

struct Options {
    std::size_t walls = 40;
    std::size_t slabs = 8;
    std::size_t composites = 4;  // at least 1
    std::uint32_t seed = 1;
};

// The project as the host holds it; every guid, the new project's attributes' too, comes from the seed.
Project Generate(const Options& options);

// Writes Generate's project as a project file (beside it first, then renamed, as the host saves).
// Raises std::runtime_error when the file cannot be written or the options make no project.
void WriteProject(const Options& options, const std::string& path);

}  // namespace Sim::ProjectGenerator

// Untrusted text as a project file: it opens or is refused with a reason, never a crash, and a project that
// opened saves as JSON that opens again to the same file.
#include "Project.hpp"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Sim::Project project;
    std::string error;
    if (!project.FromJson(std::string(reinterpret_cast<const char*>(data), size), &error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    const std::string saved = project.ToJson();
    Sim::Project again;
    if (!again.FromJson(saved, &error) || again.ToJson() != saved)
        std::abort();
    return 0;
}

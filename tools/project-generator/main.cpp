// project-generator --walls N --slabs M --composites K [--seed S] --out FILE: writes a simulated-Archicad
// project file of a site of buildings (tools/project-generator/ProjectGenerator.hpp).
#include "ProjectGenerator.hpp"

#include <exception>
#include <iostream>
#include <string>

namespace {

bool ParseCount(const std::string& text, unsigned long long limit, unsigned long long* count)
{
    try {
        std::size_t used = 0;
        *count = std::stoull(text, &used);
        return used == text.size() && text[0] != '-' && *count <= limit;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Sim::ProjectGenerator::Options options;
    std::string out;
    bool valid = argc % 2 == 1;
    for (int i = 1; valid && i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const std::string value = argv[i + 1];
        unsigned long long number = 0;
        if (arg == "--out") {
            out = value;
            continue;
        }
        valid = ParseCount(value, arg == "--seed" ? 0xFFFFFFFFull : 10'000'000ull, &number);
        if (arg == "--walls")
            options.walls = number;
        else if (arg == "--slabs")
            options.slabs = number;
        else if (arg == "--composites")
            options.composites = number;
        else if (arg == "--seed")
            options.seed = static_cast<std::uint32_t>(number);
        else
            valid = false;
    }
    if (!valid || out.empty()) {
        std::cerr << "usage: project-generator --walls N --slabs M --composites K [--seed S] --out FILE\n";
        return 2;
    }
    try {
        Sim::ProjectGenerator::WriteProject(options, out);
    } catch (const std::exception& error) {
        std::cerr << "project-generator: " << error.what() << '\n';
        return 1;
    }
    std::cout << options.walls << " walls, " << options.slabs << " slabs, " << options.composites << " composites in "
              << out << '\n';
    return 0;
}

// velmar-rescomp: compiles the module's .grc files into the C++ source of its resource table at build time.
#include "ResourceCompiler.hpp"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

constexpr const char* kUsage = "usage: velmar-rescomp --out FILE.cpp [--require TYPE:ID]... INPUT.grc [INPUT.grc]...";

struct Options {
    std::string out;
    std::vector<rescomp::Requirement> required;
    std::vector<std::string> inputs;
};

Options ParseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--out" || argument == "--require") && i + 1 == argc)
            throw std::invalid_argument(argument + " needs a value");
        if (argument == "--out")
            options.out = argv[++i];
        else if (argument == "--require")
            options.required.push_back(rescomp::ParseRequirement(argv[++i]));
        else if (argument.rfind("--", 0) == 0)
            throw std::invalid_argument("unknown option " + argument);
        else
            options.inputs.push_back(argument);
    }
    if (options.out.empty() || options.inputs.empty())
        throw std::invalid_argument("an output and at least one input are needed");
    return options;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad())
        throw rescomp::CompileError({path, 1}, "cannot read the file");
    return text;
}

int LastLine(const std::string& text)
{
    const auto newlines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    return text.empty() || text.back() == '\n' ? std::max(newlines, 1) : newlines + 1;
}

// Writes beside the target and renames, so a failed run never leaves a partial output the build would accept.
void WriteAtomically(const std::string& path, const std::string& contents)
{
    const std::string temporary = path + ".tmp";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << contents;
    out.close();
    if (!out || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw rescomp::CompileError({path, 1}, "cannot write the output");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    try {
        options = ParseArguments(argc, argv);
    } catch (const std::invalid_argument& error) {
        std::cerr << "velmar-rescomp: error: " << error.what() << '\n' << kUsage << '\n';
        return 1;
    }
    try {
        rescomp::Module module;
        rescomp::Location end;
        for (const std::string& input : options.inputs) {
            const std::string text = ReadFile(input);
            rescomp::Parse(text, input, module);
            end = {input, LastLine(text)};
        }
        rescomp::CheckRequired(module, options.required, end);
        WriteAtomically(options.out, rescomp::GenerateSource(module));
    } catch (const rescomp::CompileError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}

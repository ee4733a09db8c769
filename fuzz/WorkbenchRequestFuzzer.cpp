// Untrusted bodies of the workbench's POST /api/script: each becomes a command the host runs or a refusal
// with a reason, never a crash; a command is one JSON object, and a project command that runs names a file
// directly in its folders (a save only in the user's).
#include "WorkbenchServer.hpp"

#include <rapidjson/document.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Folders {
    Folders()
    {
        char pattern[] = "/tmp/fuzz-workbench-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            std::abort();
        // Resolved paths name the real folders.
        root = fs::canonical(pattern);
        fs::create_directories(root / "samples");
        fs::create_directories(root / "projects");
        for (const char* name : {"samples/sample.json", "projects/mine.json"})
            std::fclose(std::fopen((root / name).c_str(), "w"));
        list = {{"Sample projects", (root / "samples").string(), false},
                {"My projects", (root / "projects").string(), true}};
    }
    ~Folders()
    {
        std::error_code error;
        fs::remove_all(root, error);
    }
    fs::path root;
    std::vector<Sim::Workbench::ProjectFolder> list;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Folders folders;
    const auto request =
        Sim::Workbench::ScriptRequestOf(std::string(reinterpret_cast<const char*>(data), size), folders.list);
    if (!request.refusal.empty()) {
        if (!request.command.empty())
            std::abort();
        return 0;
    }
    rapidjson::Document command;
    command.Parse(request.command.c_str(), request.command.size());
    if (command.HasParseError() || !command.IsObject())
        std::abort();
    const bool saving = command.HasMember("cmd") && command["cmd"] == "project.save";
    const bool opening = command.HasMember("cmd") && command["cmd"] == "project.open";
    if ((saving || opening) && command.HasMember("path") && command["path"].IsString()) {
        const fs::path parent = fs::path(command["path"].GetString()).parent_path();
        if (parent != folders.root / "projects" && (saving || parent != folders.root / "samples"))
            std::abort();
    }
    return 0;
}

// The project files the workbench lets its page reach: File > Open reads from the listed folders, Save As
// writes into the user's one only, each file directly in its folder by a name a user can type.
#pragma once

#include <rapidjson/document.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Sim::Workbench {

// A folder of project files File > Open lists; File > Save As writes into the one that is the user's.
struct ProjectFolder {
    std::string title;
    std::string path;
    bool users = false;
};

// At most this many characters (not bytes): with ".json" and the ".saving" of a save in progress the
// file name stays within the 255 bytes a file system takes, four bytes a character.
constexpr std::size_t LongestProjectName = 60;

// Why `name` cannot be a project's name (the file's name without ".json"), or nothing when it can: UTF-8
// text of 1 to LongestProjectName characters, no separator, no control character, no leading dot.
std::optional<std::string> ProjectNameRefusal(std::string_view name);

// {"ok":true,"folders":[{"title","path","users","files":[{"name","path"}]}]}: the project files of each
// folder by name; the user's folder is made when missing, so Save As has somewhere to go.
std::string ListProjects(const std::vector<ProjectFolder>& folders);

// Holds a velmar-sim command to the folders: a project.open's "path" must name a project file in one of
// them, a project.save's one in the user's folder, which it replaces only with "overwrite":true. The path
// is put back resolved. Answers why the command is refused, or nothing when it may run.
std::optional<std::string> HoldToProjectFolders(rapidjson::Document& command,
                                                const std::vector<ProjectFolder>& folders);

}  // namespace Sim::Workbench

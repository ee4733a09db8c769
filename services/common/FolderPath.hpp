// Where a path given by someone else (a script, a page, a request) leads inside a folder the program owns.
// Every reader and writer of such paths goes through this one resolver, so a path cannot leave its folder by
// "..", an absolute path, a symbolic link at any level or a NUL.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace Velmar::Services {

struct FolderPath {
    std::filesystem::path path;  // the real path inside the folder; empty when refused
    std::string refusal;         // why the path was refused
    bool isFolder = false;       // the path names the folder itself ("", ".")

    explicit operator bool() const { return !path.empty(); }
};

// `relative` resolved against the real path of `folder` (which must exist). Parts that exist are resolved
// through their links and must stay inside; the first part that does not exist ends the resolving, and the
// rest is taken as written.
FolderPath ResolveInFolder(const std::filesystem::path& folder, std::string_view relative);

}  // namespace Velmar::Services

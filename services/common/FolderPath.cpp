#include "FolderPath.hpp"

#include <system_error>

namespace Velmar::Services {

namespace {

namespace fs = std::filesystem;

FolderPath Refused(std::string why)
{
    FolderPath refused;
    refused.refusal = std::move(why);
    return refused;
}

bool IsInside(const fs::path& path, const fs::path& root)
{
    const std::string& rootText = root.native();
    const std::string& text = path.native();
    if (rootText == "/")
        return true;
    return text == rootText || (text.size() > rootText.size() && text.compare(0, rootText.size(), rootText) == 0 &&
                                text[rootText.size()] == '/');
}

}  // namespace

FolderPath ResolveInFolder(const fs::path& folder, std::string_view relative)
{
    if (relative.find('\0') != std::string_view::npos)
        return Refused("the path holds a NUL");
    if (!relative.empty() && relative.front() == '/')
        return Refused("the path is absolute");
    std::error_code error;
    const fs::path root = fs::canonical(folder, error);
    if (error)
        return Refused("the folder " + folder.string() + " cannot be read: " + error.message());
    fs::path resolved = root;
    bool existing = true;
    for (const fs::path& part : fs::path(relative)) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..")
            return Refused("the path climbs out with \"..\"");
        resolved /= part;
        if (!existing)
            continue;
        const fs::file_status status = fs::symlink_status(resolved, error);
        if (status.type() == fs::file_type::not_found) {
            existing = false;
            continue;
        }
        // A link whose target is missing could still be written through, to anywhere.
        resolved = fs::canonical(resolved, error);
        if (error)
            return Refused("the path passes a link that leads nowhere");
        if (!IsInside(resolved, root))
            return Refused("the path leads out of its folder through a link");
    }
    FolderPath inside;
    inside.isFolder = resolved == root;
    inside.path = std::move(resolved);
    return inside;
}

}  // namespace Velmar::Services

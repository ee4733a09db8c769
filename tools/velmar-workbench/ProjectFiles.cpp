#include "ProjectFiles.hpp"

#include "FolderPath.hpp"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <filesystem>

namespace Sim::Workbench {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view ProjectExtension = ".json";

void WriteText(rapidjson::Writer<rapidjson::StringBuffer>& writer, const std::string& text)
{
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

// The file's name without ".json" when it is a project file a user could have named.
std::optional<std::string> ProjectNameOf(const std::string& fileName)
{
    if (fileName.size() <= ProjectExtension.size() ||
        fileName.compare(fileName.size() - ProjectExtension.size(), ProjectExtension.size(), ProjectExtension) != 0)
        return std::nullopt;
    return fileName.substr(0, fileName.size() - ProjectExtension.size());
}

std::string FolderTitles(const std::vector<ProjectFolder>& folders, bool usersOnly)
{
    std::string titles;
    for (const ProjectFolder& folder : folders) {
        if (usersOnly && !folder.users)
            continue;
        titles += (titles.empty() ? "" : " or ") + folder.title;
    }
    return titles.empty() ? "no folder" : titles;
}

}  // namespace

std::optional<std::string> ProjectNameRefusal(std::string_view name)
{
    if (name.find_first_not_of(' ') == std::string_view::npos)
        return "a project needs a name";
    if (name.front() == '.')
        return "a name does not start with a dot";
    std::size_t characters = 0;
    for (std::size_t at = 0; at < name.size(); ++characters) {
        const auto lead = static_cast<unsigned char>(name[at]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || at + length > name.size())
            return "a name is UTF-8 text";
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t next = 1; next < length; ++next) {
            const auto byte = static_cast<unsigned char>(name[at + next]);
            if ((byte & 0xC0) != 0x80)
                return "a name is UTF-8 text";
            code = (code << 6) | (byte & 0x3F);
        }
        // Overlong forms and surrogates would let one name be spelt two ways.
        constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < Smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return "a name is UTF-8 text";
        if (code < 0x20 || (code >= 0x7F && code < 0xA0))
            return "a name holds no control characters";
        if (code == '/' || code == '\\')
            return "a name holds no / or \\";
        at += length;
    }
    if (characters > LongestProjectName)
        return "a name is at most " + std::to_string(LongestProjectName) + " characters";
    return std::nullopt;
}

std::string ListProjects(const std::vector<ProjectFolder>& folders)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("ok");
    writer.Bool(true);
    writer.Key("folders");
    writer.StartArray();
    for (const ProjectFolder& folder : folders) {
        std::error_code error;
        if (folder.users)
            fs::create_directories(folder.path, error);
        std::vector<std::pair<std::string, fs::path>> files;
        for (fs::directory_iterator it(folder.path, error), end; !error && it != end; it.increment(error)) {
            // Only what File > Open would open: a name Save As could have written (so the answer stays UTF-8),
            // no link out of the folder.
            const std::string fileName = it->path().filename().string();
            const auto name = ProjectNameOf(fileName);
            if (name && !ProjectNameRefusal(*name) && it->is_regular_file() &&
                Velmar::Services::ResolveInFolder(folder.path, fileName))
                files.emplace_back(*name, it->path());
        }
        std::sort(files.begin(), files.end());
        writer.StartObject();
        writer.Key("title");
        WriteText(writer, folder.title);
        writer.Key("path");
        WriteText(writer, folder.path);
        writer.Key("users");
        writer.Bool(folder.users);
        writer.Key("files");
        writer.StartArray();
        for (const auto& [name, path] : files) {
            writer.StartObject();
            writer.Key("name");
            WriteText(writer, name);
            writer.Key("path");
            WriteText(writer, path.string());
            writer.EndObject();
        }
        writer.EndArray();
        // A folder that cannot be read lists no files, and says why.
        if (error) {
            writer.Key("error");
            WriteText(writer, error.message());
        }
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return buffer.GetString();
}

std::optional<std::string> HoldToProjectFolders(rapidjson::Document& command, const std::vector<ProjectFolder>& folders)
{
    // What is not a project command with a path text is the protocol's to answer.
    if (!command.IsObject() || !command.HasMember("cmd") || !command["cmd"].IsString() || !command.HasMember("path") ||
        !command["path"].IsString())
        return std::nullopt;
    const std::string name = command["cmd"].GetString();
    const bool saving = name == "project.save";
    if (!saving && name != "project.open")
        return std::nullopt;
    const std::string given(command["path"].GetString(), command["path"].GetStringLength());
    // The system would end the path at a NUL, and so read another one than the text says.
    if (given.find('\0') != std::string::npos)
        return std::string("\"path\" holds a NUL");
    const fs::path path(given);
    const auto projectName = ProjectNameOf(path.filename().string());
    if (!projectName)
        return "\"path\" must name a " + std::string(ProjectExtension) + " project file";
    if (const auto refusal = ProjectNameRefusal(*projectName))
        return "\"path\": " + *refusal;

    const ProjectFolder* folder = nullptr;
    for (const ProjectFolder& candidate : folders) {
        if (saving && !candidate.users)
            continue;
        std::error_code error;
        if (candidate.users)
            fs::create_directories(candidate.path, error);
        if (fs::equivalent(path.parent_path(), candidate.path, error)) {
            folder = &candidate;
            break;
        }
    }
    if (folder == nullptr)
        return std::string(saving ? "a project is saved in " : "a project is opened from ") +
               FolderTitles(folders, saving) + " only";

    const auto resolved = Velmar::Services::ResolveInFolder(folder->path, path.filename().string());
    if (!resolved)
        return "\"path\" must stay inside " + folder->title + ": " + resolved.refusal;
    std::error_code error;
    const fs::file_type type = fs::status(resolved.path, error).type();
    if (type != fs::file_type::regular && type != fs::file_type::not_found)
        return "\"path\" names something that is not a project file";
    if (!saving && type == fs::file_type::not_found)
        return "there is no project " + *projectName + " in " + folder->title;
    const bool overwrite =
        command.HasMember("overwrite") && command["overwrite"].IsBool() && command["overwrite"].GetBool();
    if (saving && type == fs::file_type::regular && !overwrite)
        return "a project named " + *projectName + " is in " + folder->title +
               " already; a save replaces it only with \"overwrite\":true";
    command["path"].SetString(resolved.path.c_str(), static_cast<rapidjson::SizeType>(resolved.path.native().size()),
                              command.GetAllocator());
    return std::nullopt;
}

}  // namespace Sim::Workbench

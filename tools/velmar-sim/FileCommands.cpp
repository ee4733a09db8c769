// velmar-sim's commands of the files in the user and shared data folders.
#include "ScriptCommand.hpp"

#include "Base64.hpp"
#include "FolderPath.hpp"
#include "HostText.hpp"

#include <filesystem>
#include <fstream>

namespace Sim::Script {

namespace {

// A path inside one of the two data folders, resolved by the one resolver of paths from outside.
Velmar::Services::FolderPath DataPath(const Context& c)
{
    const std::string folder = StringMember(c, "folder");
    if (folder != "user" && folder != "shared")
        throw CommandError{"\"folder\" is \"user\" or \"shared\""};
    const std::string path = StringMember(c, "path");
    auto resolved = Velmar::Services::ResolveInFolder(c.host.DataRoot() + "/" + folder, path);
    if (!resolved)
        throw CommandError{"\"path\" must stay inside the " + folder + " folder: " + resolved.refusal};
    return resolved;
}

// The file a command reads or writes, which may not exist yet; a folder, a pipe or a device is no file.
std::filesystem::path DataFilePath(const Context& c)
{
    const auto resolved = DataPath(c);
    std::error_code error;
    const auto type = std::filesystem::status(resolved.path, error).type();
    if (resolved.isFolder || type == std::filesystem::file_type::directory)
        throw CommandError{"\"path\" names a folder, not a file"};
    if (type != std::filesystem::file_type::regular && type != std::filesystem::file_type::not_found)
        throw CommandError{"\"path\" names something that is not a file"};
    return resolved.path;
}

bool IsUtf8(const std::string& bytes)
{
    return HostText::Utf8(HostText::Uni(bytes)) == bytes;
}

void FileRead(Context& c)
{
    const std::filesystem::path path = DataFilePath(c);
    std::error_code error;
    const bool exists = std::filesystem::exists(path, error);
    c.answer.Key("exists");
    c.answer.Bool(exists);
    if (!exists)
        return;
    std::ifstream file(path, std::ios::binary);
    std::string bytes;
    char buffer[1 << 16];
    // read() turns a failing read into a bad stream where reading through an iterator throws.
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
    if (!file.is_open() || file.bad())
        throw CommandError{"cannot read " + path.string()};
    // Answers are JSON text, so bytes that are not UTF-8 travel as base64.
    c.answer.Key(IsUtf8(bytes) ? "text" : "base64");
    WriteString(c.answer, IsUtf8(bytes) ? bytes : EncodeBase64(bytes));
}

void FileWrite(Context& c)
{
    const std::filesystem::path path = DataFilePath(c);
    std::string bytes;
    if (c.command.HasMember("base64")) {
        const auto decoded = DecodeBase64(StringMember(c, "base64"));
        if (!decoded)
            throw CommandError{"\"base64\" is not base64"};
        bytes = *decoded;
    } else {
        bytes = StringMember(c, "text");
    }
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!(file << bytes) || !file.flush())
        throw CommandError{"cannot write " + path.string()};
}

void FileDelete(Context& c)
{
    const auto resolved = DataPath(c);
    if (resolved.isFolder)
        throw CommandError{"\"path\" names the folder itself, which is not deleted"};
    std::error_code error;
    const auto removed = std::filesystem::remove_all(resolved.path, error);
    if (error)
        throw CommandError{"cannot delete " + resolved.path.string() + ": " + error.message()};
    c.answer.Key("deleted");
    c.answer.Bool(removed > 0);
}

}  // namespace

CommandArea FileCommands()
{
    static constexpr Command Rows[] = {
        {"file.read", FileRead},
        {"file.write", FileWrite},
        {"file.delete", FileDelete},
    };
    return Rows;
}

}  // namespace Sim::Script

// velmar-sim's commands of the files in the user and shared data folders.
#include "ScriptCommand.hpp"

#include "Base64.hpp"
#include "HostText.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace Sim::Script {

namespace {

// A file of one of the two data folders; the path may not leave its folder.
std::string DataFilePath(const Context& c)
{
    const std::string folder = StringMember(c, "folder");
    if (folder != "user" && folder != "shared")
        throw CommandError{"\"folder\" is \"user\" or \"shared\""};
    const std::string path = StringMember(c, "path");
    const std::filesystem::path relative(path);
    if (path.empty() || relative.is_absolute() ||
        std::any_of(relative.begin(), relative.end(), [](const auto& part) { return part == ".."; }))
        throw CommandError{"\"path\" must be relative and stay inside the folder"};
    return c.host.DataRoot() + "/" + folder + "/" + path;
}

bool IsUtf8(const std::string& bytes)
{
    return HostText::Utf8(HostText::Uni(bytes)) == bytes;
}

void FileRead(Context& c)
{
    const std::string path = DataFilePath(c);
    std::ifstream file(path, std::ios::binary);
    c.answer.Key("exists");
    c.answer.Bool(std::filesystem::is_regular_file(path) && file.good());
    if (!file.good())
        return;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Answers are JSON text, so bytes that are not UTF-8 travel as base64.
    c.answer.Key(IsUtf8(bytes) ? "text" : "base64");
    WriteString(c.answer, IsUtf8(bytes) ? bytes : EncodeBase64(bytes));
}

void FileWrite(Context& c)
{
    const std::string path = DataFilePath(c);
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
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!(file << bytes) || !file.flush())
        throw CommandError{"cannot write " + path};
}

void FileDelete(Context& c)
{
    std::error_code error;
    c.answer.Key("deleted");
    c.answer.Bool(std::filesystem::remove_all(DataFilePath(c), error) > 0);
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

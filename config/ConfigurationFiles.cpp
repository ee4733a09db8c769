#include "ConfigurationFiles.hpp"

#include "File.hpp"

namespace Velmar::Cnf {

std::optional<IO::Location> ExistingFile(IO::FileSystem::SpecialFolderId folder, const GS::UniString& relativePath)
{
    IO::Location location = ResolveDataFile(folder, relativePath);
    IO::FileSystem::ItemType type;
    if (location.IsEmpty() || IO::fileSystem.GetItemType(location, &type) != NoError)
        return std::nullopt;
    if (type == IO::FileSystem::Link) {
        IO::Location target;
        if (const GSErrCode err = IO::fileSystem.ResolveLocation(location, &target); err != NoError) {
            Services::logger::instance()->log(GS::UniString("could not follow the link ") + relativePath + " (" +
                                              GS::UniString(std::to_string(err).c_str()) + ")");
            return std::nullopt;
        }
        location = target;
        if (IO::fileSystem.GetItemType(location, &type) != NoError)
            return std::nullopt;
    }
    if (type != IO::FileSystem::File)
        return std::nullopt;
    return location;
}

std::optional<UInt64> FileLength(const IO::Location& location)
{
    IO::File file(location);
    UInt64 length = 0;
    if (file.GetStatus() != NoError || file.GetDataLength(&length) != NoError)
        return std::nullopt;
    return length;
}

std::optional<std::string> ReadAllBytes(const IO::Location& location)
{
    IO::File file(location);
    UInt64 length = 0;
    if (file.GetStatus() != NoError || file.GetDataLength(&length) != NoError || length > MaxUSize ||
        file.Open(IO::File::ReadMode) != NoError)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    USize read = 0;
    if (file.ReadBin(bytes.data(), static_cast<USize>(length), &read) != NoError || read != length)
        return std::nullopt;
    return bytes;
}

bool ParseFileTooDeep(const std::string& bytes, Json::rj::Document& document)
{
    bool tooDeep = false;
    Json::ParseDocument(bytes.c_str(), bytes.size(), document, &tooDeep);
    return tooDeep;
}

GS::UniString NestingRefusal(const char* fileName)
{
    return GS::UniString(fileName) + " nests deeper than " +
           GS::UniString(std::to_string(Json::MaxNestingDepth).c_str()) + " levels: not read";
}

bool SameVersion(const std::optional<GS::UniString>& left, const std::optional<GS::UniString>& right)
{
    if (!left || !right)
        return !left && !right;
    return left->IsEqual(*right, GS::CaseInsensitive);
}

void ReplaceUserCopy(const GS::UniString& relativePath)
{
    const IO::Location shared = ResolveDataFile(SharedDataFolder, relativePath);
    const IO::Location user = ResolveDataFile(UserDataFolder, relativePath);
    const auto log = Services::logger::instance();
    if (IO::fileSystem.Contains(user)) {
        if (const GSErrCode err = IO::fileSystem.Delete(user); err != NoError)
            log->log(GS::UniString("could not delete ") + relativePath + " (" +
                     GS::UniString(std::to_string(err).c_str()) + ")");
    }
    if (!IO::fileSystem.Contains(shared))
        return;
    if (const GSErrCode err = IO::fileSystem.Copy(shared, user); err != NoError)
        log->log(GS::UniString("could not copy ") + relativePath + " (" + GS::UniString(std::to_string(err).c_str()) +
                 ")");
}

}  // namespace Velmar::Cnf

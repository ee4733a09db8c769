// What the two configuration files share: reading a data file's bytes, and keeping the user's working
// copy in step with the installation's copy in the shared data folder.
#pragma once

#include "DataFiles.hpp"
#include "Logger.hpp"
#include "RapidJson.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace Velmar::Cnf {

// The location of an existing file; none when there is no file there. A symbolic link to a file (a user
// who keeps the copy elsewhere) answers the file it points to.
std::optional<IO::Location> ExistingFile(IO::FileSystem::SpecialFolderId folder, const GS::UniString& relativePath);
std::optional<UInt64> FileLength(const IO::Location& location);
// All bytes of the file; none when it cannot be opened or read.
std::optional<std::string> ReadAllBytes(const IO::Location& location);

// Parses the file's bytes; answers true when they were refused for nesting deeper than the JSON reader goes.
bool ParseFileTooDeep(const std::string& bytes, Json::rj::Document& document);
// The log line for such a file: what the user's support needs to see why it was not read.
GS::UniString NestingRefusal(const char* fileName);

// Two "version" texts match when both are absent or both are present and equal ignoring letter case.
bool SameVersion(const std::optional<GS::UniString>& left, const std::optional<GS::UniString>& right);

// Replaces the user copy with the shared copy: the old user file is deleted first, so a failed copy
// leaves no user copy. Failures are logged.
void ReplaceUserCopy(const GS::UniString& relativePath);

// The user copy, refreshed from the shared copy when the user has none or the versions differ.
template <typename Record>
std::shared_ptr<Record>
LoadUserCopy(const GS::UniString& relativePath,
             const std::function<std::shared_ptr<Record>(IO::FileSystem::SpecialFolderId, const GS::UniString&)>& read)
{
    const auto shared = read(SharedDataFolder, relativePath);
    const auto user = read(UserDataFolder, relativePath);
    if (user != nullptr && (shared == nullptr || SameVersion(shared->version.Optional(), user->version.Optional())))
        return user;
    ReplaceUserCopy(relativePath);
    return read(UserDataFolder, relativePath);
}

}  // namespace Velmar::Cnf

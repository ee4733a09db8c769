// Data-file locations: a "/"-separated path under one of the host's special folders.
#pragma once

#include "FileSystem.hpp"

namespace Velmar {

constexpr IO::FileSystem::SpecialFolderId UserDataFolder = 5;
constexpr IO::FileSystem::SpecialFolderId SharedDataFolder = 10;
// The id of the GS::GeneralException raised when a folder cannot be ensured: every GeneralException has it.
constexpr GSErrCode EnsureDirectoryFailed = Error;

// Creates the missing folders along the path (raising GS::GeneralException, whose id is EnsureDirectoryFailed,
// when one cannot be ensured) and answers the file's location; an empty location when the special folder is
// unknown.
IO::Location ResolveDataFile(IO::FileSystem::SpecialFolderId location, const GS::UniString& relativePath);

}  // namespace Velmar

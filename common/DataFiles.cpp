#include "DataFiles.hpp"

#include "GSException.hpp"

namespace Velmar {

IO::Location ResolveDataFile(IO::FileSystem::SpecialFolderId location, const GS::UniString& relativePath)
{
    IO::Location result;
    if (IO::fileSystem.GetSpecialLocation(location, &result) != NoError)
        return IO::Location();

    std::vector<GS::UniString> parts;
    for (const auto& part : relativePath.Split("/")) {
        if (!part.IsEmpty())
            parts.push_back(part);
    }
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const GS::UniString& folder = parts[i];
        bool ensured = result.AppendToLocal(IO::Name(folder)) == NoError;
        if (ensured) {
            IO::FileSystem::ItemType type;
            const GSErrCode status = IO::fileSystem.GetItemType(result, &type);
            if (status == IO::FileSystem::TargetDoesNotExist)
                ensured = IO::fileSystem.CreateFolder(result) == NoError;
            else
                ensured = status == NoError && type == IO::FileSystem::Folder;
        }
        if (!ensured)
            throw GS::GeneralException(GS::UniString("Failed to ensure directory ") + folder, EnsureDirectoryFailed);
    }
    if (!parts.empty())
        result.AppendToLocal(IO::Name(parts.back()));
    return result;
}

}  // namespace Velmar

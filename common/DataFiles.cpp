#include "DataFiles.hpp"

#include "Array.hpp"
#include "GSException.hpp"

namespace Velmar {

IO::Location ResolveDataFile(IO::FileSystem::SpecialFolderId location, const GS::UniString& relativePath)
{
    IO::Location result;
    if (IO::fileSystem.GetSpecialLocation(location, &result) != NoError)
        return IO::Location();

    GS::Array<GS::UniString> parts;
    relativePath.Split("/", GS::UniString::SkipEmptyParts, &parts);
    for (UIndex i = 0; i + 1 < parts.GetSize(); ++i) {
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
            throw GS::GeneralException(GS::UniString("Failed to ensure directory ") + folder, __FILE__, __LINE__);
    }
    if (!parts.IsEmpty())
        result.AppendToLocal(IO::Name(parts.GetLast()));
    return result;
}

}  // namespace Velmar

#include "FileSystem.hpp"

#include <cerrno>
#include <sys/stat.h>

namespace IO {

namespace {
FileSystem theFileSystem;

GSErrCode FromErrno(int error)
{
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return FileSystem::TargetDoesNotExist;
        case EACCES:
        case EPERM:
        case EROFS:
            return FileSystem::AccessDenied;
        default:
            return ErrIO;
    }
}
}  // namespace

FileSystem& fileSystem = theFileSystem;

GSErrCode FileSystem::GetSpecialLocation(SpecialFolderId id, Location* location) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = specialLocations_.find(id);
    if (location == nullptr || found == specialLocations_.end())
        return NoSuchSpecialFolder;
    *location = found->second;
    return NoError;
}

void FileSystem::SetSpecialLocation(SpecialFolderId id, const Location& location)
{
    std::lock_guard<std::mutex> lock(mutex_);
    specialLocations_[id] = location;
}

GSErrCode FileSystem::GetItemType(const Location& location, ItemType* type) const
{
    struct stat status {};
    if (type == nullptr || location.IsEmpty())
        return ErrParam;
    if (lstat(location.ToNativePath().c_str(), &status) != 0)
        return FromErrno(errno);
    if (S_ISDIR(status.st_mode))
        *type = Folder;
    else if (S_ISREG(status.st_mode))
        *type = File;
    else if (S_ISLNK(status.st_mode))
        *type = Link;
    else
        *type = Other;
    return NoError;
}

GSErrCode FileSystem::CreateFolder(const Location& location)
{
    if (location.IsEmpty())
        return ErrParam;
    return mkdir(location.ToNativePath().c_str(), 0755) == 0 ? NoError : FromErrno(errno);
}

bool FileSystem::Contains(const Location& location) const
{
    ItemType type;
    return GetItemType(location, &type) == NoError;
}

}  // namespace IO

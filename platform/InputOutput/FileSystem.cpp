#include "FileSystem.hpp"
#include "HostText.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

GSErrCode FileSystem::ResolveLocation(const Location& source, Location* target) const
{
    if (target == nullptr || source.IsEmpty())
        return ErrParam;
    char* resolved = realpath(source.ToNativePath().c_str(), nullptr);
    if (resolved == nullptr)
        return FromErrno(errno);
    *target = Location(HostText::Uni(resolved));
    std::free(resolved);
    return NoError;
}

GSErrCode FileSystem::CreateFolder(const Location& location)
{
    if (location.IsEmpty())
        return ErrParam;
    return mkdir(location.ToNativePath().c_str(), 0755) == 0 ? NoError : FromErrno(errno);
}

GSErrCode FileSystem::Delete(const Location& location)
{
    if (location.IsEmpty())
        return ErrParam;
    return std::remove(location.ToNativePath().c_str()) == 0 ? NoError : FromErrno(errno);
}

GSErrCode FileSystem::Copy(const Location& source, const Location& target)
{
    if (source.IsEmpty() || target.IsEmpty())
        return ErrParam;
    const int from = ::open(source.ToNativePath().c_str(), O_RDONLY);
    if (from < 0)
        return FromErrno(errno);
    const int to = ::open(target.ToNativePath().c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (to < 0) {
        const int error = errno;
        ::close(from);
        return FromErrno(error);
    }
    GSErrCode result = NoError;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t read = ::read(from, buffer, sizeof buffer);
        if (read == 0)
            break;
        if (read < 0 || ::write(to, buffer, static_cast<std::size_t>(read)) != read) {
            result = ErrIO;
            break;
        }
    }
    ::close(from);
    if (::close(to) != 0 && result == NoError)
        result = ErrIO;
    // A copy that did not complete is not left behind as if it had.
    if (result != NoError)
        std::remove(target.ToNativePath().c_str());
    return result;
}

bool FileSystem::Contains(const Location& location) const
{
    ItemType type;
    return GetItemType(location, &type) == NoError;
}

}  // namespace IO

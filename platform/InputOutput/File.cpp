#include "File.hpp"

#include "FileSystem.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace IO {

File::File(const Location& location, OnNotFound onNotFound) : location_(location)
{
    FileSystem::ItemType type;
    status_ = fileSystem.GetItemType(location_, &type);
    if (status_ == FileSystem::TargetDoesNotExist && onNotFound == Create) {
        const int fd = ::open(location_.ToNativePath().c_str(), O_CREAT | O_WRONLY, 0644);
        status_ = fd >= 0 ? NoError : ErrIO;
        if (fd >= 0)
            ::close(fd);
    } else if (status_ == NoError && type != FileSystem::File) {
        status_ = ErrParam;
    }
}

GSErrCode File::AppendTo(const Location& location, const char* buffer, USize size)
{
    if (location.IsEmpty())
        return ErrParam;
    const int fd = ::open(location.ToNativePath().c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd < 0)
        return ErrIO;
    const ssize_t written = ::write(fd, buffer, size);
    const bool closed = ::close(fd) == 0;
    return written == static_cast<ssize_t>(size) && closed ? NoError : ErrIO;
}

File::~File()
{
    Close();
}

GSErrCode File::Open(OpenMode mode)
{
    static const char* const Modes[] = {"rb", "r+b", "r+b", "wb", "ab"};
    if (stream_ != nullptr)
        return ErrParam;
    stream_ = std::fopen(location_.ToNativePath().c_str(), Modes[mode]);
    return stream_ != nullptr ? NoError : ErrIO;
}

GSErrCode File::Close()
{
    if (stream_ == nullptr)
        return NoError;
    const int result = std::fclose(stream_);
    stream_ = nullptr;
    return result == 0 ? NoError : ErrIO;
}

GSErrCode File::GetDataLength(UInt64* length) const
{
    struct stat status {};
    if (length == nullptr || stat(location_.ToNativePath().c_str(), &status) != 0)
        return ErrIO;
    *length = static_cast<UInt64>(status.st_size);
    return NoError;
}

GSErrCode File::ReadBin(char* buffer, USize size, USize* read)
{
    if (stream_ == nullptr)
        return ErrParam;
    const std::size_t count = std::fread(buffer, 1, size, stream_);
    if (read != nullptr)
        *read = static_cast<USize>(count);
    return count == size || (read != nullptr && !std::ferror(stream_)) ? NoError : ErrIO;
}

GSErrCode File::WriteBin(const char* buffer, USize size, USize* written)
{
    if (stream_ == nullptr)
        return ErrParam;
    const std::size_t count = std::fwrite(buffer, 1, size, stream_);
    if (written != nullptr)
        *written = static_cast<USize>(count);
    return count == size && std::fflush(stream_) == 0 ? NoError : ErrIO;
}

}  // namespace IO

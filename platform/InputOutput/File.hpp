// IO::File: a file opened, read and written in the host's modes; closed again when the object goes.
#pragma once

#include "Location.hpp"

#include <cstdio>

namespace IO {

class File {
public:
    enum OnNotFound { Fail, Create };
    enum OpenMode { ReadMode, WriteMode, ReadWriteMode, WriteEmptyMode, AppendMode };

    explicit File(const Location& location, OnNotFound onNotFound = Fail);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Whether the file could be reached (and created, with Create) when the object was made.
    GSErrCode GetStatus() const { return status_; }

    // Adds the bytes at the end of the file, creating it when missing, in one open, write and close.
    static GSErrCode AppendTo(const Location& location, const char* buffer, USize size);
    GSErrCode Open(OpenMode mode);
    GSErrCode Close();
    GSErrCode GetDataLength(UInt64* length) const;
    GSErrCode ReadBin(char* buffer, USize size, USize* read = nullptr);
    GSErrCode WriteBin(const char* buffer, USize size, USize* written = nullptr);

private:
    Location location_;
    GSErrCode status_;
    std::FILE* stream_ = nullptr;
};

}  // namespace IO

// IO::Location and IO::Name: a file-system place as the host names it, built up one local name at a time.
#pragma once

#include "UniString.hpp"

#include <string>

namespace IO {

class Name {
public:
    Name() = default;
    Name(const GS::UniString& text) : text_(text) {}
    const GS::UniString& ToString() const { return text_; }

private:
    GS::UniString text_;
};

class Location {
public:
    Location() = default;
    explicit Location(const GS::UniString& path) : path_(path) {}

    bool IsEmpty() const { return path_.IsEmpty(); }
    GSErrCode AppendToLocal(const Name& name);
    GSErrCode DeleteLastLocalName();
    GSErrCode GetLastLocalName(Name* name) const;
    GSErrCode ToPath(GS::UniString* path) const;
    // The platform path as UTF-8, for the stand-ins that call the operating system.
    std::string ToNativePath() const { return path_.ToCStr(CC_UTF8).Get(); }

    bool operator==(const Location& other) const { return path_ == other.path_; }

private:
    GS::UniString path_;
};

}  // namespace IO

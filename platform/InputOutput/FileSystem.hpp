// IO::FileSystem: special folders, item types and folder creation, reached through IO::fileSystem.
#pragma once

#include "Location.hpp"

#include <map>
#include <mutex>

namespace IO {

class FileSystem {
public:
    using SpecialFolderId = Int32;
    enum ItemType { File = 1, Folder = 2, Link = 3, Other = 4 };

    // Error codes of the host's file layer.
    static constexpr GSErrCode TargetDoesNotExist = -7001;
    static constexpr GSErrCode AccessDenied = -7002;
    static constexpr GSErrCode NoSuchSpecialFolder = -7004;

    GSErrCode GetSpecialLocation(SpecialFolderId id, Location* location) const;
    // The item itself: a symbolic link answers Link, whatever it points to.
    GSErrCode GetItemType(const Location& location, ItemType* type) const;
    // The place a location ends up at once every symbolic link on its way is followed; TargetDoesNotExist
    // when a link points nowhere.
    GSErrCode ResolveLocation(const Location& source, Location* target) const;
    GSErrCode CreateFolder(const Location& location);
    bool Contains(const Location& location) const;
    // Removes a file or an empty folder.
    GSErrCode Delete(const Location& location);
    // Copies a file to a place where nothing is yet.
    GSErrCode Copy(const Location& source, const Location& target);

    // Host side: where each special folder lives on this machine.
    void SetSpecialLocation(SpecialFolderId id, const Location& location);

private:
    mutable std::mutex mutex_;
    std::map<SpecialFolderId, Location> specialLocations_;
};

extern FileSystem& fileSystem;

}  // namespace IO

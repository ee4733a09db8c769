// The add-on's trace: one UTF-8 line per event, ended by CR LF, in "/velmar/archicad/log.txt" of the user data folder.
#pragma once

#include "UniString.hpp"

#include <memory>

namespace Velmar::Services {

class logger {
public:
    static std::shared_ptr<logger> instance();

    // Raises the folder error of ResolveDataFile; a file that cannot be opened loses the line silently.
    void log(const GS::UniString& message);
};

}  // namespace Velmar::Services

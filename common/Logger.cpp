#include "Logger.hpp"

#include "DataFiles.hpp"
#include "File.hpp"
#include "ServiceSlot.hpp"

namespace Velmar::Services {

namespace {
ServiceSlot<logger> slot;
}

std::shared_ptr<logger> logger::instance()
{
    return slot.GetOrCreate();
}

void logger::log(const GS::UniString& message)
{
    const IO::Location location = ResolveDataFile(UserDataFolder, "/velmar/archicad/log.txt");
    IO::File file(location, IO::File::Create);
    if (file.Open(IO::File::AppendMode) != NoError)
        return;
    const std::string line = message.ToUtf8() + "\r\n";
    // The file is opened and closed per line so it can be read or removed while the host runs.
    file.WriteBin(line.data(), static_cast<USize>(line.size()));
}

}  // namespace Velmar::Services

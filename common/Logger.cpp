#include "Logger.hpp"

#include "Array.hpp"
#include "DataFiles.hpp"
#include "File.hpp"
#include "ServiceSlot.hpp"
#include "Utf8Text.hpp"

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
    static const char* const RelativePath = "/velmar/archicad/log.txt";
    const std::string line = Velmar::Utf8Of(message) + "\r\n";
    // Opened (and created when missing) and closed again for every line, so the file can be read or
    // removed while the host runs. The folders are only resolved (and made again) when the file cannot
    // be opened where it was: a line costs an open, a write and a close, as start-up logs a hundred.
    // A line that still cannot be written is lost: the log is the only place it could be reported.
    IO::Location location;
    if (IO::fileSystem.GetSpecialLocation(UserDataFolder, &location) != NoError)
        return;
    GS::Array<GS::UniString> parts;
    GS::UniString(RelativePath).Split("/", &parts);
    for (const auto& part : parts) {
        if (!part.IsEmpty())
            location.AppendToLocal(IO::Name(part));
    }
    if (IO::File::AppendTo(location, line.data(), static_cast<USize>(line.size())) == NoError)
        return;
    IO::File::AppendTo(ResolveDataFile(UserDataFolder, RelativePath), line.data(), static_cast<USize>(line.size()));
}

}  // namespace Velmar::Services

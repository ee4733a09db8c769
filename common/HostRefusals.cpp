#include "HostRefusals.hpp"

#include "ACAPinc.hpp"
#include "GSDebug.hpp"
#include "GSException.hpp"
#include "Logger.hpp"
#include "Utf8Text.hpp"

#include <exception>
#include <string>

namespace Velmar {

void LogHostRefusals(const GS::UniString& where) noexcept
{
    try {
        for (const Host::Refusal& refusal : Host::TakeRefusals()) {
            const std::string times = refusal.count == 1 ? "once" : std::to_string(refusal.count) + " times";
            const std::string line = ": the host refused " + std::string(refusal.operation) + " (" +
                                     std::to_string(refusal.error) + "), " + times;
            Services::logger::instance()->log(where + UniStringOfUtf8(line));
        }
    } catch (const GS::Exception& exception) {
        DBPrintf("Velmar: the host's refusals were not logged: %s\n", Utf8Of(exception.GetMessage()).c_str());
    } catch (const std::exception& exception) {
        DBPrintf("Velmar: the host's refusals were not logged: %s\n", exception.what());
    }
}

}  // namespace Velmar

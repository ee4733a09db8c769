// Where the host calls into the add-on: an exception must not cross back into the host, so it is
// reported to the host's debug output and the call answers APIERR_GENERAL.
#pragma once

#include "APIdefs.h"
#include "GSDebug.hpp"
#include "GSException.hpp"

#include <exception>

namespace Velmar::AddOn {

template <typename Body>
GSErrCode AtHostBoundary(const char* where, Body&& body) noexcept
{
    try {
        return body();
    } catch (const GS::Exception& exception) {
        DBPrintf("Velmar: %s failed: %s (%d)\n", where, exception.GetMessage().ToCStr().Get(),
                 exception.GetErrorCode());
    } catch (const std::exception& exception) {
        DBPrintf("Velmar: %s failed: %s\n", where, exception.what());
    }
    return APIERR_GENERAL;
}

}  // namespace Velmar::AddOn

// Where the host calls into the add-on: an exception must not cross back into the host, so it is
// reported (to the host's debug output, or to the user) and the call answers APIERR_GENERAL.
#pragma once

#include "ACAPinc.hpp"
#include "APIdefs.h"
#include "GSDebug.hpp"
#include "GSException.hpp"
#include "HostRefusals.hpp"
#include "HostReport.hpp"
#include "Logger.hpp"
#include "Utf8Text.hpp"

#include <exception>

namespace Velmar::AddOn {

template <typename Body>
GSErrCode AtHostBoundary(const char* where, Body&& body) noexcept
{
    const HostRefusalsLogged refusals(where);
    try {
        return body();
    } catch (const GS::Exception& exception) {
        DBPrintf("Velmar: %s failed: %s (%d)\n", where, Utf8Of(exception.GetMessage()).c_str(), exception.GetID());
    } catch (const std::exception& exception) {
        DBPrintf("Velmar: %s failed: %s\n", where, exception.what());
    }
    return APIERR_GENERAL;
}

// As AtHostBoundary for work the user asked for or caused (a placed wall, a menu command): the failure is
// also a line of the add-on's log, "<what> failed: <reason>", where the user's support finds it.
template <typename Body>
GSErrCode LoggedAtHostBoundary(const char* what, Body&& body) noexcept
{
    const HostRefusalsLogged refusals(what);
    GS::UniString reason;
    try {
        return body();
    } catch (const GS::Exception& exception) {
        reason = exception.GetMessage();
    } catch (const std::exception& exception) {
        reason = GS::UniString(exception.what());
    }
    DBPrintf("Velmar: %s failed: %s\n", what, Utf8Of(reason).c_str());
    try {
        Services::logger::instance()->log(GS::UniString(what) + " failed: " + reason);
    } catch (const GS::Exception& exception) {
        DBPrintf("Velmar: the log was not written: %s\n", Utf8Of(exception.GetMessage()).c_str());
    } catch (const std::exception& exception) {
        DBPrintf("Velmar: the log was not written: %s\n", exception.what());
    }
    return APIERR_GENERAL;
}

// Where the host runs what the user asked for (a product picked on the selector page): a failure is the
// user's to see, in one report made as the bridge makes one ("failed\n" and the message, with the alert).
template <typename Body>
GSErrCode ReportedAtHostBoundary(const char* where, Body&& body) noexcept
{
    const HostRefusalsLogged refusals(where);
    GS::UniString message;
    try {
        return body();
    } catch (const GS::Exception& exception) {
        message = exception.GetMessage();
    } catch (const std::exception& exception) {
        message = GS::UniString(exception.what());
    }
    DBPrintf("Velmar: %s failed: %s\n", where, Utf8Of(message).c_str());
    // The report's text is read in the system's code page, as the kit's printf-style format reads "%s".
    ACAPI_WriteReport(FailureReportFormat, true, message.ToCStr().Get());
    return APIERR_GENERAL;
}

}  // namespace Velmar::AddOn

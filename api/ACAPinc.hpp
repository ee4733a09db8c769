// The add-on's calling layer over the host: one free function per host operation, under the
// development kit's names, each calling through the table the host handed over at load time.
#pragma once

#include "APIHostTable.h"

#define VELMAR_DECLARE_HOST_OPERATION(name, ret, params, args) ret name params;
API_HOST_OPERATIONS(VELMAR_DECLARE_HOST_OPERATION)
#undef VELMAR_DECLARE_HOST_OPERATION

// Writes the report made from the printf-style format and its arguments; an alert shows it too when withDial.
void ACAPI_WriteReport(const GS::UniString& format, bool withDial, ...);

namespace Velmar::Host {
// Keeps the host's table; called once by SetImportedFuncAddrs.
void SetHostFunctions(const API_HostFunctions* functions);
bool HasHostFunctions();
}  // namespace Velmar::Host

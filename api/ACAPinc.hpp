// The add-on's calling layer over the host: one free function per host operation, under the
// development kit's names, each calling through the table the host handed over at load time.
#pragma once

#include "APIHostTable.h"

#include <vector>

#define VELMAR_DECLARE_HOST_OPERATION(name, ret, params, args) ret name params;
API_HOST_OPERATIONS(VELMAR_DECLARE_HOST_OPERATION)
#undef VELMAR_DECLARE_HOST_OPERATION

// Writes the report made from the printf-style format and its arguments; an alert shows it too when withDial.
void ACAPI_WriteReport(const GS::UniString& format, bool withDial, ...);

namespace Velmar::Host {
// Keeps the host's table; called once by SetImportedFuncAddrs.
void SetHostFunctions(const API_HostFunctions* functions);
bool HasHostFunctions();

// A kind of error a host operation answered, other than the answers that only say "there is none" or
// "cancelled", and how often it was answered.
struct Refusal {
    const char* operation;
    GSErrCode error;
    int count;
};
// What the host refused since the last take, in the order first met; the one place every refusal passes,
// so that it reaches the add-on's own log even where the caller has an honest fallback.
std::vector<Refusal> TakeRefusals();
}  // namespace Velmar::Host

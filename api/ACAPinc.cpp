#include "ACAPinc.hpp"

namespace {
API_HostFunctions hostFunctions;
bool hostFunctionsSet = false;

// A table row the host left empty answers as an unsupported call instead of jumping to null.
template <typename Ret>
Ret Unsupported()
{
    if constexpr (std::is_same_v<Ret, GSErrCode>)
        return APIERR_NOTSUPPORTED;
    else if constexpr (!std::is_void_v<Ret>)
        return Ret{};
}
}  // namespace

namespace Velmar::Host {
void SetHostFunctions(const API_HostFunctions* functions)
{
    hostFunctions = functions != nullptr ? *functions : API_HostFunctions{};
    hostFunctionsSet = functions != nullptr;
}

bool HasHostFunctions()
{
    return hostFunctionsSet;
}
}  // namespace Velmar::Host

#define VELMAR_DEFINE_HOST_OPERATION(name, ret, params, args)                                                          \
    ret name params                                                                                                    \
    {                                                                                                                  \
        if (hostFunctions.name == nullptr)                                                                             \
            return Unsupported<ret>();                                                                                 \
        return hostFunctions.name args;                                                                                \
    }
API_HOST_OPERATIONS(VELMAR_DEFINE_HOST_OPERATION)
#undef VELMAR_DEFINE_HOST_OPERATION

void ACAPI_WriteReport(const GS::UniString& format, bool withDial, ...)
{
    if (hostFunctions.ACAPI_WriteReport == nullptr)
        return;
    std::va_list arguments;
    // The kit declares the function with a bool before "...", which the language leaves undefined for
    // va_start; every ABI the kit ships for passes it in a full slot, so reading on from it is what the
    // kit's own implementation does. Clang says so; GCC does not.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif
    va_start(arguments, withDial);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
    hostFunctions.ACAPI_WriteReport(format, withDial, arguments);
    va_end(arguments);
}

#include "ACAPinc.hpp"

#include <cstring>
#include <mutex>
#include <string_view>
#include <type_traits>
#include <utility>

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

// Answers that are the normal outcome of asking, not a refusal.
struct Answer {
    const char* operation;
    GSErrCode error;
};
constexpr Answer NormalAnswers[] = {
    {"ACAPI_ProcessWindow_IsProcessCanceled", APIERR_CANCEL},
    {"ACAPI_CallUndoableCommand", APIERR_UNDOEMPTY},
    {"ACAPI_CallUndoableCommand", APIERR_CANCEL},
    {"ACAPI_ModulData_Get", APIERR_NOMODULEDATA},
    {"ACAPI_ModulData_GetInfo", APIERR_NOMODULEDATA},
    {"ACAPI_Element_GetUserData", APIERR_NOUSERDATA},
    {"ACAPI_UserData_GetUserData", APIERR_NOUSERDATA},
    {"ACAPI_Attribute_Search", APIERR_BADNAME},
};

std::mutex refusalsMutex;
std::vector<Velmar::Host::Refusal> refusals;

GSErrCode Noted(const char* operation, GSErrCode error)
{
    if (error == NoError)
        return error;
    for (const Answer& answer : NormalAnswers) {
        if (answer.error == error && std::strcmp(answer.operation, operation) == 0)
            return error;
    }
    const std::lock_guard<std::mutex> lock(refusalsMutex);
    for (Velmar::Host::Refusal& refusal : refusals) {
        if (refusal.error == error && std::strcmp(refusal.operation, operation) == 0) {
            ++refusal.count;
            return error;
        }
    }
    refusals.push_back({operation, error, 1});
    return error;
}

// GSResModule is the same type as GSErrCode, so the table's own spelling of the type tells them apart.
template <typename Ret, bool IsErrorCode, typename Call>
Ret Called(const char* operation, Call&& call)
{
    if constexpr (IsErrorCode)
        return Noted(operation, call());
    else
        return call();
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

std::vector<Refusal> TakeRefusals()
{
    const std::lock_guard<std::mutex> lock(refusalsMutex);
    return std::exchange(refusals, {});
}
}  // namespace Velmar::Host

#define VELMAR_DEFINE_HOST_OPERATION(name, ret, params, args)                                                          \
    ret name params                                                                                                    \
    {                                                                                                                  \
        constexpr bool isErrorCode = std::string_view(#ret) == "GSErrCode";                                            \
        if (hostFunctions.name == nullptr)                                                                             \
            return Called<ret, isErrorCode>(#name, [] { return Unsupported<ret>(); });                                 \
        return Called<ret, isErrorCode>(#name, [&] { return hostFunctions.name args; });                               \
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

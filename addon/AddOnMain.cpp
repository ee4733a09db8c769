// The add-on's entry file: hands the host its entry points and keeps the host's table of operations.
#include "ACAPinc.hpp"
#include "HostBoundary.hpp"
#include "Startup.hpp"

#define VELMAR_EXPORT extern "C" __attribute__((visibility("default")))

VELMAR_EXPORT GSErrCode GetExportedFuncAddrs(API_ExportedFunctions* exported)
{
    if (exported == nullptr)
        return APIERR_BADPARS;
    using Velmar::AddOn::AtHostBoundary;
    exported->CheckEnvironment = [](API_EnvirParams* envirParams) {
        API_AddonType type = APIAddon_DontRegister;
        AtHostBoundary("CheckEnvironment", [&] {
            type = Velmar::AddOn::CheckEnvironment(envirParams);
            return NoError;
        });
        return type;
    };
    exported->RegisterInterface = [] { return AtHostBoundary("RegisterInterface", Velmar::AddOn::RegisterInterface); };
    exported->Initialize = [] { return AtHostBoundary("Initialize", Velmar::AddOn::Initialize); };
    exported->FreeData = [] { return AtHostBoundary("FreeData", Velmar::AddOn::FreeData); };
    return NoError;
}

VELMAR_EXPORT GSErrCode SetImportedFuncAddrs(const API_HostFunctions* imported)
{
    if (imported == nullptr)
        return APIERR_BADPARS;
    Velmar::Host::SetHostFunctions(imported);
    return NoError;
}

// The add-on's entry file: hands the host its entry points and keeps the host's table of operations.
#include "ACAPinc.hpp"
#include "Startup.hpp"

#define VELMAR_EXPORT extern "C" __attribute__((visibility("default")))

VELMAR_EXPORT GSErrCode GetExportedFuncAddrs(API_ExportedFunctions* exported)
{
    if (exported == nullptr)
        return APIERR_BADPARS;
    exported->CheckEnvironment = Velmar::AddOn::CheckEnvironment;
    exported->RegisterInterface = Velmar::AddOn::RegisterInterface;
    exported->Initialize = Velmar::AddOn::Initialize;
    exported->FreeData = Velmar::AddOn::FreeData;
    return NoError;
}

VELMAR_EXPORT GSErrCode SetImportedFuncAddrs(const API_HostFunctions* imported)
{
    if (imported == nullptr)
        return APIERR_BADPARS;
    Velmar::Host::SetHostFunctions(imported);
    return NoError;
}

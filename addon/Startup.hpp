// What the add-on does when the host loads it: identification, registration of menus and the DS01
// command, and start-up (handlers, LOD levels, menu texts, browser windows).
#pragma once

#include "APIHostTable.h"

#include <optional>

namespace Velmar::AddOn {

constexpr GSType SelectedSystemCommand = MakeGSType("DS01");
constexpr Int32 SelectedSystemCommandVersion = 1;
// The add-on's own identifier, as its 'MDID' resource 32500 gives it: the kit offers no call that answers it, so
// the add-on that calls its own command names itself.
constexpr API_ModulID OwnModulID = {1449946482, 1094992974};
constexpr Int32 HostMajorVersion = 28;

struct ConfigurationFileNames {
    const char* databaseSettings;
    const char* propertyMapping;
};
// The pair of configuration files of a host major version (23 to 28); none for other versions.
std::optional<ConfigurationFileNames> ConfigurationFilesFor(Int32 hostMajorVersion);

API_AddonType CheckEnvironment(API_EnvirParams* envirParams);
GSErrCode RegisterInterface();
GSErrCode Initialize();
GSErrCode FreeData();

// Maps the configured language to State's LanguageIndex and sets item 1 of the translated menus.
void TranslateMenus();

}  // namespace Velmar::AddOn

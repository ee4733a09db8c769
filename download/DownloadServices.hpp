// The services of the active country's downloads, made anew whenever the configuration applies a country.
#pragma once

#include "DatabaseSettingsFile.hpp"

namespace Velmar::Services {

// Replaces the platform client and the download manager by those of `country`.
void StartDownloadServices(const Cnf::DatabaseSettings& country, Int32 languageIndex);

}  // namespace Velmar::Services

// The configuration service's settings as the settings page receives them. Its own translation unit: the
// module's JSON records keep RapidJSON in a namespace of their own, which the workbench's headers, built
// on plain RapidJSON, cannot share a file with.
#include "SettingsText.hpp"

#include "ConfigurationService.hpp"
#include "Record.hpp"

GS::UniString SettingsText()
{
    const auto configuration = Velmar::Services::ConfigurationService::Get();
    return Velmar::Json::RecordListToText(configuration->GetSettingsFile().databaseSettings.Items());
}

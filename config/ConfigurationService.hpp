// Velmar::Services::ConfigurationService: owns the database-settings and property-mapping files of the
// running host version and turns the chosen country and language into working settings.
#pragma once

#include "UniString.hpp"

#include <memory>
#include <optional>

namespace Velmar::Services {

class ConfigurationService {
public:
    ConfigurationService(const GS::UniString& settingsPath, const GS::UniString& mappingPath);

    const GS::UniString& GetSettingsPath() const { return settingsPath_; }
    const GS::UniString& GetMappingPath() const { return mappingPath_; }
    // "defaultLanguage" of the settings file; absent until a file names one.
    std::optional<GS::UniString> GetLanguageCode() const { return languageCode_; }

    // The module's service, made by RegisterInterface and replaced when it runs again.
    static std::shared_ptr<ConfigurationService> Get();
    static void Replace(std::shared_ptr<ConfigurationService> service);

private:
    GS::UniString settingsPath_;
    GS::UniString mappingPath_;
    std::optional<GS::UniString> languageCode_;
};

}  // namespace Velmar::Services

// Velmar::Services::ConfigurationService: owns the database-settings and property-mapping files of the
// running host version and turns the chosen country and language into working settings.
#pragma once

#include "DatabaseSettingsFile.hpp"
#include "MappingFile.hpp"

#include <functional>
#include <memory>
#include <optional>

namespace Velmar::Services {

class ConfigurationService {
public:
    // Makes the services that depend on a country (the platform client and download service); they sit in
    // a layer above this one, so whoever makes the service says how.
    using CountryServices = std::function<void(const Cnf::DatabaseSettings& country, Int32 languageIndex)>;

    // Loads both files (refreshing the user copies from the installation's) and applies them.
    ConfigurationService(const GS::UniString& settingsPath, const GS::UniString& mappingPath,
                         CountryServices startCountryServices);

    // Derives the working settings from the active country and language: language index, mapping, the
    // country's services, selector address and the Neutral option. An unknown country leaves all but the
    // language index and the mapping as they were.
    void Apply();
    // Makes both codes the file's defaults, rewrites the user copy and applies the new choice.
    void SetCountryAndLanguage(const GS::UniString& countryCode, const GS::UniString& languageCode);
    // Whether the country named exactly by "defaultCountry" offers the brand-less option.
    bool IsBrandLessEnabled() const;

    std::optional<GS::UniString> GetLanguageCode() const { return settingsFile_.defaultLanguage.Optional(); }
    std::optional<GS::UniString> GetCountryCode() const { return settingsFile_.defaultCountry.Optional(); }
    const Cnf::VelmarDatabaseSettingsFile& GetSettingsFile() const { return settingsFile_; }
    const Cnf::VelmarMappingFile& GetMappingFile() const { return mappingFile_; }

    // The module's service, made by RegisterInterface and replaced when it runs again.
    static std::shared_ptr<ConfigurationService> Get();
    static void Replace(std::shared_ptr<ConfigurationService> service);
    // The mapping of the last application, read by the property and classification writers.
    static std::shared_ptr<const Cnf::VelmarMappingFile> ActiveMapping();

private:
    GS::UniString settingsPath_;
    GS::UniString mappingPath_;
    CountryServices startCountryServices_;
    Cnf::VelmarDatabaseSettingsFile settingsFile_;
    Cnf::VelmarMappingFile mappingFile_;
};

}  // namespace Velmar::Services

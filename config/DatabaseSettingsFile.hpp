// The database settings file: the countries the add-on serves, their platform addresses and languages,
// and the country and language chosen last. Reading logs each step, as the trace shows configuration loading.
#pragma once

#include "FileSystem.hpp"
#include "Record.hpp"

#include <memory>

namespace Velmar::Cnf {

class Language : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> selectorUrl{"selectorUrl"};
    Json::ValueProperty<GS::UniString> code{"code"};
    Json::ValueProperty<GS::UniString> label{"label"};
    Json::ValueProperty<GS::UniString> helpUrl{"helpUrl"};

    void ReadFrom(const Json::rj::Value& object) override;
    VELMAR_JSON_WRITE_MEMBERS(selectorUrl, code, label, helpUrl)
};

class DatabaseSettings : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> countryLabel{"countryLabel"};
    Json::ValueProperty<GS::UniString> countryCode{"countryCode"};
    Json::ValueProperty<GS::UniString> tokenUrl{"tokenUrl"};
    Json::ValueProperty<GS::UniString> corvanaUrl{"corvanaUrl"};
    Json::ValueProperty<bool> enableOptionBrandLess{"enableOptionBrandLess"};
    Json::ArrayProperty<Language> languages{"languages"};

    void ReadFrom(const Json::rj::Value& object) override;
    VELMAR_JSON_WRITE_MEMBERS(countryLabel, countryCode, tokenUrl, corvanaUrl, enableOptionBrandLess, languages)
};

class VelmarDatabaseSettingsFile : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> version{"version"};
    Json::ArrayProperty<DatabaseSettings> databaseSettings{"databaseSettings"};
    Json::ValueProperty<GS::UniString> defaultCountry{"defaultCountry"};
    Json::ValueProperty<GS::UniString> defaultLanguage{"defaultLanguage"};

    void ReadFrom(const Json::rj::Value& object) override;
    VELMAR_JSON_WRITE_MEMBERS(version, databaseSettings, defaultCountry, defaultLanguage)
};

// The file in one data folder (5 user, 10 shared); empty when missing, empty or not a JSON object.
std::shared_ptr<VelmarDatabaseSettingsFile> ReadSettingsFile(IO::FileSystem::SpecialFolderId folder,
                                                             const GS::UniString& relativePath);
// The user copy, refreshed from the shared copy when the user has none or its version differs.
std::shared_ptr<VelmarDatabaseSettingsFile> LoadSettingsFile(const GS::UniString& relativePath);
// Replaces the user copy with the record, every absent member written as null.
void WriteSettingsFile(const GS::UniString& relativePath, const VelmarDatabaseSettingsFile& settingsFile);

}  // namespace Velmar::Cnf

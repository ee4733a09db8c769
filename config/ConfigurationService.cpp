#include "ConfigurationService.hpp"

#include "LanguageIndex.hpp"
#include "Logger.hpp"
#include "ServiceSlot.hpp"
#include "State.hpp"

namespace Velmar::Services {

namespace {
ServiceSlot<ConfigurationService> slot;
ServiceSlot<const Cnf::VelmarMappingFile> activeMapping;

template <typename Record>
const Record* FindFirst(const GS::Array<Record>& records, const Json::ValueProperty<GS::UniString> Record::*key,
                        const std::optional<GS::UniString>& wanted)
{
    for (const Record& record : records) {
        const auto& value = record.*key;
        if (value.HasValue() && value.Get().IsEqual(wanted.value_or(GS::UniString()), GS::CaseInsensitive))
            return &record;
    }
    return nullptr;
}
}  // namespace

ConfigurationService::ConfigurationService(const GS::UniString& settingsPath, const GS::UniString& mappingPath,
                                           CountryServices startCountryServices)
    : settingsPath_(settingsPath), mappingPath_(mappingPath), startCountryServices_(std::move(startCountryServices))
{
    if (const auto settings = Cnf::LoadSettingsFile(settingsPath_))
        settingsFile_ = *settings;
    mappingFile_ = Cnf::LoadMappingFile(mappingPath_);
    Apply();
}

void ConfigurationService::Apply()
{
    const auto state = App::State::instance();
    const Int32 languageIndex = App::LanguageIndexOf(GetLanguageCode().value_or(GS::UniString()));
    state->languageIndex = languageIndex;
    activeMapping.Replace(std::make_shared<const Cnf::VelmarMappingFile>(mappingFile_));

    const Cnf::DatabaseSettings* country =
        FindFirst(settingsFile_.databaseSettings.Items(), &Cnf::DatabaseSettings::countryCode, GetCountryCode());
    if (country == nullptr)
        return;
    if (startCountryServices_)
        startCountryServices_(*country, languageIndex);
    if (const auto* language = FindFirst(country->languages.Items(), &Cnf::Language::code, GetLanguageCode()))
        state->selectorUrl = language->selectorUrl.ValueOr(GS::UniString());
    state->SetBrandLessEnabled(IsBrandLessEnabled());
}

void ConfigurationService::SetCountryAndLanguage(const GS::UniString& countryCode, const GS::UniString& languageCode)
{
    settingsFile_.defaultCountry.Set(countryCode);
    settingsFile_.defaultLanguage.Set(languageCode);
    try {
        Cnf::WriteSettingsFile(settingsPath_, settingsFile_);
    } catch (const GS::Exception& exception) {
        // The choice still holds for this session; only the file keeps the old one.
        logger::instance()->log(GS::UniString("could not store the settings: ") + exception.GetMessage());
    }
    Apply();
}

bool ConfigurationService::IsBrandLessEnabled() const
{
    for (const auto& country : settingsFile_.databaseSettings.Items()) {
        if (country.countryCode.HasValue() && GetCountryCode() && country.countryCode.Get() == *GetCountryCode())
            return country.enableOptionBrandLess.ValueOr(false);
    }
    return false;
}

std::shared_ptr<ConfigurationService> ConfigurationService::Get()
{
    return slot.Get();
}

void ConfigurationService::Replace(std::shared_ptr<ConfigurationService> service)
{
    slot.Replace(std::move(service));
}

std::shared_ptr<const Cnf::VelmarMappingFile> ConfigurationService::ActiveMapping()
{
    return activeMapping.Get();
}

}  // namespace Velmar::Services

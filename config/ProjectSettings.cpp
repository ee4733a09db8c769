#include "ProjectSettings.hpp"

#include "ACAPinc.hpp"
#include "ConfigurationService.hpp"
#include "GSDebug.hpp"
#include "HandleOwner.hpp"
#include "LodProvider.hpp"
#include "MenuMarks.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"

#include <cstring>

namespace Velmar::App {

GSErrCode LoadProjectSettings()
{
    // A project the add-on never saved settings in has none: the defaults stay.
    API_ModulData info = {};
    if (const GSErrCode err = ACAPI_ModulData_GetInfo(&info, ProjectSettingsEntry); err != NoError)
        return err == APIERR_NOMODULEDATA ? NoError : err;
    if (info.dataVersion != ProjectDataVersion) {
        DBPrintf("Velmar: the project settings have version %d, not %d; they are not read\n",
                 static_cast<int>(info.dataVersion), static_cast<int>(ProjectDataVersion));
        return NoError;
    }
    API_ModulData entry = {};
    if (const GSErrCode err = ACAPI_ModulData_Get(&entry, ProjectSettingsEntry); err != NoError)
        return err;
    Velmar::HandleOwner data(entry.dataHdl);

    const Int32 size = BMGetHandleSize(data.Get());
    const std::string text =
        size > 0 ? std::string(*data.Get(), strnlen(*data.Get(), static_cast<std::size_t>(size))) : std::string();
    const auto stored = Json::ParseRecord<StoredProjectState>(text);

    const auto provider = Lod::LodProvider::instance();
    if (const auto index = stored.lod.HasValue() ? provider->FindByValue(stored.lod.Get()) : std::nullopt)
        provider->SetActive(provider->GetLevels()[*index]);
    if (const auto configuration = Services::ConfigurationService::Get())
        configuration->SetCountryAndLanguage(stored.db.ValueOr(GS::UniString()),
                                             stored.language.ValueOr(GS::UniString()));
    const auto state = State::instance();
    state->classificationMappings = stored.classificationMapping.Items();
    state->SetNeutral(stored.neutral.ValueOr(false));
    return NoError;
}

void LoadProjectSettingsAndMarkLod()
{
    if (const GSErrCode err = LoadProjectSettings(); err != NoError) {
        DBPrintf("Velmar: the project settings were not read (%d)\n", err);
        return;
    }
    if (const auto active = Lod::LodProvider::instance()->GetActive())
        Menus::CheckOnlyLodItem(active->value / 100);
}

GSErrCode SaveProjectSettings()
{
    StoredProjectState stored;
    if (const auto configuration = Services::ConfigurationService::Get()) {
        stored.db.Set(configuration->GetCountryCode().value_or(GS::UniString()));
        stored.language.Set(configuration->GetLanguageCode().value_or(GS::UniString()));
    }
    if (const auto active = Lod::LodProvider::instance()->GetActive())
        stored.lod.Set(active->value);
    const auto state = State::instance();
    stored.neutral.Set(state->IsNeutral());
    stored.classificationMapping.Items() = state->classificationMappings;

    const std::string text = Velmar::Utf8Of(Json::RecordToText(stored));
    // The text is stored with its terminating zero, as readers take it as a zero-terminated string.
    Velmar::HandleOwner data(BMAllocateHandle(static_cast<Int32>(text.size() + 1), 0, 0));
    if (data.Get() == nullptr)
        return APIERR_MEMFULL;
    std::memcpy(*data.Get(), text.c_str(), text.size() + 1);
    API_ModulData entry = {};
    entry.dataVersion = ProjectDataVersion;
    entry.platformSign = ProjectPlatformSign;
    entry.dataHdl = data.Get();
    return Velmar::StoreModuleData(entry, ProjectSettingsEntry);
}

}  // namespace Velmar::App

#include "ProjectStoreService.hpp"

#include "ACAPinc.hpp"
#include "BM.hpp"
#include "GSDebug.hpp"
#include "HandleOwner.hpp"
#include "RapidJson.hpp"
#include "ServiceSlot.hpp"
#include "State.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"

#include <cstring>
#include <exception>
#include <optional>
#include <string_view>

namespace Velmar::Services::ProjectStore {

namespace {

ServiceSlot<ProjectStoreService> slot;

// The entry's bytes up to the terminating zero; an entry without data gives none.
std::optional<std::string> EntryText(GSHandle data)
{
    const Int32 size = data != nullptr ? BMGetHandleSize(data) : 0;
    if (size <= 0)
        return std::nullopt;
    return std::string(*data, strnlen(*data, static_cast<std::size_t>(size)));
}

// The system in a stored text: the root object's first member. None when the text is not such an object;
// a number that does not convert raises the standard conversion error.
std::optional<Bo::System> ParseSystem(const std::string& text)
{
    Json::rj::Document document;
    if (!Json::ParseDocument(text.data(), text.size(), document) || !document.IsObject() || document.MemberCount() == 0)
        return std::nullopt;
    Corvana::CVSystem source;
    source.ReadFrom(document.MemberBegin()->value);
    source.rawText = text;
    return Bo::System(source, App::State::instance()->languageIndex);
}

void ReportUnreadable(const GS::Guid& guid, const char* reason)
{
    DBPrintf("Velmar: the stored system %s was not read: %s\n", Velmar::Utf8Of(guid.ToUniString()).c_str(), reason);
}

// Runs `read`, turning the errors a stored text can raise into a debug line and no system.
template <typename Read>
std::optional<Bo::System> ReadReporting(const GS::Guid& guid, Read&& read)
{
    try {
        return read();
    } catch (const std::exception& error) {
        ReportUnreadable(guid, error.what());
    } catch (const GS::Exception& error) {
        ReportUnreadable(guid, Velmar::Utf8Of(error.GetMessage()).c_str());
    }
    return std::nullopt;
}

}  // namespace

std::shared_ptr<ProjectStoreService> ProjectStoreService::instance()
{
    return slot.GetOrCreate([] {
        auto service = std::make_shared<ProjectStoreService>();
        service->Reload();
        return service;
    });
}

std::shared_ptr<ProjectStoreService> ProjectStoreService::Existing()
{
    return slot.Get();
}

void ProjectStoreService::Reload()
{
    systemTexts_.clear();
    textAt_.clear();
    GS::Array<GS::UniString> names;
    if (const GSErrCode err = ACAPI_ModulData_GetList(&names); err != NoError) {
        DBPrintf("Velmar: the project's module data were not listed (%d)\n", err);
        return;
    }
    for (const auto& name : names) {
        // The settings entry and anything else not named by a GUID is not a stored system.
        GS::Guid guid;
        if (guid.ConvertFromString(Velmar::Utf8Of(name).c_str()) != NoError || guid.IsNull())
            continue;
        API_ModulData entry = {};
        if (const GSErrCode err = ACAPI_ModulData_Get(&entry, name); err != NoError) {
            DBPrintf("Velmar: the stored system %s was not read (%d)\n", Velmar::Utf8Of(name).c_str(), err);
            continue;
        }
        const Velmar::HandleOwner data(entry.dataHdl);
        if (auto text = EntryText(data.Get()); text && textAt_.emplace(guid, systemTexts_.size()).second)
            systemTexts_.emplace_back(guid, std::move(*text));
    }
}

Bo::CompositeTag ProjectStoreService::StoreSystem(const Bo::System& system, Int32 lod)
{
    Bo::CompositeTag tag;
    if (const GSErrCode err = tag.storedSystemId.Generate(); err != NoError)
        throw GS::GeneralException(
            GS::UniString(("no id could be made for the stored system (" + std::to_string(err) + ")").c_str()),
            __FILE__, __LINE__);
    tag.systemName = system.name.ToCStr().Get();
    if (const auto& stamp = system.timeStamp)
        tag.timeStamp = {(*stamp)[0], (*stamp)[1], (*stamp)[3], (*stamp)[4], (*stamp)[5], (*stamp)[6]};
    tag.lod = lod;
    if (const GSErrCode err = Keep(tag.storedSystemId, system.rawText); err != NoError)
        throw GS::GeneralException(
            GS::UniString("the system ") + system.name +
            GS::UniString((" could not be stored in the project (" + std::to_string(err) + ")").c_str()));
    return tag;
}

std::shared_ptr<Bo::System> ProjectStoreService::GetSystem(const GS::Guid& guid)
{
    if (systemTexts_.empty())
        Reload();
    const std::string* text = TextOf(guid);
    if (text == nullptr)
        return nullptr;
    auto system = ReadReporting(guid, [text] { return ParseSystem(*text); });
    return system ? std::make_shared<Bo::System>(std::move(*system)) : nullptr;
}

const std::string* ProjectStoreService::TextOf(const GS::Guid& guid) const
{
    const auto found = textAt_.find(guid);
    return found != textAt_.end() ? &systemTexts_[found->second].second : nullptr;
}

std::vector<std::pair<Bo::System, GS::Guid>> ProjectStoreService::GetAllSystems()
{
    std::vector<std::pair<Bo::System, GS::Guid>> systems;
    // A structured binding cannot be captured by a lambda in C++17, so the pair is named as a whole.
    for (const auto& entry : systemTexts_) {
        if (auto system = ReadReporting(entry.first, [&entry] { return ParseSystem(entry.second); }))
            systems.emplace_back(std::move(*system), entry.first);
    }
    return systems;
}

GSErrCode ProjectStoreService::Store(const GS::Guid& guid)
{
    const std::string* text = TextOf(guid);
    if (text == nullptr)
        return NoError;
    // Stored with its terminating zero, as readers take the entry as a zero-terminated text.
    Velmar::HandleOwner data(BMAllocateHandle(static_cast<Int32>(text->size() + 1), 0, 0));
    if (data.Get() == nullptr)
        return APIERR_MEMFULL;
    std::memcpy(*data.Get(), text->c_str(), text->size() + 1);
    API_ModulData entry = {};
    entry.dataVersion = DataVersion;
    entry.platformSign = PlatformSign;
    entry.dataHdl = data.Get();
    return StoreModuleData(entry, guid.ToUniString());
}

GSErrCode ProjectStoreService::ReplaceText(const GS::Guid& guid, const std::string& text)
{
    if (textAt_.find(guid) == textAt_.end())
        return APIERR_BADID;
    return Keep(guid, text);
}

GSErrCode ProjectStoreService::Keep(const GS::Guid& guid, const std::string& text)
{
    const auto found = textAt_.find(guid);
    std::optional<std::string> before;
    if (found != textAt_.end()) {
        before = std::move(systemTexts_[found->second].second);
        systemTexts_[found->second].second = text;
    } else {
        textAt_.emplace(guid, systemTexts_.size());
        systemTexts_.emplace_back(guid, text);
    }
    // What this session keeps in memory follows the project's entry: refused, or put back by a failed step.
    auto putBack = [this, guid, before = std::move(before)]() mutable {
        if (const auto kept = textAt_.find(guid); before && kept != textAt_.end())
            systemTexts_[kept->second].second = std::move(*before);
        else if (!before)
            Forget(guid);
        return NoError;
    };
    const GSErrCode err = Store(guid);
    if (err != NoError)
        putBack();
    else
        PutBackIfStepFails("the stored system " + Velmar::Utf8Of(guid.ToUniString()), std::move(putBack));
    return err;
}

void ProjectStoreService::Forget(const GS::Guid& guid)
{
    const auto found = textAt_.find(guid);
    if (found == textAt_.end())
        return;
    const std::size_t at = found->second;
    textAt_.erase(found);
    systemTexts_.erase(systemTexts_.begin() + static_cast<std::ptrdiff_t>(at));
    for (auto& entry : textAt_) {
        if (entry.second > at)
            --entry.second;
    }
}

}  // namespace Velmar::Services::ProjectStore

#include "CompositeUpdate.hpp"

#include "ACAPinc.hpp"
#include "CompositeTag.hpp"
#include "CompositionService.hpp"
#include "DownloadManager.hpp"
#include "GSDebug.hpp"
#include "GSException.hpp"
#include "LanguageIndex.hpp"
#include "LodProvider.hpp"
#include "Logger.hpp"
#include "MenuIds.hpp"
#include "ProcessWindow.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyProvider.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"
#include "WallsAndSlabs.hpp"

namespace Velmar::Services::Update {

bool SameVersion(const Bo::System& stored, const Bo::System& fresh)
{
    return stored.timeStamp && fresh.timeStamp && *stored.timeStamp == *fresh.timeStamp;
}

namespace {

// The platform's answer for the system, or none when it could not be asked.
std::optional<bool> LoadForCheck(DownloadManager& downloads, const GS::UniString& name)
{
    std::string failure;
    try {
        return downloads.LoadSystem(name);
    } catch (const GS::Exception& error) {
        failure = Velmar::Utf8Of(error.GetMessage());
    } catch (const std::exception& error) {
        failure = error.what();
    }
    logger::instance()->log(Velmar::UniStringOfUtf8("Update check: " + Velmar::Utf8Of(name) + " left out: " + failure));
    return std::nullopt;
}

}  // namespace

std::vector<UpdateCandidate> FindSystemsToUpdate(std::vector<GS::UniString>* notReached)
{
    std::vector<UpdateCandidate> candidates;
    const auto downloads = DownloadManager::Get();
    if (downloads == nullptr)
        return candidates;
    // Undo may have put back texts an update replaced; the project is what counts.
    const auto store = ProjectStore::ProjectStoreService::instance();
    store->Reload();
    for (const auto& [stored, id] : store->GetAllSystems()) {
        const auto loaded = LoadForCheck(*downloads, stored.name);
        if (!loaded && notReached != nullptr)
            notReached->push_back(stored.name);
        if (!loaded.value_or(false))
            continue;
        auto fresh = std::make_shared<const Bo::System>(*downloads->GetLoadedSystem(), downloads->GetLanguageIndex());
        if (!SameVersion(stored, *fresh))
            candidates.push_back({std::move(fresh), id});
    }
    return candidates;
}

namespace {

const GS::UniString StepName("Update Velmar systems");

// The project's composites tagged with the stored system, with their tags; an untagged composite the
// user made is never among them.
std::vector<std::pair<API_Attr_Head, Bo::CompositeTag>> CompositesTaggedWith(const GS::Guid& storedSystemId)
{
    std::vector<std::pair<API_Attr_Head, Bo::CompositeTag>> tagged;
    GS::Array<API_Attribute> composites;
    if (const GSErrCode err = ACAPI_Attribute_GetAttributesByType(API_CompWallID, composites); err != NoError)
        throw GS::GeneralException(
            GS::UniString(("the project's composites could not be listed (" + std::to_string(err) + ")").c_str()),
            __FILE__, __LINE__);
    for (const API_Attribute& composite : composites) {
        std::optional<Bo::CompositeTag> tag;
        if (const GSErrCode err = Bo::CompositeTag::Read(composite.header, tag); err != NoError)
            DBPrintf("Velmar: the tag of composite \"%s\" was not read (%d)\n", composite.header.name, err);
        if (tag && tag->storedSystemId == storedSystemId)
            tagged.emplace_back(composite.header, *tag);
    }
    return tagged;
}

std::optional<Bo::LOD> LevelOfTag(const Bo::CompositeTag& tag)
{
    const auto lods = Lod::LodProvider::instance();
    const auto level = lods->FindByValue(tag.lod);
    return level ? std::optional<Bo::LOD>(lods->GetLevels()[*level]) : std::nullopt;
}

// Rebuilds each composite from the stored text at the level its tag records. When the host refuses one,
// those already rebuilt are built again from the text as it was, so composites and text stay in step.
bool RebuildTagged(const std::vector<std::pair<API_Attr_Head, Bo::CompositeTag>>& tagged, const GS::Guid& id,
                   const std::string& previousText)
{
    const auto compositions = Composition::CompositionService::instance();
    for (std::size_t i = 0; i < tagged.size(); ++i) {
        const auto& [head, tag] = tagged[i];
        if (compositions->RebuildComposite(head, tag, LevelOfTag(tag)))
            continue;
        ProjectStore::ProjectStoreService::instance()->ReplaceText(id, previousText);
        for (std::size_t j = 0; j < i; ++j)
            compositions->RebuildComposite(tagged[j].first, tagged[j].second, LevelOfTag(tagged[j].second));
        return false;
    }
    return true;
}

// False when the system was left as it was: the host refused its new text or a composite's new build-up.
bool UpdateOne(const UpdateCandidate& candidate, const GS::Array<API_Guid>& elements)
{
    const auto store = ProjectStore::ProjectStoreService::instance();
    const auto stored = store->GetSystem(candidate.storedSystemId);
    const std::string* text = store->TextOf(candidate.storedSystemId);
    const std::string previousText = text != nullptr ? *text : std::string();
    const auto tagged = CompositesTaggedWith(candidate.storedSystemId);
    if (store->ReplaceText(candidate.storedSystemId, candidate.fresh->rawText) != NoError)
        return false;
    if (!RebuildTagged(tagged, candidate.storedSystemId, previousText))
        return false;
    if (elements.IsEmpty())
        return true;
    const auto provider = PropertyProvider::instance();
    if (stored != nullptr)
        provider->UpdateElementsOver(elements, candidate.storedSystemId, *stored);
    else
        provider->UpdateElements(elements);
    return true;
}

}  // namespace

std::unordered_map<GS::Guid, GS::Array<API_Guid>> LinkedElements(const std::vector<GS::Guid>& storedSystemIds)
{
    std::unordered_map<GS::Guid, GS::Array<API_Guid>> linked;
    for (const GS::Guid& id : storedSystemIds)
        linked.emplace(id, GS::Array<API_Guid>());
    // Walls missed here would keep values of a build-up their composite no longer has.
    Bo::ForEachWallAndSlab(
        Bo::RaiseRefusal, [](const Bo::ElementKind&, USize) { return true; },
        [&](const API_Guid& guid, UIndex) {
            const auto system = Bo::LinkOf(guid, Bo::RaiseRefusal);
            if (const auto found = system ? linked.find(*system) : linked.end(); found != linked.end())
                found->second.Push(guid);
            return true;
        });
    return linked;
}

std::size_t RunUpdate(const std::vector<UpdateCandidate>& candidates, const std::vector<GS::UniString>& notReached)
{
    std::size_t updated = 0;
    std::vector<GS::UniString> skipped;
    // A step that ends early puts back the stored texts too, in the project and in the store's memory.
    RunUndoStep(StepName, [&] {
        ProcessWindow window(StepName, static_cast<Int32>(candidates.size()));
        std::vector<GS::Guid> ids;
        for (const UpdateCandidate& candidate : candidates)
            ids.push_back(candidate.storedSystemId);
        const auto linked = LinkedElements(ids);
        for (const UpdateCandidate& candidate : candidates) {
            if (!window.NextPhase(candidate.fresh->name))
                break;
            if (UpdateOne(candidate, linked.at(candidate.storedSystemId)))
                ++updated;
            else
                skipped.push_back(candidate.fresh->name);
        }
    });
    // One report, in the user's language, of every system left for the next update and why.
    GS::UniString text;
    const std::pair<GSResID, const std::vector<GS::UniString>*> reasons[] = {
        {Menus::VersionRefusedText, &skipped}, {Menus::PlatformNotReachedText, &notReached}};
    for (const auto& [reason, names] : reasons) {
        if (names->empty())
            continue;
        GS::UniString list;
        for (const GS::UniString& name : *names)
            list += list.IsEmpty() ? name : GS::UniString(", ") + name;
        text += (text.IsEmpty() ? GS::UniString() : GS::UniString(" ")) + App::ActiveLanguageText(reason, list);
    }
    if (!text.IsEmpty()) {
        text += GS::UniString(" ") + App::ActiveLanguageText(Menus::OfferedAgainText);
        logger::instance()->log(text);
        ACAPI_WriteReport("%s", false, text.ToCStr().Get());
    }
    return updated;
}

}  // namespace Velmar::Services::Update

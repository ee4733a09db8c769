#include "CompositeUpdate.hpp"

#include "ACAPinc.hpp"
#include "CompositeTag.hpp"
#include "CompositionService.hpp"
#include "DownloadManager.hpp"
#include "ElementLink.hpp"
#include "GSDebug.hpp"
#include "LodProvider.hpp"
#include "ProcessWindow.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyProvider.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"

namespace Velmar::Services::Update {

bool SameVersion(const Bo::System& stored, const Bo::System& fresh)
{
    return stored.timeStamp && fresh.timeStamp && *stored.timeStamp == *fresh.timeStamp;
}

std::vector<UpdateCandidate> FindSystemsToUpdate()
{
    std::vector<UpdateCandidate> candidates;
    const auto downloads = DownloadManager::Get();
    if (downloads == nullptr)
        return candidates;
    // Undo may have put back texts an update replaced; the project is what counts.
    const auto store = ProjectStore::ProjectStoreService::instance();
    store->Reload();
    for (const auto& [stored, id] : store->GetAllSystems()) {
        if (!downloads->LoadSystem(stored.name))
            continue;
        auto fresh = std::make_shared<const Bo::System>(*downloads->GetLoadedSystem(), downloads->GetLanguageIndex());
        if (!SameVersion(stored, *fresh))
            candidates.push_back({std::move(fresh), id});
    }
    return candidates;
}

namespace {

const GS::UniString StepName("Update Velmar systems");

// The composite the element is built of: a wall's, a slab's; none for a basic one or a failed read.
std::optional<API_AttributeIndex> CompositeOf(const API_Guid& guid)
{
    API_Element element = {};
    element.header.guid = guid;
    if (const GSErrCode err = ACAPI_Element_Get(&element, 0); err != NoError) {
        DBPrintf("Velmar: element %s was not read (%d)\n", Velmar::Utf8Of(APIGuidToString(guid)).c_str(), err);
        return std::nullopt;
    }
    const bool wall = element.header.type.typeID == API_WallID;
    const auto structure = wall ? element.wall.modelElemStructureType : element.slab.modelElemStructureType;
    if (structure != API_CompositeStructure)
        return std::nullopt;
    return wall ? element.wall.composite : element.slab.composite;
}

// Rebuilds the first linked element's composite from the system its stored text now holds, at the level
// its tag records (none when no level has that value).
void RelinkComposite(const API_Guid& first, const Bo::System& fresh)
{
    const auto composite = CompositeOf(first);
    if (!composite)
        return;
    API_Attribute attribute = {};
    attribute.header.typeID = API_CompWallID;
    attribute.header.index = *composite;
    if (const GSErrCode err = ACAPI_Attribute_Get(&attribute); err != NoError) {
        DBPrintf("Velmar: composite %d was not read (%d); it is not rebuilt\n", composite->ToInt32_Deprecated(), err);
        return;
    }
    std::optional<Bo::CompositeTag> tag;
    if (const GSErrCode err = Composition::ReadCompositeTag(attribute.header, tag); err != NoError || !tag) {
        DBPrintf("Velmar: composite \"%s\" has no tag to rebuild from (%d)\n", attribute.header.name, err);
        return;
    }
    const auto lods = Lod::LodProvider::instance();
    const auto level = lods->FindByValue(tag->lod);
    const std::optional<Bo::LOD> lod = level ? std::optional<Bo::LOD>(lods->GetLevels()[*level]) : std::nullopt;
    Composition::CompositionService::instance()->LinkComposite(attribute.header, fresh, lod);
}

void UpdateOne(const UpdateCandidate& candidate, const GS::Array<API_Guid>& elements)
{
    const auto store = ProjectStore::ProjectStoreService::instance();
    const auto stored = store->GetSystem(candidate.storedSystemId);
    store->ReplaceText(candidate.storedSystemId, candidate.fresh->rawText);
    if (elements.IsEmpty())
        return;
    RelinkComposite(elements[0], *candidate.fresh);
    const auto provider = PropertyProvider::instance();
    if (stored != nullptr)
        provider->UpdateElementsOver(elements, candidate.storedSystemId, *stored);
    else
        provider->UpdateElements(elements);
}

}  // namespace

std::unordered_map<GS::Guid, GS::Array<API_Guid>> LinkedElements(const std::vector<GS::Guid>& storedSystemIds)
{
    std::unordered_map<GS::Guid, GS::Array<API_Guid>> linked;
    for (const GS::Guid& id : storedSystemIds)
        linked.emplace(id, GS::Array<API_Guid>());
    for (const API_ElemTypeID type : {API_WallID, API_SlabID}) {
        GS::Array<API_Guid> elements;
        if (const GSErrCode err = ACAPI_Element_GetElemList(type, &elements, APIFilt_None, APINULLGuid); err != NoError) {
            DBPrintf("Velmar: the elements were not listed (%d)\n", err);
            continue;
        }
        for (const API_Guid& guid : elements) {
            API_Elem_Head head = {};
            head.guid = guid;
            std::optional<GS::Guid> system;
            if (const GSErrCode err = Bo::ElementLink::Read(head, system); err != NoError)
                DBPrintf("Velmar: the link of element %s was not read (%d)\n",
                         Velmar::Utf8Of(APIGuidToString(guid)).c_str(), err);
            if (const auto found = system ? linked.find(*system) : linked.end(); found != linked.end())
                found->second.Push(guid);
        }
    }
    return linked;
}

std::size_t RunUpdate(const std::vector<UpdateCandidate>& candidates)
{
    std::size_t updated = 0;
    try {
        RunUndoStep(StepName, [&] {
            ProcessWindow window(StepName, static_cast<Int32>(candidates.size()));
            std::vector<GS::Guid> ids;
            for (const UpdateCandidate& candidate : candidates)
                ids.push_back(candidate.storedSystemId);
            const auto linked = LinkedElements(ids);
            for (const UpdateCandidate& candidate : candidates) {
                if (!window.NextPhase(candidate.fresh->name))
                    break;
                UpdateOne(candidate, linked.at(candidate.storedSystemId));
                ++updated;
            }
        });
    } catch (...) {
        // The host rolled the step back; the store's texts must be the project's again.
        DBPrintf("Velmar: the update was rolled back after %zu of %zu systems\n", updated, candidates.size());
        ProjectStore::ProjectStoreService::instance()->Reload();
        throw;
    }
    return updated;
}

}  // namespace Velmar::Services::Update

#include "CompositeUpdate.hpp"

#include "DownloadManager.hpp"
#include "ProjectStoreService.hpp"

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
    for (const auto& [stored, id] : ProjectStore::ProjectStoreService::instance()->GetAllSystems()) {
        if (!downloads->LoadSystem(stored.name))
            continue;
        auto fresh = std::make_shared<const Bo::System>(*downloads->GetLoadedSystem(), downloads->GetLanguageIndex());
        if (!SameVersion(stored, *fresh))
            candidates.push_back({std::move(fresh), id});
    }
    return candidates;
}

}  // namespace Velmar::Services::Update

// Velmar::Services::ProjectStore::ProjectStoreService: the product systems the project's composites were
// made from, each kept once as a module data entry named by its GUID, so composites can be rebuilt offline.
#pragma once

#include "BoSystem.hpp"
#include "CompositeTag.hpp"

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Velmar::Services::ProjectStore {

class ProjectStoreService {
public:
    static constexpr Int32 DataVersion = 1;
    static constexpr UInt16 PlatformSign = 0x5757;

    // The module's store, created and loaded from the open project on first use.
    static std::shared_ptr<ProjectStoreService> instance();
    // The module's store when something already created it; project events must not create one.
    static std::shared_ptr<ProjectStoreService> Existing();

    // Replaces the list by every module data entry whose name is a non-null GUID, in the host's order.
    void Reload();
    // Keeps the system's raw text under a new GUID, writes it to the project and answers the tag that
    // links a composite built for `lod` to it; raises a host exception, keeping nothing, when refused.
    Bo::CompositeTag StoreSystem(const Bo::System& system, Int32 lod);
    // The stored system built for the project language; none when the GUID is unknown or the text is not
    // a system (a conversion error is reported to the debug output).
    std::shared_ptr<Bo::System> GetSystem(const GS::Guid& guid);
    // Every stored text that parses into an object, as a system with its GUID, in store order.
    std::vector<std::pair<Bo::System, GS::Guid>> GetAllSystems();
    // Writes the entry of that GUID to the project; NoError when the GUID is not kept.
    GSErrCode Store(const GS::Guid& guid);
    // Keeps `text` as the stored system of that GUID instead of its text now, and writes it to the project;
    // APIERR_BADID when the GUID is not kept, the host's error (and the text as it was) when refused.
    GSErrCode ReplaceText(const GS::Guid& guid, const std::string& text);

    const std::vector<std::pair<GS::Guid, std::string>>& GetSystemTexts() const { return systemTexts_; }
    // The kept text of that GUID, null when none.
    const std::string* TextOf(const GS::Guid& guid) const;

private:
    // Keeps the text in memory and in the project together; inside a step, a failed step forgets both.
    GSErrCode Keep(const GS::Guid& guid, const std::string& text);
    void Forget(const GS::Guid& guid);

    std::vector<std::pair<GS::Guid, std::string>> systemTexts_;
    // Where each GUID's text is in the list: a project keeps thousands of systems, and each store and
    // rebuild looks one up.
    std::unordered_map<GS::Guid, std::size_t> textAt_;
};

}  // namespace Velmar::Services::ProjectStore

// Velmar::Services::DownloadManager: carries one product from the relay's product id to the download
// page and the page's confirmation, for the active country and language. Main thread only.
#pragma once

#include "CVSystem.hpp"
#include "DatabaseSettingsFile.hpp"
#include "DownloadRecords.hpp"
#include "State.hpp"

#include <memory>
#include <optional>

namespace Velmar::Services {

class DownloadManager {
public:
    DownloadManager(const Cnf::DatabaseSettings& settings, std::optional<Int32> languageIndex)
        : settings_(settings), languageIndex_(languageIndex)
    {
    }

    const Cnf::DatabaseSettings& GetSettings() const { return settings_; }
    std::optional<Int32> GetLanguageIndex() const { return languageIndex_; }
    std::shared_ptr<const Corvana::CVSystem> GetLoadedSystem() const { return loadedSystem_; }

    // Looks the product up on the platform; true when it was found and is now the loaded system. A failed
    // request or a text that does not convert raises (nothing changes then).
    bool LoadSystem(const GS::UniString& productId);
    // The loaded system as the download page shows it; raises a host exception when none is loaded and
    // the standard "invalid stoi argument" error for a LOD text that is not a number.
    velmar::ui::model::ProductDetails GetProductDetails() const;
    // Writes the loaded system into the model as the page confirmed it, as one undo step; false when the
    // existing composite named does not exist (nothing is changed then). A name the composite cannot have
    // raises a host exception before anything is written; a step that cannot complete raises its reason
    // and leaves the project, and the classification choice, as they were.
    bool ProcessDownload(const velmar::ui::model::ProductDownload& download);

    // The service of the active country; empty until a configuration names a country that exists.
    static std::shared_ptr<DownloadManager> Get();
    static void Replace(std::shared_ptr<DownloadManager> manager);

private:
    bool WriteDownload(const velmar::ui::model::ProductDownload& download);

    const Corvana::CVSystem& Loaded() const;

    Cnf::DatabaseSettings settings_;
    std::shared_ptr<const Corvana::CVSystem> loadedSystem_;
    std::optional<Int32> languageIndex_;
};

// The page's mapped classifications merged into the stored ones, one per code of the mapping file, in
// its order; stored mappings whose code left the file are dropped.
GS::Array<App::StoredProjectClassificationMapping>
MergeClassificationMappings(const GS::Array<GS::UniString>& codes,
                            const GS::Array<App::StoredProjectClassificationMapping>& stored,
                            const GS::Array<velmar::ui::model::ProductMappedClassification>& fromPage);

// The classification codes of `codes` that the system carries a value for, with the stored mapping of each.
GS::Array<velmar::ui::model::ProductMappedClassification>
OfferedClassifications(const GS::Array<GS::UniString>& codes, const Corvana::CVSystem& system, Int32 languageIndex,
                       const GS::Array<App::StoredProjectClassificationMapping>& stored);

}  // namespace Velmar::Services

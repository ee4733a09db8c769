// Velmar::Services::DownloadManager: the download service of the active country and language.
#pragma once

#include "DatabaseSettingsFile.hpp"

#include <memory>

namespace Velmar::Services {

class DownloadManager {
public:
    DownloadManager(const Cnf::DatabaseSettings& country, Int32 languageIndex)
        : country_(country), languageIndex_(languageIndex)
    {
    }

    const Cnf::DatabaseSettings& GetCountry() const { return country_; }
    Int32 GetLanguageIndex() const { return languageIndex_; }

    // The service of the active country; empty until a configuration names a country that exists.
    static std::shared_ptr<DownloadManager> Get();
    static void Replace(std::shared_ptr<DownloadManager> manager);

private:
    Cnf::DatabaseSettings country_;
    Int32 languageIndex_;
};

}  // namespace Velmar::Services

#include "DownloadServices.hpp"

#include "CorvanaDatabase.hpp"
#include "DownloadManager.hpp"
#include "ServiceSlot.hpp"

namespace Velmar::Services {

namespace {
ServiceSlot<CorvanaDatabase> clientSlot;
ServiceSlot<DownloadManager> managerSlot;
}  // namespace

std::shared_ptr<CorvanaDatabase> CorvanaDatabase::Get()
{
    return clientSlot.Get();
}

void CorvanaDatabase::Replace(std::shared_ptr<CorvanaDatabase> client)
{
    clientSlot.Replace(std::move(client));
}

std::shared_ptr<DownloadManager> DownloadManager::Get()
{
    return managerSlot.Get();
}

void DownloadManager::Replace(std::shared_ptr<DownloadManager> manager)
{
    managerSlot.Replace(std::move(manager));
}

void StartDownloadServices(const Cnf::DatabaseSettings& country, Int32 languageIndex)
{
    CorvanaDatabase::Replace(std::make_shared<CorvanaDatabase>(country.corvanaUrl.ValueOr(GS::UniString()),
                                                               country.tokenUrl.ValueOr(GS::UniString())));
    DownloadManager::Replace(std::make_shared<DownloadManager>(country, languageIndex));
}

}  // namespace Velmar::Services

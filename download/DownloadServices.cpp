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

}  // namespace Velmar::Services

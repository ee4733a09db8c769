#include "ConfigurationService.hpp"

#include "ServiceSlot.hpp"

namespace Velmar::Services {

namespace {
ServiceSlot<ConfigurationService> slot;
}

ConfigurationService::ConfigurationService(const GS::UniString& settingsPath, const GS::UniString& mappingPath)
    : settingsPath_(settingsPath), mappingPath_(mappingPath)
{
}

std::shared_ptr<ConfigurationService> ConfigurationService::Get()
{
    return slot.Get();
}

void ConfigurationService::Replace(std::shared_ptr<ConfigurationService> service)
{
    slot.Replace(std::move(service));
}

}  // namespace Velmar::Services

#include "CompositionService.hpp"

#include "ACAPinc.hpp"
#include "GSDebug.hpp"
#include "GSException.hpp"
#include "ServiceSlot.hpp"

namespace Velmar::Services::Composition {

namespace {

ServiceSlot<CompositionService> slot;

[[noreturn]] void NotAvailable()
{
    throw GS::GeneralException("building composites is not available");
}

}  // namespace

std::shared_ptr<CompositionService> CompositionService::instance()
{
    return slot.GetOrCreate([] {
        auto created = std::make_shared<CompositionService>();
        created->RebuildIndex();
        return created;
    });
}

std::shared_ptr<CompositionService> CompositionService::Existing()
{
    return slot.Get();
}

void CompositionService::RebuildIndex()
{
    compositeData_.clear();
    compositeSystems_.clear();
    GS::Array<API_Attribute> composites;
    if (const GSErrCode err = ACAPI_Attribute_GetAttributesByType(API_CompWallID, composites); err != NoError) {
        DBPrintf("Velmar: the project's composites could not be listed (%d)\n", err);
        return;
    }
    for (API_Attribute& composite : composites) {
        API_AttributeUserData userData;
        std::optional<Bo::CompositeTag> tag;
        if (ACAPI_Attribute_GetUserData(&composite.header, &userData) == NoError) {
            GS::HandleGuard guard(userData.dataHdl);
            tag = Bo::CompositeTag::FromUserData(userData);
        }
        compositeSystems_.emplace_back(GS::UniString(composite.header.name), tag ? GS::UniString(tag->systemName) : GS::UniString());
        if (tag)
            compositeData_.emplace_back(GS::UniString(composite.header.name), tag->storedSystemId);
    }
}

API_Attr_Head CompositionService::CreateComposite(const Bo::System&, const std::optional<Bo::LOD>&,
                                                  const GS::UniString&)
{
    NotAvailable();
}

GS::Guid CompositionService::TagComposite(const Bo::System&, const API_Attr_Head&, const std::optional<Bo::LOD>&)
{
    NotAvailable();
}

void CompositionService::LinkComposite(const API_Attr_Head&, const Bo::System&, const std::optional<Bo::LOD>&)
{
    NotAvailable();
}

}  // namespace Velmar::Services::Composition

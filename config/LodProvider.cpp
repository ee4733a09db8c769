#include "LodProvider.hpp"

#include "ACAPinc.hpp"
#include "CompositeTag.hpp"
#include "GSDebug.hpp"
#include "ServiceSlot.hpp"

#include <algorithm>
#include <vector>

namespace Velmar::Lod {

namespace {
ServiceSlot<LodProvider> slot;

template <typename Matches>
std::optional<UIndex> FindFirst(const GS::Array<Bo::LOD>& levels, Matches&& matches)
{
    for (UIndex i = 0; i < levels.GetSize(); ++i) {
        if (matches(levels[i]))
            return i;
    }
    return std::nullopt;
}
// The LODs of the composites that carry a tag. A composite whose user data cannot be read counts as
// untagged, and all of them do when the composites cannot be listed.
std::vector<Int32> TaggedCompositeLods()
{
    GS::Array<API_Attribute> composites;
    if (const GSErrCode err = ACAPI_Attribute_GetAttributesByType(API_CompWallID, &composites); err != NoError) {
        DBPrintf("Velmar: composites not listed, error %d\n", err);
        return {};
    }
    std::vector<Int32> lods;
    for (API_Attribute& composite : composites) {
        API_AttributeUserData userData;
        const GSErrCode err = ACAPI_Attribute_GetUserData(&composite.header, &userData);
        GS::HandleGuard data(userData.dataHdl);
        if (err != NoError) {
            DBPrintf("Velmar: user data of composite %d not read, error %d\n", composite.header.index, err);
            continue;
        }
        if (const auto tag = Bo::CompositeTag::FromUserData(userData))
            lods.push_back(tag->lod);
    }
    return lods;
}

}  // namespace

std::shared_ptr<LodProvider> LodProvider::instance()
{
    return slot.GetOrCreate();
}

std::optional<UIndex> LodProvider::FindByName(const GS::UniString& name) const
{
    return FindFirst(levels_,
                     [&](const Bo::LOD& lod) { return lod.name.IsEqual(name, GS::UniString::CaseInsensitive); });
}

std::optional<UIndex> LodProvider::FindByValue(Int32 value) const
{
    return FindFirst(levels_, [&](const Bo::LOD& lod) { return lod.value == value; });
}

velmar::lod::model::LodChangeInformation LodProvider::ComputeLodChangeInformation() const
{
    velmar::lod::model::LodChangeInformation information;
    information.hasElementsWitHigherLod.Set(false);
    information.hasElementsWithLowerLod.Set(false);
    if (!active_)
        return information;
    const Int32 active = active_->value;
    information.activeLod.Set(active);
    const std::vector<Int32> lods = TaggedCompositeLods();
    if (lods.empty())
        return information;
    const auto [lowest, highest] = std::minmax_element(lods.begin(), lods.end());
    information.hasElementsWithLowerLod.Set(*lowest < active);
    information.hasElementsWitHigherLod.Set(*highest >= active);
    return information;
}

}  // namespace Velmar::Lod

#include "LodChangeInformation.hpp"

#include "ACAPinc.hpp"
#include "CompositionService.hpp"
#include "GSDebug.hpp"

#include <algorithm>
#include <vector>

namespace Velmar::Lod {

namespace {
// The LODs of the composites that carry a tag. A composite whose user data cannot be read counts as
// untagged, and all of them do when the composites cannot be listed.
std::vector<Int32> TaggedCompositeLods()
{
    GS::Array<API_Attribute> composites;
    if (const GSErrCode err = ACAPI_Attribute_GetAttributesByType(API_CompWallID, composites); err != NoError) {
        DBPrintf("Velmar: composites not listed, error %d\n", err);
        return {};
    }
    std::vector<Int32> lods;
    for (const API_Attribute& composite : composites) {
        std::optional<Bo::CompositeTag> tag;
        if (const GSErrCode err = Bo::CompositeTag::Read(composite.header, tag); err != NoError) {
            DBPrintf("Velmar: user data of composite %d not read, error %d\n",
                     composite.header.index.ToInt32_Deprecated(), err);
            continue;
        }
        if (tag)
            lods.push_back(tag->lod);
    }
    return lods;
}

}  // namespace

velmar::lod::model::LodChangeInformation ComputeLodChangeInformation(const LodProvider& provider)
{
    velmar::lod::model::LodChangeInformation information;
    information.hasElementsWitHigherLod.Set(false);
    information.hasElementsWithLowerLod.Set(false);
    const auto level = provider.GetActive();
    if (!level)
        return information;
    const Int32 active = level->value;
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

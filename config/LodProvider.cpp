#include "LodProvider.hpp"

#include "ServiceSlot.hpp"

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
}  // namespace

std::shared_ptr<LodProvider> LodProvider::instance()
{
    return slot.GetOrCreate();
}

std::optional<UIndex> LodProvider::FindByName(const GS::UniString& name) const
{
    return FindFirst(levels_, [&](const Bo::LOD& lod) { return lod.name.IsEqual(name, GS::CaseInsensitive); });
}

std::optional<UIndex> LodProvider::FindByValue(Int32 value) const
{
    return FindFirst(levels_, [&](const Bo::LOD& lod) { return lod.value == value; });
}

}  // namespace Velmar::Lod

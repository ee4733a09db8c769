// Velmar::Lod::LodProvider: the known levels of development, in insertion order, and the active one.
#pragma once

#include "Array.hpp"
#include "Lod.hpp"

#include <memory>
#include <optional>

namespace Velmar::Lod {

class LodProvider {
public:
    static std::shared_ptr<LodProvider> instance();

    void AddLevel(const Bo::LOD& lod) { levels_.Push(lod); }
    GS::Array<Bo::LOD> GetLevels() const { return levels_; }
    std::optional<Bo::LOD> GetActive() const { return active_; }
    void SetActive(const Bo::LOD& lod) { active_ = lod; }

    // First level whose name matches ignoring letter case.
    std::optional<UIndex> FindByName(const GS::UniString& name) const;
    std::optional<UIndex> FindByValue(Int32 value) const;

private:
    std::optional<Bo::LOD> active_;
    GS::Array<Bo::LOD> levels_;
};

}  // namespace Velmar::Lod

// How a system's build-up becomes composite skins at a level of detail, as pure transformations: which
// builder the kind and the level choose, the layers each builder lays out frame by frame, and how the
// air layers take up what the others leave of the system thickness.
#pragma once

#include "BoSystem.hpp"
#include "MaterialStore.hpp"

#include <optional>
#include <vector>

namespace Velmar::Services::Composition {

using Materials::LAYER_TYPE;

enum class Builder { Simple, Layered, Detailed };

// The level's flags decide: neither is simple, the first is layered, the second detailed. Without a level
// the composite is built as at the lowest levels.
Builder ChooseBuilder(const std::optional<Bo::LOD>& lod);

// What a skin's building material is found or made from: a summary layer type, or a product by name.
struct MaterialRequest {
    std::optional<LAYER_TYPE> summary;
    GS::UniString product;
    std::optional<Corvana::Colour> colour;
    std::optional<double> lambda;

    bool IsAir() const { return summary == LAYER_TYPE::Air; }
    bool operator==(const MaterialRequest& other) const;
};

struct PlannedSkin {
    MaterialRequest material;
    double thickness = 0.0;  // metres
};

// The skins of the system at the level, outermost first, each thicker than 0. Empty when the system has
// no kind, or no thickness greater than 0. Boards, depths and insulation of 0 or less count as absent.
std::vector<PlannedSkin> PlanSkins(const Bo::System& system, const std::optional<Bo::LOD>& lod);

// When the layers are thinner than `total` and some are air, each air layer gets an equal share of the
// rest; otherwise the air layers keep their thickness.
void DistributeAir(std::vector<PlannedSkin>& layers, double total);

}  // namespace Velmar::Services::Composition

// Velmar::Services::Materials::MaterialStore: the building materials composite skins are made of. Summary
// materials stand for a kind of layer; product materials carry a board's or an insulation's colour and
// thermal conductivity. Both are found again by name, so a material the user edited is reused as it is.
#pragma once

#include "APIdefs.h"
#include "CVSystem.hpp"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace Velmar::Services::Materials {

enum class LAYER_TYPE : Int32 { Board = 1, Frame = 2, Summary = 3, Air = 4, Profile = 5 };

// "Summary_Board", "Summary_Frame", "Summary", "Summary_Air", "Profile"; none for any other value.
std::optional<GS::UniString> SummaryMaterialName(LAYER_TYPE type);

struct MaterialEntry {
    short framePen = 1;
    API_AttributeIndex material = {};
    short lineType = 1;
    short linePen = 1;
};

class MaterialStore {
public:
    using PenColour = std::pair<Corvana::Colour, short>;

    explicit MaterialStore(std::vector<PenColour> penColours) : penColours_(std::move(penColours)) {}

    // The module's store, with the pens of the project open when it was first used.
    static std::shared_ptr<MaterialStore> instance();
    // Pens 1 to the pen count, in index order; a pen the host cannot read is left out (and logged).
    static std::vector<PenColour> ReadPenColours();

    // A missing material is created (noted for removal when the step it runs in fails). None when the search fails
    // otherwise than by not finding the name, or when creating a summary material fails.
    std::shared_ptr<const MaterialEntry> SummaryMaterial(LAYER_TYPE type) const;
    // Without a colour the product is dark grey (0.1, 0.1, 0.1). A failed creation is not examined: the
    // entry then names no material.
    std::shared_ptr<const MaterialEntry> ProductMaterial(const GS::UniString& name,
                                                         const std::optional<Corvana::Colour>& colour,
                                                         const std::optional<double>& lambda) const;
    // The pen whose colour is nearest by mean absolute difference; the lower index wins a tie, pen 1 when
    // there are no pens.
    short NearestPen(const Corvana::Colour& colour) const;

private:
    std::vector<PenColour> penColours_;
};

}  // namespace Velmar::Services::Materials

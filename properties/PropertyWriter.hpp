// The write of a system's values onto the walls and slabs built from it.
#pragma once

#include "CompositeTag.hpp"
#include "PropertyDefinitions.hpp"
#include "PropertyProvider.hpp"

#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace Velmar::Services {

// One write of the provider: groups and definitions are listed once, and the values a system gives at a
// level are prepared once, however many elements receive them.
class PropertyProvider::ValueWriter {
public:
    explicit ValueWriter(const PropertyProvider& provider);

    // False when the element is gone or none of the add-on's.
    bool Update(const API_Guid& guid);
    bool Update(const API_Element& element);
    // An element that gets no system of its own still gets the underlay.
    bool UpdateOver(const API_Guid& guid);
    // Values every element keeps where the plan it gets has none for the definition: those of the stored
    // system every element is linked to.
    void Underlay(const Bo::System& system, const GS::Guid& linkedTo);

private:
    using Plan = GS::Array<API_Property>;
    // A stored system's plan at a level, made to create missing definitions or not.
    using PlanKey = std::tuple<GS::Guid, Int32, bool>;

    const Plan& Layered(const Plan& plan);
    const Plan& PlanFor(const Bo::System& system, const GS::Guid& id, const std::optional<Bo::LOD>& lod, bool create);
    Plan MakePlan(const Bo::System& system, const std::optional<Bo::LOD>& lod, bool create);
    std::optional<Bo::CompositeTag> TagOf(const API_AttributeIndex& index);
    std::shared_ptr<const Bo::System> SystemFor(const GS::Guid& id);
    void WriteValues(const API_Guid& element, const Plan& plan);
    void KeepForPutBack(const API_Guid& element, const std::vector<UIndex>& changing);
    const GS::Array<API_Guid>& GuidsOf(const Plan& plan);

    const PropertyProvider& provider_;
    const bool neutral_;
    Properties::DefinitionCatalog catalog_;
    std::map<Int32, std::optional<Bo::CompositeTag>> tags_;
    std::map<GS::Guid, std::shared_ptr<const Bo::System>> systems_;
    std::map<PlanKey, Plan> plans_;
    std::optional<Plan> underlay_;
    std::optional<GS::Guid> underlayLink_;
    // Keyed by the address of a plan in plans_ or layered_, whose nodes stay where they are.
    std::unordered_map<const Plan*, Plan> layered_;
    std::unordered_map<const Plan*, GS::Array<API_Guid>> guidsOf_;
    // The values last read, kept for the next element's read.
    GS::Array<API_Property> current_;
};

}  // namespace Velmar::Services

// Velmar::Services::Composition::CompositionService: the project's composites as the add-on knows them,
// each with the name of the system it was made from, and the writing of composites from systems.
#pragma once

#include "BoSystem.hpp"
#include "CompositeTag.hpp"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace Velmar::Services::Composition {

class CompositionService {
public:
    using NamePair = std::pair<GS::UniString, GS::UniString>;  // composite name, system name
    using IdPair = std::pair<GS::UniString, GS::Guid>;         // composite name, stored-system id

    static std::shared_ptr<CompositionService> instance();
    // The service when something already uses it; a project event reloads only an existing one.
    static std::shared_ptr<CompositionService> Existing();

    // Empties both lists and reads every composite of the project again.
    void RebuildIndex();
    const std::vector<NamePair>& GetCompositeSystems() const { return compositeSystems_; }
    const std::vector<IdPair>& GetCompositeData() const { return compositeData_; }

    // The composite's skins are built by the composite builder, which is not part of the add-on yet: these
    // raise a host exception that the bridge reports, and change nothing.
    API_Attr_Head CreateComposite(const Bo::System& system, const std::optional<Bo::LOD>& lod,
                                  const GS::UniString& name);
    GS::Guid TagComposite(const Bo::System& system, const API_Attr_Head& composite, const std::optional<Bo::LOD>& lod);
    void LinkComposite(const API_Attr_Head& composite, const Bo::System& system, const std::optional<Bo::LOD>& lod);

private:
    std::vector<IdPair> compositeData_;
    std::vector<NamePair> compositeSystems_;
};

}  // namespace Velmar::Services::Composition

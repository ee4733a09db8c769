// Velmar::Services::Composition::CompositionService: the project's composites as the add-on knows them,
// each with the name of the system it was made from, and the writing of composites from systems.
//
// Writing runs inside one undoable command that the caller opens for the user's action, though composites,
// their tags and the stored systems are non-undoable in Archicad: undo leaves them. The service's own
// lists are a view of the project, read again (RebuildIndex) where a page lists them.
//
// Without a level (a download naming a level the add-on does not know) a composite is built as at LOD 100
// and 200 and its tag records level 0, which the LOD page counts as lower than every level.
#pragma once

#include "BoSystem.hpp"
#include "CompositeTag.hpp"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Velmar::Services::Composition {

// The level a tag records for a composite built at `lod`: its value, 0 without one.
Int32 LevelOf(const std::optional<Bo::LOD>& lod);

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

    // Raises a host exception naming what keeps the system from becoming a new composite `name`: an empty
    // name, a name the host's name field cannot hold or a composite already has, and the names of
    // CheckNames. Nothing is written.
    static void CheckNewComposite(const Bo::System& system, const std::optional<Bo::LOD>& lod,
                                  const GS::UniString& name);
    // Raises a host exception when the system's name does not fit the tag (255 bytes) or a material the
    // composite needs at `lod` has a name the host's name field cannot hold.
    static void CheckNames(const Bo::System& system, const std::optional<Bo::LOD>& lod);

    // The written composite's header; without an index when the system has no kind or thickness, or the
    // host refused to modify `existing` (logged). A new composite the host refuses, or one of whose building
    // materials cannot be had, raises a host exception: a composite without a skin would be thinner than
    // its system.
    API_Attr_Head CreateComposite(const Bo::System& system, const std::optional<Bo::LOD>& lod,
                                  const GS::UniString& name, const API_Attribute* existing = nullptr);
    // Stores the system in the project, tags the composite with it and lists it; answers the stored-system
    // id, null when the header names no composite (nothing is stored then). Raises a host exception when the
    // host refuses the stored system or the tag.
    GS::Guid TagComposite(const Bo::System& system, const API_Attr_Head& composite, const std::optional<Bo::LOD>& lod);
    // Tags a composite that has no user data yet with `system`, then rebuilds it from the system its tag
    // names. Raises a host exception, writing nothing, when the composite or its user data cannot be read
    // or its user data is not a Velmar tag.
    void LinkComposite(const API_Attr_Head& composite, const Bo::System& system, const std::optional<Bo::LOD>& lod);
    // Rebuilds the composite from its stored system and records the level in its tag; false (composite
    // and tag unchanged, logged) when the composite or the stored system cannot be had, or the host
    // refuses the new build-up.
    bool RebuildComposite(const API_Attr_Head& composite, Bo::CompositeTag tag, const std::optional<Bo::LOD>& lod);

private:
    void Record(const GS::UniString& composite, const GS::UniString& system, const GS::Guid& storedSystemId);

    std::vector<IdPair> compositeData_;
    std::vector<NamePair> compositeSystems_;
    // Where each composite's entry is in each list, by its name in UTF-8: a download session records one
    // composite after another, and a scan per record would grow with the project.
    std::unordered_map<std::string, std::size_t> dataAt_;
    std::unordered_map<std::string, std::size_t> systemAt_;
};

}  // namespace Velmar::Services::Composition

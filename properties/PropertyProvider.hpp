// Velmar::Services::PropertyProvider: writes a system's parameters onto the walls and slabs built from it,
// as Archicad properties grouped and named by the mapping file, creating missing groups and definitions;
// then the classification codes the user mapped. Main thread only; one instance per open project.
//
// Which system an element gets: the one its composite's tag names, at the tag's level (definitions are
// created as needed, and the element is linked to the stored system through its user data); else the one
// its own link names, into existing definitions only, without a level. The composite comes first because
// it is what the element is built of now.
#pragma once

#include "BoSystem.hpp"
#include "MappingFile.hpp"

#include <functional>
#include <memory>
#include <optional>

namespace Velmar {
class ProcessWindow;
}

namespace Velmar::Services {

class PropertyProvider {
public:
    // The provider of the open project, made on first use from the active mapping.
    static std::shared_ptr<PropertyProvider> instance();
    // Drops the provider under its getter's lock, so the next use reads the new project.
    static void Reset();

    // Resolves the mapping's wall, floor and ceiling classification lists against the project's systems.
    explicit PropertyProvider(std::shared_ptr<const Cnf::VelmarMappingFile> mapping);

    // Writes the element's system onto it; false when the element is none of the add-on's. `undoable`
    // makes it one "setting property" step; otherwise the caller's (or the host's) command holds the writes.
    // A value that does not convert raises the standard conversion error and ends the write.
    bool UpdateElement(const API_Elem_Head& element, bool undoable);
    // The same for each of `elements` inside the caller's command, sharing definitions and prepared values;
    // the process window, when given, shows each one and a cancel stops before the next. Elements the host
    // cannot read any more are skipped. Answers how many were written.
    std::size_t UpdateElements(const GS::Array<API_Guid>& elements, ProcessWindow* window = nullptr);
    // The same for the update of stored system `system`, which each of `elements` is linked to: each also
    // gets the values of the system as it was stored `before`, at every level and into existing
    // definitions, where its own system gives the definition none; one read and at most one write per
    // definition, as if the old values were written first.
    std::size_t UpdateElementsOver(const GS::Array<API_Guid>& elements, const GS::Guid& system,
                                   const Bo::System& before);
    // The same for the walls and slabs built of one of `composites`, inside the caller's command.
    std::size_t UpdateUsersOf(const GS::Array<API_AttributeIndex>& composites, ProcessWindow* window = nullptr);
    // Every wall, then every slab of the project, as one "setting property" step with a process window;
    // what was written before a cancel stays. Answers how many were written.
    std::size_t ReapplyToAll();

    // Sets one value, read as the definition's kind of value (an empty text is its default).
    void SetValue(const API_Guid& element, const API_PropertyDefinition& definition, const GS::UniString& text,
                  bool undoable);

    // Renames the definitions of every stored system's parameters into the language and sets their value
    // type from the mapping, as one "update parameter" step. Answers how many definitions changed.
    std::size_t RefreshDefinitions(Int32 languageIndex);

    // The classification items whose elements get the definitions the provider creates for that kind.
    const GS::Array<API_Guid>& AvailabilityFor(const std::optional<Bo::SystemKind>& kind) const;
    const Cnf::VelmarMappingFile* Mapping() const { return mapping_.get(); }

    class ValueWriter;

private:
    std::shared_ptr<const Cnf::VelmarMappingFile> mapping_;
    GS::Array<API_Guid> wallItems_;
    GS::Array<API_Guid> floorItems_;
    GS::Array<API_Guid> ceilingItems_;
};

}  // namespace Velmar::Services

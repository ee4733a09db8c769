// The simulated project: its tables of elements, attributes, properties, classifications and module
// data, the undo and redo stacks of named steps, the pens and the built-in property groups every
// project has, and the selection; saved to and opened from a JSON project file.
#pragma once

#include "KeyedTable.hpp"
#include "Model.hpp"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace Sim {

// What changed among the elements since a revision: the elements there now and the guids of those gone.
struct ElementChanges {
    std::vector<const Element*> changed;
    std::vector<API_Guid> removed;
};

// Elements by creation order, found by guid, the openings of each wall, and which element changed when,
// without a scan.
class ElementTable : public Table<UInt64, Element> {
public:
    const Element* FindByGuid(const API_Guid& guid) const;
    std::optional<UInt64> OrderOf(const API_Guid& guid) const;
    std::vector<const Element*> OpeningsOf(const API_Guid& wall) const;
    // At a cost that grows with what changed, so a view of a big project can follow it.
    ElementChanges ChangesSince(std::uint64_t revision) const;

protected:
    void Added(const UInt64& order, const Element& element) override;
    void Removed(const UInt64& order, const Element& element) override;
    void Edited(const UInt64& order, const Element& element) override;
    void Cleared() override;

private:
    void Stamp(UInt64 order, const API_Guid& guid);

    struct Stamped {
        UInt64 order;
        API_Guid guid = {};
    };

    std::unordered_map<API_Guid, UInt64> index_;
    std::unordered_map<API_Guid, std::set<UInt64>> openings_;
    // Each element's latest change, removed ones included, by the table's revision then.
    std::map<std::uint64_t, Stamped> byRevision_;
    std::unordered_map<UInt64, std::uint64_t> revisionOf_;
};

// Property definitions found by guid in one hash look-up: every property read and write looks one up.
class DefinitionTable : public Table<API_Guid, PropertyDefinition> {
public:
    DefinitionTable() = default;
    // The index points into the rows, so a copy indexes its own.
    DefinitionTable(const DefinitionTable& other) : Table(other) { Reindex(); }
    DefinitionTable& operator=(const DefinitionTable& other)
    {
        Table::operator=(other);
        Reindex();
        return *this;
    }
    DefinitionTable(DefinitionTable&&) noexcept = default;
    DefinitionTable& operator=(DefinitionTable&&) noexcept = default;
    ~DefinitionTable() override = default;

    const PropertyDefinition* FindByGuid(const API_Guid& guid) const
    {
        const auto found = index_.find(guid);
        return found != index_.end() ? found->second : nullptr;
    }

protected:
    void Added(const API_Guid& guid, const PropertyDefinition& definition) override { index_[guid] = &definition; }
    void Removed(const API_Guid& guid, const PropertyDefinition&) override { index_.erase(guid); }
    void Cleared() override { index_.clear(); }

private:
    void Reindex()
    {
        index_.clear();
        for (const auto& [guid, definition] : Rows())
            index_[guid] = &definition;
    }

    std::unordered_map<API_Guid, const PropertyDefinition*> index_;
};

// Attributes by type and index, found by name or guid without a scan. A name changed in place (a rename
// through EditAttribute) is indexed again at the next lookup by name; a guid never changes.
class AttributeTable : public Table<AttributeKey, Attribute> {
public:
    const Attribute* FindByName(API_AttrTypeID type, const GS::UniString& name) const;
    const Attribute* FindByGuid(API_AttrTypeID type, const API_Guid& guid) const;
    // The highest index of the type, 0 when it has none.
    Int32 LastIndex(API_AttrTypeID type) const;

protected:
    void Added(const AttributeKey& key, const Attribute& attribute) override;
    void Removed(const AttributeKey& key, const Attribute& attribute) override;
    void Edited(const AttributeKey& key, const Attribute& attribute) override;
    void Cleared() override;

private:
    using NameKey = std::pair<API_AttrTypeID, std::string>;
    void Unindex(const AttributeKey& key);
    void IndexEdited() const;

    mutable std::map<NameKey, AttributeKey> byName_;
    mutable std::map<AttributeKey, std::string> nameOf_;
    mutable std::set<AttributeKey> edited_;
    std::map<std::pair<API_AttrTypeID, API_Guid>, AttributeKey> byGuid_;
};

// One undo step: the rows each table had before it and has after it. Attributes and module data are
// not in it: Archicad changes them with non-undoable modifiers, which Edit > Undo leaves as they are.
struct UndoStep {
    std::string name;
    Changes<UInt64, Element> elements;
    Changes<API_Guid, PropertyGroup> groups;
    Changes<API_Guid, PropertyDefinition> definitions;
    Changes<API_Guid, ClassificationSystem> systems;
    Changes<API_Guid, ClassificationItem> items;

    bool Empty() const;
};

class Project {
public:
    Project();

    // Elements, in creation order.
    const Element* FindElement(const API_Guid& guid) const { return elements_.FindByGuid(guid); }
    Element* EditElement(const API_Guid& guid);
    Element& AddElement(Element element);
    // Gives an unclassified element the classification its tool gives (a wall "Wall", a slab "Slab", a
    // curtain wall "Curtain Wall"), when the project has that item.
    void ClassifyAsTool(Element& element) const;
    bool DeleteElement(const API_Guid& guid);
    const std::map<UInt64, Element>& Elements() const { return elements_.Rows(); }
    ElementChanges ElementChangesSince(std::uint64_t revision) const { return elements_.ChangesSince(revision); }
    std::uint64_t ElementRevision() const { return elements_.Revision(); }
    // The windows and doors placed in a wall, in placement order.
    std::vector<const Element*> OpeningsOf(const API_Guid& wall) const { return elements_.OpeningsOf(wall); }

    // Attributes of one type in index order. Pens are not attributes: the project's pen table holds them.
    std::vector<const Attribute*> Attributes(API_AttrTypeID type) const;
    const Attribute* FindAttribute(API_AttrTypeID type, Int32 index) const;
    const Attribute* FindAttribute(API_AttrTypeID type, const API_Guid& guid) const;
    const Attribute* FindAttribute(API_AttrTypeID type, const GS::UniString& name) const;
    Attribute* EditAttribute(API_AttrTypeID type, Int32 index);
    bool DeleteAttribute(API_AttrTypeID type, Int32 index);
    // Adds it with the next index of its type and a new guid (unless it has one); answers its index.
    Int32 AddAttribute(Attribute attribute);
    const API_Pen* FindPen(Int32 index) const;
    const std::vector<API_Pen>& Pens() const { return pens_; }

    // Property groups and definitions in creation order, the built-in ones first.
    std::vector<const PropertyGroup*> Groups() const;
    const PropertyGroup* FindGroup(const API_Guid& guid) const;
    void AddGroup(PropertyGroup group);
    void DeleteGroup(const API_Guid& guid);
    std::vector<const PropertyDefinition*> Definitions(const API_Guid& group) const;  // null guid: all
    const PropertyDefinition* FindDefinition(const API_Guid& guid) const;
    PropertyDefinition* EditDefinition(const API_Guid& guid);
    void AddDefinition(PropertyDefinition definition);
    void DeleteDefinition(const API_Guid& guid);
    // Whether the element has the definition: an empty availability means every element.
    bool IsAvailable(const Element& element, const API_PropertyDefinition& definition) const;

    std::vector<const ClassificationSystem*> Systems() const;
    const ClassificationSystem* FindSystem(const API_Guid& guid) const;
    const ClassificationItem* FindItem(const API_Guid& guid) const;
    void AddSystem(ClassificationSystem system);
    void AddItem(ClassificationItem item);

    const std::map<std::string, UserData>& ModuleData() const { return moduleData_.Rows(); }
    void StoreModuleData(const std::string& name, UserData data);
    bool DeleteModuleData(const std::string& name);

    std::vector<API_Guid>& Selection() { return selection_; }
    const std::vector<API_Guid>& Selection() const { return selection_; }

    // Undo steps. Changes made between Begin and Commit form one step.
    bool InStep() const { return pending_ != nullptr; }
    void BeginStep(const std::string& name);
    // Whether the step changed anything that undo puts back, and so went on the undo stack.
    bool CommitStep();
    // The name of the step undone or redone; none when there is nothing to undo or redo.
    std::optional<std::string> Undo();
    std::optional<std::string> Redo();
    std::vector<std::string> UndoNames() const;  // newest first
    std::vector<std::string> RedoNames() const;  // next first

    // Which project this is: a new or opened project is another one, whose revisions start again.
    std::uint64_t Identity() const { return identity_; }
    // Grows with every change of the model, the selection aside.
    std::uint64_t Revision() const;

    // The whole project as the text of a project file, and back; a malformed file leaves the project as it was.
    // `corrections` gets what the host corrected in a file it opened, one line each.
    std::string ToJson() const;
    bool FromJson(const std::string& text, std::string* error, std::vector<std::string>* corrections = nullptr);

private:
    void Restore(const UndoStep& step, bool before);
    std::optional<std::string> Step(std::vector<UndoStep>& from, std::vector<UndoStep>& to, bool before);
    UInt64 NextOrder() { return ++lastOrder_; }

    ElementTable elements_;
    AttributeTable attributes_;
    Table<API_Guid, PropertyGroup> groups_;
    DefinitionTable definitions_;
    Table<API_Guid, ClassificationSystem> systems_;
    Table<API_Guid, ClassificationItem> items_;
    Table<std::string, UserData> moduleData_;
    std::vector<API_Pen> pens_;
    std::vector<API_Guid> selection_;
    UInt64 lastOrder_ = 0;
    std::uint64_t identity_;

    std::unique_ptr<UndoStep> pending_;
    std::vector<UndoStep> undo_;
    std::vector<UndoStep> redo_;

    friend class ProjectFile;
};

// An element of the type as the user's tool places it by default (docs/host-model.md); a window or
// door still needs its wall.
Element NewElement(API_ElemTypeID type);

// A wall's or slab's thickness as the host reports it (records, quantities, files). A composite element is
// as thick as its composite now: derived on every read, so a composite that changes moves every element on it
// at no cost and without an undo step, while the element keeps only which composite it is on. A basic one,
// or one whose composite is gone, has its own.
double ElementThickness(const Project& project, const Element& element);

// Element type names as scripts and project files spell them.
std::optional<API_ElemTypeID> ElemTypeFromName(const std::string& name);
const char* ElemTypeName(API_ElemTypeID type);
// Attribute type names likewise: composite, buildingmaterial, surface (also material), fill.
std::optional<API_AttrTypeID> AttrTypeFromName(const std::string& name);
const char* AttrTypeName(API_AttrTypeID type);
bool IsAttrType(API_AttrTypeID type);

// The attribute's name as the host keeps it (its record's name is only the first 255 bytes).
void SetAttributeName(Attribute& attribute, const GS::UniString& name);

}  // namespace Sim

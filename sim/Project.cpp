#include "Project.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "ProjectDefaults.hpp"

#include <algorithm>
#include <cstring>

namespace Sim {

namespace {

struct TypeName {
    API_ElemTypeID type;
    const char* name;
};
constexpr TypeName TypeNames[] = {
    {API_WallID, "wall"},
    {API_ColumnID, "column"},
    {API_BeamID, "beam"},
    {API_WindowID, "window"},
    {API_DoorID, "door"},
    {API_ObjectID, "object"},
    {API_LampID, "lamp"},
    {API_SlabID, "slab"},
    {API_RoofID, "roof"},
    {API_CurtainWallID, "curtainwall"},
    {API_CurtainWallPanelID, "curtainwallpanel"},
};

struct AttrTypeRow {
    API_AttrTypeID type;
    const char* name;
};
// The first name of a type is how it is written; "material" stays as the older name of surfaces.
constexpr AttrTypeRow AttrTypeNames[] = {
    {API_CompWallID, "composite"}, {API_BuildingMaterialID, "buildingmaterial"},
    {API_MaterialID, "surface"},   {API_MaterialID, "material"},
    {API_FilltypeID, "fill"},
};

template <typename Row>
std::vector<const Row*> InOrder(const std::map<API_Guid, Row>& rows)
{
    std::vector<const Row*> ordered;
    ordered.reserve(rows.size());
    for (const auto& entry : rows)
        ordered.push_back(&entry.second);
    std::sort(ordered.begin(), ordered.end(), [](const Row* a, const Row* b) { return a->order < b->order; });
    return ordered;
}

}  // namespace

bool UndoStep::Empty() const
{
    return elements.Empty() && groups.Empty() && definitions.Empty() && systems.Empty() && items.Empty();
}

Element* Project::EditElement(const API_Guid& guid)
{
    const auto order = elements_.OrderOf(guid);
    return order ? elements_.Edit(*order, pending_ ? &pending_->elements : nullptr) : nullptr;
}

Element& Project::AddElement(Element element)
{
    element.order = NextOrder();
    const UInt64 order = element.order;
    return elements_.Put(order, std::move(element), pending_ ? &pending_->elements : nullptr);
}

bool Project::DeleteElement(const API_Guid& guid)
{
    const auto order = elements_.OrderOf(guid);
    if (!order)
        return false;
    elements_.Erase(*order, pending_ ? &pending_->elements : nullptr);
    selection_.erase(std::remove(selection_.begin(), selection_.end(), guid), selection_.end());
    return true;
}

std::vector<const Attribute*> Project::Attributes(API_AttrTypeID type) const
{
    std::vector<const Attribute*> list;
    const auto& rows = attributes_.Rows();
    for (auto it = rows.lower_bound(AttributeKey{type, 0}); it != rows.end() && it->first.type == type; ++it)
        list.push_back(&it->second);
    return list;
}

const Attribute* Project::FindAttribute(API_AttrTypeID type, Int32 index) const
{
    return attributes_.Find(AttributeKey{type, index});
}

const Attribute* Project::FindAttribute(API_AttrTypeID type, const API_Guid& guid) const
{
    return attributes_.FindByGuid(type, guid);
}

const Attribute* Project::FindAttribute(API_AttrTypeID type, const GS::UniString& name) const
{
    return attributes_.FindByName(type, name);
}

Attribute* Project::EditAttribute(API_AttrTypeID type, Int32 index)
{
    return attributes_.Edit(AttributeKey{type, index}, nullptr);
}

bool Project::DeleteAttribute(API_AttrTypeID type, Int32 index)
{
    return attributes_.Erase(AttributeKey{type, index}, nullptr);
}

Int32 Project::AddAttribute(Attribute attribute)
{
    const API_AttrTypeID type = attribute.Type();
    const Int32 index = attributes_.LastIndex(type) + 1;
    attribute.record.header.index = ACAPI_CreateAttributeIndex(index);
    if (attribute.record.header.guid == APINULLGuid)
        attribute.record.header.guid = GSGuid2APIGuid(HostGuid::New());
    attributes_.Put(AttributeKey{type, index}, std::move(attribute), nullptr);
    return index;
}

const API_Pen* Project::FindPen(Int32 index) const
{
    return index >= 1 && index <= static_cast<Int32>(pens_.size()) ? &pens_[static_cast<std::size_t>(index - 1)]
                                                                   : nullptr;
}

std::vector<const PropertyGroup*> Project::Groups() const
{
    std::vector<const PropertyGroup*> groups;
    for (const auto& group : BuiltInGroups())
        groups.push_back(&group);
    for (const PropertyGroup* group : InOrder(groups_.Rows()))
        groups.push_back(group);
    return groups;
}

const PropertyGroup* Project::FindGroup(const API_Guid& guid) const
{
    for (const auto& group : BuiltInGroups()) {
        if (group.group.guid == guid)
            return &group;
    }
    return groups_.Find(guid);
}

void Project::AddGroup(PropertyGroup group)
{
    group.order = NextOrder();
    const API_Guid guid = group.group.guid;
    groups_.Put(guid, std::move(group), pending_ ? &pending_->groups : nullptr);
}

void Project::DeleteGroup(const API_Guid& guid)
{
    groups_.Erase(guid, pending_ ? &pending_->groups : nullptr);
}

std::vector<const PropertyDefinition*> Project::Definitions(const API_Guid& group) const
{
    std::vector<const PropertyDefinition*> definitions;
    for (const auto& definition : BuiltInDefinitionRows()) {
        if (group == APINULLGuid || definition.definition.groupGuid == group)
            definitions.push_back(&definition);
    }
    for (const PropertyDefinition* definition : InOrder(definitions_.Rows())) {
        if (group == APINULLGuid || definition->definition.groupGuid == group)
            definitions.push_back(definition);
    }
    return definitions;
}

const PropertyDefinition* Project::FindDefinition(const API_Guid& guid) const
{
    for (const auto& definition : BuiltInDefinitionRows()) {
        if (definition.definition.guid == guid)
            return &definition;
    }
    return definitions_.FindByGuid(guid);
}

PropertyDefinition* Project::EditDefinition(const API_Guid& guid)
{
    return definitions_.Edit(guid, pending_ ? &pending_->definitions : nullptr);
}

void Project::AddDefinition(PropertyDefinition definition)
{
    definition.order = NextOrder();
    const API_Guid guid = definition.definition.guid;
    definitions_.Put(guid, std::move(definition), pending_ ? &pending_->definitions : nullptr);
}

void Project::DeleteDefinition(const API_Guid& guid)
{
    definitions_.Erase(guid, pending_ ? &pending_->definitions : nullptr);
}

bool Project::IsAvailable(const Element& element, const API_PropertyDefinition& definition) const
{
    if (definition.availability.IsEmpty())
        return true;
    for (const auto& entry : element.classification) {
        if (definition.availability.Contains(entry.second))
            return true;
    }
    return false;
}

std::vector<const ClassificationSystem*> Project::Systems() const
{
    return InOrder(systems_.Rows());
}

const ClassificationSystem* Project::FindSystem(const API_Guid& guid) const
{
    return systems_.Find(guid);
}

const ClassificationItem* Project::FindItem(const API_Guid& guid) const
{
    return items_.Find(guid);
}

void Project::AddSystem(ClassificationSystem system)
{
    system.order = NextOrder();
    const API_Guid guid = system.system.guid;
    systems_.Put(guid, std::move(system), pending_ ? &pending_->systems : nullptr);
}

// Appended as the last child of its parent, or the last root item of its system.
void Project::AddItem(ClassificationItem item)
{
    const API_Guid guid = item.item.guid;
    if (item.parent != APINULLGuid) {
        if (ClassificationItem* parent = items_.Edit(item.parent, pending_ ? &pending_->items : nullptr))
            parent->children.push_back(guid);
    } else if (ClassificationSystem* system = systems_.Edit(item.system, pending_ ? &pending_->systems : nullptr)) {
        system->roots.push_back(guid);
    }
    items_.Put(guid, std::move(item), pending_ ? &pending_->items : nullptr);
}

void Project::StoreModuleData(const std::string& name, UserData data)
{
    moduleData_.Put(name, std::move(data), nullptr);
}

bool Project::DeleteModuleData(const std::string& name)
{
    return moduleData_.Erase(name, nullptr);
}

void Project::BeginStep(const std::string& name)
{
    pending_ = std::make_unique<UndoStep>();
    pending_->name = name;
}

bool Project::CommitStep()
{
    if (!pending_)
        return false;
    UndoStep& step = *pending_;
    elements_.Commit(step.elements);
    groups_.Commit(step.groups);
    definitions_.Commit(step.definitions);
    systems_.Commit(step.systems);
    items_.Commit(step.items);
    const bool undoable = !step.Empty();
    if (undoable) {
        undo_.push_back(std::move(step));
        redo_.clear();
    }
    pending_.reset();
    return undoable;
}

void Project::Restore(const UndoStep& step, bool before)
{
    elements_.Restore(step.elements, before);
    groups_.Restore(step.groups, before);
    definitions_.Restore(step.definitions, before);
    systems_.Restore(step.systems, before);
    items_.Restore(step.items, before);
    // What no longer exists cannot stay selected.
    selection_.erase(std::remove_if(selection_.begin(), selection_.end(),
                                    [this](const API_Guid& guid) { return FindElement(guid) == nullptr; }),
                     selection_.end());
}

// Moves the newest step of `from` to `to`, putting back the project as it was before or after it.
std::optional<std::string> Project::Step(std::vector<UndoStep>& from, std::vector<UndoStep>& to, bool before)
{
    if (from.empty() || pending_)
        return std::nullopt;
    to.push_back(std::move(from.back()));
    from.pop_back();
    Restore(to.back(), before);
    return to.back().name;
}

std::optional<std::string> Project::Undo()
{
    return Step(undo_, redo_, true);
}

std::optional<std::string> Project::Redo()
{
    return Step(redo_, undo_, false);
}

namespace {
// The stack's names, its top first.
std::vector<std::string> StepNames(const std::vector<UndoStep>& stack)
{
    std::vector<std::string> names;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        names.push_back(it->name);
    return names;
}
}  // namespace

std::vector<std::string> Project::UndoNames() const
{
    return StepNames(undo_);
}

std::vector<std::string> Project::RedoNames() const
{
    return StepNames(redo_);
}

std::uint64_t Project::Revision() const
{
    return elements_.Revision() + attributes_.Revision() + groups_.Revision() + definitions_.Revision() +
           systems_.Revision() + items_.Revision() + moduleData_.Revision();
}

namespace {
template <typename Record>
double StructureThickness(const Project& project, const Record& record)
{
    if (record.modelElemStructureType == API_CompositeStructure) {
        if (const Attribute* composite = project.FindAttribute(API_CompWallID, record.composite.ToInt32_Deprecated()))
            return composite->record.compWall.totalThick;
    }
    return record.thickness;
}
}  // namespace

double ElementThickness(const Project& project, const Element& element)
{
    switch (element.Type()) {
        case API_WallID:
            return StructureThickness(project, element.record.wall);
        case API_SlabID:
            return StructureThickness(project, element.record.slab);
        default:
            return 0.0;
    }
}

std::optional<API_AttrTypeID> AttrTypeFromName(const std::string& name)
{
    for (const auto& row : AttrTypeNames) {
        if (name == row.name)
            return row.type;
    }
    return std::nullopt;
}

bool IsAttrType(API_AttrTypeID type)
{
    for (const auto& row : AttrTypeNames) {
        if (type == row.type)
            return true;
    }
    return false;
}

const char* AttrTypeName(API_AttrTypeID type)
{
    for (const auto& row : AttrTypeNames) {
        if (type == row.type)
            return row.name;
    }
    return "unknown";
}

std::optional<API_ElemTypeID> ElemTypeFromName(const std::string& name)
{
    for (const auto& row : TypeNames) {
        if (name == row.name)
            return row.type;
    }
    return std::nullopt;
}

const char* ElemTypeName(API_ElemTypeID type)
{
    for (const auto& row : TypeNames) {
        if (type == row.type)
            return row.name;
    }
    return "unknown";
}

void SetAttributeName(Attribute& attribute, const GS::UniString& name)
{
    attribute.name = name;
    const std::string utf8 = HostText::Utf8(name);
    const std::size_t length = std::min(utf8.size(), static_cast<std::size_t>(API_AttrNameLen - 1));
    std::memset(attribute.record.header.name, 0, sizeof attribute.record.header.name);
    std::memcpy(attribute.record.header.name, utf8.data(), length);
}

}  // namespace Sim

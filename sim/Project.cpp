#include "Project.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>

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

API_Guid GuidOf(const char* text)
{
    GS::Guid guid;
    guid.ConvertFromString(text);
    return GSGuid2APIGuid(guid);
}

// Every project has these, with the same guids, as Archicad's built-in properties.
struct BuiltInDefinition {
    const char* guid;
    const char* name;
    const char* description;
    API_VariantType valueType;
};
constexpr const char* RatingsGroupGuid = "5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4A01";
constexpr const char* RatingsGroupName = "General Ratings";
constexpr BuiltInDefinition BuiltInDefinitions[] = {
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B01", "Fire Resistance Requirement", "Minutes the element must resist fire",
     API_PropertyRealValueType},
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B02", "Acoustic Requirement", "Sound insulation the element must reach, dB",
     API_PropertyRealValueType},
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B03", "Thermal Transmittance", "U-value, W/(m2 K)", API_PropertyRealValueType},
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B04", "Load-Bearing", "Whether the element carries loads",
     API_PropertyBooleanValueType},
    {"5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4B05", "Position", "Interior or exterior", API_PropertyStringValueType},
};

// Colours of pens 1 to 16; the others follow a fixed hue and lightness ramp (docs/host-model.md).
constexpr double BasePens[16][3] = {
    {0, 0, 0},     {1, 0, 0},     {0, 0.6, 0},     {0, 0, 1},          {1, 0.5, 0},   {0.5, 0, 0.5},
    {0, 0.6, 0.6}, {0.5, 0.5, 0}, {0.5, 0.5, 0.5}, {0.75, 0.75, 0.75}, {0.4, 0.2, 0}, {1, 0.75, 0.8},
    {0.6, 0.8, 1}, {0.8, 1, 0.6}, {1, 1, 0.6},     {1, 1, 1},
};

std::vector<API_Pen> DefaultPens()
{
    std::vector<API_Pen> pens(255);
    for (int i = 0; i < 255; ++i) {
        API_Pen& pen = pens[static_cast<std::size_t>(i)];
        pen.index = static_cast<short>(i + 1);
        pen.width = 0.13 + 0.05 * (i % 8);
        if (i < 16) {
            pen.rgb = API_RGBColor{BasePens[i][0], BasePens[i][1], BasePens[i][2]};
            continue;
        }
        // Hue steps round the circle; every 24 pens the ramp gets lighter.
        const double hue = std::fmod((i - 16) * 15.0, 360.0) / 60.0;
        const double light = 0.25 + 0.07 * ((i - 16) / 24);
        const double x = 1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0);
        double rgb[3] = {0, 0, 0};
        const int sector = static_cast<int>(hue);
        const int order[6][3] = {{0, 1, 2}, {1, 0, 2}, {1, 2, 0}, {2, 1, 0}, {2, 0, 1}, {0, 2, 1}};
        rgb[order[sector][0]] = 1.0;
        rgb[order[sector][1]] = x;
        for (double& c : rgb)
            c = std::min(1.0, c * (1.0 - light) + light * 0.8);
        pen.rgb = API_RGBColor{rgb[0], rgb[1], rgb[2]};
    }
    return pens;
}

struct DefaultFill {
    const char* name;
    API_FillSubtype type;
};
constexpr DefaultFill DefaultFills[] = {
    {"Solid Fill", APIFill_Solid}, {"Empty Fill", APIFill_Empty},  {"Background", APIFill_Solid},
    {"10 %", APIFill_Vector},      {"25 %", APIFill_Vector},       {"50 %", APIFill_Vector},
    {"Brick", APIFill_Vector},     {"Insulation", APIFill_Vector}, {"Concrete", APIFill_Vector},
    {"Wood", APIFill_Vector},
};

struct DefaultSurface {
    const char* name;
    API_RGBColor colour = {};
};
constexpr DefaultSurface DefaultSurfaces[] = {
    {"Paint - White", {0.95, 0.95, 0.93}},
    {"Plaster - Gypsum", {0.88, 0.86, 0.82}},
    {"Concrete - Grey", {0.62, 0.62, 0.6}},
    {"Insulation - Yellow", {0.93, 0.84, 0.4}},
};

struct DefaultMaterial {
    const char* name;
    Int32 fill;
    Int32 surface;
    double lambda;
};
constexpr DefaultMaterial DefaultMaterials[] = {
    {"General - Generic", 1, 1, 0.0},
    {"Gypsum Board", 6, 2, 0.25},
    {"Concrete - Structural", 9, 3, 2.3},
    {"Insulation - Mineral Wool", 8, 4, 0.035},
};

struct DefaultItem {
    const char* guid;
    const char* parent;  // null for a root item
    const char* id;
    const char* name;
};
constexpr const char* DefaultSystemGuid = "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7001";
constexpr DefaultItem DefaultItems[] = {
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7101", nullptr, "Wall", "Wall"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7102", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7101", "Wall.Partition",
     "Partition Wall"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7103", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7101", "Wall.Exterior", "Exterior Wall"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7104", nullptr, "Slab", "Slab"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7105", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7104", "Slab.Floor", "Floor"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7106", "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7104", "Slab.Ceiling", "Ceiling"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7107", nullptr, "CurtainWall", "Curtain Wall"},
    {"7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7108", nullptr, "Covering", "Covering"},
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

const Element* ElementTable::FindByGuid(const API_Guid& guid) const
{
    const auto order = OrderOf(guid);
    return order ? Find(*order) : nullptr;
}

std::optional<UInt64> ElementTable::OrderOf(const API_Guid& guid) const
{
    const auto found = index_.find(guid);
    return found != index_.end() ? std::optional<UInt64>(found->second) : std::nullopt;
}

std::vector<const Element*> ElementTable::OpeningsOf(const API_Guid& wall) const
{
    std::vector<const Element*> openings;
    const auto found = openings_.find(wall);
    if (found == openings_.end())
        return openings;
    for (UInt64 order : found->second)
        openings.push_back(Find(order));
    return openings;
}

namespace {
bool IsOpening(const Element& element)
{
    return element.Type() == API_WindowID || element.Type() == API_DoorID;
}
}  // namespace

void ElementTable::Added(const UInt64& order, const Element& element)
{
    Stamp(order, element.Guid());
    index_[element.Guid()] = order;
    if (IsOpening(element))
        openings_[element.record.window.owner].insert(order);
}

void ElementTable::Removed(const UInt64& order, const Element& element)
{
    Stamp(order, element.Guid());
    index_.erase(element.Guid());
    if (!IsOpening(element))
        return;
    const auto found = openings_.find(element.record.window.owner);
    if (found != openings_.end() && found->second.erase(order) > 0 && found->second.empty())
        openings_.erase(found);
}

void ElementTable::Edited(const UInt64& order, const Element& element)
{
    Stamp(order, element.Guid());
}

void ElementTable::Cleared()
{
    index_.clear();
    openings_.clear();
    byRevision_.clear();
    revisionOf_.clear();
}

void ElementTable::Stamp(UInt64 order, const API_Guid& guid)
{
    const auto previous = revisionOf_.find(order);
    if (previous != revisionOf_.end())
        byRevision_.erase(previous->second);
    revisionOf_[order] = Revision();
    byRevision_[Revision()] = Stamped{order, guid};
}

ElementChanges ElementTable::ChangesSince(std::uint64_t revision) const
{
    ElementChanges changes;
    for (auto it = byRevision_.upper_bound(revision); it != byRevision_.end(); ++it) {
        if (const Element* element = Find(it->second.order))
            changes.changed.push_back(element);
        else
            changes.removed.push_back(it->second.guid);
    }
    return changes;
}

void AttributeTable::Added(const AttributeKey& key, const Attribute& attribute)
{
    const std::string name = HostText::Utf8(attribute.name);
    byName_[NameKey{key.type, name}] = key;
    nameOf_[key] = name;
    byGuid_[{key.type, attribute.record.header.guid}] = key;
}

void AttributeTable::Removed(const AttributeKey& key, const Attribute& attribute)
{
    Unindex(key);
    edited_.erase(key);
    byGuid_.erase({key.type, attribute.record.header.guid});
}

void AttributeTable::Edited(const AttributeKey& key, const Attribute&)
{
    edited_.insert(key);
}

void AttributeTable::Cleared()
{
    byName_.clear();
    nameOf_.clear();
    edited_.clear();
    byGuid_.clear();
}

void AttributeTable::Unindex(const AttributeKey& key)
{
    const auto found = nameOf_.find(key);
    if (found == nameOf_.end())
        return;
    const auto named = byName_.find(NameKey{key.type, found->second});
    // Two attributes may have shared a name for a moment during a rename; only this one's entry goes.
    if (named != byName_.end() && !(named->second < key) && !(key < named->second))
        byName_.erase(named);
    nameOf_.erase(found);
}

void AttributeTable::IndexEdited() const
{
    for (const AttributeKey& key : edited_) {
        const_cast<AttributeTable*>(this)->Unindex(key);
        if (const Attribute* attribute = Find(key)) {
            const std::string name = HostText::Utf8(attribute->name);
            byName_[NameKey{key.type, name}] = key;
            nameOf_[key] = name;
        }
    }
    edited_.clear();
}

const Attribute* AttributeTable::FindByName(API_AttrTypeID type, const GS::UniString& name) const
{
    IndexEdited();
    const auto found = byName_.find(NameKey{type, HostText::Utf8(name)});
    return found != byName_.end() ? Find(found->second) : nullptr;
}

const Attribute* AttributeTable::FindByGuid(API_AttrTypeID type, const API_Guid& guid) const
{
    const auto found = byGuid_.find({type, guid});
    return found != byGuid_.end() ? Find(found->second) : nullptr;
}

Int32 AttributeTable::LastIndex(API_AttrTypeID type) const
{
    const auto& rows = Rows();
    auto after = rows.upper_bound(AttributeKey{type, std::numeric_limits<Int32>::max()});
    if (after == rows.begin())
        return 0;
    --after;
    return after->first.type == type ? after->first.index : 0;
}

bool UndoStep::Empty() const
{
    return elements.Empty() && groups.Empty() && definitions.Empty() && systems.Empty() && items.Empty();
}

namespace {
std::uint64_t NextProjectIdentity()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}
}  // namespace

Project::Project() : pens_(DefaultPens()), identity_(NextProjectIdentity())
{
    for (const auto& fill : DefaultFills) {
        Attribute attribute;
        attribute.record.header.typeID = API_FilltypeID;
        attribute.record.filltype.subType = fill.type;
        SetAttributeName(attribute, HostText::Uni(fill.name));
        AddAttribute(attribute);
    }
    for (const auto& row : DefaultSurfaces) {
        Attribute surface;
        surface.record.header.typeID = API_MaterialID;
        surface.record.material.surfaceRGB = row.colour;
        SetAttributeName(surface, HostText::Uni(row.name));
        AddAttribute(surface);
    }
    for (const auto& row : DefaultMaterials) {
        Attribute material;
        material.record.header.typeID = API_BuildingMaterialID;
        auto& record = material.record.buildingMaterial;
        record.cutFill = ACAPI_CreateAttributeIndex(row.fill);
        record.cutMaterial = ACAPI_CreateAttributeIndex(row.surface);
        record.cutFillPen = 1;
        record.cutFillBackgroundPen = 19;
        record.thermalConductivity = row.lambda;
        SetAttributeName(material, HostText::Uni(row.name));
        AddAttribute(material);
    }
    ClassificationSystem system;
    system.order = NextOrder();
    system.system.guid = GuidOf(DefaultSystemGuid);
    system.system.name = "ARCHICAD Classification";
    system.system.editionVersion = "28";
    system.system.source = "Archicad";
    systems_.Put(system.system.guid, system, nullptr);
    for (const auto& row : DefaultItems) {
        ClassificationItem item;
        item.item.guid = GuidOf(row.guid);
        item.item.id = row.id;
        item.item.name = row.name;
        item.system = system.system.guid;
        item.parent = row.parent != nullptr ? GuidOf(row.parent) : APINULLGuid;
        AddItem(item);
    }
}

namespace {
// The classification each tool gives what it places in a new project's template.
struct ToolClassification {
    API_ElemTypeID type;
    const char* item;
};
constexpr ToolClassification ToolClassifications[] = {
    {API_WallID, "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7101"},
    {API_SlabID, "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7104"},
    {API_CurtainWallID, "7A3E51C0-8D42-4B6F-A1E2-3C4D5E6F7107"},
};
}  // namespace

void Project::ClassifyAsTool(Element& element) const
{
    if (!element.classification.empty())
        return;
    for (const auto& row : ToolClassifications) {
        if (row.type != element.Type())
            continue;
        // A project that no longer has the item (another template, an opened file) leaves it unclassified.
        if (const ClassificationItem* item = FindItem(GuidOf(row.item)))
            element.classification[item->system] = item->item.guid;
    }
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

namespace {

const std::vector<PropertyGroup>& BuiltInGroups()
{
    static const std::vector<PropertyGroup> groups = [] {
        PropertyGroup ratings;
        ratings.group.groupType = API_PropertyStaticBuiltInGroupType;
        ratings.group.guid = GuidOf(RatingsGroupGuid);
        ratings.group.name = RatingsGroupName;
        return std::vector<PropertyGroup>{ratings};
    }();
    return groups;
}

const std::vector<PropertyDefinition>& BuiltInDefinitionRows()
{
    static const std::vector<PropertyDefinition> definitions = [] {
        std::vector<PropertyDefinition> rows;
        for (const auto& row : BuiltInDefinitions) {
            PropertyDefinition definition;
            auto& d = definition.definition;
            d.definitionType = API_PropertyStaticBuiltInDefinitionType;
            d.guid = GuidOf(row.guid);
            d.groupGuid = GuidOf(RatingsGroupGuid);
            d.name = row.name;
            d.description = row.description;
            d.collectionType = API_PropertySingleCollectionType;
            d.valueType = row.valueType;
            d.measureType = API_PropertyDefaultMeasureType;
            d.defaultValue.basicValue.variantStatus = API_VariantStatusUserUndefined;
            d.defaultValue.basicValue.singleVariant.variant.type = row.valueType;
            d.canValueBeEditable = true;
            rows.push_back(definition);
        }
        return rows;
    }();
    return definitions;
}

}  // namespace

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

Element NewElement(API_ElemTypeID type)
{
    Element element;
    element.record.header.type = type;
    switch (type) {
        case API_WallID: {
            API_WallType& wall = element.record.wall;
            wall.begC = API_Coord{0.0, 0.0};
            wall.endC = API_Coord{5.0, 0.0};
            wall.height = 2.7;
            wall.thickness = wall.thickness1 = 0.1;
            wall.referenceLineLocation = APIWallRefLine_Outside;
            wall.modelElemStructureType = API_BasicStructure;
            break;
        }
        case API_SlabID:
            element.record.slab.thickness = 0.2;
            element.polygon = {{0.0, 0.0}, {5.0, 0.0}, {5.0, 5.0}, {0.0, 5.0}};
            element.record.slab.poly.nCoords = 5;
            element.record.slab.poly.nSubPolys = 1;
            break;
        case API_CurtainWallID:
            element.record.curtainWall.height = 3.0;
            element.polygon = {{0.0, 0.0}, {6.0, 0.0}};
            break;
        case API_WindowID:
            element.record.window.openingBase.width = 1.0;
            element.record.window.openingBase.height = 1.2;
            element.record.window.lower = 0.9;
            break;
        case API_DoorID:
            element.record.door.openingBase.width = 0.9;
            element.record.door.openingBase.height = 2.1;
            element.record.door.lower = 0.0;
            break;
        default:
            break;
    }
    return element;
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

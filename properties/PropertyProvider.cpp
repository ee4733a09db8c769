#include "PropertyProvider.hpp"

#include "ACAPinc.hpp"
#include "CompositeTag.hpp"
#include "ConfigurationService.hpp"
#include "ElementLink.hpp"
#include "GSDebug.hpp"
#include "LodProvider.hpp"
#include "ProcessWindow.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyValues.hpp"
#include "ServiceSlot.hpp"
#include "State.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

namespace Velmar::Services {

namespace {

ServiceSlot<PropertyProvider> slot;

using Properties::ValueKind;

const char* const SettingStep = "setting property";
const char* const UpdateStep = "update parameter";
const char* const ReapplyTitle = "Velmar properties";
// How often a long run shows its progress and looks for a cancel.
constexpr Int32 ProgressStep = 100;

bool SameName(const GS::UniString& a, const GS::UniString& b)
{
    return a.IsEqual(b, GS::CaseInsensitive);
}

// The listed items found at this level of a system, and below them the children they list; an item the
// project does not have is left out with what it lists.
void CollectItems(const GS::Array<Cnf::VelmarClassificationItemDescriptor>& wanted,
                  const GS::Array<API_ClassificationItem>& level, GS::Array<API_Guid>& items)
{
    for (const auto& descriptor : wanted) {
        const GS::UniString name = descriptor.name.ValueOr(GS::UniString());
        const API_ClassificationItem* found = nullptr;
        for (const API_ClassificationItem& item : level) {
            if (SameName(item.id, name) || SameName(item.name, name)) {
                found = &item;
                break;
            }
        }
        if (found == nullptr) {
            DBPrintf("Velmar: the classification item \"%s\" is not in the project\n", Utf8Of(name).c_str());
            continue;
        }
        items.Push(found->guid);
        if (descriptor.children.Items().IsEmpty())
            continue;
        GS::Array<API_ClassificationItem> children;
        if (const GSErrCode err = ACAPI_Classification_GetClassificationItemChildren(found->guid, children);
            err != NoError) {
            DBPrintf("Velmar: the items under \"%s\" were not read (%d)\n", Utf8Of(name).c_str(), err);
            continue;
        }
        CollectItems(descriptor.children.Items(), children, items);
    }
}

// Systems are matched by name only: the project's edition of a system rarely carries the mapping's version.
GS::Array<API_Guid> ResolveItems(const GS::Array<Cnf::VelmarClassificationDescriptor>& wanted,
                                 const GS::Array<API_ClassificationSystem>& systems)
{
    GS::Array<API_Guid> items;
    for (const auto& descriptor : wanted) {
        const GS::UniString name = descriptor.name.ValueOr(GS::UniString());
        for (const API_ClassificationSystem& system : systems) {
            if (!SameName(system.name, name))
                continue;
            GS::Array<API_ClassificationItem> roots;
            if (const GSErrCode err = ACAPI_Classification_GetClassificationSystemRootItems(system.guid, roots);
                err != NoError)
                DBPrintf("Velmar: the items of \"%s\" were not read (%d)\n", Utf8Of(name).c_str(), err);
            else
                CollectItems(descriptor.children.Items(), roots, items);
            break;
        }
    }
    return items;
}

bool IsWallOrSlab(API_ElemTypeID type)
{
    return type == API_WallID || type == API_SlabID;
}

// A read the values depend on, refused: a step ends, as values written without it would describe what
// the element is not; in the user's own command the element keeps what it has and the host's refusal
// reaches the log where the command ends.
void ReadRefused(const char* what, GSErrCode err)
{
    if (InStep())
        throw GS::GeneralException(
            UniStringOfUtf8(std::string(what) + " could not be read (" + std::to_string(err) + ")"));
}

// None for an element that is gone (someone deleted it since it was listed).
std::optional<API_Element> ReadElement(const API_Guid& guid)
{
    API_Element element = {};
    element.header.guid = guid;
    if (const GSErrCode err = ACAPI_Element_Get(&element, 0); err != NoError) {
        if (err != APIERR_BADID && err != APIERR_DELETED)
            ReadRefused("an element", err);
        return std::nullopt;
    }
    return element;
}

// Every wall, then every slab of the project.
GS::Array<API_Guid> WallsAndSlabs()
{
    GS::Array<API_Guid> all;
    for (const API_ElemTypeID type : {API_WallID, API_SlabID}) {
        GS::Array<API_Guid> listed;
        if (const GSErrCode err = ACAPI_Element_GetElemList(API_ElemType{type}, &listed, APIFilt_None, APINULLGuid);
            err != NoError)
            ReadRefused("the project's walls and slabs", err);
        for (const API_Guid& guid : listed)
            all.Push(guid);
    }
    return all;
}

}  // namespace

// One write of the provider: groups and definitions are listed once, and the values a system gives at a
// level are prepared once, however many elements receive them.
class PropertyProvider::Run {
public:
    explicit Run(PropertyProvider& provider) : provider_(provider), neutral_(App::State::instance()->IsNeutral()) {}

    // False when the element is gone or none of the add-on's.
    bool Update(const API_Guid& guid)
    {
        const auto element = ReadElement(guid);
        return element && Update(*element);
    }

    bool Update(const API_Element& element)
    {
        const API_Guid guid = element.header.guid;
        const API_ElemTypeID type = element.header.type.typeID;
        if (!IsWallOrSlab(type))
            return false;
        const auto index = Bo::ElementLink::CompositeOf(element);
        std::optional<GS::Guid> linked = underlayLink_;
        if (!linked) {
            if (const GSErrCode err = Bo::ElementLink::Read(element.header, linked); err != NoError)
                ReadRefused("an element's link", err);
        }

        if (const auto tag = index ? TagOf(*index) : std::nullopt) {
            const auto system = SystemFor(tag->storedSystemId);
            if (system == nullptr)
                return false;
            const auto lods = Lod::LodProvider::instance();
            std::optional<Bo::LOD> lod;
            if (const auto level = lods->FindByValue(tag->lod))
                lod = lods->GetLevels()[*level];
            WriteValues(guid, Layered(PlanFor(*system, tag->storedSystemId, lod, true)));
            if (linked != tag->storedSystemId) {
                // Values without their link would never be updated; in the user's own command the host's
                // refusal is logged where the command ends.
                if (const GSErrCode err = Bo::ElementLink::Write(element.header, tag->storedSystemId);
                    err != NoError && InStep())
                    throw GS::GeneralException(
                        UniStringOfUtf8("an element could not be linked to its system (" + std::to_string(err) + ")"));
            }
            return true;
        }
        if (!linked)
            return false;
        const auto system = SystemFor(*linked);
        if (system == nullptr)
            return false;
        WriteValues(guid, Layered(PlanFor(*system, *linked, std::nullopt, false)));
        return true;
    }

    // An element that gets no system of its own still gets the underlay.
    bool UpdateOver(const API_Guid& guid)
    {
        if (Update(guid))
            return true;
        if (underlay_)
            WriteValues(guid, *underlay_);
        return false;
    }

    // Values every element keeps where the plan it gets has none for the definition: those of the stored
    // system every element is linked to.
    void Underlay(const Bo::System& system, const GS::Guid& linkedTo)
    {
        underlay_ = MakePlan(system, std::nullopt, false);
        underlayLink_ = linkedTo;
        layered_.clear();
        guidsOf_.clear();
    }

    std::size_t RefreshDefinitions(Int32 languageIndex);

private:
    using Plan = GS::Array<API_Property>;

    const Plan& Layered(const Plan& plan)
    {
        if (!underlay_)
            return plan;
        const auto found = layered_.find(&plan);
        if (found != layered_.end())
            return found->second;
        Plan layered = plan;
        for (const API_Property& below : *underlay_) {
            const bool covered = std::any_of(plan.begin(), plan.end(), [&below](const API_Property& above) {
                return above.definition.guid == below.definition.guid;
            });
            if (!covered)
                layered.Push(below);
        }
        return layered_.emplace(&plan, std::move(layered)).first->second;
    }

    const Plan& PlanFor(const Bo::System& system, const GS::Guid& id, const std::optional<Bo::LOD>& lod, bool create)
    {
        const PlanKey key{id, lod ? lod->value : -1, create};
        auto found = plans_.find(key);
        if (found == plans_.end())
            found = plans_.emplace(key, MakePlan(system, lod, create)).first;
        return found->second;
    }

    // Every value the element gets, converted before anything is written to an element, so a text that
    // does not convert ends the write with no element half written.
    Plan MakePlan(const Bo::System& system, const std::optional<Bo::LOD>& lod, bool create)
    {
        Plan plan;
        const Cnf::VelmarMappingFile* mapping = provider_.Mapping();
        for (const Bo::Property& parameter : system.properties) {
            if (lod && (!parameter.lod || parameter.lod->value > lod->value))
                continue;
            const Cnf::Property entry = Properties::EntryFor(mapping, parameter);
            if (neutral_ && entry.isNoneNeutral.ValueOr(false))
                continue;
            const ValueKind kind = Properties::ValueKindOf(Properties::DataTypeOf(entry, parameter));
            const auto definition = DefinitionFor(entry, parameter, kind, system.kind, create);
            if (!definition)
                continue;
            plan.Push(Properties::ToProperty(*definition, Properties::ValueTextOf(entry, parameter, kind)));
        }
        AddClassifications(system, plan);
        return plan;
    }

    // The codes the user mapped to a property: the parameter's own value, or the default when the system
    // has none. A mapping the user switched off is not written; a target the project lost is skipped.
    void AddClassifications(const Bo::System& system, Plan& plan)
    {
        for (const auto& mapping : App::State::instance()->classificationMappings) {
            if (!mapping.propertyDefinitionId.HasValue() || !mapping.active.ValueOr(true))
                continue;
            const GS::UniString code = mapping.classificationCode.ValueOr(GS::UniString());
            GS::UniString text;
            for (const Bo::Property& parameter : system.properties) {
                if (SameName(parameter.attribute.ID.ValueOr(GS::UniString()), code)) {
                    text = parameter.attribute.ValueText(parameter.language).value_or(GS::UniString());
                    break;
                }
            }
            API_PropertyDefinition definition;
            definition.guid = GSGuid2APIGuid(mapping.propertyDefinitionId.Get());
            if (ACAPI_Property_GetPropertyDefinition(definition) != NoError)
                continue;
            plan.Push(Properties::ToProperty(definition, text));
        }
    }

    std::optional<API_PropertyDefinition> DefinitionFor(const Cnf::Property& entry, const Bo::Property& parameter,
                                                        const ValueKind& kind,
                                                        const std::optional<Bo::SystemKind>& systemKind, bool create)
    {
        const GS::UniString groupName = Properties::GroupOf(entry);
        const GS::UniString name = Properties::NameOf(entry, parameter);
        const auto group = GroupNamed(groupName, create);
        if (!group)
            return std::nullopt;
        GS::Array<API_PropertyDefinition>& definitions = DefinitionsOf(*group);
        for (API_PropertyDefinition& definition : definitions) {
            if (definition.name == name)
                return create ? Widened(definition, systemKind) : definition;
        }
        if (!create)
            return std::nullopt;
        API_PropertyDefinition definition;
        definition.definitionType = API_PropertyCustomDefinitionType;
        definition.groupGuid = *group;
        definition.name = name;
        definition.description = " ";
        definition.collectionType = API_PropertySingleCollectionType;
        definition.valueType = kind.valueType;
        definition.measureType = kind.measureType;
        definition.defaultValue.basicValue =
            Properties::DefaultValueOf(kind.valueType, entry.DefaultIsUndefined.ValueOr(false));
        definition.availability = provider_.AvailabilityFor(systemKind);
        if (CreatePropertyDefinition(definition) != NoError) {
            NoteSkippedValue(name);
            return std::nullopt;
        }
        definitions.Push(definition);
        return definition;
    }

    // A definition made for walls also serves the floors and ceilings written later: the classification
    // items of their kind are added to where it is available (an empty list already means everywhere).
    API_PropertyDefinition Widened(API_PropertyDefinition& definition, const std::optional<Bo::SystemKind>& systemKind)
    {
        if (definition.availability.IsEmpty() || definition.definitionType != API_PropertyCustomDefinitionType)
            return definition;
        API_PropertyDefinition widened = definition;
        for (const API_Guid& item : provider_.AvailabilityFor(systemKind)) {
            if (!widened.availability.Contains(item))
                widened.availability.Push(item);
        }
        if (widened.availability.GetSize() == definition.availability.GetSize())
            return definition;
        // Refused, the definition stays as it is, and a value it cannot carry is skipped where it is written.
        if (ChangePropertyDefinition(definition, widened) != NoError)
            return definition;
        definition = widened;
        return definition;
    }

    std::optional<API_Guid> GroupNamed(const GS::UniString& name, bool create)
    {
        if (!groupsListed_) {
            if (const GSErrCode err = ACAPI_Property_GetPropertyGroups(groups_); err != NoError)
                ReadRefused("the property groups", err);
            groupsListed_ = true;
        }
        for (const API_PropertyGroup& group : groups_) {
            if (group.name == name)
                return group.guid;
        }
        if (!create)
            return std::nullopt;
        API_PropertyGroup group;
        group.groupType = API_PropertyCustomGroupType;
        group.name = name;
        group.description = " ";
        if (CreatePropertyGroup(group) != NoError) {
            NoteSkippedValue(name);
            return std::nullopt;
        }
        groups_.Push(group);
        return group.guid;
    }

    GS::Array<API_PropertyDefinition>& DefinitionsOf(const API_Guid& group)
    {
        auto found = definitions_.find(group);
        if (found != definitions_.end())
            return found->second;
        GS::Array<API_PropertyDefinition> listed;
        if (const GSErrCode err = ACAPI_Property_GetPropertyDefinitions(group, listed); err != NoError)
            ReadRefused("the properties of a group", err);
        return definitions_.emplace(group, std::move(listed)).first->second;
    }

    std::optional<Bo::CompositeTag> TagOf(const API_AttributeIndex& index)
    {
        const Int32 key = index.ToInt32_Deprecated();
        const auto found = tags_.find(key);
        if (found != tags_.end())
            return found->second;
        std::optional<Bo::CompositeTag> tag;
        if (index.IsPositive()) {
            API_Attr_Head head = {};
            head.typeID = API_CompWallID;
            head.index = index;
            if (const GSErrCode err = Bo::CompositeTag::Read(head, tag); err != NoError)
                ReadRefused("a composite's tag", err);
        }
        return tags_.emplace(key, tag).first->second;
    }

    std::shared_ptr<const Bo::System> SystemFor(const GS::Guid& id)
    {
        const auto found = systems_.find(id);
        if (found != systems_.end())
            return found->second;
        std::shared_ptr<const Bo::System> system = ProjectStore::ProjectStoreService::instance()->GetSystem(id);
        if (system == nullptr)
            DBPrintf("Velmar: the stored system %s is not in the project\n", Utf8Of(id.ToUniString()).c_str());
        return systems_.emplace(id, system).first->second;
    }

    // Values the element has already are left alone, so a re-apply changes only what differs. The plan is
    // read and the differences written in one call each; when the host refuses either, each value is
    // taken on its own, so a value the host refuses is logged and the others are still written.
    void WriteValues(const API_Guid& element, const Plan& plan)
    {
        if (const GSErrCode err = ACAPI_Element_GetPropertyValuesByGuid(element, GuidsOf(plan), current_);
            err != NoError) {
            DBPrintf("Velmar: the values of an element were not read together (%d); each is read alone\n", err);
            for (const API_Property& wanted : plan)
                WriteValue(element, wanted);
            return;
        }
        std::vector<UIndex> differing;
        for (UIndex i = 0; i < plan.GetSize() && i < current_.GetSize(); ++i) {
            if (current_[i].status != API_Property_NotAvailable && !Properties::SameValue(current_[i], plan[i]))
                differing.push_back(i);
        }
        if (differing.empty())
            return;
        // An element that has none of the values yet takes the plan as it is, without a copy.
        const bool all = differing.size() == plan.GetSize();
        GS::Array<API_Property> changed;
        for (std::size_t k = 0; !all && k < differing.size(); ++k)
            changed.Push(plan[differing[k]]);
        const Plan& written = all ? plan : changed;
        KeepForPutBack(element, differing);
        if (ACAPI_Element_SetProperties(element, written) != NoError) {
            for (const API_Property& wanted : written)
                SetOne(element, wanted);
        }
    }

    static void WriteValue(const API_Guid& element, const API_Property& wanted)
    {
        API_Property current;
        if (ACAPI_Element_GetPropertyValue(element, wanted.definition.guid, current) != NoError) {
            NoteSkippedValue(wanted.definition.name);
            return;
        }
        if (current.status == API_Property_NotAvailable || Properties::SameValue(current, wanted))
            return;
        PutBackValueIfStepFails(element, std::move(current));
        SetOne(element, wanted);
    }

    static void SetOne(const API_Guid& element, const API_Property& wanted)
    {
        if (ACAPI_Element_SetProperty(element, wanted) != NoError)
            NoteSkippedValue(wanted.definition.name);
    }

    // The values about to change, as the element has them; they are read again for the next element.
    void KeepForPutBack(const API_Guid& element, const std::vector<UIndex>& changing)
    {
        if (!InStep())
            return;
        for (const UIndex i : changing)
            PutBackValueIfStepFails(element, std::move(current_[i]));
    }

    const GS::Array<API_Guid>& GuidsOf(const Plan& plan)
    {
        const auto found = guidsOf_.find(&plan);
        if (found != guidsOf_.end())
            return found->second;
        GS::Array<API_Guid> guids;
        guids.SetCapacity(plan.GetSize());
        for (const API_Property& property : plan)
            guids.Push(property.definition.guid);
        return guidsOf_.emplace(&plan, std::move(guids)).first->second;
    }

    PropertyProvider& provider_;
    const bool neutral_;
    bool groupsListed_ = false;
    GS::Array<API_PropertyGroup> groups_;
    std::unordered_map<API_Guid, GS::Array<API_PropertyDefinition>> definitions_;
    std::map<Int32, std::optional<Bo::CompositeTag>> tags_;
    std::map<GS::Guid, std::shared_ptr<const Bo::System>> systems_;
    // A stored system's plan at a level, made to create missing definitions or not.
    using PlanKey = std::tuple<GS::Guid, Int32, bool>;
    std::map<PlanKey, Plan> plans_;
    std::optional<Plan> underlay_;
    std::optional<GS::Guid> underlayLink_;
    // Keyed by the address of a plan in plans_ or layered_, whose nodes stay where they are.
    std::unordered_map<const Plan*, Plan> layered_;
    std::unordered_map<const Plan*, GS::Array<API_Guid>> guidsOf_;
    // The values last read, kept for the next element's read.
    GS::Array<API_Property> current_;
};

std::size_t PropertyProvider::Run::RefreshDefinitions(Int32 languageIndex)
{
    std::size_t changed = 0;
    const Cnf::VelmarMappingFile* mapping = provider_.Mapping();
    for (const auto& stored : ProjectStore::ProjectStoreService::instance()->GetAllSystems()) {
        for (const Bo::Property& parameter : stored.first.properties) {
            const Cnf::Property entry = Properties::EntryFor(mapping, parameter);
            const auto group = GroupNamed(Properties::GroupOf(entry), false);
            if (!group)
                continue;
            // A name the mapping gives is the country's own and stays; the parameter's name follows the language.
            const GS::UniString id = parameter.attribute.ID.ValueOr(GS::UniString());
            const bool named = mapping != nullptr && Cnf::FindProperty(mapping->properties.Items(), id) != nullptr &&
                               entry.name.HasValue() && !entry.name.Get().IsEmpty();
            GS::Array<GS::UniString> known;
            if (named)
                known.Push(entry.name.Get());
            for (Int32 language = 1; language <= 3; ++language) {
                if (const auto text = parameter.attribute.NameText(language))
                    known.Push(*text);
            }
            known.Push(id);
            const GS::UniString name =
                named ? entry.name.Get() : parameter.attribute.NameText(languageIndex).value_or(id);
            const ValueKind kind = Properties::ValueKindOf(Properties::DataTypeOf(entry, parameter));
            for (API_PropertyDefinition& definition : DefinitionsOf(*group)) {
                if (definition.definitionType != API_PropertyCustomDefinitionType || !known.Contains(definition.name))
                    continue;
                if (definition.name == name && definition.valueType == kind.valueType &&
                    definition.measureType == kind.measureType)
                    break;
                API_PropertyDefinition rewritten = definition;
                rewritten.name = name;
                rewritten.measureType = kind.measureType;
                if (rewritten.valueType != kind.valueType) {
                    rewritten.valueType = kind.valueType;
                    rewritten.defaultValue.basicValue =
                        Properties::DefaultValueOf(kind.valueType, entry.DefaultIsUndefined.ValueOr(false));
                }
                // A rename is all or nothing: half the properties in the new language would be neither.
                if (const GSErrCode err = ChangePropertyDefinition(definition, rewritten); err != NoError)
                    throw GS::GeneralException(UniStringOfUtf8("the property \"" + Utf8Of(definition.name) +
                                                               "\" could not be renamed to \"" + Utf8Of(name) + "\" (" +
                                                               std::to_string(err) + ")"));
                definition = rewritten;
                ++changed;
                break;
            }
        }
    }
    return changed;
}

std::shared_ptr<PropertyProvider> PropertyProvider::instance()
{
    return slot.GetOrCreate([] { return std::make_shared<PropertyProvider>(ConfigurationService::ActiveMapping()); });
}

void PropertyProvider::Reset()
{
    slot.Reset();
}

PropertyProvider::PropertyProvider(std::shared_ptr<const Cnf::VelmarMappingFile> mapping) : mapping_(std::move(mapping))
{
    if (mapping_ == nullptr)
        return;
    GS::Array<API_ClassificationSystem> systems;
    if (const GSErrCode err = ACAPI_Classification_GetClassificationSystems(systems); err != NoError) {
        DBPrintf("Velmar: the classification systems were not listed (%d)\n", err);
        return;
    }
    wallItems_ = ResolveItems(mapping_->wallClassifications.Items(), systems);
    floorItems_ = ResolveItems(mapping_->floorClassifications.Items(), systems);
    ceilingItems_ = ResolveItems(mapping_->ceilingClassifications.Items(), systems);
}

const GS::Array<API_Guid>& PropertyProvider::AvailabilityFor(const std::optional<Bo::SystemKind>& kind) const
{
    if (kind == Bo::SystemKind::Floor)
        return floorItems_;
    if (kind == Bo::SystemKind::Ceiling)
        return ceilingItems_;
    return wallItems_;
}

bool PropertyProvider::UpdateElement(const API_Elem_Head& element, bool undoable)
{
    bool written = false;
    const auto write = [&] { written = Run(*this).Update(element.guid); };
    if (undoable)
        RunUndoStep(SettingStep, write);
    else
        write();
    return written;
}

std::size_t PropertyProvider::UpdateElements(const GS::Array<API_Guid>& elements, ProcessWindow* window)
{
    Run run(*this);
    std::size_t written = 0;
    for (UIndex i = 0; i < elements.GetSize(); ++i) {
        if (window != nullptr && i % ProgressStep == 0 && !window->SetValue(static_cast<Int32>(i)))
            break;
        written += run.Update(elements[i]) ? 1 : 0;
    }
    return written;
}

std::size_t PropertyProvider::UpdateElementsOver(const GS::Array<API_Guid>& elements, const GS::Guid& system,
                                                 const Bo::System& before)
{
    Run run(*this);
    run.Underlay(before, system);
    std::size_t written = 0;
    for (const API_Guid& element : elements)
        written += run.UpdateOver(element) ? 1 : 0;
    return written;
}

std::size_t PropertyProvider::UpdateUsersOf(const GS::Array<API_AttributeIndex>& composites, ProcessWindow* window)
{
    Run run(*this);
    std::size_t written = 0;
    const GS::Array<API_Guid> elements = WallsAndSlabs();
    for (UIndex i = 0; i < elements.GetSize(); ++i) {
        if (window != nullptr && i % ProgressStep == ProgressStep - 1 && !window->SetValue(static_cast<Int32>(i + 1)))
            break;
        const auto element = ReadElement(elements[i]);
        const auto composite = element ? Bo::ElementLink::CompositeOf(*element) : std::nullopt;
        if (composite && composites.Contains(*composite))
            written += run.Update(*element) ? 1 : 0;
    }
    return written;
}

std::size_t PropertyProvider::ReapplyToAll()
{
    struct Kind {
        API_ElemTypeID type;
        const char* phase;
    };
    constexpr Kind Kinds[] = {{API_WallID, "Walls"}, {API_SlabID, "Slabs"}};
    GS::Array<API_Guid> lists[2];
    std::size_t written = 0;
    RunUndoStep(SettingStep, [&] {
        for (std::size_t k = 0; k < 2; ++k) {
            if (const GSErrCode err =
                    ACAPI_Element_GetElemList(API_ElemType{Kinds[k].type}, &lists[k], APIFilt_None, APINULLGuid);
                err != NoError)
                ReadRefused("the project's walls and slabs", err);
        }
        ProcessWindow window(ReapplyTitle, 2);
        Run run(*this);
        for (std::size_t k = 0; k < 2; ++k) {
            if (!window.NextPhase(Kinds[k].phase, static_cast<Int32>(lists[k].GetSize())))
                return;
            for (UIndex i = 0; i < lists[k].GetSize(); ++i) {
                if (i % ProgressStep == ProgressStep - 1 && !window.SetValue(static_cast<Int32>(i + 1)))
                    return;
                written += run.Update(lists[k][i]) ? 1 : 0;
            }
        }
    });
    return written;
}

void PropertyProvider::SetValue(const API_Guid& element, const API_PropertyDefinition& definition,
                                const GS::UniString& text, bool undoable)
{
    const API_Property property = Properties::ToProperty(definition, text);
    const auto write = [&] {
        if (InStep()) {
            API_Property before;
            if (ACAPI_Element_GetPropertyValue(element, definition.guid, before) == NoError)
                PutBackValueIfStepFails(element, std::move(before));
        }
        if (ACAPI_Element_SetProperty(element, property) != NoError)
            NoteSkippedValue(definition.name);
    };
    if (undoable)
        RunUndoStep(SettingStep, write);
    else
        write();
}

std::size_t PropertyProvider::RefreshDefinitions(Int32 languageIndex)
{
    std::size_t changed = 0;
    RunUndoStep(UpdateStep, [&] { changed = Run(*this).RefreshDefinitions(languageIndex); });
    return changed;
}

}  // namespace Velmar::Services

#include "PropertyWriter.hpp"

#include "ACAPinc.hpp"
#include "ElementLink.hpp"
#include "GSDebug.hpp"
#include "LodProvider.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyClassification.hpp"
#include "PropertyReads.hpp"
#include "State.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"
#include "WallsAndSlabs.hpp"

#include <algorithm>
#include <string>

namespace Velmar::Services {

namespace {

using Properties::ReadRefused;
using Properties::ValueKind;

void SetOne(const API_Guid& element, const API_Property& wanted)
{
    if (ACAPI_Element_SetProperty(element, wanted) != NoError)
        NoteSkippedValue(wanted.definition.name);
}

void WriteValue(const API_Guid& element, const API_Property& wanted)
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

}  // namespace

PropertyProvider::ValueWriter::ValueWriter(const PropertyProvider& provider)
    : provider_(provider), neutral_(App::State::instance()->IsNeutral())
{
}

bool PropertyProvider::ValueWriter::Update(const API_Guid& guid)
{
    const auto element = Properties::ReadElement(guid);
    return element && Update(*element);
}

bool PropertyProvider::ValueWriter::Update(const API_Element& element)
{
    const API_Guid guid = element.header.guid;
    if (!Bo::IsWallOrSlab(element.header.type.typeID))
        return false;
    const auto index = Bo::ElementLink::CompositeOf(element);
    const std::optional<GS::Guid> linked = underlayLink_ ? underlayLink_ : Bo::LinkOf(guid, ReadRefused);

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

bool PropertyProvider::ValueWriter::UpdateOver(const API_Guid& guid)
{
    if (Update(guid))
        return true;
    if (underlay_)
        WriteValues(guid, *underlay_);
    return false;
}

void PropertyProvider::ValueWriter::Underlay(const Bo::System& system, const GS::Guid& linkedTo)
{
    underlay_ = MakePlan(system, std::nullopt, false);
    underlayLink_ = linkedTo;
    layered_.clear();
    guidsOf_.clear();
}

const PropertyProvider::ValueWriter::Plan& PropertyProvider::ValueWriter::Layered(const Plan& plan)
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

const PropertyProvider::ValueWriter::Plan& PropertyProvider::ValueWriter::PlanFor(const Bo::System& system,
                                                                                  const GS::Guid& id,
                                                                                  const std::optional<Bo::LOD>& lod,
                                                                                  bool create)
{
    const PlanKey key{id, lod ? lod->value : -1, create};
    auto found = plans_.find(key);
    if (found == plans_.end())
        found = plans_.emplace(key, MakePlan(system, lod, create)).first;
    return found->second;
}

// Every value the element gets, converted before anything is written to an element, so a text that does
// not convert ends the write with no element half written.
PropertyProvider::ValueWriter::Plan
PropertyProvider::ValueWriter::MakePlan(const Bo::System& system, const std::optional<Bo::LOD>& lod, bool create)
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
        const auto definition =
            catalog_.DefinitionFor(entry, parameter, kind, provider_.AvailabilityFor(system.kind), create);
        if (!definition)
            continue;
        plan.Push(Properties::ToProperty(*definition, Properties::ValueTextOf(entry, parameter, kind)));
    }
    Properties::AddClassificationCodes(system, plan);
    return plan;
}

std::optional<Bo::CompositeTag> PropertyProvider::ValueWriter::TagOf(const API_AttributeIndex& index)
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

std::shared_ptr<const Bo::System> PropertyProvider::ValueWriter::SystemFor(const GS::Guid& id)
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
// read and the differences written in one call each; when the host refuses either, each value is taken
// on its own, so a value the host refuses is logged and the others are still written.
void PropertyProvider::ValueWriter::WriteValues(const API_Guid& element, const Plan& plan)
{
    if (const GSErrCode err = ACAPI_Element_GetPropertyValuesByGuid(element, GuidsOf(plan), current_); err != NoError) {
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

// The values about to change, as the element has them; they are read again for the next element.
void PropertyProvider::ValueWriter::KeepForPutBack(const API_Guid& element, const std::vector<UIndex>& changing)
{
    if (!InStep())
        return;
    for (const UIndex i : changing)
        PutBackValueIfStepFails(element, std::move(current_[i]));
}

const GS::Array<API_Guid>& PropertyProvider::ValueWriter::GuidsOf(const Plan& plan)
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

}  // namespace Velmar::Services

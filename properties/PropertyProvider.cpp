#include "PropertyProvider.hpp"

#include "ACAPinc.hpp"
#include "ConfigurationService.hpp"
#include "ElementLink.hpp"
#include "GSDebug.hpp"
#include "ProcessWindow.hpp"
#include "PropertyClassification.hpp"
#include "PropertyDefinitions.hpp"
#include "PropertyReads.hpp"
#include "PropertyValues.hpp"
#include "PropertyWriter.hpp"
#include "ServiceSlot.hpp"
#include "UndoStep.hpp"
#include "WallsAndSlabs.hpp"

#include <iterator>

namespace Velmar::Services {

namespace {

ServiceSlot<PropertyProvider> slot;

using Properties::ReadRefused;

const char* const SettingStep = "setting property";
const char* const UpdateStep = "update parameter";
const char* const ReapplyTitle = "Velmar properties";
// How often a long run shows its progress and looks for a cancel.
constexpr Int32 ProgressStep = 100;

}  // namespace

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
    wallItems_ = Properties::ResolveItems(mapping_->wallClassifications.Items(), systems);
    floorItems_ = Properties::ResolveItems(mapping_->floorClassifications.Items(), systems);
    ceilingItems_ = Properties::ResolveItems(mapping_->ceilingClassifications.Items(), systems);
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
    const auto write = [&] { written = ValueWriter(*this).Update(element.guid); };
    if (undoable)
        RunUndoStep(SettingStep, write);
    else
        write();
    return written;
}

std::size_t PropertyProvider::UpdateElements(const GS::Array<API_Guid>& elements, ProcessWindow* window)
{
    ValueWriter writer(*this);
    std::size_t written = 0;
    for (UIndex i = 0; i < elements.GetSize(); ++i) {
        if (window != nullptr && i % ProgressStep == 0 && !window->SetValue(static_cast<Int32>(i)))
            break;
        written += writer.Update(elements[i]) ? 1 : 0;
    }
    return written;
}

std::size_t PropertyProvider::UpdateElementsOver(const GS::Array<API_Guid>& elements, const GS::Guid& system,
                                                 const Bo::System& before)
{
    ValueWriter writer(*this);
    writer.Underlay(before, system);
    std::size_t written = 0;
    for (const API_Guid& element : elements)
        written += writer.UpdateOver(element) ? 1 : 0;
    return written;
}

std::size_t PropertyProvider::UpdateUsersOf(const GS::Array<API_AttributeIndex>& composites, ProcessWindow* window)
{
    ValueWriter writer(*this);
    std::size_t written = 0;
    // The window counts walls and slabs as one run.
    Int32 seen = 0;
    Bo::ForEachWallAndSlab(
        ReadRefused, [](const Bo::ElementKind&, UIndex) { return true; },
        [&](const API_Guid& guid, UIndex) {
            ++seen;
            if (window != nullptr && seen % ProgressStep == 0 && !window->SetValue(seen))
                return false;
            const auto element = Properties::ReadElement(guid);
            const auto composite = element ? Bo::ElementLink::CompositeOf(*element) : std::nullopt;
            if (composite && composites.Contains(*composite))
                written += writer.Update(*element) ? 1 : 0;
            return true;
        });
    return written;
}

std::size_t PropertyProvider::ReapplyToAll()
{
    std::size_t written = 0;
    RunUndoStep(SettingStep, [&] {
        ProcessWindow window(ReapplyTitle, static_cast<Int32>(std::size(Bo::WallsAndSlabs)));
        ValueWriter writer(*this);
        Bo::ForEachWallAndSlab(
            ReadRefused,
            [&](const Bo::ElementKind& kind, UIndex count) {
                return window.NextPhase(kind.phase, static_cast<Int32>(count));
            },
            [&](const API_Guid& guid, UIndex i) {
                if (i % ProgressStep == ProgressStep - 1 && !window.SetValue(static_cast<Int32>(i + 1)))
                    return false;
                written += writer.Update(guid) ? 1 : 0;
                return true;
            });
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
    RunUndoStep(UpdateStep, [&] {
        Properties::DefinitionCatalog catalog;
        changed = Properties::RefreshDefinitions(catalog, Mapping(), languageIndex);
    });
    return changed;
}

}  // namespace Velmar::Services

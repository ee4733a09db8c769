#include "DownloadManager.hpp"

#include "ACAPinc.hpp"
#include "BoSystem.hpp"
#include "ClassificationTargets.hpp"
#include "CompositionService.hpp"
#include "ConfigurationService.hpp"
#include "CorvanaDatabase.hpp"
#include "GSDebug.hpp"
#include "GSException.hpp"
#include "LodProvider.hpp"
#include "Numbers.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyProvider.hpp"
#include "State.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"

#include <string>

namespace Velmar::Services {

namespace {

using App::StoredProjectClassificationMapping;
using velmar::ui::model::ProductDetails;
using velmar::ui::model::ProductDownload;
using velmar::ui::model::ProductMappedClassification;
using velmar::ui::model::ProductPropertyValue;

const char* const DownloadStepName = "Download Velmar system";

// The first record for that classification code; codes compare ignoring letter case.
template <typename Record>
const Record* FindByCode(const GS::Array<Record>& records, const GS::UniString& code)
{
    for (const Record& record : records) {
        if (record.classificationCode.HasValue() && record.classificationCode.Get().IsEqual(code, GS::CaseInsensitive))
            return &record;
    }
    return nullptr;
}

}  // namespace

bool DownloadManager::LoadSystem(const GS::UniString& productId)
{
    // A request that fails on the way leaves no product behind either.
    loadedSystem_.reset();
    const auto database = CorvanaDatabase::Get();
    std::shared_ptr<Corvana::CVSystem> system;
    if (database != nullptr)
        system = database->GetSystem(productId);
    if (system == nullptr || !system->id)
        return false;
    loadedSystem_ = std::move(system);
    return true;
}

const Corvana::CVSystem& DownloadManager::Loaded() const
{
    if (loadedSystem_ == nullptr)
        throw GS::GeneralException("no product is loaded");
    return *loadedSystem_;
}

ProductDetails DownloadManager::GetProductDetails() const
{
    const Corvana::CVSystem& system = Loaded();
    const Int32 language = languageIndex_.value_or(0);
    ProductDetails details;
    details.productCode.Set(*system.id);
    for (const Corvana::CVAttribute& attribute : system.allAttributes) {
        if (!attribute.LOD.HasValue())
            continue;
        ProductPropertyValue value;
        // The platform's levels are plain numbers ("300"); anything else ends the call.
        value.lod.Set(Velmar::ParseInteger(Velmar::Utf8Of(attribute.LOD.Get())));
        if (const auto name = attribute.NameText(language))
            value.name.Set(*name);
        if (const auto text = attribute.ValueText(language))
            value.value.Set(*text);
        if (attribute.Unit.HasValue())
            value.unit.Set(attribute.Unit.Get());
        if (attribute.DataType.HasValue())
            value.dataType.Set(attribute.DataType.Get());
        details.properties.Items().Push(value);
    }
    if (const auto mapping = ConfigurationService::ActiveMapping())
        details.mappedClassifications.Items() = OfferedClassifications(
            mapping->classificationCodes.Items(), system, language, App::State::instance()->classificationMappings);
    details.availableClassificationTargets.Items() = Classification::ClassificationTargets();
    const auto provider = Lod::LodProvider::instance();
    for (const Bo::LOD& lod : provider->GetLevels())
        details.availableLods.Items().Push(lod.value);
    if (const auto active = provider->GetActive())
        details.activeLod.Set(active->value);
    return details;
}

bool DownloadManager::ProcessDownload(const ProductDownload& download)
{
    const auto state = App::State::instance();
    // The page's classification choice holds only once the download lands.
    const auto chosenBefore = state->classificationMappings;
    try {
        if (const auto mapping = ConfigurationService::ActiveMapping())
            state->classificationMappings =
                MergeClassificationMappings(mapping->classificationCodes.Items(), state->classificationMappings,
                                            download.mappedClassifications.Items());
        const bool landed = WriteDownload(download);
        if (!landed)
            state->classificationMappings = chosenBefore;
        return landed;
    } catch (...) {
        DBPrintf("Velmar: the download did not land; the classification choice stays as it was\n");
        state->classificationMappings = chosenBefore;
        throw;
    }
}

bool DownloadManager::WriteDownload(const ProductDownload& download)
{
    const Bo::System system(Loaded(), languageIndex_);
    std::optional<Bo::LOD> lod;
    const auto provider = Lod::LodProvider::instance();
    if (const auto index = provider->FindByValue(download.selectedLod.ValueOr(0)))
        lod = provider->GetLevels()[*index];

    const auto compositions = Composition::CompositionService::instance();
    if (!download.existingCompositeName.HasValue()) {
        const GS::UniString name = download.newCompositeName.ValueOr(GS::UniString());
        Composition::CompositionService::CheckNewComposite(system, lod, name);
        RunUndoStep(DownloadStepName, [&] {
            const API_Attr_Head created = compositions->CreateComposite(system, lod, name);
            compositions->TagComposite(system, created, lod);
        });
        return true;
    }
    GS::Array<API_Attribute> composites;
    if (const GSErrCode err = ACAPI_Attribute_GetAttributesByType(API_CompWallID, composites); err != NoError)
        throw GS::GeneralException(GS::UniString("the project's composites could not be listed (") +
                                   GS::UniString(std::to_string(err).c_str()) + ")");
    for (const API_Attribute& composite : composites) {
        if (Velmar::UniStringOfUtf8(composite.header.name) != download.existingCompositeName.Get())
            continue;
        Composition::CompositionService::CheckNames(system, lod);
        // The stored systems are read again: undo may have changed them since.
        ProjectStore::ProjectStoreService::instance()->Reload();
        RunUndoStep(DownloadStepName, [&] {
            compositions->LinkComposite(composite.header, system, lod);
            PropertyProvider::instance()->UpdateUsersOf({composite.header.index});
        });
        return true;
    }
    return false;
}

GS::Array<StoredProjectClassificationMapping>
MergeClassificationMappings(const GS::Array<GS::UniString>& codes,
                            const GS::Array<StoredProjectClassificationMapping>& stored,
                            const GS::Array<ProductMappedClassification>& fromPage)
{
    GS::Array<StoredProjectClassificationMapping> merged;
    for (const GS::UniString& code : codes) {
        StoredProjectClassificationMapping mapping;
        if (const auto* found = FindByCode(stored, code))
            mapping = *found;
        else
            mapping.classificationCode.Set(code);
        if (const auto* chosen = FindByCode(fromPage, code)) {
            if (chosen->active.HasValue())
                mapping.active.Set(chosen->active.Get());
            if (chosen->targetPropertyGuid.HasValue())
                mapping.propertyDefinitionId.Set(chosen->targetPropertyGuid.Get());
        }
        merged.Push(mapping);
    }
    return merged;
}

GS::Array<ProductMappedClassification>
OfferedClassifications(const GS::Array<GS::UniString>& codes, const Corvana::CVSystem& system, Int32 languageIndex,
                       const GS::Array<StoredProjectClassificationMapping>& stored)
{
    GS::Array<ProductMappedClassification> offered;
    for (const GS::UniString& code : codes) {
        const Corvana::CVAttribute* attribute = nullptr;
        for (const Corvana::CVAttribute& candidate : system.allAttributes) {
            if (candidate.ID.HasValue() && candidate.ID.Get().IsEqual(code, GS::CaseInsensitive)) {
                attribute = &candidate;
                break;
            }
        }
        if (attribute == nullptr)
            continue;
        const auto value = attribute->ValueText(languageIndex);
        if (!value || value->IsEmpty())
            continue;
        ProductMappedClassification record;
        record.classificationCode.Set(code);
        record.value.Set(*value);
        if (const auto label = attribute->NameText(languageIndex))
            record.label.Set(*label);
        if (const auto* mapping = FindByCode(stored, code)) {
            if (mapping->propertyDefinitionId.HasValue())
                record.targetPropertyGuid.Set(mapping->propertyDefinitionId.Get());
            if (mapping->active.HasValue())
                record.active.Set(mapping->active.Get());
        }
        offered.Push(record);
    }
    return offered;
}

}  // namespace Velmar::Services

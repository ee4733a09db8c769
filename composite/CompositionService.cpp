#include "CompositionService.hpp"

#include "ACAPinc.hpp"
#include "AttributeName.hpp"
#include "BM.hpp"
#include "CompositeBuilder.hpp"
#include "GSDebug.hpp"
#include "GSException.hpp"
#include "HandleOwner.hpp"
#include "MaterialStore.hpp"
#include "ProjectStoreService.hpp"
#include "ServiceSlot.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"

#include <cstdio>
#include <cstring>
#include <string>

namespace Velmar::Services::Composition {

namespace {

ServiceSlot<CompositionService> slot;

using Materials::MaterialEntry;
using Materials::MaterialStore;
using Skin = std::pair<std::shared_ptr<const MaterialEntry>, double>;

// Walls are usable for walls, floors and ceilings for slabs, at every level.
short UsageOf(Bo::SystemKind kind)
{
    return kind == Bo::SystemKind::Wall ? APICWall_ForWall : APICWall_ForSlab;
}

// Each material once per composite, however many skins use it. A skin whose material cannot be had is
// left out: the host takes no skin without a building material.
std::vector<Skin> ResolveMaterials(const std::vector<PlannedSkin>& planned, const MaterialStore& store)
{
    std::vector<std::pair<MaterialRequest, std::shared_ptr<const MaterialEntry>>> known;
    std::vector<Skin> skins;
    for (const PlannedSkin& skin : planned) {
        auto found =
            std::find_if(known.begin(), known.end(), [&](const auto& entry) { return entry.first == skin.material; });
        if (found == known.end()) {
            const MaterialRequest& wanted = skin.material;
            known.emplace_back(wanted, wanted.summary
                                           ? store.SummaryMaterial(*wanted.summary)
                                           : store.ProductMaterial(wanted.product, wanted.colour, wanted.lambda));
            found = std::prev(known.end());
        }
        // A composite without one of its skins would be thinner than the system it claims to be.
        if (found->second == nullptr) {
            char millimetres[32];
            std::snprintf(millimetres, sizeof millimetres, "%g", skin.thickness * 1000.0);
            const std::string material = found->first.product.IsEmpty()
                                             ? "of a skin of " + std::string(millimetres) + " mm"
                                             : "\"" + Utf8Of(found->first.product) + "\"";
            throw GS::GeneralException(UniStringOfUtf8("the building material " + material +
                                                       " could not be had, so the composite is not written"));
        }
        skins.emplace_back(found->second, skin.thickness);
    }
    return skins;
}

template <typename Item>
Item* ItemsOf(const Velmar::HandleOwner& handle)
{
    return reinterpret_cast<Item*>(*handle.Get());
}

// Every skin is written with flag bits 1, which the systems call their core skin. The kit's core bit is
// APICWallComp_Core (2), so Archicad itself does not treat these skins as core.
constexpr short SkinFlags = 1;

// The host's create or modify is not examined beyond its error, which is logged: a refused composite
// comes back without an index, so nothing is tagged after it.
API_Attr_Head WriteComposite(const std::vector<Skin>& skins, GS::UniString name, double thickness, short usage,
                             const API_Attribute* existing)
{
    // A union: a new composite starts from a cleared record, so no field left unset is undefined.
    API_Attribute attribute;
    BNZeroMemory(&attribute, sizeof attribute);
    if (existing != nullptr)
        attribute = *existing;
    attribute.header.typeID = API_CompWallID;
    PutAttributeName(attribute.header, name);
    attribute.header.uniStringNamePtr = &name;
    attribute.header.flags = usage;
    attribute.compWall.totalThick = thickness;
    attribute.compWall.nComps = static_cast<short>(skins.size());
    Velmar::HandleOwner items(BMAllocateHandle(static_cast<Int32>(skins.size() * sizeof(API_CWallComponent)), 0, 0));
    Velmar::HandleOwner lines(
        BMAllocateHandle(static_cast<Int32>((skins.size() + 1) * sizeof(API_CWallLineComponent)), 0, 0));
    if (items.Get() == nullptr || lines.Get() == nullptr)
        throw GS::OutOfMemoryException("no memory for the composite's skins");
    for (std::size_t i = 0; i < skins.size(); ++i) {
        const MaterialEntry& entry = *skins[i].first;
        ItemsOf<API_CWallComponent>(items)[i] =
            API_CWallComponent{entry.material, entry.framePen, SkinFlags, skins[i].second};
        ItemsOf<API_CWallLineComponent>(lines)[i] =
            API_CWallLineComponent{ACAPI_CreateAttributeIndex(entry.lineType), entry.linePen};
    }
    ItemsOf<API_CWallLineComponent>(lines)[skins.size()] = API_CWallLineComponent{ACAPI_CreateAttributeIndex(1), 1};
    API_AttributeDefExt defs = {};
    defs.cwall_compItems = reinterpret_cast<API_CWallComponent**>(items.Get());
    defs.cwall_compLItems = reinterpret_cast<API_CWallLineComponent**>(lines.Get());
    const GSErrCode err = existing != nullptr ? ModifyAttribute(attribute, &defs) : CreateAttribute(attribute, &defs);
    attribute.header.uniStringNamePtr = nullptr;
    if (err != NoError && existing == nullptr)
        throw GS::GeneralException(UniStringOfUtf8("the composite \"" + Utf8Of(name) + "\" could not be created (" +
                                                   std::to_string(err) + ")"));
    if (err != NoError) {
        DBPrintf("Velmar: the composite \"%s\" was not rebuilt (%d)\n", Utf8Of(name).c_str(), err);
        attribute.header.index = APIInvalidAttributeIndex;
    }
    return attribute.header;
}

void WriteTag(const API_Attr_Head& composite, const Bo::CompositeTag& tag)
{
    const std::string bytes = tag.ToBytes();
    Velmar::HandleOwner data(BMAllocateHandle(static_cast<Int32>(bytes.size()), 0, 0));
    if (data.Get() == nullptr)
        throw GS::OutOfMemoryException("no memory for the composite's tag");
    std::memcpy(*data.Get(), bytes.data(), bytes.size());
    API_AttributeUserData userData = {};
    userData.dataVersion = Bo::CompositeTag::DataVersion;
    userData.platformSign = Bo::CompositeTag::PlatformSign;
    userData.dataHdl = data.Get();
    if (const GSErrCode err = SetAttributeUserData(composite, userData); err != NoError)
        throw GS::GeneralException(UniStringOfUtf8("the composite \"" + std::string(composite.name) +
                                                   "\" could not be tagged (" + std::to_string(err) + ")"));
}

[[noreturn]] void Refuse(const std::string& reason)
{
    throw GS::IllegalArgumentException(Velmar::UniStringOfUtf8(reason));
}

}  // namespace

Int32 LevelOf(const std::optional<Bo::LOD>& lod)
{
    return lod ? lod->value : 0;
}

std::shared_ptr<CompositionService> CompositionService::instance()
{
    return slot.GetOrCreate([] {
        auto created = std::make_shared<CompositionService>();
        created->RebuildIndex();
        return created;
    });
}

std::shared_ptr<CompositionService> CompositionService::Existing()
{
    return slot.Get();
}

void CompositionService::RebuildIndex()
{
    compositeData_.clear();
    compositeSystems_.clear();
    dataAt_.clear();
    systemAt_.clear();
    GS::Array<API_Attribute> composites;
    if (const GSErrCode err = ACAPI_Attribute_GetAttributesByType(API_CompWallID, composites); err != NoError) {
        DBPrintf("Velmar: the project's composites could not be listed (%d)\n", err);
        return;
    }
    for (const API_Attribute& composite : composites) {
        std::optional<Bo::CompositeTag> tag;
        if (const GSErrCode err = Bo::CompositeTag::Read(composite.header, tag); err != NoError)
            DBPrintf("Velmar: the tag of composite \"%s\" was not read (%d)\n", composite.header.name, err);
        const GS::UniString name(composite.header.name);
        systemAt_.emplace(Velmar::Utf8Of(name), compositeSystems_.size());
        compositeSystems_.emplace_back(name, tag ? GS::UniString(tag->systemName.c_str()) : GS::UniString());
        if (tag) {
            dataAt_.emplace(Velmar::Utf8Of(name), compositeData_.size());
            compositeData_.emplace_back(name, tag->storedSystemId);
        }
    }
}

void CompositionService::CheckNewComposite(const Bo::System& system, const std::optional<Bo::LOD>& lod,
                                           const GS::UniString& name)
{
    if (name.IsEmpty())
        Refuse("the composite needs a name");
    if (!FitsAttributeName(name))
        Refuse("the composite name is longer than 255 characters");
    API_Attr_Head head = {};
    head.typeID = API_CompWallID;
    PutAttributeName(head, name);
    const GSErrCode err = ACAPI_Attribute_Search(&head);
    if (err == NoError)
        Refuse("a composite named \"" + Utf8Of(name) + "\" exists already");
    if (err != APIERR_BADNAME)
        DBPrintf("Velmar: the composite names were not searched (%d)\n", err);
    CheckNames(system, lod);
}

void CompositionService::CheckNames(const Bo::System& system, const std::optional<Bo::LOD>& lod)
{
    // The tag keeps the name in the host's 8-bit code page, a byte a character.
    if (system.name.GetLength() >= Bo::CompositeTag::NameField)
        Refuse("the system name is longer than 255 characters");
    for (const PlannedSkin& skin : PlanSkins(system, lod)) {
        if (!FitsAttributeName(skin.material.product))
            Refuse("the material name \"" + Utf8Of(skin.material.product) + "\" is longer than 255 characters");
    }
}

API_Attr_Head CompositionService::CreateComposite(const Bo::System& system, const std::optional<Bo::LOD>& lod,
                                                  const GS::UniString& name, const API_Attribute* existing)
{
    const std::vector<PlannedSkin> planned = PlanSkins(system, lod);
    if (planned.empty()) {
        DBPrintf("Velmar: the system %s has no kind or no thickness; no composite is written\n",
                 Utf8Of(system.name).c_str());
        return API_Attr_Head();
    }
    const std::vector<Skin> skins = ResolveMaterials(planned, *MaterialStore::instance());
    return WriteComposite(skins, name, *system.thickness, UsageOf(*system.kind), existing);
}

GS::Guid CompositionService::TagComposite(const Bo::System& system, const API_Attr_Head& composite,
                                          const std::optional<Bo::LOD>& lod)
{
    if (!composite.index.IsPositive()) {
        DBPrintf("Velmar: no composite was written for %s, so none is tagged\n", Utf8Of(system.name).c_str());
        return GS::Guid();
    }
    const Bo::CompositeTag tag = ProjectStore::ProjectStoreService::instance()->StoreSystem(system, LevelOf(lod));
    WriteTag(composite, tag);
    Record(Velmar::UniStringOfUtf8(composite.name), system.name, tag.storedSystemId);
    return tag.storedSystemId;
}

void CompositionService::LinkComposite(const API_Attr_Head& composite, const Bo::System& system,
                                       const std::optional<Bo::LOD>& lod)
{
    API_Attribute attribute = {};
    attribute.header.typeID = API_CompWallID;
    attribute.header.index = composite.index;
    if (const GSErrCode err = ACAPI_Attribute_Get(&attribute); err != NoError)
        throw GS::GeneralException(
            GS::UniString(("the composite could not be read (" + std::to_string(err) + ")").c_str()));
    std::optional<Bo::CompositeTag> tag;
    bool otherData = false;
    if (const GSErrCode err = Bo::CompositeTag::Read(attribute.header, tag, &otherData); err != NoError)
        throw GS::GeneralException(
            GS::UniString(("the composite's tag could not be read (" + std::to_string(err) + ")").c_str()));
    // Data that is not a Velmar tag belongs to someone else: the composite stays as it is.
    if (otherData)
        Refuse("the composite \"" + std::string(attribute.header.name) +
               "\" carries data that is not a Velmar system's; it is left as it is");
    // A tagged composite keeps the system it was made from; the downloaded one only names it in the list.
    if (!tag) {
        tag = ProjectStore::ProjectStoreService::instance()->StoreSystem(system, LevelOf(lod));
        WriteTag(attribute.header, *tag);
    }
    Record(Velmar::UniStringOfUtf8(attribute.header.name), system.name, tag->storedSystemId);
    RebuildComposite(attribute.header, *tag, lod);
}

bool CompositionService::RebuildComposite(const API_Attr_Head& composite, Bo::CompositeTag tag,
                                          const std::optional<Bo::LOD>& lod)
{
    // The whole name, which the header's field may hold only the start of.
    GS::UniString name;
    API_Attribute attribute = {};
    attribute.header.typeID = API_CompWallID;
    attribute.header.index = composite.index;
    attribute.header.uniStringNamePtr = &name;
    if (const GSErrCode err = ACAPI_Attribute_Get(&attribute); err != NoError) {
        DBPrintf("Velmar: composite %d was not read (%d); it is not rebuilt\n", composite.index.ToInt32_Deprecated(),
                 err);
        return false;
    }
    attribute.header.uniStringNamePtr = nullptr;
    const auto system = ProjectStore::ProjectStoreService::instance()->GetSystem(tag.storedSystemId);
    if (system == nullptr) {
        DBPrintf("Velmar: the stored system of composite \"%s\" was not found; it is not rebuilt\n",
                 Utf8Of(name).c_str());
        return false;
    }
    // A refused write is logged where it happens; the tag then keeps the level the skins still have.
    if (!CreateComposite(*system, lod, name, &attribute).index.IsPositive())
        return false;
    tag.lod = LevelOf(lod);
    WriteTag(attribute.header, tag);
    return true;
}

void CompositionService::Record(const GS::UniString& composite, const GS::UniString& system,
                                const GS::Guid& storedSystemId)
{
    const std::string key = Velmar::Utf8Of(composite);
    const auto put = [&](auto& list, auto& at, const auto& value) {
        const auto found = at.find(key);
        if (found != at.end()) {
            list[found->second].second = value;
            return;
        }
        at.emplace(key, list.size());
        list.emplace_back(composite, value);
    };
    put(compositeSystems_, systemAt_, system);
    put(compositeData_, dataAt_, storedSystemId);
}

}  // namespace Velmar::Services::Composition

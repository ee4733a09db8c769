#include "MaterialStore.hpp"

#include "ACAPinc.hpp"
#include "AttributeName.hpp"
#include "BM.hpp"
#include "GSDebug.hpp"
#include "ServiceSlot.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"

#include <cmath>

namespace Velmar::Services::Materials {

namespace {

ServiceSlot<MaterialStore> slot;

constexpr Int32 CutFill = 8;
constexpr Int32 FallbackSurface = 1;
// The pens the host gives its own building materials.
constexpr short SummaryFillPen = 1;
constexpr short SummaryBackgroundPen = 19;
const Corvana::Colour DarkGrey{0.1, 0.1, 0.1};
const char* const Manufacturer = "VELMAR";

struct SummaryRow {
    LAYER_TYPE type;
    const char* name;
};
const SummaryRow SummaryNames[] = {
    {LAYER_TYPE::Board, "Summary_Board"}, {LAYER_TYPE::Frame, "Summary_Frame"}, {LAYER_TYPE::Summary, "Summary"},
    {LAYER_TYPE::Air, "Summary_Air"},     {LAYER_TYPE::Profile, "Profile"},
};

struct NewBuildingMaterial {
    GS::UniString name;
    short cutFillPen;
    short cutFillBackgroundPen;
    API_AttributeIndex surface = {};
    std::optional<double> lambda;
};

// The index of the attribute with that name; APIERR_BADNAME is the host's "there is none".
GSErrCode SearchByName(API_AttrTypeID type, const GS::UniString& name, API_AttributeIndex& index)
{
    API_Attr_Head head = {};
    head.typeID = type;
    PutAttributeName(head, name);
    const GSErrCode err = ACAPI_Attribute_Search(&head);
    index = head.index;
    return err;
}

GSErrCode CreateBuildingMaterial(const NewBuildingMaterial& wanted, API_AttributeIndex& index)
{
    // A union: only a cleared record leaves nothing undefined in the fields not set here.
    API_Attribute attribute;
    BNZeroMemory(&attribute, sizeof attribute);
    attribute.header.typeID = API_BuildingMaterialID;
    PutAttributeName(attribute.header, wanted.name);
    GS::UniString manufacturer(Manufacturer);
    GS::UniString description(wanted.name);
    auto& material = attribute.buildingMaterial;
    material.manufacturer = &manufacturer;
    material.description = &description;
    material.cutFill = ACAPI_CreateAttributeIndex(CutFill);
    material.cutFillPen = wanted.cutFillPen;
    material.cutFillBackgroundPen = wanted.cutFillBackgroundPen;
    material.cutMaterial = wanted.surface;
    material.thermalConductivity = wanted.lambda.value_or(0.0);
    material.showUncutLines = true;
    const GSErrCode err = CreateAttribute(attribute, nullptr);
    index = err == NoError ? attribute.header.index : APIInvalidAttributeIndex;
    return err;
}

// The surface named after the product, made in its colour when the project has none.
API_AttributeIndex ProductSurface(const GS::UniString& name, const Corvana::Colour& colour)
{
    GS::Array<API_Attribute> surfaces;
    if (const GSErrCode err = ACAPI_Attribute_GetAttributesByType(API_MaterialID, surfaces); err != NoError)
        DBPrintf("Velmar: the surfaces were not listed (%d)\n", err);
    for (const API_Attribute& surface : surfaces) {
        if (Velmar::UniStringOfUtf8(surface.header.name) == name)
            return surface.header.index;
    }
    API_Attribute surface;
    BNZeroMemory(&surface, sizeof surface);
    surface.header.typeID = API_MaterialID;
    PutAttributeName(surface.header, name);
    auto& record = surface.material;
    record.mtype = APIMater_MatteID;
    record.ambientPc = 60;
    record.diffusePc = 80;
    record.surfaceRGB = API_RGBColor{colour[0], colour[1], colour[2]};
    if (const GSErrCode err = CreateAttribute(surface, nullptr); err != NoError) {
        DBPrintf("Velmar: the surface \"%s\" was not created (%d); surface %d is used\n", Velmar::Utf8Of(name).c_str(),
                 err, FallbackSurface);
        return ACAPI_CreateAttributeIndex(FallbackSurface);
    }
    return surface.header.index;
}

std::shared_ptr<const MaterialEntry> EntryFor(API_AttributeIndex material)
{
    auto entry = std::make_shared<MaterialEntry>();
    entry->material = material;
    return entry;
}

}  // namespace

std::optional<GS::UniString> SummaryMaterialName(LAYER_TYPE type)
{
    for (const auto& row : SummaryNames) {
        if (row.type == type)
            return GS::UniString(row.name);
    }
    return std::nullopt;
}

std::shared_ptr<MaterialStore> MaterialStore::instance()
{
    return slot.GetOrCreate([] { return std::make_shared<MaterialStore>(ReadPenColours()); });
}

std::vector<MaterialStore::PenColour> MaterialStore::ReadPenColours()
{
    std::vector<PenColour> pens;
    UInt32 count = 0;
    if (const GSErrCode err = ACAPI_Attribute_GetPenNum(count); err != NoError) {
        DBPrintf("Velmar: the pens were not counted (%d)\n", err);
        return pens;
    }
    for (UInt32 index = 1; index <= count; ++index) {
        API_Pen pen = {};
        pen.index = static_cast<short>(index);
        if (const GSErrCode err = ACAPI_Attribute_GetPen(pen); err != NoError) {
            DBPrintf("Velmar: pen %u was not read (%d)\n", index, err);
            continue;
        }
        pens.emplace_back(Corvana::Colour{pen.rgb.f_red, pen.rgb.f_green, pen.rgb.f_blue}, pen.index);
    }
    return pens;
}

std::shared_ptr<const MaterialEntry> MaterialStore::SummaryMaterial(LAYER_TYPE type) const
{
    const auto name = SummaryMaterialName(type);
    if (!name)
        return nullptr;
    API_AttributeIndex index = {};
    const GSErrCode err = SearchByName(API_BuildingMaterialID, *name, index);
    if (err == NoError)
        return EntryFor(index);
    if (err != APIERR_BADNAME) {
        DBPrintf("Velmar: the material \"%s\" was not searched (%d)\n", Velmar::Utf8Of(*name).c_str(), err);
        return nullptr;
    }
    // No surface of its own: the host's default, as a project need not have any surface.
    const NewBuildingMaterial wanted{*name, SummaryFillPen, SummaryBackgroundPen, APIInvalidAttributeIndex,
                                     std::nullopt};
    if (const GSErrCode created = CreateBuildingMaterial(wanted, index); created != NoError) {
        DBPrintf("Velmar: the material \"%s\" was not created (%d)\n", Velmar::Utf8Of(*name).c_str(), created);
        return nullptr;
    }
    return EntryFor(index);
}

std::shared_ptr<const MaterialEntry> MaterialStore::ProductMaterial(const GS::UniString& name,
                                                                    const std::optional<Corvana::Colour>& colour,
                                                                    const std::optional<double>& lambda) const
{
    API_AttributeIndex index = {};
    const GSErrCode err = SearchByName(API_BuildingMaterialID, name, index);
    if (err == NoError)
        return EntryFor(index);
    if (err != APIERR_BADNAME) {
        DBPrintf("Velmar: the material \"%s\" was not searched (%d)\n", Velmar::Utf8Of(name).c_str(), err);
        return nullptr;
    }
    const Corvana::Colour shown = colour.value_or(DarkGrey);
    const short pen = NearestPen(shown);
    const NewBuildingMaterial wanted{name, pen, pen, ProductSurface(name, shown), lambda};
    if (const GSErrCode created = CreateBuildingMaterial(wanted, index); created != NoError)
        DBPrintf("Velmar: the material \"%s\" was not created (%d)\n", Velmar::Utf8Of(name).c_str(), created);
    return EntryFor(index);
}

short MaterialStore::NearestPen(const Corvana::Colour& colour) const
{
    short best = 1;
    double bestDistance = 90000.0;
    for (const auto& [penColour, index] : penColours_) {
        const double distance = (std::fabs(penColour[0] - colour[0]) + std::fabs(penColour[1] - colour[1]) +
                                 std::fabs(penColour[2] - colour[2])) /
                                3.0;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = index;
        }
    }
    return best;
}

}  // namespace Velmar::Services::Materials

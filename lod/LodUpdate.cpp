#include "LodUpdate.hpp"

#include "ACAPinc.hpp"
#include "BM.hpp"
#include "CompositionService.hpp"
#include "GSDebug.hpp"
#include "HandleOwner.hpp"
#include "LodProvider.hpp"
#include "ProcessWindow.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyProvider.hpp"
#include "UndoStep.hpp"
#include "Utf8Text.hpp"

#include <set>

namespace Velmar::Lod {

namespace {

const char* const StepName = "Update to the active LOD";
const char* const PropertiesPhase = "Walls and slabs";
constexpr Int32 MetElementVersion = 1;

// The LOD page's rule for which composite an element brings to the update: only an element the add-on has
// met (its user data of version 1) counts, a wall with its composite field and any other element with the
// slab record's, whatever its structure; the tag decides the rest.
std::optional<API_AttributeIndex> CompositeTheLodRuleTakes(const API_Guid& guid)
{
    API_Element element = {};
    element.header.guid = guid;
    if (const GSErrCode err = ACAPI_Element_Get(&element, 0); err != NoError) {
        DBPrintf("Velmar: an element was not read (%d)\n", err);
        return std::nullopt;
    }
    API_ElementUserData userData = {};
    if (ACAPI_Element_GetUserData(&element.header, &userData, 0) != NoError)
        return std::nullopt;
    const Velmar::HandleOwner data(userData.dataHdl);
    if (userData.dataVersion != MetElementVersion)
        return std::nullopt;
    return element.header.type.typeID == API_WallID ? element.wall.composite : element.slab.composite;
}

}  // namespace

bool IsCollected(LodUpdateScope scope, Int32 tagged, Int32 active)
{
    return scope == LodUpdateScope::Lower ? tagged < active : tagged != active;
}

std::vector<CollectedComposite> CollectComposites(LodUpdateScope scope, Int32 active)
{
    std::vector<CollectedComposite> collected;
    GS::Array<API_Guid> elements;
    if (const GSErrCode err =
            ACAPI_Element_GetElemList(API_ElemType{API_ZombieElemID}, &elements, APIFilt_None, APINULLGuid);
        err != NoError)
        throw GS::GeneralException(
            Velmar::UniStringOfUtf8("the project's elements could not be listed (" + std::to_string(err) + ")"));
    // A composite's tag is read once, whether it is taken or not.
    std::set<Int32> seen;
    for (const API_Guid& guid : elements) {
        const auto composite = CompositeTheLodRuleTakes(guid);
        if (!composite || !composite->IsPositive() || !seen.insert(composite->ToInt32_Deprecated()).second)
            continue;
        API_Attr_Head head = {};
        head.typeID = API_CompWallID;
        head.index = *composite;
        std::optional<Bo::CompositeTag> tag;
        if (const GSErrCode err = Bo::CompositeTag::Read(head, tag); err != NoError)
            DBPrintf("Velmar: the tag of composite %d was not read (%d)\n", composite->ToInt32_Deprecated(), err);
        if (!tag || !IsCollected(scope, tag->lod, active))
            continue;
        API_Attribute attribute = {};
        attribute.header = head;
        if (const GSErrCode err = ACAPI_Attribute_Get(&attribute); err != NoError)
            DBPrintf("Velmar: the name of composite %d was not read (%d)\n", composite->ToInt32_Deprecated(), err);
        else
            head = attribute.header;
        collected.push_back({head, *tag});
    }
    return collected;
}

std::size_t UpdateToActiveLod(LodUpdateScope scope)
{
    const auto active = LodProvider::instance()->GetActive();
    if (!active)
        return 0;
    const auto collected = CollectComposites(scope, active->value);
    if (collected.empty())
        return 0;
    // Undo may have taken stored systems away or brought them back since they were last read.
    Services::ProjectStore::ProjectStoreService::instance()->Reload();
    const auto compositions = Services::Composition::CompositionService::instance();
    std::size_t rebuilt = 0;
    RunUndoStep(StepName, [&] {
        // A phase per composite, then one for the properties of the walls and slabs built of them; a cancel
        // stops the work where it is.
        ProcessWindow window(StepName, static_cast<Int32>(collected.size()) + 1);
        GS::Array<API_AttributeIndex> composites;
        for (const CollectedComposite& composite : collected) {
            if (!window.NextPhase(Velmar::UniStringOfUtf8(composite.head.name)))
                return;
            // One composite left at its old level would make the page's count and the model disagree.
            if (!compositions->RebuildComposite(composite.head, composite.tag, active))
                throw GS::GeneralException(
                    UniStringOfUtf8("the composite \"" + std::string(composite.head.name) + "\" could not be rebuilt"));
            ++rebuilt;
            composites.Push(composite.head.index);
        }
        if (window.NextPhase(PropertiesPhase))
            Services::PropertyProvider::instance()->UpdateUsersOf(composites, &window);
    });
    return rebuilt;
}

}  // namespace Velmar::Lod

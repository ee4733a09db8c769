#include "ElementLink.hpp"

#include "ACAPinc.hpp"
#include "BM.hpp"
#include "HandleOwner.hpp"
#include "UndoStep.hpp"

#include <array>
#include <cstring>

namespace Velmar::Bo::ElementLink {

namespace {
// The GUID as it lies in memory, as the kit's own records (API_Guid) take it.
constexpr std::size_t IdSize = sizeof(GS::Guid);
static_assert(IdSize == 16);
}  // namespace

GSErrCode Read(const API_Elem_Head& element, std::optional<GS::Guid>& storedSystemId)
{
    storedSystemId.reset();
    API_Elem_Head head = element;
    API_ElementUserData userData = {};
    // An element the add-on never wrote answers that it has no user data: it links to no system.
    if (const GSErrCode err = ACAPI_Element_GetUserData(&head, &userData, 0); err != NoError)
        return err == APIERR_NOUSERDATA ? NoError : err;
    Velmar::HandleOwner data(userData.dataHdl);
    // The first 16 bytes are the link whatever the data version says, as every reader of links takes them.
    if (data.Get() == nullptr || BMGetHandleSize(data.Get()) < static_cast<Int32>(IdSize))
        return NoError;
    GS::Guid id;
    std::memcpy(&id, *data.Get(), IdSize);
    storedSystemId = id;
    return NoError;
}

GSErrCode Write(const API_Elem_Head& element, const GS::Guid& storedSystemId)
{
    Velmar::HandleOwner data(BMAllocateHandle(static_cast<Int32>(IdSize), 0, 0));
    if (data.Get() == nullptr)
        return APIERR_MEMFULL;
    std::memcpy(*data.Get(), &storedSystemId, IdSize);
    API_ElementUserData userData = {};
    userData.dataVersion = DataVersion;
    userData.platformSign = PlatformSign;
    userData.dataHdl = data.Get();
    return Velmar::SetElementUserData(element, userData);
}

std::optional<API_AttributeIndex> CompositeOf(const API_Element& element)
{
    const bool wall = element.header.type.typeID == API_WallID;
    const auto structure = wall ? element.wall.modelElemStructureType : element.slab.modelElemStructureType;
    if (structure != API_CompositeStructure)
        return std::nullopt;
    return wall ? element.wall.composite : element.slab.composite;
}

}  // namespace Velmar::Bo::ElementLink

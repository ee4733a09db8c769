#include "ElementLink.hpp"

#include "ACAPinc.hpp"
#include "BM.hpp"

#include <array>
#include <cstring>

namespace Velmar::Bo::ElementLink {

namespace {
constexpr std::size_t IdSize = 16;
}

GSErrCode Read(const API_Elem_Head& element, std::optional<GS::Guid>& storedSystemId)
{
    storedSystemId.reset();
    API_Elem_Head head = element;
    API_ElementUserData userData = {};
    // An element the add-on never wrote answers that it has no user data: it links to no system.
    if (const GSErrCode err = ACAPI_Element_GetUserData(&head, &userData, 0); err != NoError)
        return err == APIERR_NOUSERDATA ? NoError : err;
    GS::HandleGuard data(userData.dataHdl);
    if (userData.dataVersion != DataVersion || data.Get() == nullptr ||
        BMGetHandleSize(data.Get()) < static_cast<Int32>(IdSize))
        return NoError;
    std::array<UInt8, IdSize> bytes;
    std::memcpy(bytes.data(), *data.Get(), IdSize);
    storedSystemId = GS::Guid(bytes);
    return NoError;
}

GSErrCode Write(const API_Elem_Head& element, const GS::Guid& storedSystemId)
{
    GS::HandleGuard data(BMAllocateHandle(static_cast<Int32>(IdSize), 0, 0));
    if (data.Get() == nullptr)
        return APIERR_MEMFULL;
    std::memcpy(*data.Get(), storedSystemId.GetBytes().data(), IdSize);
    API_ElementUserData userData = {};
    userData.dataVersion = DataVersion;
    userData.platformSign = PlatformSign;
    userData.dataHdl = data.Get();
    API_Elem_Head head = element;
    return ACAPI_Element_SetUserData(&head, &userData);
}

}  // namespace Velmar::Bo::ElementLink

#include "WallsAndSlabs.hpp"

#include "ACAPinc.hpp"
#include "ElementLink.hpp"
#include "GSDebug.hpp"
#include "GSException.hpp"
#include "Utf8Text.hpp"

#include <string>

namespace Velmar::Bo {

void RaiseRefusal(const char* what, GSErrCode err)
{
    throw GS::GeneralException(UniStringOfUtf8(std::string(what) + " could not be read (" + std::to_string(err) + ")"));
}

void LogRefusal(const char* what, GSErrCode err)
{
    DBPrintf("Velmar: %s could not be read (%d)\n", what, err);
}

GS::Array<API_Guid> ListElements(const ElementKind& kind, Refusal refused)
{
    GS::Array<API_Guid> elements;
    if (const GSErrCode err = ACAPI_Element_GetElemList(API_ElemType{kind.type}, &elements, APIFilt_None, APINULLGuid);
        err != NoError) {
        refused(kind.type == API_WallID ? "the project's walls" : "the project's slabs", err);
        elements.Clear();
    }
    return elements;
}

std::optional<GS::Guid> LinkOf(const API_Guid& element, Refusal refused)
{
    API_Elem_Head head = {};
    head.guid = element;
    std::optional<GS::Guid> system;
    if (const GSErrCode err = ElementLink::Read(head, system); err != NoError)
        refused("an element's link", err);
    return system;
}

}  // namespace Velmar::Bo

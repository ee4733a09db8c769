// The one walk over the project's walls and slabs that property writing, Update and Check share: walls
// first, then slabs, each kind in the order the host lists it, with the link each element carries.
#pragma once

#include "APIdefs.h"

#include <optional>

namespace Velmar::Bo {

struct ElementKind {
    API_ElemTypeID type;
    const char* phase;  // the progress window's phase for the kind
};
inline constexpr ElementKind WallsAndSlabs[] = {{API_WallID, "Walls"}, {API_SlabID, "Slabs"}};

constexpr bool IsWallOrSlab(API_ElemTypeID type)
{
    for (const ElementKind& kind : WallsAndSlabs) {
        if (kind.type == type)
            return true;
    }
    return false;
}

// What a walk does with a list or a link the host will not give. A step that writes from what it reads
// ends (RaiseRefusal: a host exception naming what); Check, which writes nothing, logs it and goes on
// without it (LogRefusal).
using Refusal = void (*)(const char* what, GSErrCode err);
void RaiseRefusal(const char* what, GSErrCode err);
void LogRefusal(const char* what, GSErrCode err);

// The kind's elements; none when the host will not list them (after `refused`).
GS::Array<API_Guid> ListElements(const ElementKind& kind, Refusal refused);
// The stored system the element is linked to; none without a link, or when it cannot be read (after `refused`).
std::optional<GS::Guid> LinkOf(const API_Guid& element, Refusal refused);

// Calls onKind(kind, count) before each kind and visit(guid, position in its kind) for each element;
// either answering false stops the walk (a cancelled progress window), and the walk answers false.
template <typename OnKind, typename Visit>
bool ForEachWallAndSlab(Refusal refused, OnKind&& onKind, Visit&& visit)
{
    for (const ElementKind& kind : WallsAndSlabs) {
        const GS::Array<API_Guid> elements = ListElements(kind, refused);
        if (!onKind(kind, elements.GetSize()))
            return false;
        for (UIndex i = 0; i < elements.GetSize(); ++i) {
            if (!visit(elements[i], i))
                return false;
        }
    }
    return true;
}

}  // namespace Velmar::Bo

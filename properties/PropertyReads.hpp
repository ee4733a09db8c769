// The reads every part of a property write shares, and what a refused one does.
#pragma once

#include "ACAPinc.hpp"
#include "UndoStep.hpp"
#include "WallsAndSlabs.hpp"

#include <optional>

namespace Velmar::Services::Properties {

// A read the values depend on, refused: a step ends, as values written without it would describe what
// the element is not; in the user's own command the element keeps what it has and the host's refusal
// reaches the log where the command ends.
inline void ReadRefused(const char* what, GSErrCode err)
{
    if (InStep())
        Bo::RaiseRefusal(what, err);
}

// None for an element that is gone (someone deleted it since it was listed).
inline std::optional<API_Element> ReadElement(const API_Guid& guid)
{
    API_Element element = {};
    element.header.guid = guid;
    if (const GSErrCode err = ACAPI_Element_Get(&element, 0); err != NoError) {
        if (err != APIERR_BADID && err != APIERR_DELETED)
            ReadRefused("an element", err);
        return std::nullopt;
    }
    return element;
}

}  // namespace Velmar::Services::Properties

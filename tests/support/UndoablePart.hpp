// The part of a simulated project's file text that Edit > Undo puts back: everything but the attributes and
// the module data, which Archicad writes with non-undoable modifiers.
#pragma once

#include <string>

namespace Velmar::Testing {

inline std::string UndoablePartOf(const std::string& projectJson)
{
    const auto from = projectJson.find("\"classificationSystems\":");
    return projectJson.substr(from, projectJson.find(",\"moduleData\":", from) - from);
}

}  // namespace Velmar::Testing

// The add-on's six browser windows.
#pragma once

#include "Definitions.hpp"

namespace brixlab::xdWebEngine {

enum class PaletteIdentifiers : Int32 { Rules = 1, Config = 2, Update = 3, Download = 4, Result = 5, Lod = 6 };

}  // namespace brixlab::xdWebEngine

// The "ACAPI" object a page of the brand's web application calls: 31 functions, each reading one JSON
// argument, calling one service and answering a JSON text, true, an array of texts or undefined.
#pragma once

#include "IBrowserWindow.hpp"
#include "JSValues.hpp"

namespace brixlab::xdWebEngine {

// A new "ACAPI" object whose functions are bound to `window` (the window that registers it, which must
// outlive the object); the caller hands it to the window's browser control.
JS::Object* CreateAcapiObject(IBrowserWindow& window);

}  // namespace brixlab::xdWebEngine

// The "ACAPI" object a page of the brand's web application calls: 31 functions, each reading one JSON
// argument, calling one service and answering a JSON text, true, an array of texts or undefined.
#pragma once

#include "IBrowserWindow.hpp"
#include "JSValues.hpp"

#include <functional>

namespace brixlab::xdWebEngine {

// A new "ACAPI" object whose functions are bound to `window` (the window that registers it, which must
// outlive the object); the caller hands it to the window's browser control. `pageAddress` answers the
// address of the page the control shows at the time of a call: only the brand's pages are answered.
JS::Object* CreateAcapiObject(IBrowserWindow& window, std::function<GS::UniString()> pageAddress);

// Whether an address is a page of the brand's web application (its scheme and host, then a path).
bool IsWebApplicationAddress(const GS::UniString& address);

}  // namespace brixlab::xdWebEngine

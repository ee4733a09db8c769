// The host callbacks: selection changes, element events, project events and the add-on's own DS01 command.
#pragma once

#include "APIdefs.h"
#include "UniString.hpp"

namespace Velmar::AddOn {

GSErrCode SelectionChangeHandler(const API_Neig* selElemNeig);
GSErrCode ElementEventHandler(const API_NotifyElementType* elemType);
GSErrCode ProjectEventHandler(API_NotifyEventID notifID, Int32 param);
GSErrCode SelectedSystemCommandHandler(GSHandle params, GSPtr resultData, bool silentMode);

// Runs on the relay poller's thread: asks the host to run DS01 with "System" = `text` from its event loop.
// True when the host took the request. `self` is this add-on's module identifier.
bool HandOverSystem(const API_ModulID& self, const GS::UniString& text);

}  // namespace Velmar::AddOn

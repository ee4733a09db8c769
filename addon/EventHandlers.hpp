// The host callbacks: selection changes, element events, project events and the add-on's own DS01 command.
#pragma once

#include "APIdefs.h"

namespace Velmar::AddOn {

GSErrCode SelectionChangeHandler(const API_Neig* selElemNeig);
GSErrCode ElementEventHandler(const API_NotifyElementType* elemType);
GSErrCode ProjectEventHandler(API_NotifyEventID notifID, Int32 param);
GSErrCode SelectedSystemCommandHandler(GSHandle params, void* resultData, bool silentMode);

}  // namespace Velmar::AddOn

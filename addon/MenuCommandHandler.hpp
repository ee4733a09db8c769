// The one callback behind every Velmar menu item.
#pragma once

#include "APIdefs.h"

#include <functional>

namespace Velmar::AddOn {

GSErrCode MenuCommandHandler(const API_MenuParams* menuParams);

// Starts the relay poller with a new relay channel id the first time, and hands the id to the callback;
// Search builds the selector address from it.
void OpenSelector(const std::function<void(const GS::Guid& channelId)>& callback);

}  // namespace Velmar::AddOn

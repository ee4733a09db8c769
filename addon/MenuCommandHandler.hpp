// The one callback behind every Velmar menu item.
#pragma once

#include "APIdefs.h"

#include <functional>

namespace Velmar::AddOn {

GSErrCode MenuCommandHandler(const API_MenuParams* menuParams);

// Checks item `itemIndex` of the Lod menu and clears the other four.
void CheckOnlyLodItem(Int32 itemIndex);

// Starts the relay poller with a new relay channel id the first time, and hands the id to the callback;
// Search builds the selector address from it.
void OpenSelector(const std::function<void(const GS::Guid& channelId)>& callback);

}  // namespace Velmar::AddOn

// Resource ids of the add-on's menus, string lists and windows.
#pragma once

#include "Definitions.hpp"

namespace Velmar::Menus {

constexpr Int16 SearchMenu = 32500;
constexpr Int16 LodMenu = 32501;
constexpr Int16 UpdateMenu = 32502;
constexpr Int16 SettingsMenu = 32503;
constexpr Int16 CheckMenu = 32504;
constexpr Int16 NeutralMenu = 32505;

constexpr GSResID IdentityStrings = 32000;

// The reports' string lists, each English, Dutch, French (TextEntryFor).
constexpr GSResID CheckCancelledText = 37010;
constexpr GSResID VersionRefusedText = 37011;
constexpr GSResID PlatformNotReachedText = 37012;
constexpr GSResID SkippedValuesText = 37014;
constexpr GSResID OfferedAgainText = 37013;
constexpr Int32 LodMenuItemCount = 5;

}  // namespace Velmar::Menus

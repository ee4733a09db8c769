// The configuration service's settings as the settings page receives them.
#pragma once

#include "UniString.hpp"

GS::UniString SettingsText();

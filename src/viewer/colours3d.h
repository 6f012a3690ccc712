#pragma once
// The 3D colour dialog's logic: a double-click on a colour label asks for a new colour, which
// takes effect at once (the dialog has no Cancel).
#include "mapfile/settings.h"
#include "platform/user_dialogs.h"

namespace terrak {

// Returns whether the colour changed.
bool FrontcolourDblClick(Settings& settings, UserDialogs& dialogs);
bool BackcolourDblClick(Settings& settings, UserDialogs& dialogs);

}  // namespace terrak

#include "viewer/colours3d.h"

namespace terrak {

namespace {

bool Choose(Colour& colour, UserDialogs& dialogs) {
  const std::optional<Colour> chosen = dialogs.ChooseColour(colour);
  if (!chosen) return false;
  colour = *chosen;
  return true;
}

}  // namespace

bool FrontcolourDblClick(Settings& settings, UserDialogs& dialogs) {
  return Choose(settings.Front3dColour, dialogs);
}

bool BackcolourDblClick(Settings& settings, UserDialogs& dialogs) {
  return Choose(settings.Back3dColour, dialogs);
}

}  // namespace terrak

#include "mainwindow/window_caption.h"

#include <filesystem>

namespace terrak {

std::string MainWindowCaption(const AppState& app) {
  if (!app.Window.MapOpen()) return kMainWindowCaption;
  return std::filesystem::path(app.Window.OpenMapName).filename().string() +
         (app.Model.MapModified ? "*" : "") + " - " + kMainWindowCaption;
}

}  // namespace terrak

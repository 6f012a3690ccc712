#pragma once
// Opens the 3D viewer from the main window: "3D-Views" on the loaded map, "Open 3D map" on a
// 3D map file. One viewer at a time; its closing makes "3D-Views" usable again.
#include <QObject>
#include <QPointer>

#include "mainwindow/app_state.h"
#include "mainwindow/map_window.h"
#include "viewer/paint.h"
#include "viewer/ui/cont3d.h"

namespace terrak {

class Tmapform;

class ViewerLauncher {
 public:
  // Connects itself to the main window's viewer hook. dialogs as for Tcontours.
  ViewerLauncher(Tmapform& mapform, AppState& app, GridConstruction& construction,
                 UserDialogs* dialogs = nullptr);
  Tcontours* Viewer() const { return viewer_; }

 private:
  bool Open(const ViewerRequest& request);

  Tmapform& mapform_;
  AppState& app_;
  GridConstruction& construction_;
  UserDialogs* dialogs_;
  QPointer<Tcontours> viewer_;
};

}  // namespace terrak

#include "mainwindow/ui/viewer_launcher.h"

#include "mainwindow/ui/terrak51.h"
#include "viewer/ui/cont3d.h"
#include "viewer/viewer_commands.h"

namespace terrak {

ViewerLauncher::ViewerLauncher(Tmapform& mapform, AppState& app, GridConstruction& construction,
                               UserDialogs* dialogs)
    : mapform_(mapform), app_(app), construction_(construction), dialogs_(dialogs) {
  mapform_.OpenViewerHook = [this](const ViewerRequest& request) { return Open(request); };
}

bool ViewerLauncher::Open(const ViewerRequest& request) {
  if (viewer_) return false;
  if (request.FromMap3dFile)
    OpenViewerOn3dMap(app_.Viewer, app_.Grid, request.Map3dFileName);
  else
    OpenViewerOnMap(app_.Viewer);
  viewer_ = new Tcontours(app_, construction_, dialogs_, &mapform_);
  viewer_->setWindowFlag(Qt::Window);
  viewer_->Closed = [this] { mapform_.ViewerClosed(); };
  viewer_->StateChanged = [this] { mapform_.StateChangedElsewhere(); };
  viewer_->show();
  return true;
}

}  // namespace terrak

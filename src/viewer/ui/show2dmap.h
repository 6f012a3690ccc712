#pragma once
// The 2D overview "MapView": the map bitmap at half size in a scroll box, on which a drag with
// the right button places and aims the 3D viewpoint.
#include <QMainWindow>
#include <functional>

#include "terrain/grid_state.h"
#include "platform/user_dialogs.h"
#include "viewer/overview.h"
#include "viewer/viewer_state.h"

class QScrollArea;

namespace terrak {

class PictureSurface;

class TMap2d : public QMainWindow {
  Q_OBJECT

 public:
  // Failures of its handlers (too little memory for the picture) are shown through dialogs.
  TMap2d(ViewerState& viewer, const GridState& grid, UserDialogs& dialogs, QWidget* owner);
  // The viewer repaints after an aim; it enables "Show 2D map" again on Closed.
  std::function<void()> Aimed;
  std::function<void()> Closed;
  const OverviewState& State() const { return overview_; }
  PictureSurface& Image1() { return *image1_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormPaint();

  ViewerState& viewer_;
  const GridState& grid_;
  UserDialogs& dialogs_;
  OverviewState overview_;
  QScrollArea* scrollBox1_;
  PictureSurface* image1_;
  bool created_ = false;
};

}  // namespace terrak

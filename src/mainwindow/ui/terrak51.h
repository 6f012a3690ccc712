#pragma once
// The main map window: menus, status bar and the map surface. Every event becomes a call of a
// core handler over the application state; the window then mirrors the menu and status bar
// state and shows the picture.
#include <QMainWindow>
#include <array>
#include <functional>

#include "mainwindow/app_state.h"
#include "mainwindow/height_tag_choice.h"
#include "mainwindow/map_window.h"
#include "platform/qt/qt_picture_painter.h"
#include "platform/qt/qt_user_dialogs.h"

class QAction;
class QLabel;
class QStatusBar;

namespace terrak {

class MapSurface;
class TCheckHeightsForm;

class Tmapform : public QMainWindow, private MapWindowHost {
  Q_OBJECT

 public:
  // The window asks the user through its own Qt dialogs, or through dialogs when given (tests
  // answer from a script).
  explicit Tmapform(AppState& app, UserDialogs* dialogs = nullptr, QWidget* parent = nullptr);
  ~Tmapform() override;

  // The viewer hook: opens the 3D viewer for a request and says whether a window opened. Until
  // the viewer is built nothing is set and nothing opens.
  std::function<bool(const ViewerRequest&)> OpenViewerHook;
  // Called by the viewer when its window closes: "3D-Views" becomes usable again.
  void ViewerClosed();
  // Called when the 3D viewer changed the shared state (the map's change mark, say): the menus,
  // the status bar and the caption follow it.
  void StateChangedElsewhere();

  QAction* Action(MenuItem item) const { return actions_[static_cast<std::size_t>(item)]; }
  QStatusBar* StatusBar1() const { return statusBar1_; }
  MapSurface* Surface() const { return surface_; }
  // The Check Heights list once it was shown.
  TCheckHeightsForm* CheckHeightsList() const { return checkHeights_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // MapWindowHost
  void PlaceWindow(int left, int top, int width, int height) override;
  void Invalidate() override { repaintPending_ = true; }
  void CloseWindow() override { closePending_ = true; }
  bool ShowSymbolSelectionDialog() override;
  void ShowChangeSymbolDialog() override;
  void ShowColourSchemeDialog() override;
  bool OpenViewer(const ViewerRequest& request) override;
  std::optional<std::size_t> AskHeightTag(const HeightTagQuestion& question) override;
  std::optional<ContourSettingsQuestion> AskContourSettings(
      const ContourSettingsQuestion& question) override;
  void ShowStatusMessage(const std::string& text) override;
  void ShowPictureNow() override;
  void ShowHeightFindings() override;
  PicturePainter* MapPainter() override { return &mapPainter_; }

  // Runs a core handler with the top-level error report, then paints when asked, mirrors the
  // state and shows the picture. Returns whether the handler ended without an error.
  bool Handle(const std::function<void(MapWindow&)>& handler);
  // Paint and resize: FormPaint now, or once the running handler is done.
  void Repaint();
  void BuildMenus();
  void BuildStatusBar();
  void MirrorState();
  void PlaceStatusBar();

  AppState& app_;
  QtUserDialogs ownDialogs_;
  QtPicturePainter mapPainter_;
  UserDialogs& dialogs_;
  MapSurface* surface_;
  TCheckHeightsForm* checkHeights_ = nullptr;
  QStatusBar* statusBar1_;
  std::array<QLabel*, 5> panels_{};
  std::array<QAction*, kMenuItemCount> actions_{};
  bool created_ = false;
  bool handling_ = false;
  bool repaintPending_ = false;
  bool closePending_ = false;
};

}  // namespace terrak

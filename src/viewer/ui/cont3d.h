#pragma once
// The 3D viewer window "Ror Ed 3e Vorazo": its three menus, the status bar and the picture.
// Every event becomes a call of a core handler over the application state; the window then
// paints when asked, mirrors the menu and status bar state and shows the picture.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "mainwindow/app_state.h"
#include "platform/qt/qt_user_dialogs.h"
#include "viewer/ui/compasscode.h"
#include "viewer/ui/inclinecode.h"
#include "viewer/ui/show2dmap.h"
#include "viewer/viewer_window.h"

class QAction;
class QLabel;
class QPrinter;
class QStatusBar;

namespace terrak {

class PictureSurface;
class TExportOptionsForm;
class TExportProgressForm;

class Tcontours : public QMainWindow, private ViewerHost {
  Q_OBJECT

 public:
  // The window asks the user through its own Qt dialogs, or through dialogs when given (tests
  // answer from a script). construction builds the grid at the first mesh paint.
  Tcontours(AppState& app, GridConstruction& construction, UserDialogs* dialogs = nullptr,
            QWidget* parent = nullptr);
  ~Tcontours() override;

  // Called when the window closes: the main window enables "3D-Views" again.
  std::function<void()> Closed;
  // Called after every handler: the main window follows what the viewer changed (the map's
  // change mark after "Save Location" or an option).
  std::function<void()> StateChanged;
  // Stands in for the print dialog where set (tests set up a PDF printer): true for OK.
  std::function<bool(QPrinter&)> PrintDialog;
  // Stands in for the export options' exec() where set: true for OK.
  std::function<bool(TExportOptionsForm&)> ExportOptionsDialog;
  // Told of every export progress window as it opens.
  std::function<void(TExportProgressForm&)> ExportProgressOpened;

  QAction* Action(const std::string& name) const;
  const QImage& Picture() const;
  QStatusBar* StatusBar1() const { return statusBar1_; }
  PictureSurface& Surface() const { return *surface_; }
  TCompass* Compass() const { return compass_; }
  Tinclinometer* Inclinometer() const { return inclinometer_; }
  TMap2d* Map2d() const { return map2d_; }
  PaintOptions& Paint() { return paint_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // The menu bar's keys: arrows go to the picture unless a menu is open.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // ViewerHost
  void Invalidate() override { repaintPending_ = true; }
  void RepaintDirectionWindows() override { directionPending_ = true; }
  void OpenCompass() override;
  void OpenInclinometer() override;
  void OpenOverview() override;
  void ShowColourDialog() override;
  std::optional<PageSize> ChoosePrinter() override;
  void PrinterSetup() override;
  void PrintPicture(const terrak::Picture& picture, const Rect& rect) override;
  bool ChooseExportOptions(ExportKind kind, ExportChoices& choices) override;
  std::unique_ptr<ExportProgressWindow> OpenExportProgress(const std::string& caption) override;
  void ShowStatusMessage(const std::string& text) override;

  // Runs a core handler with the top-level error report, then paints when asked and mirrors
  // the state. Returns whether the handler ended without an error.
  bool Handle(const std::function<void(ViewerWindow&)>& handler);
  void BuildMenus();
  void BuildStatusBar();
  void MirrorState();
  bool KeyDown(QKeyEvent* event);
  void ShowToolWindow(TDirectionWindow* tool);

  AppState& app_;
  GridConstruction& construction_;
  QtUserDialogs ownDialogs_;
  UserDialogs& dialogs_;
  PaintOptions paint_;
  PictureSurface* surface_;
  QStatusBar* statusBar1_;
  std::array<QLabel*, 5> panels_{};
  std::map<std::string, QAction*> actions_;
  QPointer<TCompass> compass_;
  QPointer<Tinclinometer> inclinometer_;
  QPointer<TMap2d> map2d_;
  std::unique_ptr<QPrinter> printer_;
  bool activated_ = false;
  bool handling_ = false;
  bool repaintPending_ = false;
  bool directionPending_ = false;
};

}  // namespace terrak

#pragma once
// The real main window over a fresh application state in a temporary folder, for the widget
// tests, and where on it a press picks a line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "mainwindow/nested_contours.h"
#include "mainwindow/screen_points.h"
#include "mainwindow/ui/map_surface.h"
#include "mainwindow/ui/mapsymbs.h"
#include "mainwindow/ui/terrak51.h"
#include "mainwindow/view_transform.h"
#include "support/temp_folder.h"

namespace terrak::testing {

struct WindowUnderTest {
  TempFolder Folder;
  WatchedDialogs Dialogs;
  AppState App;
  std::unique_ptr<Tmapform> Form;

  WindowUnderTest() {
    App.Paths = Folder.Paths();
    Form = std::make_unique<Tmapform>(App, &Dialogs);
    Form->show();
  }
  void Trigger(MenuItem item) { Form->Action(item)->trigger(); }
  void Open(const std::string& map) {
    Dialogs.FileAnswers = {map};
    Trigger(MenuItem::Openmap);
  }
  // "Add Symbol to Map Selection", answered in the real dialog: ">>" then OK.
  void SelectEverySymbol() {
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<TmaplistDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->IncAllBtn()->click();
      dialog->OKBtn()->click();
    });
    Trigger(MenuItem::Addsymbols);
  }
  const QImage& Picture() const { return Form->Surface()->BackingImage(); }
};

// A point of a drawn line's outline inside the line's box on the screen and inside `area`,
// where a press picks the line (the window must have been painted).
inline std::optional<QPoint> PressPointOnALine(AppState& app, const Rect& area) {
  for (std::size_t i = 0; i < app.Model.MapObjects.size(); ++i) {
    const TMapObject& o = app.Model.MapObjects[i];
    if (!IsVisible(app.Window, o) || o.Kind != ObjectKind::Line) continue;
    const Point tl = MapToScreen(app.Window, app.Model, o.MinX, o.MaxY);
    const Point br = MapToScreen(app.Window, app.Model, o.MaxX, o.MinY);
    app.Window.PointCount = 0;
    BuildScreenPoints(app.Window, app.Model, app.Model.ObjectCoords[i]);
    for (std::int32_t k = 0; k < app.Window.PointCount; ++k) {
      const Point p = app.Window.ScreenPoints[static_cast<std::size_t>(k)];
      if (Rect{tl.X, tl.Y, br.X, br.Y}.Contains(p) && area.Contains(p)) return QPoint(p.X, p.Y);
    }
  }
  return std::nullopt;
}

}  // namespace terrak::testing

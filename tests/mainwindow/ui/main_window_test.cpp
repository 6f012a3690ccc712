// The real main window under the offscreen platform: the enabled states in the three map-level
// states, painting a demo map onto the backing image, and what the mouse and the window system
// do to it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>
#include <set>

#include "mainwindow/screen_points.h"
#include "mainwindow/ui/map_surface.h"
#include "mainwindow/ui/mapsymbs.h"
#include "mainwindow/ui/terrak51.h"
#include "mainwindow/view_transform.h"
#include "platform/qt/image_canvas.h"
#include "platform/qt/qt_user_dialogs.h"
#include "mapbuild/demo_map.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::ScriptedDialogs;
using testing::TempFolder;

struct MenuEntry {
  std::string Menu, Caption, ShortCut;
  bool Enabled;
};

std::vector<MenuEntry> MenuTree(const Tmapform& form) {
  std::vector<MenuEntry> entries;
  for (QAction* top : form.menuBar()->actions()) {
    if (top->menu() == nullptr) {
      entries.push_back({top->text().toStdString(), top->text().toStdString(), "", top->isEnabled()});
      continue;
    }
    for (QAction* item : top->menu()->actions())
      entries.push_back({top->text().toStdString(), item->text().toStdString(),
                         item->shortcut().toString(QKeySequence::PortableText).toStdString(),
                         item->isEnabled()});
  }
  return entries;
}

std::set<std::string> EnabledCaptions(const Tmapform& form) {
  std::set<std::string> enabled;
  for (const MenuEntry& entry : MenuTree(form))
    if (entry.Enabled) enabled.insert(entry.Caption);
  return enabled;
}

// A window over a fresh application state in a temporary folder; the map it opens is the
// version 7 demo map of samples/ (opening only reads it).
struct Window {
  TempFolder Folder;
  ScriptedDialogs Dialogs;
  AppState App;
  std::unique_ptr<Tmapform> Form;
  std::string MapFile = TERRAK_SOURCE_DIR "/samples/demo7.ocd";

  Window() {
    App.Paths = Folder.Paths();
    Form = std::make_unique<Tmapform>(App, &Dialogs);
    Form->show();
  }
  void Trigger(MenuItem item) { Form->Action(item)->trigger(); }
  void OpenDemoMap() {
    Dialogs.FileAnswers = {MapFile};
    Trigger(MenuItem::Openmap);
  }
  // "Add Symbol to Map Selection", answered in the real dialog: ">>" then OK.
  void SelectEverySymbol() {
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<TmaplistDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_FALSE(dialog->ExcludeBtn()->isEnabled());
      dialog->IncAllBtn()->click();
      EXPECT_TRUE(dialog->ExcludeBtn()->isEnabled());
      EXPECT_EQ(dialog->SrcList()->count(), 0);
      dialog->OKBtn()->click();
    });
    Trigger(MenuItem::Addsymbols);
  }
  const QImage& Picture() const { return Form->Surface()->BackingImage(); }
};

TEST(MainWindow, MenuStatesInTheThreeMapLevelsAndNoShortCutTakenTwice) {
  Window w;
  const std::vector<MenuEntry> tree = MenuTree(*w.Form);
  std::set<std::string> keys;
  std::size_t withKeys = 0;
  for (const MenuEntry& entry : tree)
    if (!entry.ShortCut.empty()) ++withKeys, keys.insert(entry.ShortCut);
  EXPECT_EQ(keys.size(), withKeys);
  EXPECT_FALSE(w.Form->StatusBar1()->isVisible());

  // No map.
  EXPECT_EQ(EnabledCaptions(*w.Form),
            (std::set<std::string>{"&Open OCAD Map", "E&xit", "Open 3D map", "3D-Views"}));
  // A map open, no symbols selected.
  w.OpenDemoMap();
  EXPECT_EQ(EnabledCaptions(*w.Form),
            (std::set<std::string>{"&Open OCAD Map", "&Save", "Save &As", "E&xit", "Open 3D map",
                                   "Add &Symbol to Map Selection", "3D-Views"}));
  // Symbols selected: everything but the current zoom, which is the one checked item, and the
  // height tag, which only Mapper maps have.
  w.SelectEverySymbol();
  std::set<std::string> disabled, checked;
  for (QAction* top : w.Form->menuBar()->actions())
    if (top->menu())
      for (QAction* item : top->menu()->actions()) {
        if (!item->isEnabled()) disabled.insert(item->text().toStdString());
        if (item->isChecked()) checked.insert(item->text().toStdString());
      }
  // The demo map keeps 2x in its setup record.
  EXPECT_EQ(disabled, (std::set<std::string>{"2x", "Choose &Height Tag..."}));
  EXPECT_EQ(checked, std::set<std::string>{"2x"});
}

// Show Whole Map: the map's own colours under the selected symbols, which keep theirs; the item
// is checked, and unchecked again it leaves the symbols alone on white.
TEST(MainWindow, ShowsTheWholeMapUnderTheSelectedSymbols) {
  Window w;
  w.OpenDemoMap();
  w.SelectEverySymbol();
  w.App.Model.SelectedSymbols.resize(1);
  w.App.Model.SelectedSymbols[0].Colour = 0x0000FF;
  const auto count = [&w] {
    const QImage& image = w.Picture();
    std::pair<int, int> redAndOther{0, 0};
    for (int y = 0; y < image.height() - 20; ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        if (pixel == qRgb(255, 0, 0))
          ++redAndOther.first;
        else if (pixel != qRgb(255, 255, 255))
          ++redAndOther.second;
      }
    return redAndOther;
  };
  w.Trigger(MenuItem::Redraw);
  EXPECT_EQ(w.Picture().size(), w.Form->Surface()->size());
  const auto [redAlone, otherAlone] = count();
  EXPECT_GT(redAlone, 100);
  EXPECT_EQ(otherAlone, 0);
  const auto panels = w.Form->StatusBar1()->findChildren<QLabel*>();
  ASSERT_EQ(panels.size(), 5);
  EXPECT_EQ(panels[3]->text().toStdString(), "Zoom 2.00x");

  w.Trigger(MenuItem::ShowWholeMap);
  EXPECT_TRUE(w.Form->Action(MenuItem::ShowWholeMap)->isChecked());
  const auto [redOver, otherUnder] = count();
  EXPECT_GT(redOver, redAlone * 9 / 10);  // the symbols drawn over the map
  EXPECT_GT(otherUnder, 5000);            // the map's own colours
  // Unchecking it again: WholeMapPaint.TheMenuItemTogglesAndIsRemembered.
}

// A Shift press on a drawn contour point away from the edges, where the height text shows.
QPoint ShiftPressPoint(Window& w) {
  AppState& app = w.App;
  for (std::size_t i = 0; i < app.Model.MapObjects.size(); ++i) {
    const TMapObject& o = app.Model.MapObjects[i];
    if (!IsVisible(app.Window, o) || o.Kind != ObjectKind::Line) continue;
    const Point tl = MapToScreen(app.Window, app.Model, o.MinX, o.MaxY);
    const Point br = MapToScreen(app.Window, app.Model, o.MaxX, o.MinY);
    app.Window.PointCount = 0;
    BuildScreenPoints(app.Window, app.Model, app.Model.ObjectCoords[i]);
    for (std::int32_t k = 0; k < app.Window.PointCount; ++k) {
      const Point p = app.Window.ScreenPoints[static_cast<std::size_t>(k)];
      if (Rect{tl.X, tl.Y, br.X, br.Y}.Contains(p) &&
          Rect{0, 0, w.Picture().width() - 60, w.Picture().height() - 40}.Contains(p))
        return {p.X, p.Y};
    }
  }
  ADD_FAILURE() << "no contour point to press on";
  return {};
}

// What the window system sends when part of the window is shown again.
void Uncover(Tmapform& form, const QRect& area) {
  QExposeEvent expose{QRegion(area)};
  QCoreApplication::sendEvent(form.windowHandle(), &expose);
}

// Move View draws its frame by inverting, a Shift press on a contour writes its height at the
// mouse: Redraw and uncovering erase either and paint again, a closing menu does not.
TEST(MainWindow, FramesAndTextAtTheMouseGoWithARepaintButNotWithAClosingMenu) {
  Window w;
  w.OpenDemoMap();
  w.SelectEverySymbol();
  const QImage before = w.Picture().copy();
  w.Trigger(MenuItem::MoveView);
  EXPECT_NE(w.Picture(), before);
  w.Trigger(MenuItem::Redraw);
  EXPECT_EQ(w.Picture(), before);
  QTest::mouseClick(w.Form->Surface(), Qt::LeftButton, Qt::ShiftModifier, ShiftPressPoint(w));
  EXPECT_TRUE(w.App.Window.HitFound);
  EXPECT_NE(w.Picture(), before);
  w.Trigger(MenuItem::Redraw);
  EXPECT_EQ(w.Picture(), before);

  w.Trigger(MenuItem::MoveView);
  const QImage framed = w.Picture().copy();
  // A menu of the window opened over it and closed again: the frame stays, and so does the mode.
  QMenu* edit = w.Form->menuBar()->actions()[1]->menu();
  edit->popup(w.Form->mapToGlobal(QPoint(40, 30)));
  const QRect menuArea(w.Form->mapFromGlobal(edit->geometry().topLeft()), edit->size());
  edit->hide();
  Uncover(*w.Form, menuArea);
  EXPECT_TRUE(w.App.Window.MoveViewMode);
  EXPECT_EQ(w.Picture(), framed);

  // Another window moved away from it: the window is painted again, which ends Move View.
  Uncover(*w.Form, QRect(100, 100, 200, 150));
  EXPECT_FALSE(w.App.Window.MoveViewMode);
  EXPECT_TRUE(w.Form->Action(MenuItem::MoveView)->isEnabled());
  EXPECT_FALSE(w.Form->Action(MenuItem::MoveView)->isChecked());
  EXPECT_EQ(w.Picture(), before);

  // A height shown at the mouse goes the same way; the traced set is drawn again.
  QTest::mouseClick(w.Form->Surface(), Qt::LeftButton, Qt::ShiftModifier, ShiftPressPoint(w));
  ASSERT_TRUE(w.App.Window.HitFound);
  EXPECT_NE(w.Picture(), before);
  Uncover(*w.Form, QRect(0, 0, 50, 50));
  EXPECT_EQ(w.Picture(), before);
}

TEST(MainWindow, ShowsTheOpenHint) {
  TempFolder folder;
  ScriptedDialogs dialogs;
  AppState app;
  app.Paths = folder.Paths();
  Tmapform form(app, &dialogs);
  form.show();

  // The hint of "Open OCAD Map" shows while the mouse is on the item.
  QMenu* file = form.menuBar()->actions()[0]->menu();
  file->popup(form.mapToGlobal(QPoint(10, 30)));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
  const auto hover = [file](MenuItem item, const Tmapform& f) {
    const QPoint at = file->actionGeometry(f.Action(item)).center();
    QHelpEvent help(QEvent::ToolTip, at, file->mapToGlobal(at));
    QCoreApplication::sendEvent(file, &help);
    return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
  };
  EXPECT_EQ(hover(MenuItem::Openmap, form), "Open an OCAD 5 map");
  file->hide();
}

TEST(MainWindow, StatusPanelsShowTheirLongestTextsWhole) {
  Window w;
  w.OpenDemoMap();
  w.SelectEverySymbol();
  auto panels = w.Form->StatusBar1()->findChildren<QLabel*>();
  ASSERT_EQ(panels.size(), 5);
  std::sort(panels.begin(), panels.end(), [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
  // Heights of 1000 m and more, and the widest of every other figure.
  w.App.Window.CurrentHeight = 12345;
  w.App.Window.PickCount = 32767;
  w.App.Window.TracedObjectCount = 32767;
  w.App.Window.PickedSymbol = -32768;
  w.Trigger(MenuItem::Redraw);
  EXPECT_EQ(panels[4]->text().toStdString(), "Height 1234.5");
  const char* longest[] = {"Symbol -3276.8", "Selected 32767", "Objects 32767", "Zoom 16.00x",
                           "Height -3276.8"};
  for (int i = 0; i < 5; ++i) {
    QLabel* panel = panels[i];
    EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(longest[i]))
        << longest[i];
  }
  for (QLabel* panel : panels)
    EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(panel->text()))
        << panel->text().toStdString();
}

TEST(MainWindow, CancellingTheRealSymbolDialogKeepsTheHighlight) {
  Window w;
  w.OpenDemoMap();
  w.SelectEverySymbol();
  QTest::mouseClick(w.Form->Surface(), Qt::LeftButton, Qt::NoModifier, ShiftPressPoint(w));
  ASSERT_TRUE(w.App.Window.TraceExists);
  const TracedObjectList traced = w.App.Window.TracedObjects;
  const QImage highlighted = w.Picture().copy();
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<TmaplistDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->reject();
  });
  w.Trigger(MenuItem::Addsymbols);
  EXPECT_EQ(std::tuple(w.App.Window.TracedObjects, w.Picture()), std::tuple(traced, highlighted));
  w.Trigger(MenuItem::Redraw);
  EXPECT_EQ(w.Picture(), highlighted);
}

TEST(MainWindow, TheCaptionNamesTheMapAndItsChangesAndLeavingAsksOnce) {
  Window w;
  w.MapFile = w.Folder.File("demo7.ocd");
  testing::WriteBytes(w.MapFile, testing::ReadBytes(TERRAK_SOURCE_DIR "/samples/demo7.ocd"));
  EXPECT_EQ(w.Form->windowTitle().toStdString(), "Terrak-7 Ocad utility");
  w.OpenDemoMap();  // a new map counts as changed until saved
  EXPECT_EQ(w.Form->windowTitle().toStdString(), "demo7.ocd* - Terrak-7 Ocad utility");
  w.Trigger(MenuItem::Savemap);
  EXPECT_EQ(w.Form->windowTitle().toStdString(), "demo7.ocd - Terrak-7 Ocad utility");
  // Saving says so in the status bar, also before any panel is shown.
  EXPECT_EQ(w.Form->StatusBar1()->currentMessage().toStdString(), "Saved " + w.MapFile);
  EXPECT_TRUE(w.Form->StatusBar1()->isVisible());
  w.SelectEverySymbol();
  EXPECT_TRUE(w.Form->StatusBar1()->currentMessage().isEmpty());  // the user went on
  EXPECT_EQ(w.Form->windowTitle().toStdString(), "demo7.ocd* - Terrak-7 Ocad utility");

  // The window's own close button: one question, with Cancel, which keeps the window.
  w.Dialogs.MessageAnswers = {DialogButton::Cancel};
  EXPECT_FALSE(w.Form->close());
  EXPECT_TRUE(w.Form->isVisible());
  EXPECT_EQ(w.Dialogs.MessageTexts(), std::vector<std::string>{"Save changes to \"demo7.ocd\"?"});
  // Exit and its answers: UserActions.ExitAndCloseAskOnce.
}

// A turn of the wheel over the map, in eighths of a degree (120 is one notch).
void TurnWheel(MapSurface& surface, QPoint at, int eighths) {
  QWheelEvent wheel(at, surface.mapToGlobal(at), QPoint(), QPoint(0, eighths), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&surface, &wheel);
}

// The share of the drawn (not white) pixels of a in the area that b shows moved by offset.
double SameWhenMoved(const QImage& a, const QImage& b, const QRect& area, QPoint offset) {
  int drawn = 0, same = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      if (a.pixel(x, y) == qRgb(255, 255, 255)) continue;
      ++drawn;
      same += a.pixel(x, y) == b.pixel(x + offset.x(), y + offset.y());
    }
  return drawn == 0 ? 0 : static_cast<double>(same) / drawn;
}

TEST(MainWindow, TheWheelZoomsAtTheMouseAndARightDragMovesTheMapWithTheHand) {
  Window w;
  w.OpenDemoMap();
  w.SelectEverySymbol();
  MapSurface& surface = *w.Form->Surface();
  ASSERT_EQ(w.App.Model.MapZoom, 3);  // 2x
  // Half notches add up, as a touchpad gives them.
  TurnWheel(surface, {300, 200}, 60);
  EXPECT_EQ(w.App.Model.MapZoom, 3);
  TurnWheel(surface, {300, 200}, 60);
  EXPECT_EQ(w.App.Model.MapZoom, 2);
  EXPECT_TRUE(w.Form->Action(MenuItem::doublesize)->isEnabled());
  EXPECT_TRUE(w.Form->Action(MenuItem::foursize)->isChecked());
  TurnWheel(surface, {300, 200}, -120);
  EXPECT_EQ(w.App.Model.MapZoom, 3);

  const QImage before = w.Picture().copy();
  const QRect inside(60, 60, 300, 200);
  QTest::mousePress(&surface, Qt::RightButton, {}, QPoint(200, 150));
  QTest::mouseMove(&surface, QPoint(230, 170));
  // While the hand drags, the picture moves with it.
  EXPECT_GT(SameWhenMoved(before, surface.grab().toImage(), inside, {30, 20}), 0.99);
  QTest::mouseRelease(&surface, Qt::RightButton, {}, QPoint(230, 170));
  // Let go, the map is drawn anew where the hand left it (a line may fall a pixel apart, as
  // quotients are truncated toward the centre that moved), not where it was nor the other way.
  EXPECT_GT(SameWhenMoved(before, w.Picture(), inside, {30, 20}), 0.8);
  EXPECT_GT(SameWhenMoved(before, surface.grab().toImage(), inside, {30, 20}), 0.8);
  EXPECT_LT(SameWhenMoved(before, w.Picture(), inside, {0, 0}), 0.3);
  EXPECT_LT(SameWhenMoved(before, w.Picture(), inside, {-30, -20}), 0.3);
}

TEST(QtDialogs, FileFiltersInQtForm) {
  EXPECT_EQ(QtFileFilter("*.ocd|*.ocd"), "*.ocd (*.ocd)");
  EXPECT_EQ(QtFileFilter("Ocad 3d Map (.o3d)|*.o3d|All|*"), "Ocad 3d Map (.o3d) (*.o3d);;All (*)");
  EXPECT_EQ(QtFileFilter(""), "");
}

TEST(ImageCanvas, InvertedDrawingTwiceRestoresThePicture) {
  QImage image(60, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  ImageCanvas canvas;
  canvas.SetImage(&image);
  canvas.SetPenColour(0x0000FF);
  canvas.MoveTo(0, 20);
  canvas.LineTo(59, 20);
  canvas.End();
  const QImage drawn = image.copy();
  canvas.DrawFocusRect({5, 5, 50, 30});
  canvas.SetPenMode(PenMode::Invert);
  canvas.MoveTo(0, 0);
  canvas.LineTo(40, 39);
  canvas.LineTo(59, 0);
  canvas.End();
  EXPECT_NE(image, drawn);
  canvas.MoveTo(0, 0);
  canvas.LineTo(40, 39);
  canvas.LineTo(59, 0);
  canvas.DrawFocusRect({5, 5, 50, 30});
  canvas.End();
  EXPECT_EQ(image, drawn);
}

}  // namespace
}  // namespace terrak

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

#include "mainwindow/ui/window_under_test.h"
#include "platform/qt/image_canvas.h"
#include "platform/qt/qt_user_dialogs.h"

namespace terrak {
namespace {

struct MenuEntry {
  std::string Menu, Caption, ShortCut;
  bool Enabled, Checked;
};

std::vector<MenuEntry> MenuTree(const Tmapform& form) {
  std::vector<MenuEntry> entries;
  for (QAction* top : form.menuBar()->actions()) {
    if (top->menu() == nullptr) {
      entries.push_back(
          {top->text().toStdString(), top->text().toStdString(), "", top->isEnabled(), false});
      continue;
    }
    for (QAction* item : top->menu()->actions())
      entries.push_back({top->text().toStdString(), item->text().toStdString(),
                         item->shortcut().toString(QKeySequence::PortableText).toStdString(),
                         item->isEnabled(), item->isChecked()});
  }
  return entries;
}

std::set<std::string> EnabledCaptions(const Tmapform& form) {
  std::set<std::string> enabled;
  for (const MenuEntry& entry : MenuTree(form))
    if (entry.Enabled) enabled.insert(entry.Caption);
  return enabled;
}

// The window opens the version 7 demo map of samples/ (opening only reads it).
struct Window : testing::WindowUnderTest {
  std::string MapFile = TERRAK_SOURCE_DIR "/samples/demo7.ocd";
  void OpenDemoMap() { Open(MapFile); }
};

TEST(MainWindow, MenuStatesInTheThreeMapLevelsNoShortCutTakenTwiceAndTheOpenHint) {
  Window w;
  const std::vector<MenuEntry> tree = MenuTree(*w.Form);
  std::set<std::string> keys;
  std::size_t withKeys = 0;
  for (const MenuEntry& entry : tree)
    if (!entry.ShortCut.empty()) ++withKeys, keys.insert(entry.ShortCut);
  EXPECT_EQ(keys.size(), withKeys);
  EXPECT_FALSE(w.Form->StatusBar1()->isVisible());
  // The hint of "Open OCAD Map" shows while the mouse is on the item.
  QMenu* file = w.Form->menuBar()->actions()[0]->menu();
  file->popup(w.Form->mapToGlobal(QPoint(10, 30)));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
  const QPoint at = file->actionGeometry(w.Form->Action(MenuItem::Openmap)).center();
  QHelpEvent help(QEvent::ToolTip, at, file->mapToGlobal(at));
  QCoreApplication::sendEvent(file, &help);
  EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text().toStdString() : "", "Open an OCAD 5 map");
  file->hide();

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
  for (const MenuEntry& entry : MenuTree(*w.Form)) {
    if (!entry.Enabled) disabled.insert(entry.Caption);
    if (entry.Checked) checked.insert(entry.Caption);
  }
  // The demo map keeps 2x in its setup record.
  EXPECT_EQ(disabled, (std::set<std::string>{"2x", "Choose &Height Tag..."}));
  EXPECT_EQ(checked, std::set<std::string>{"2x"});
}

// Show Whole Map: the map's own colours under the selected symbols, which keep theirs; the item
// is checked, and unchecked again it leaves the symbols alone on white.
TEST(MainWindow, ShowsTheWholeMapUnderTheSelectedSymbolsAndWholeStatusPanels) {
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

  w.Trigger(MenuItem::ShowWholeMap);
  EXPECT_TRUE(w.Form->Action(MenuItem::ShowWholeMap)->isChecked());
  const auto [redOver, otherUnder] = count();
  EXPECT_GT(redOver, redAlone * 9 / 10);  // the symbols drawn over the map
  EXPECT_GT(otherUnder, 5000);            // the map's own colours
  // Unchecking it again: WholeMapPaint.UnderTheSymbolsPaintedOnce...

  // The status panels show their longest texts whole.
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
}

// A Shift press on a drawn contour point away from the edges, where the height text shows.
QPoint ShiftPressPoint(Window& w) {
  const std::optional<QPoint> at = testing::PressPointOnALine(
      w.App, Rect{0, 0, w.Picture().width() - 60, w.Picture().height() - 40});
  EXPECT_TRUE(at) << "no contour point to press on";
  return at.value_or(QPoint());
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

TEST(MainWindow, CancellingTheRealSymbolDialogKeepsTheSelectionAndTheHighlight) {
  Window w;
  w.OpenDemoMap();
  w.SelectEverySymbol();
  w.App.Model.MapModified = false;
  const std::size_t selected = w.App.Model.SelectedSymbols.size();
  QTest::mouseClick(w.Form->Surface(), Qt::LeftButton, Qt::NoModifier, ShiftPressPoint(w));
  ASSERT_TRUE(w.App.Window.TraceExists);
  const TracedObjectList traced = w.App.Window.TracedObjects;
  const QImage highlighted = w.Picture().copy();
  // "<<" then Cancel: nothing of the emptied list is taken.
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<TmaplistDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->ExAllBtn()->click();
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
      if (b->text() == "Cancel") b->click();
  });
  w.Trigger(MenuItem::Addsymbols);
  EXPECT_EQ(std::tuple(w.App.Model.SelectedSymbols.size(), w.App.Model.MapModified),
            std::tuple(selected, false));
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

TEST(QtPlatform, FileFiltersInQtFormAndInvertedDrawingTwiceRestoresThePicture) {
  EXPECT_EQ(QtFileFilter("*.ocd|*.ocd"), "*.ocd (*.ocd)");
  EXPECT_EQ(QtFileFilter("Ocad 3d Map (.o3d)|*.o3d|All|*"), "Ocad 3d Map (.o3d) (*.o3d);;All (*)");
  EXPECT_EQ(QtFileFilter(""), "");
  // Colours keep their channels both ways (a chosen colour comes back through Qt).
  EXPECT_EQ(std::tuple(FromQColor(QColor(10, 20, 30)), ToQColor(MakeColour(10, 20, 30))),
            std::tuple(MakeColour(10, 20, 30), QColor(10, 20, 30)));

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
  // The frame's right side is the rectangle's last column, 49, dotted every other pixel.
  EXPECT_EQ(std::tuple(image.pixel(49, 7), image.pixel(50, 6)),
            std::tuple(qRgb(0, 0, 0), qRgb(255, 255, 255)));
  canvas.SetPenMode(PenMode::Invert);
  const auto zigzag = [&] { canvas.MoveTo(0, 0), canvas.LineTo(40, 39), canvas.LineTo(59, 0); };
  zigzag();
  canvas.End();
  EXPECT_NE(image, drawn);
  zigzag();
  canvas.DrawFocusRect({5, 5, 50, 30});
  canvas.End();
  EXPECT_EQ(image, drawn);
}

}  // namespace
}  // namespace terrak

// The real 3D viewer windows under the offscreen platform: the menu tree, opening from the main
// window on a demo map, the wedding cake, the mesh after F12, keys, the tool windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "viewer/viewer_construction.h"
#include "mainwindow/menu_state.h"
#include "platform/file_stream.h"
#include "platform/qt/error_guard.h"
#include "mapfile/map_reader.h"
#include "mainwindow/ui/terrak51.h"
#include "support/demo_grid.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "viewer/picture_output.h"
#include "viewer/ui/cont3d.h"
#include "viewer/ui/exportoptions.h"
#include "viewer/ui/picture_surface.h"
#include "mainwindow/ui/viewer_launcher.h"

namespace terrak {
namespace {

using testing::ScriptedDialogs;
using testing::TempFolder;

// Leaves the demo terrain's grid with its map image, as the grid construction would.
class DemoConstruction : public GridConstruction {
 public:
  int Calls = 0;
  bool OutOfMemory = false;  // the construction runs out of memory half way
  void Build(GridState& grid, const ViewerState&) override {
    ++Calls;
    if (OutOfMemory) {
      grid.HeightGrid.Resize(10, 10, 5);
      throw std::bad_alloc();
    }
    grid = testing::MakeDemoGrid(testing::MakeDemoMap({.Width = 500, .Depth = 400}), true);
  }
};

// The main window with the version 7 demo map open and its contours selected, and the viewer
// hooked to it.
struct Session {
  TempFolder Folder;
  ScriptedDialogs Dialogs;
  AppState App;
  DemoConstruction Construction;
  std::unique_ptr<Tmapform> Form;
  std::unique_ptr<ViewerLauncher> Launcher;

  Session() {
    App.Paths = Folder.Paths();
    Form = std::make_unique<Tmapform>(App, &Dialogs);
    Launcher = std::make_unique<ViewerLauncher>(*Form, App, Construction, &Dialogs);
    Form->show();
    Dialogs.FileAnswers = {TERRAK_SOURCE_DIR "/samples/demo7.ocd"};
    Form->Action(MenuItem::Openmap)->trigger();
    App.Model.SelectedSymbols = {{testing::kDemoContour, 0}, {testing::kDemoIndexContour, 0}};
    App.Model.SymbolsSelected = true;
    ReadObjects(App.Model, App.Paths.WorkingCopy);
    EXPECT_GT(App.Model.MapObjects.size(), 20u);
  }
  Tcontours& OpenViewer() {
    Form->Action(MenuItem::N3DViews1)->trigger();
    Tcontours* viewer = Launcher->Viewer();
    EXPECT_NE(viewer, nullptr);
    return *viewer;
  }
};

int CountNotWhite(const QImage& image, int bottomRows = 20) {
  int count = 0;
  for (int y = 0; y < image.height() - bottomRows; ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != qRgb(255, 255, 255);
  return count;
}

TEST(ViewerWindow, ItemsNeedingAGridWaitForItAndNoShortCutIsTakenTwice) {
  Session s;
  Tcontours& viewer = s.OpenViewer();
  std::set<std::string> disabled, keys;
  int withKeys = 0;
  const std::function<void(QMenu*)> walk = [&](QMenu* menu) {
    for (QAction* item : menu->actions()) {
      if (item->menu()) {
        walk(item->menu());
        continue;
      }
      if (!item->shortcut().isEmpty()) {
        ++withKeys;
        keys.insert(item->shortcut().toString(QKeySequence::PortableText).toStdString());
      }
      if (!item->isEnabled()) disabled.insert(item->text().toStdString());
    }
  };
  for (QAction* top : viewer.menuBar()->actions()) walk(top->menu());
  EXPECT_EQ(static_cast<int>(keys.size()), withKeys);
  EXPECT_EQ(disabled, (std::set<std::string>{"Save3dMap", "Ray Trace Mode", "Show bitmap (toggle)",
                                             "Terrain as DEM...", "Terrain as 3D model (glTF)...",
                                             "Terrain for 3D printing (STL)..."}));
}

TEST(ViewerWindow, WeddingCakeThenTheDrapedMeshAfterF12) {
  Session s;
  Tcontours& viewer = s.OpenViewer();
  // One viewer at a time: both opening items wait for it to close.
  EXPECT_FALSE(s.Form->Action(MenuItem::N3DViews1)->isEnabled() ||
               s.Form->Action(MenuItem::Open3Dmap)->isEnabled());
  EXPECT_TRUE(s.App.Viewer.ContourMode);
  const QImage cake = viewer.Picture().copy();
  EXPECT_EQ(cake.size(), viewer.Surface().size());
  EXPECT_GT(CountNotWhite(cake), 500);
  const auto panels = viewer.StatusBar1()->findChildren<QLabel*>();
  EXPECT_EQ(panels[3]->text().toStdString(), "b    180");  // the North preset looks south

  // The grid built once: commonpaint.TheWeddingCakeFirst.
  viewer.Action("ToggleWiremeshWeddingcake1")->trigger();
  EXPECT_EQ(s.Construction.Calls, 1);
  for (const char* item : {"Save3dMap", "Showbitmap", "RayTraceMode1"})
    EXPECT_TRUE(viewer.Action(item)->isEnabled()) << item;
  EXPECT_NE(viewer.Picture(), cake);
  // Keys reaching the picture: ArrowKeysReachThePicture; what they do: FormKeyDown.

  viewer.close();
  EXPECT_TRUE(s.Form->Action(MenuItem::N3DViews1)->isEnabled() &&
              s.Form->Action(MenuItem::Open3Dmap)->isEnabled());
  EXPECT_TRUE(s.App.Viewer.Buffers.DepthBuffer.Empty());
}

TEST(ViewerWindow, RunningOutOfMemoryInTheGridBuildIsAMessageAndTheContoursStay) {
  Session s;
  Tcontours& viewer = s.OpenViewer();
  const QImage cake = viewer.Picture().copy();
  s.Construction.OutOfMemory = true;
  viewer.Action("ToggleWiremeshWeddingcake1")->trigger();
  EXPECT_EQ(s.Construction.Calls, 1);
  EXPECT_EQ(s.Dialogs.MessageTexts(), std::vector<std::string>{kOutOfMemoryMessage});
  EXPECT_TRUE(viewer.isVisible() && s.Form->isVisible() && s.App.Viewer.ContourMode);
  EXPECT_EQ(s.App.Model.MapFileName, TERRAK_SOURCE_DIR "/samples/demo7.ocd");
  EXPECT_GT(s.App.Model.MapObjects.size(), 20u);
  EXPECT_TRUE(s.App.Grid.HeightGrid.Empty());
  EXPECT_FALSE(viewer.Action("Save3dMap")->isEnabled());

  // Moving repaints the contours; it does not build again.
  QTest::keyClick(&viewer.Surface(), Qt::Key_Up);
  EXPECT_EQ(std::tuple(s.Construction.Calls, s.Dialogs.Messages.size()), std::tuple(1, 1u));
  EXPECT_GT(CountNotWhite(viewer.Picture()), 500);

  // F12 asks again; with memory enough the mesh comes.
  s.Construction.OutOfMemory = false;
  viewer.Action("ToggleWiremeshWeddingcake1")->trigger();
  EXPECT_EQ(s.Construction.Calls, 2);
  EXPECT_FALSE(s.App.Viewer.ContourMode);
  EXPECT_TRUE(viewer.Action("Save3dMap")->isEnabled());
  EXPECT_EQ(s.Dialogs.Messages.size(), 1u);
}

TEST(ViewerWindow, AfterAnEmptySelectionTheViewerHasNoObjectsAndF12SaysSo) {
  Session s;
  testing::RecordingProgress progress;
  ViewerGridConstruction construction(s.App.Model, s.App.Settings, s.App.Paths,
                                      {progress, s.Dialogs, nullptr});
  ViewerLauncher launcher(*s.Form, s.App, construction, &s.Dialogs);
  // "Add Symbol to Map Selection" with no symbol on the right, then OK: the objects read for the
  // earlier selection are still in memory until then.
  s.App.Model.SelectedSymbols.clear();
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
      if (button->text() == "OK") button->click();
  });
  s.Form->Action(MenuItem::Addsymbols)->trigger();
  EXPECT_TRUE(s.App.Model.SelectedSymbols.empty());
  EXPECT_TRUE(s.App.Model.MapObjects.empty());

  s.Form->Action(MenuItem::N3DViews1)->trigger();
  Tcontours* viewer = launcher.Viewer();
  ASSERT_NE(viewer, nullptr);
  viewer->Action("ToggleWiremeshWeddingcake1")->trigger();
  EXPECT_EQ(s.Dialogs.MessageTexts(), std::vector<std::string>{kNoObjectsMessage});
  viewer->close();
}

TEST(ViewerWindow, PrintWritesThePictureAndSaysSoWhenThePrinterCannotStart) {
  Session s;
  Tcontours& viewer = s.OpenViewer();
  std::string target = s.Folder.File("page.pdf");
  int dialogs = 0;
  viewer.PrintDialog = [&](QPrinter& printer) {
    ++dialogs;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(target));
    return true;
  };
  viewer.Action("Print1")->trigger();
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(s.Dialogs.Messages.empty());
  const std::string pdf = testing::ReadText(target);
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);  // the page itself: ViewerCommands checks the picture

  // A printer that cannot start says so; the window goes on.
  target = s.Folder.File("no such folder/page.pdf");
  viewer.Action("Print1")->trigger();
  EXPECT_EQ(s.Dialogs.MessageTexts(),
            std::vector<std::string>{std::string(kPrintNotStartedMessage) + " \"" + target +
                                     "\" cannot be written."});
  EXPECT_EQ(s.Dialogs.Messages[0].Type, MessageType::Error);
  // Cancelling the dialog prints nothing and says nothing.
  viewer.PrintDialog = [](QPrinter&) { return false; };
  viewer.Action("Print1")->trigger();
  EXPECT_EQ(s.Dialogs.Messages.size(), 1u);
  QTest::keyClick(&viewer.Surface(), Qt::Key_Left);
  EXPECT_EQ(s.App.Viewer.Current().bearing, 179);
}

// An object whose event handler fails, as core code reached without a guard of its own would.
class FailingReceiver : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::bad_alloc();
    if (event->type() == QEvent::User + 1) throw std::runtime_error("the disk is full");
    return QObject::event(event);
  }
};

TEST(GuardedApplication, AnExceptionLeavingAnEventHandlerIsShownAndTheProgramGoesOn) {
  FailingReceiver receiver;
  std::vector<std::string> shown;
  for (const int type : {int{QEvent::User}, QEvent::User + 1}) {
    // The message box is modal: read and close it from inside its own event loop.
    QTimer::singleShot(0, [&shown] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        shown.push_back(box->text().toStdString());
        box->accept();
      }
    });
    QEvent event(static_cast<QEvent::Type>(type));
    EXPECT_FALSE(QApplication::sendEvent(&receiver, &event));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{kOutOfMemoryMessage, "the disk is full"}));
}

TEST(ViewerWindow, CompassAndInclinometerFollowTurnsAndGiveTheirItemsBackWhenClosed) {
  Session s;
  Tcontours& viewer = s.OpenViewer();
  viewer.Action("Compass1")->trigger();
  viewer.Action("Inclinometer1")->trigger();
  ASSERT_NE(viewer.Compass(), nullptr);
  ASSERT_NE(viewer.Inclinometer(), nullptr);
  EXPECT_FALSE(viewer.Action("Compass1")->isEnabled());
  // The tool windows leave the keyboard with the 3D view, and pass on keys they get anyway.
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), &viewer);
  EXPECT_EQ(QApplication::focusWidget(), &viewer.Surface());
  EXPECT_TRUE(viewer.Compass()->windowFlags() & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(viewer.Compass()->testAttribute(Qt::WA_ShowWithoutActivating));
  QTest::keyClick(viewer.Inclinometer(), Qt::Key_Left);
  EXPECT_EQ(s.App.Viewer.Current().bearing, 179);
  QTest::keyClick(viewer.Compass(), Qt::Key_Right);
  EXPECT_EQ(s.App.Viewer.Current().bearing, 180);
  // Looking south the red tip points down, at (65, 123).
  const QImage& dial = viewer.Compass()->Surface().BackingImage();
  EXPECT_EQ(dial.pixel(65, 118), qRgb(255, 0, 0));
  EXPECT_EQ(dial.pixel(65, 12), qRgb(255, 255, 255));
  viewer.Action("move100metres1")->trigger();
  QTest::keyClick(&viewer.Surface(), Qt::Key_Right);  // 45 degrees: now south-west
  EXPECT_NE(dial.pixel(65, 118), qRgb(255, 0, 0));
  // A preset turns the dials too: the South preset looks north, the red tip points up.
  viewer.Action("South")->trigger();
  EXPECT_EQ(dial.pixel(65, 12), qRgb(255, 0, 0));
  // Every paint of a dial shows the current direction, whoever changed it.
  s.App.Viewer.Current().bearing = 180;
  viewer.Compass()->Repaint();
  EXPECT_EQ(dial.pixel(65, 118), qRgb(255, 0, 0));
  const QImage level = viewer.Inclinometer()->Surface().BackingImage().copy();
  s.App.Viewer.Current().incline = -30;
  viewer.Inclinometer()->Repaint();
  EXPECT_NE(viewer.Inclinometer()->Surface().BackingImage(), level);

  viewer.Compass()->close();
  QApplication::processEvents();
  EXPECT_TRUE(viewer.Action("Compass1")->isEnabled());
  EXPECT_FALSE(viewer.Action("Inclinometer1")->isEnabled());
  viewer.close();  // takes the inclinometer with it
  QApplication::processEvents();
}

// Presses a key as the window system delivers it: to whatever widget of the active window has
// the keyboard, not to a widget the test picks.
void PressKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(window.windowHandle(), key, modifiers);
  QApplication::processEvents();
}

TEST(ViewerWindow, ArrowKeysReachThePictureAfterAMenuWasOpenedAndClosed) {
  Session s;
  Tcontours& viewer = s.OpenViewer();
  viewer.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &viewer);
  double bearing = s.App.Viewer.Current().bearing;
  double incline = s.App.Viewer.Current().incline;
  PressKey(viewer, Qt::Key_Left);
  EXPECT_EQ(s.App.Viewer.Current().bearing, --bearing);

  QMenuBar* bar = viewer.menuBar();
  const auto openMenu = [&](int index) {
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[index]).center());
    QApplication::processEvents();
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  };
  // Closed with Escape, with a second click on its title, and by a click outside it (on the
  // status bar, which takes no keyboard).
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    QMenu* menu = openMenu(way);
    ASSERT_NE(menu, nullptr);
    if (way == 0)
      PressKey(*menu, Qt::Key_Escape);
    else if (way == 1)
      QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[way]).center());
    else
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->mapFromGlobal(viewer.StatusBar1()->mapToGlobal(QPoint(5, 5))));
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
    PressKey(viewer, Qt::Key_Left);
    EXPECT_EQ(s.App.Viewer.Current().bearing, --bearing);
    PressKey(viewer, Qt::Key_Right, Qt::ShiftModifier);  // Shift+Right does nothing
    PressKey(viewer, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(s.App.Viewer.Current().incline, ++incline);
  }
  // Alt pressed and let go alone (which marks the menu bar for the keyboard) does not take the
  // arrows either.
  PressKey(viewer, Qt::Key_Alt);
  PressKey(viewer, Qt::Key_Left);
  EXPECT_EQ(s.App.Viewer.Current().bearing, --bearing);
  // The menus still work from the keyboard while one is open.
  QMenu* menu = openMenu(2);  // movement
  ASSERT_NE(menu, nullptr);
  for (int down = 0; down < 3; ++down) PressKey(*menu, Qt::Key_Down);
  PressKey(*menu, Qt::Key_Return);
  EXPECT_EQ(s.App.Viewer.MoveStep, 100);
  PressKey(viewer, Qt::Key_Left);
  EXPECT_EQ(s.App.Viewer.Current().bearing, bearing - 45);
  viewer.close();
}

TEST(ViewerWindow, TheMainWindowMarksChangesMadeInTheViewerAndSave3dMapSaysItSaved) {
  Session s;
  Tcontours& viewer = s.OpenViewer();
  s.App.Model.MapModified = false;
  s.Form->StateChangedElsewhere();
  EXPECT_EQ(s.Form->windowTitle().toStdString(), "demo7.ocd - Terrak-7 Ocad utility");
  viewer.Action("SaveLocation1")->trigger();
  EXPECT_EQ(s.Form->windowTitle().toStdString(), "demo7.ocd* - Terrak-7 Ocad utility");

  viewer.Action("ToggleWiremeshWeddingcake1")->trigger();
  s.Dialogs.FileAnswers = {s.Folder.File("demo.o3d")};
  viewer.Action("Save3dMap")->trigger();
  EXPECT_EQ(viewer.StatusBar1()->currentMessage().toStdString(),
            "Saved " + s.Folder.File("demo.o3d"));
  // The next key shows the panels again.
  QTest::keyClick(&viewer.Surface(), Qt::Key_Left);
  EXPECT_TRUE(viewer.StatusBar1()->currentMessage().isEmpty());
  viewer.close();
}

TEST(ViewerWindow, TheOverviewAimsTheEyeWithARightDrag) {
  Session s;
  Tcontours& viewer = s.OpenViewer();
  viewer.Action("ToggleWiremeshWeddingcake1")->trigger();
  viewer.Action("Show2Dmap1")->trigger();
  TMap2d* map = viewer.Map2d();
  ASSERT_NE(map, nullptr);
  EXPECT_FALSE(viewer.Action("Show2Dmap1")->isEnabled());
  const QImage before = viewer.Picture().copy();
  QTest::mousePress(&map->Image1(), Qt::RightButton, {}, QPoint(100, 150));
  QTest::mouseMove(&map->Image1(), QPoint(140, 150));
  QTest::mouseRelease(&map->Image1(), Qt::RightButton, {}, QPoint(140, 150));
  // Where the eye goes and which way it looks: AimingDrag.
  EXPECT_NEAR(s.App.Viewer.Current().bearing, 91.4, 0.1);
  EXPECT_TRUE(viewer.Action("Ontheground1")->isChecked());
  EXPECT_NE(viewer.Picture(), before);
  // A resize shows the picture from its top left corner again.
  map->resize(150, 150);
  QScrollBar* across = map->findChild<QScrollArea*>()->horizontalScrollBar();
  QScrollBar* down = map->findChild<QScrollArea*>()->verticalScrollBar();
  across->setValue(40);
  down->setValue(30);
  ASSERT_EQ(across->value(), 40);
  map->resize(160, 170);
  EXPECT_EQ(std::pair(across->value(), down->value()), std::pair(0, 0));

  map->close();
  QApplication::processEvents();
  EXPECT_TRUE(viewer.Action("Show2Dmap1")->isEnabled());
}

TEST(ViewerWindow, TheExportMenuWorksOnceTheGridIsBuiltAndNamesTheFileItWrote) {
  Session s;
  Tcontours& viewer = s.OpenViewer();
  QAction* dem = viewer.Action("TerrainasDEM1");
  ASSERT_NE(dem, nullptr);
  EXPECT_EQ(viewer.findChild<QMenu*>(QStringLiteral("Export1"))->actions().front(), dem);
  EXPECT_FALSE(dem->isEnabled());
  viewer.Action("ToggleWiremeshWeddingcake1")->trigger();
  EXPECT_TRUE(dem->isEnabled());  // all three: ViewerExport.OnlyWithAGrid

  std::string title;
  viewer.ExportOptionsDialog = [&title](TExportOptionsForm& form) {
    title = form.windowTitle().toStdString();
    form.Format()->setCurrentIndex(form.Format()->findData(QStringLiteral("AAIGrid")));
    return true;
  };
  s.Dialogs.FileAnswers = {s.Folder.File("demo7.asc")};
  dem->trigger();
  EXPECT_EQ(title, "Terrain as DEM");
  EXPECT_EQ(s.Dialogs.FileDialogs.back().ProposedName, TERRAK_SOURCE_DIR "/samples/demo7.asc");
  EXPECT_TRUE(FileExists(s.Folder.File("demo7.asc")));
  ASSERT_FALSE(s.Dialogs.Messages.empty());
  EXPECT_EQ(s.Dialogs.Messages.back().Text.rfind("Terrain exported to " + s.Folder.File("demo7.asc"), 0),
            0u);

  // A failure is the one handler's message and the window goes on.
  viewer.ExportOptionsDialog = [](TExportOptionsForm&) { return true; };
  s.Dialogs.FileAnswers = {s.Folder.File("none/demo7.stl")};
  viewer.Action("Terrainfor3DprintingSTL1")->trigger();
  EXPECT_NE(s.Dialogs.Messages.back().Text.find(s.Folder.File("none/demo7.stl")), std::string::npos);
  EXPECT_EQ(s.Dialogs.Messages.back().Type, MessageType::Error);
  EXPECT_TRUE(viewer.isVisible());
}

TEST(PictureSurface, ShowPictureCopiesThePictureIntoTheTopLeftOfTheBackingImage) {
  PictureSurface surface;
  surface.FollowWidgetSize = false;
  surface.ResizeImage(7, 5);
  surface.Canvas().SetBrushColour(MakeColour(1, 2, 3));
  surface.Canvas().FillRect(Rect{0, 0, 7, 5});
  surface.Canvas().End();
  Picture picture;
  picture.Reset(4, 3, kWhite);
  for (std::int32_t x = 0; x < 4; ++x)
    for (std::int32_t y = 0; y < 3; ++y)
      picture.At(x, y) = MakeColour(static_cast<std::uint8_t>(10 * x), static_cast<std::uint8_t>(20 * y), 200);
  surface.ShowPicture(picture);
  const QImage& image = surface.BackingImage();
  for (int x = 0; x < 7; ++x)
    for (int y = 0; y < 5; ++y)
      EXPECT_EQ(image.pixel(x, y), x < 4 && y < 3 ? qRgb(10 * x, 20 * y, 200) : qRgb(1, 2, 3)) << x << y;
  // A larger picture is cut at the image's edges; one without rows whitens one row.
  picture.Reset(9, 6, MakeColour(5, 6, 7));
  surface.ShowPicture(picture);
  EXPECT_EQ(image.pixel(6, 4), qRgb(5, 6, 7));
  picture.Reset(3, 0, kBlack);
  surface.ShowPicture(picture);
  EXPECT_EQ(std::tuple(image.pixel(2, 0), image.pixel(3, 0), image.pixel(0, 1)),
            std::tuple(qRgb(255, 255, 255), qRgb(5, 6, 7), qRgb(5, 6, 7)));
}

}  // namespace
}  // namespace terrak

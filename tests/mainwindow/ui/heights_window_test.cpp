// The heights commands in the real main window under the offscreen platform: the Contour
// Settings dialog, the preview of derived heights, heights along a line, the Check Heights list
// and undo with Ctrl+Z.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "heights/model_heights.h"
#include "mainwindow/contour_settings.h"
#include "mainwindow/heights_commands.h"
#include "mainwindow/ui/checkheights.h"
#include "mainwindow/ui/contourset.h"
#include "mainwindow/ui/window_under_test.h"
#include "mapfile/settings_io.h"
#include "mapbuild/demo_map.h"

namespace terrak {
namespace {

using heights::ContourRole;

// The window with the nested contours open and every symbol selected.
struct NestedHeightsWindow : testing::WindowUnderTest {
  NestedHeightsWindow() {
    const std::string map = Folder.File("nested.omap");
    testing::WriteBytes(map, testing::TextBytes(testing::NestedContoursMap()));
    RememberHeightTag(App.Settings, App.Paths.SettingsFile, map, "ele");
    Open(map);
    SelectEverySymbol();
  }
  std::vector<double> Heights() const { return testing::HeightsInMetres(App.Model); }
};

TEST(HeightsWindow, ContourSettingsShowTheDefaultsAndKeepTheAnswerForTheMap) {
  testing::WindowUnderTest w;
  w.Open(TERRAK_SOURCE_DIR "/samples/demo7.ocd");
  w.SelectEverySymbol();
  ASSERT_TRUE(w.Form->Action(MenuItem::ContourSettings)->isEnabled());
  bool shown = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<TContourSettingsForm*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shown = true;
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Contour Settings");
    QTableWidget* grid = dialog->RoleGrid();
    ASSERT_EQ(grid->rowCount(), static_cast<int>(w.App.Model.SelectedSymbols.size()));
    // Each row shows its symbol's role (which roles: ContourSettings.TheChoiceIsRemembered...).
    int indexRow = -1;
    for (int row = 0; row < grid->rowCount(); ++row) {
      const std::int32_t symbol = w.App.Model.SelectedSymbols[static_cast<std::size_t>(row)].Symbol;
      if (symbol == testing::kDemoIndexContour) indexRow = row;
      EXPECT_EQ(qobject_cast<QComboBox*>(grid->cellWidget(row, 1))->currentText().toStdString(),
                symbol == testing::kDemoIndexContour ? "Index contour"
                : symbol == testing::kDemoContour    ? "Contour"
                                                     : "-");
    }
    ASSERT_GE(indexRow, 0);
    EXPECT_EQ(dialog->IntervalBox()->value(), 5.0);
    EXPECT_EQ(dialog->IndexEveryBox()->value(), 5);
    qobject_cast<QComboBox*>(grid->cellWidget(indexRow, 1))->setCurrentIndex(3);  // form line
    dialog->IntervalBox()->setValue(2.5);
    dialog->IndexEveryBox()->setValue(4);
    dialog->accept();
  });
  w.Trigger(MenuItem::ContourSettings);
  ASSERT_TRUE(shown);
  const heights::ContourRoles roles = CurrentContourRoles(w.App);
  EXPECT_EQ(roles.RoleOf(testing::kDemoContour), ContourRole::Contour);
  EXPECT_EQ(roles.RoleOf(testing::kDemoIndexContour), ContourRole::FormLine);
  EXPECT_EQ(roles.Interval, 2.5);
  EXPECT_EQ(roles.IndexEvery, 4);  // Cancel: ContourSettings.TheChoiceIsRemembered...
}

TEST(HeightsWindow, KnownContoursPreviewAcceptAndCtrlZTakesItBackThenHeightsAlongALine) {
  NestedHeightsWindow w;
  ASSERT_EQ(w.App.Model.MapObjects.size(), 5u);
  const QImage before = w.Picture().copy();

  QImage previewed;
  std::string status;
  w.Dialogs.OnMessage = [&] {
    previewed = w.Picture().copy();
    status = w.Form->StatusBar1()->currentMessage().toStdString();
  };
  w.Dialogs.MessageAnswers = {DialogButton::Ok};
  w.Trigger(MenuItem::HeightsFromKnown);
  // The preview is drawn (its colours by state: HeightsCommands.ThePreviewColoursEachContour...).
  EXPECT_NE(previewed, before);
  EXPECT_EQ(status, "4 of 4 contour objects have heights (3 derived, 0 guessed, 0 in conflict)");
  // Accepted: the map is drawn in its own colours again, with the heights written (which
  // heights, and undo back to the opened bytes: HeightsCommands).
  EXPECT_EQ(w.Picture(), before);
  EXPECT_TRUE(w.App.Model.MapObjects[3].HasHeight);
  EXPECT_TRUE(w.Form->windowTitle().startsWith("nested.omap*"));

  EXPECT_EQ(w.Form->Action(MenuItem::UndoHeights)->shortcut(), QKeySequence("Ctrl+Z"));
  QApplication::setActiveWindow(w.Form.get());
  QTest::keyClick(w.Form->Surface(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(w.App.Model.MapObjects[3].HasHeight);

  // Along a line is a checked mode, and a drag numbers the contours crossed.
  const auto onScreen = [&w](double x, double y) {
    const TPair p = heights::ModelPosition(w.App.Model, {x, y});
    const Point s = MapToScreen(w.App.Window, w.App.Model, p.X, p.Y);
    return QPoint(s.X, s.Y);
  };
  MapSurface* surface = w.Form->Surface();
  QAction* mode = w.Form->Action(MenuItem::HeightsAlongLine);
  ASSERT_TRUE(mode->isEnabled());
  w.Trigger(MenuItem::HeightsAlongLine);
  EXPECT_TRUE(mode->isChecked());
  const QImage unlined = surface->BackingImage().copy();

  QTest::mousePress(surface, Qt::LeftButton, Qt::ShiftModifier, onScreen(-400, 20));
  QTest::mouseMove(surface, onScreen(-50, 20));
  // The rubber line shows while the button is down.
  EXPECT_NE(surface->BackingImage(), unlined);
  QTest::mouseRelease(surface, Qt::LeftButton, Qt::ShiftModifier, onScreen(-50, 20));
  EXPECT_EQ(w.Heights(), (std::vector<double>{90, 85, -1, -1, -1}));
  EXPECT_EQ(surface->BackingImage(), unlined);  // no line left behind
  w.Trigger(MenuItem::HeightsAlongLine);
  EXPECT_FALSE(mode->isChecked());
}

TEST(HeightsWindow, CheckHeightsListsTheContradictionsAndNextCentresTheMapOnEach) {
  NestedHeightsWindow w;
  w.Trigger(MenuItem::CheckHeights);
  TCheckHeightsForm* list = w.Form->CheckHeightsList();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  const std::vector<heights::Finding>& findings = w.App.Heights.Findings;
  ASSERT_EQ(list->FindingList()->count(), static_cast<int>(findings.size()));
  ASSERT_GE(findings.size(), 2u);
  EXPECT_EQ(list->FindingList()->item(0)->text().toStdString(), findings[0].Reason);

  list->NextBtn()->click();
  EXPECT_EQ(list->FindingList()->currentRow(), 0);  // centring on it: CheckHeights.NextAndPrevious
  list->PreviousBtn()->click();
  EXPECT_EQ(list->FindingList()->currentRow(), static_cast<int>(findings.size()) - 1);
  list->FindingList()->setCurrentRow(1);
  EXPECT_EQ(w.App.Heights.CurrentFinding, 1);
  EXPECT_EQ(w.Form->StatusBar1()->currentMessage().toStdString(),
            "2 of " + std::to_string(findings.size()) + ": " + findings[1].Reason);
}

}  // namespace
}  // namespace terrak

// The main window's three dialogs as real widgets under the offscreen platform: captions,
// labels and fonts, how they look when disabled, and their lists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "mainwindow/ui/colors.h"
#include "mainwindow/ui/mapsymbs.h"
#include "mainwindow/ui/newsymb.h"
#include "support/scripted_dialogs.h"

namespace terrak {
namespace {

using testing::ScriptedDialogs;

AppState SymbolsState() {
  AppState app;
  app.Model.SymbolList = {{1010, "101.0 Contour", ObjectKind::Line},
                          {1020, "102.0 Index contour", ObjectKind::Line},
                          {1030, "103.0 Form line", ObjectKind::Line},
                          {510, "51.0 Knoll", ObjectKind::Point},
                          {2010, "201.0 Cliff", ObjectKind::Line}};
  return app;
}

std::vector<std::string> Items(const QListWidget* list) {
  std::vector<std::string> items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->item(i)->text().toStdString());
  return items;
}

// Whether any pixel of the widget's picture is (nearly) black: the text of an enabled button.
bool HasBlackText(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 40) return true;
  return false;
}

TEST(SymbolDialog, DisabledButtonsLookDisabled) {
  AppState app = SymbolsState();
  ScriptedDialogs dialogs;
  TmaplistDlg dialog(app, dialogs);
  dialog.show();
  ASSERT_TRUE(dialog.IncludeBtn()->isEnabled());
  EXPECT_TRUE(HasBlackText(dialog.IncludeBtn()));
  EXPECT_TRUE(HasBlackText(dialog.OKBtn()));
  ASSERT_FALSE(dialog.ExcludeBtn()->isEnabled());
  EXPECT_FALSE(HasBlackText(dialog.ExcludeBtn()));
  const QPalette palette = dialog.ExcludeBtn()->palette();
  EXPECT_NE(palette.color(QPalette::Disabled, QPalette::ButtonText),
            palette.color(QPalette::Active, QPalette::ButtonText));
  // Once the buttons change state, so does their look.
  dialog.IncAllBtn()->click();
  EXPECT_FALSE(HasBlackText(dialog.IncludeBtn()));
  EXPECT_TRUE(HasBlackText(dialog.ExcludeBtn()));
}

TEST(SymbolDialog, MovesEverySelectedItemOfTheWidgetsAndOkBuildsTheSelection) {
  AppState app = SymbolsState();
  ScriptedDialogs dialogs;
  TmaplistDlg dialog(app, dialogs);
  dialog.show();
  EXPECT_TRUE(dialog.OKBtn()->isDefault());
  // Three adjacent items and one apart, selected in the widget.
  for (int row : {0, 1, 2, 4}) dialog.SrcList()->item(row)->setSelected(true);
  dialog.IncludeBtn()->click();
  EXPECT_EQ(Items(dialog.DstList()),
            (std::vector<std::string>{"101.0 Contour", "102.0 Index contour", "103.0 Form line",
                                      "51.0 Knoll"}));
  EXPECT_EQ(Items(dialog.SrcList()), std::vector<std::string>{"201.0 Cliff"});
  EXPECT_TRUE(dialog.SrcList()->item(0)->isSelected());
  EXPECT_TRUE(dialog.SrcList()->hasFocus() || !QApplication::focusWidget());

  dialog.OKBtn()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(app.Model.SelectedSymbols.size(), 4u);
  EXPECT_EQ(app.Model.SelectedSymbols[3].Symbol, 510);
  EXPECT_TRUE(app.Model.SymbolsSelected);
}

TEST(ChangeSymbolDialog, TheOfferedSymbols) {
  AppState app = SymbolsState();
  app.Model.SelectedSymbols = {{1010, kBlack}, {1020, kBlack}, {510, kBlack}, {1030, kBlack}};
  app.Window.PickedSymbol = 1010;
  app.Window.PickedKind = ObjectKind::Line;
  ScriptedDialogs dialogs;
  TChangeSymbForm dialog(app, dialogs);
  dialog.show();
  EXPECT_EQ(dialog.Symbtochange()->text().toStdString(), "101.0 Contour");
  EXPECT_EQ(Items(dialog.symblistbox()),
            (std::vector<std::string>{"102.0 Index contour", "103.0 Form line"}));

  // A click remembers the symbol; Cancel writes nothing.
  dialog.symblistbox()->setCurrentRow(1);
  EXPECT_EQ(app.ChosenSymbol, 1030);
  for (QPushButton* b : dialog.findChildren<QPushButton*>())
    if (b->text() == "Cancel") b->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(app.Model.MapModified);
}

TEST(ColourDialog, TheSymbolsAHeadingShownWholeAndDoubleClicksChoosingAtOnce) {
  AppState app = SymbolsState();
  app.Model.SelectedSymbols = {{1030, 0x0000FF}, {1010, 0x00FF00}};
  app.Settings.NoHeightColour = 0x0000FF;
  ScriptedDialogs dialogs;
  dialogs.ColourAnswers = {Colour{0x00FFFF}, Colour{0x0000FF}};
  TColorsform dialog(app, dialogs);
  dialog.show();
  EXPECT_EQ(dialog.noheighttext()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(dialog.Colorgrid()->item(1, 0)->text().toStdString(), "101.0 Contour");

  // The heading, two blanks after "on", shows whole.
  const QLabel* heading = nullptr;
  for (const QLabel* label : dialog.findChildren<QLabel*>())
    if (label->text() == "Double click on  feature to change colour") heading = label;
  ASSERT_NE(heading, nullptr);
  EXPECT_GE(heading->contentsRect().width(), heading->fontMetrics().horizontalAdvance(heading->text()));
  EXPECT_LE(heading->geometry().right(), dialog.width());

  QTest::mouseDClick(dialog.withheighttext(), Qt::LeftButton);
  EXPECT_EQ(app.Settings.WithHeightColour, 0x00FFFFu);
  EXPECT_EQ(dialog.withheighttext()->palette().color(QPalette::WindowText), QColor(255, 255, 0));
  emit dialog.Colorgrid()->cellDoubleClicked(1, 0);
  EXPECT_EQ(app.Model.SelectedSymbols[1].Colour, 0x0000FFu);
  EXPECT_EQ(dialogs.ColourDialogs, (std::vector<Colour>{kBlack, 0x00FFFF}));
}

}  // namespace
}  // namespace terrak

#include <gtest/gtest.h>

#include "mainwindow/change_symbol.h"
#include "mainwindow/colour_scheme.h"
#include "mainwindow/symbol_selection.h"
#include "mainwindow/window_fixture.h"
#include "support/scripted_dialogs.h"

namespace terrak {
namespace {

std::vector<std::string> Texts(const SortedList& list) {
  std::vector<std::string> texts;
  for (const ListItem& item : list.Items()) texts.push_back(item.Text);
  return texts;
}

MapModel SymbolsModel() {
  MapModel model;
  model.SymbolList = {{1010, "101.0 Contour", ObjectKind::Line},
                      {102, "10.2 index contour", ObjectKind::Line},
                      {51, " 5.1 Knoll", ObjectKind::Point},
                      {1234, "123.4 Form line", ObjectKind::Line},
                      {-5, "-0.5 Odd", ObjectKind::Line}};
  return model;
}

TEST(SymbolSelection, ListsAreSortedAndButtonsFollowTheMoves) {
  MapModel model = SymbolsModel();
  model.SelectedSymbols = {{102, kBlack}};
  SymbolSelection dialog;
  dialog.FormCreate(model);
  EXPECT_EQ(Texts(dialog.SrcList),
            (std::vector<std::string>{" 5.1 Knoll", "-0.5 Odd", "101.0 Contour", "123.4 Form line"}));
  EXPECT_EQ(Texts(dialog.DstList), std::vector<std::string>{"10.2 index contour"});
  EXPECT_TRUE(ListTextLess("1.0 contour", "1.0 Form line"));  // letters whatever their case
  EXPECT_FALSE(ListTextLess("1.0 Form line", "1.0 contour"));
  // The form's states apply until a move, even with symbols already chosen.
  EXPECT_TRUE(dialog.IncludeEnabled && dialog.IncAllEnabled);
  EXPECT_FALSE(dialog.ExcludeEnabled || dialog.ExAllEnabled);

  // ">" without a selection moves nothing and selects the first item.
  dialog.IncludeBtnClick();
  EXPECT_EQ(dialog.SrcList.Count(), 4u);
  EXPECT_TRUE(dialog.SrcList[0].Selected);
  EXPECT_TRUE(dialog.ExcludeEnabled && dialog.ExAllEnabled);

  // Moving items 0 and 2 selects the item now at position 0.
  dialog.SrcList.Select(2, true);
  dialog.IncludeBtnClick();
  EXPECT_EQ(Texts(dialog.SrcList), (std::vector<std::string>{"-0.5 Odd", "123.4 Form line"}));
  EXPECT_EQ(Texts(dialog.DstList),
            (std::vector<std::string>{" 5.1 Knoll", "10.2 index contour", "101.0 Contour"}));
  EXPECT_TRUE(dialog.SrcList[0].Selected);
  EXPECT_FALSE(dialog.SrcList[1].Selected);

  dialog.IncAllBtnClick();
  EXPECT_TRUE(dialog.SrcList.Empty());
  EXPECT_FALSE(dialog.IncludeEnabled || dialog.IncAllEnabled);
  EXPECT_TRUE(dialog.ExcludeEnabled && dialog.ExAllEnabled);
  dialog.ExcAllBtnClick();
  EXPECT_EQ(dialog.SrcList.Count(), 5u);
  EXPECT_FALSE(dialog.ExcludeEnabled || dialog.ExAllEnabled);

  // A second activation keeps the user's moves.
  dialog.FormCreate(model);
  EXPECT_EQ(dialog.SrcList.Count(), 5u);
}

std::vector<bool> Selections(const SortedList& list) {
  std::vector<bool> selected;
  for (const ListItem& item : list.Items()) selected.push_back(item.Selected);
  return selected;
}

TEST(SymbolSelection, MovesTakeEverySelectedItemAdjacentOrNot) {
  MapModel model = SymbolsModel();
  // Texts in list order: " 5.1 Knoll", "-0.5 Odd", "10.2 index contour", "101.0 Contour",
  // "123.4 Form line".
  SymbolSelection dialog;
  dialog.FormCreate(model);
  for (std::size_t i : {1u, 2u, 3u}) dialog.SrcList.Select(i, true);
  dialog.IncludeBtnClick();
  EXPECT_EQ(Texts(dialog.DstList),
            (std::vector<std::string>{"-0.5 Odd", "10.2 index contour", "101.0 Contour"}));
  EXPECT_EQ(Texts(dialog.SrcList), (std::vector<std::string>{" 5.1 Knoll", "123.4 Form line"}));
  // The item now at the first moved position is selected, in the list moved from.
  EXPECT_EQ(Selections(dialog.SrcList), (std::vector<bool>{false, true}));
  EXPECT_EQ(Selections(dialog.DstList), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(dialog.FocusedList, SymbolSelection::ListId::Src);

  // "<" with the last two chosen items selected: both go back, the new last one is selected.
  dialog.DstList.Select(1, true);
  dialog.DstList.Select(2, true);
  dialog.ExcludeBtnClick();
  EXPECT_EQ(Texts(dialog.DstList), std::vector<std::string>{"-0.5 Odd"});
  EXPECT_EQ(Selections(dialog.DstList), std::vector<bool>{true});
  EXPECT_EQ(Texts(dialog.SrcList), (std::vector<std::string>{" 5.1 Knoll", "10.2 index contour",
                                                              "101.0 Contour", "123.4 Form line"}));
  EXPECT_EQ(dialog.FocusedList, SymbolSelection::ListId::Dst);

  // Every item selected: all of them move, and the emptied list selects nothing.
  for (std::size_t i = 0; i < dialog.SrcList.Count(); ++i) dialog.SrcList.Select(i, true);
  dialog.IncludeBtnClick();
  EXPECT_TRUE(dialog.SrcList.Empty());
  EXPECT_EQ(dialog.DstList.Count(), 5u);
  EXPECT_FALSE(dialog.IncludeEnabled || dialog.IncAllEnabled);
  EXPECT_TRUE(dialog.ExcludeEnabled && dialog.ExAllEnabled);
  // A selection made earlier stays with its item through moves.
  EXPECT_EQ(Selections(dialog.DstList), (std::vector<bool>{false, true, false, false, false}));
  dialog.DstList.Select(1, false);
  dialog.DstList.Select(0, true);
  dialog.ExcludeBtnClick();
  EXPECT_EQ(Texts(dialog.SrcList), std::vector<std::string>{" 5.1 Knoll"});
  EXPECT_TRUE(dialog.IncludeEnabled && dialog.IncAllEnabled);
  // Moving the last two of five selects the new last item, not the first.
  SymbolSelection fresh;
  fresh.FormCreate(model);
  fresh.SrcList.Select(3, true);
  fresh.SrcList.Select(4, true);
  fresh.IncludeBtnClick();
  EXPECT_EQ(Selections(fresh.SrcList), (std::vector<bool>{false, false, true}));
}

TEST(SymbolSelection, OkBuildsTheSelectionInListOrderWithNumbersOfEveryLength) {
  testing::WindowFixture f;
  MapModel& model = f.App.Model = SymbolsModel();
  SymbolSelection dialog;
  dialog.FormCreate(model);
  dialog.IncAllBtnClick();
  dialog.OKBtnClick(model, f.App.Settings, f.Dialogs);
  ASSERT_EQ(model.SelectedSymbols.size(), 5u);
  const std::int16_t expected[] = {51, -5, 102, 1010, 1234};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(model.SelectedSymbols[i].Symbol, expected[i]);
    EXPECT_EQ(model.SelectedSymbols[i].Colour, kBlack);  // no colour stored: black
  }
  EXPECT_TRUE(model.SymbolsSelected && model.MapModified);

  // OK with nothing chosen: no selection, and the map does not count as changed for it.
  model.MapModified = false;
  dialog.ExcAllBtnClick();
  dialog.OKBtnClick(model, f.App.Settings, f.Dialogs);
  EXPECT_TRUE(model.SelectedSymbols.empty());
  EXPECT_FALSE(model.SymbolsSelected || model.MapModified);
}

// Which symbols are offered: ChangeSymbolDialog.TheOfferedSymbols.
TEST(ChangeSymbol, AClickRemembersTheSymbolOkWithoutOneWritesNothingAndColoursApplyAtOnce) {
  AppState app;
  app.Model = SymbolsModel();
  app.Model.SelectedSymbols = {{1010, kBlack}, {51, kBlack}, {1234, kBlack}, {-5, kBlack}};
  app.Window.PickedSymbol = 1010;
  app.Window.PickedKind = ObjectKind::Line;
  // OK without a click in this dialog writes nothing (there is no working copy here, so any
  // write would throw); a click remembers the number.
  app.ChosenSymbol = 1234;
  ChangeSymbolChoice dialog;
  dialog.FormActivate(app);
  app.Window.TracedObjects = {0};
  EXPECT_NO_THROW(dialog.OKbuttonClick(app));
  dialog.symblistboxClick(app, 0);
  EXPECT_EQ(app.ChosenSymbol, -5);

  // The colour scheme's rows follow the selection and choices take effect at once.
  app.Model.SelectedSymbols = {{1234, 0x0000FF}, {51, 0x008000}, {777, 0x800000}};
  testing::ScriptedDialogs dialogs;
  ColourScheme scheme;
  scheme.FormActivate(app);
  EXPECT_EQ(scheme.RowTexts, (std::vector<std::string>{"123.4 Form line", " 5.1 Knoll", ""}));
  EXPECT_EQ(ColourScheme::RowColour(app, 1), 0x008000u);

  dialogs.ColourAnswers = {Colour{0x00FFFF}, std::nullopt, Colour{0x0000FF}};
  scheme.ColorgridDblClick(app, dialogs, 2);
  EXPECT_EQ(app.Model.SelectedSymbols[2].Colour, 0x00FFFFu);
  scheme.noheighttextDblClick(app, dialogs);  // cancelled: nothing changes
  EXPECT_EQ(app.Settings.NoHeightColour, 0x0000FFu);
  scheme.HilitetextDblClick(app, dialogs);
  EXPECT_EQ(app.Settings.HiliteColour, 0x0000FFu);
  // The colour dialog starts black, then with the colour last chosen in it.
  EXPECT_EQ(dialogs.ColourDialogs, (std::vector<Colour>{kBlack, 0x00FFFF, 0x00FFFF}));
}

}  // namespace
}  // namespace terrak

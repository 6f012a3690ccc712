// Whole user actions on real map files, as the window would run them: open, select symbols,
// pick and trace, give heights, change the symbol type, save.
#include <gtest/gtest.h>

#include <tuple>

#include "common/bytes.h"
#include "mainwindow/change_symbol.h"
#include "mainwindow/edit_commands.h"
#include "mainwindow/file_commands.h"
#include "mapfile/map_file_names.h"
#include "mainwindow/map_files.h"
#include "mainwindow/menu_commands.h"
#include "mainwindow/mouse_events.h"
#include "mainwindow/window_caption.h"
#include "mainwindow/window_fixture.h"
#include "mapfile/ocad_format_error.h"
#include "platform/file_stream.h"

namespace terrak {
namespace {

using namespace terrak::testing;

struct UserActions : WindowFixture {
  OcadMapBuilder Builder;
  std::string MapFile = Folder.File("map.ocd");
  std::vector<std::uint8_t> Original;

  explicit UserActions(int version = 5) : Builder(version) {
    Original = BuildChainMap(Builder);
    WriteBytes(MapFile, Original);
    SelectAllWhenAsked();
  }
  // Chooses a menu item as the user would: only when it is enabled.
  void Choose(MenuItem item) {
    ASSERT_TRUE(App.Menu.IsEnabled(item)) << InfoOf(item).Name;
    MenuItemClick(Window, item);
  }
  void Open(const std::string& file) {
    Dialogs.FileAnswers.push_back(file);
    Choose(MenuItem::Openmap);
  }
  void OpenAndSelectAll() {
    Open(MapFile);
    Choose(MenuItem::Addsymbols);
    Paint();
  }
  void Click(std::size_t object, ShiftState keys = {}) {
    FormMouseDown(Window, MouseButton::Left, keys, PressPointOf(App, object));
  }
  void GiveHeight(const std::string& answer) {
    Dialogs.InputAnswers.push_back(answer);
    Choose(MenuItem::Elevations);
  }
  const ObjectLayout& Placed(std::size_t object) const { return Builder.Layout().Objects[object]; }
};

class EveryVersion : public ::testing::TestWithParam<int> {};

TEST_P(EveryVersion, InsThenSaveChangesExactlyTheHeightBytesOfTheTracedObjects) {
  UserActions f(GetParam());
  f.OpenAndSelectAll();
  f.Click(kPieceB);
  EXPECT_EQ(f.App.Window.TracedObjects, (TracedObjectList{kPieceB, kPieceA, kPieceC}));

  f.GiveHeight("12.3");
  ASSERT_EQ(f.Dialogs.Inputs.size(), 1u);
  EXPECT_EQ(std::tie(f.Dialogs.Inputs[0].Caption, f.Dialogs.Inputs[0].Prompt,
                     f.Dialogs.Inputs[0].DefaultText),
            std::tuple("Give feature an elevation", "Height in metres (< 3000)", "0.0"));
  for (std::size_t i : {kPieceA, kPieceB, kPieceC}) {
    EXPECT_EQ(f.App.Model.MapObjects[i].Height, 123);
    EXPECT_EQ(f.App.Model.ObjectCoords[i].Height, 123);
  }
  EXPECT_EQ(f.App.Model.MapObjects[kApart].Height, 50);
  // Until Save the user's map is untouched.
  EXPECT_EQ(ReadBytes(f.MapFile), f.Original);

  f.Choose(MenuItem::Savemap);
  EXPECT_FALSE(f.App.Model.MapModified);
  const std::vector<std::uint8_t> saved = ReadBytes(f.MapFile);
  const std::size_t heightAt = GetParam() == 5 ? 10 : 12;
  const std::size_t heightSize = GetParam() == 5 ? 2 : 4;
  for (std::size_t at : DifferingBytes(f.Original, saved)) {
    bool inAHeight = false;
    for (std::size_t i : {kPieceA, kPieceB, kPieceC}) {
      const std::size_t start = static_cast<std::size_t>(f.Placed(i).FilePos) + heightAt;
      inAHeight = inAHeight || (at >= start && at < start + heightSize);
    }
    EXPECT_TRUE(inAHeight) << "byte " << at << " changed";
  }
  for (std::size_t i : {kPieceA, kPieceB, kPieceC}) {
    const std::uint8_t* height = saved.data() + f.Placed(i).FilePos + heightAt;
    EXPECT_EQ(GetParam() == 5 ? GetI16(height) : GetI32(height), 123);
  }
}

TEST_P(EveryVersion, ChangeSymbolTypePatchesIndexAndObject) {
  UserActions f(GetParam());
  f.OpenAndSelectAll();
  f.Click(kPieceA);
  f.Host.ChangeSymbolDialog = [&f] {
    ChangeSymbolChoice dialog;
    dialog.FormActivate(f.App);
    ASSERT_EQ(dialog.symblistbox.Count(), 1u);
    EXPECT_EQ(dialog.symblistbox[0].Text, "10.2 Index contour");
    EXPECT_EQ(dialog.Symbtochange, "10.1 Contour");
    dialog.symblistboxClick(f.App, 0);
    dialog.OKbuttonClick(f.App);
  };
  f.Choose(MenuItem::ChangeType);
  for (std::size_t i : {kPieceA, kPieceB, kPieceC}) {
    EXPECT_EQ(f.App.Model.MapObjects[i].Symbol, kIndexContour);
    EXPECT_EQ(f.App.Model.ObjectCoords[i].Symbol, kIndexContour);
  }
  EXPECT_EQ(f.App.Window.PickedSymbol, kContour);  // still the old symbol
  EXPECT_EQ(ReadBytes(f.MapFile), f.Original);

  f.Choose(MenuItem::Savemap);
  const std::vector<std::uint8_t> saved = ReadBytes(f.MapFile);
  const std::size_t indexSymbolAt = GetParam() == 5 ? 16 : 22;
  std::vector<std::size_t> fields;
  for (std::size_t i : {kPieceA, kPieceB, kPieceC}) {
    fields.push_back(static_cast<std::size_t>(f.Placed(i).IndexPos) + indexSymbolAt);
    fields.push_back(static_cast<std::size_t>(f.Placed(i).FilePos));
    for (std::size_t at : {fields[fields.size() - 2], fields.back()})
      EXPECT_EQ(GetI16(saved.data() + at), kIndexContour);
  }
  for (std::size_t at : DifferingBytes(f.Original, saved)) {
    bool inAField = false;
    for (std::size_t field : fields) inAField = inAField || at == field || at == field + 1;
    EXPECT_TRUE(inAField) << "byte " << at << " changed";
  }
}

INSTANTIATE_TEST_SUITE_P(OcadVersions, EveryVersion, ::testing::Values(5, 6, 7));

TEST(UserActions, HeightAnswersThroughTheInsertKeyAndACancelledSymbolSelectionKeepsTheSet) {
  UserActions f;
  f.OpenAndSelectAll();
  // Without a traced set Ins asks nothing.
  f.Choose(MenuItem::Elevations);
  EXPECT_TRUE(f.Dialogs.Inputs.empty());

  f.Click(kPieceA);
  // An answer not taken says why in the status bar and changes nothing.
  f.Choose(MenuItem::Savemap);
  f.GiveHeight("3000");
  EXPECT_EQ(f.App.Model.MapObjects[kPieceA].Height, 0);
  EXPECT_EQ(f.Host.LastStatusMessage(),
            "Height not changed: \"3000\" is out of range, heights must be below 3000 m");
  EXPECT_FALSE(f.App.Model.MapModified);
  // A decimal comma counts as the decimal point.
  f.GiveHeight("12,5");
  EXPECT_EQ(f.App.Model.MapObjects[kPieceA].Height, 125);
  EXPECT_EQ(f.Host.LastStatusMessage(), "Height 12.5 m given to the traced objects");
  f.GiveHeight("1234.56");
  EXPECT_EQ(f.App.Model.MapObjects[kPieceC].Height, 12345);
  // The status bar shows the new height at its next update, not at once.
  EXPECT_EQ(f.App.StatusBar.Panels[4], "Height    0.0");
  const int invalidations = f.Host.Invalidations;
  // Cancel gives back the default text: the height the set was shown with.
  f.Dialogs.InputAnswers.push_back(std::nullopt);
  f.Choose(MenuItem::Elevations);
  EXPECT_EQ(f.Dialogs.Inputs.back().DefaultText, "1234.5");
  EXPECT_EQ(f.App.Model.MapObjects[kPieceC].Height, 12345);
  EXPECT_EQ(f.Host.Invalidations, invalidations);  // Ins repaints nothing
  f.Paint();
  EXPECT_EQ(f.App.StatusBar.Panels[4], "Height 1234.5");

  // Cancelling the symbol selection keeps the traced set and its figures.
  f.Click(kPieceB);
  f.Click(kApart, {false, true, false});
  const TracedObjectList traced = f.App.Window.TracedObjects;
  const auto panels = f.App.StatusBar.Panels;
  ASSERT_EQ(traced.size(), 4u);
  const int shown = f.Host.Invalidations;

  f.Host.SymbolSelectionAccepted = false;
  f.Choose(MenuItem::Addsymbols);
  EXPECT_TRUE(f.App.Window.TraceExists);
  EXPECT_EQ(std::tuple(f.App.Window.TracedObjects, f.App.Window.PickCount, f.App.StatusBar.Panels,
                       f.Host.Invalidations),
            std::tuple(traced, 2, panels, shown));
  // Ins still gives the set a height (and a repaint still highlights it:
  // MainWindow.CancellingTheRealSymbolDialogKeepsTheSelectionAndTheHighlight).
  f.GiveHeight("20");
  EXPECT_EQ(f.App.Model.MapObjects[kApart].Height, 200);

  // OK reads the objects again: the set indexed the old ones and goes.
  f.Host.SymbolSelectionAccepted = true;
  f.Choose(MenuItem::Addsymbols);
  EXPECT_FALSE(f.App.Window.TraceExists);
  EXPECT_TRUE(f.App.Window.TracedObjects.empty());
  EXPECT_EQ(f.Host.Invalidations, shown + 1);
}

TEST(UserActions, AHeightTheMapCannotHoldIsRefusedWithTheReason) {
  UserActions seven(7);
  seven.OpenAndSelectAll();
  seven.Click(kPieceA);
  const std::vector<std::uint8_t> before = ReadBytes(seven.App.Paths.WorkingCopy);
  seven.GiveHeight("-5");
  ASSERT_FALSE(seven.Dialogs.Messages.empty());
  EXPECT_EQ(seven.Dialogs.Messages.back().Text,
            "A height of -5.0 m cannot be kept in this map: an OCAD 7 map holds heights from 0.1 m "
            "to 3276.7 m only, as its height field keeps 0 for \"no height\"");
  EXPECT_EQ(seven.Dialogs.Messages.back().Type, MessageType::Warning);
  EXPECT_EQ(ReadBytes(seven.App.Paths.WorkingCopy), before);
  EXPECT_FALSE(seven.App.Model.MapObjects[kPieceA].HasHeight);
  // 0 m likewise, and which heights each format holds: HeightRange.
}

TEST(UserActions, TraceToleranceAnswersAndChangeAllHeightsAsksFirst) {
  UserActions f;
  f.OpenAndSelectAll();
  f.Choose(MenuItem::Savemap);
  for (const char* ignored : {"73", "-1", "x"}) {
    f.Dialogs.InputAnswers.push_back(ignored);
    f.Choose(MenuItem::TraceTolerance);
    EXPECT_EQ(f.App.Settings.TraceTolerance, 10);
    EXPECT_FALSE(f.App.Model.MapModified);
    EXPECT_EQ(f.Host.LastStatusMessage(),
              std::string("Tolerance not changed: \"") + ignored + "\" is not a whole number from 0 to 72");
  }
  EXPECT_EQ(
      std::tie(f.Dialogs.Inputs[0].Caption, f.Dialogs.Inputs[0].Prompt,
               f.Dialogs.Inputs[0].DefaultText),
      std::tuple("Change tolerance for joins", "Tolerance in TWIPs (1/1440 inch) 0 - 72", " 10"));
  f.Dialogs.InputAnswers.push_back(std::nullopt);  // Cancel: the unchanged value, still a change
  f.Choose(MenuItem::TraceTolerance);
  EXPECT_TRUE(f.App.Model.MapModified);
  f.Dialogs.InputAnswers.push_back("72");
  f.Choose(MenuItem::TraceTolerance);
  EXPECT_EQ(f.App.Settings.TraceTolerance, 72);

  // Change all heights asks first, and Toggle View shows the result.
  f.Dialogs.MessageAnswers = {DialogButton::Cancel};
  f.Choose(MenuItem::Changeallheights1);
  EXPECT_EQ(f.App.Model.MapObjects[kApart].Height, 50);
  EXPECT_EQ(f.Dialogs.Messages.back().Text, kClearHeightsQuestion);
  EXPECT_EQ(f.Dialogs.Messages.back().Type, MessageType::Warning);

  f.Dialogs.MessageAnswers = {DialogButton::Ok, DialogButton::Ok};
  const int before = f.Host.Invalidations;
  f.Choose(MenuItem::Changeallheights1);
  EXPECT_EQ(f.Dialogs.MessageTexts().back(), "Clearing all height values");
  EXPECT_EQ(f.App.Model.MapObjects[kApart].Height, 0);
  EXPECT_EQ(f.Host.Invalidations, before + 1);

  f.Choose(MenuItem::ToggleView);  // its colours: DrawMap.ToggleViewColoursByHeight
  EXPECT_TRUE(f.App.Settings.ViewByHeight);
}

TEST(UserActions, ARejectedFileIsNeverWrittenOver) {
  UserActions f;
  f.OpenAndSelectAll();
  f.Click(kPieceA);
  f.GiveHeight("5");
  const std::string junk = f.Folder.File("junk.ocd");
  WriteText(junk, "not a map at all, but long enough to have a header of 24 bytes");
  const std::vector<std::uint8_t> junkBytes = ReadBytes(junk);

  f.Dialogs.MessageAnswers = {DialogButton::No};
  f.Open(junk);
  EXPECT_EQ(f.Dialogs.Messages[0].Text, "Save changes to \"map.ocd\"?");
  EXPECT_EQ(f.Dialogs.MessageTexts().back().substr(0, f.Dialogs.MessageTexts().back().find('\n')),
            kNotOcadMessage);
  EXPECT_EQ(f.App.Model.MapFileName, f.MapFile);
  // The open map keeps its changes, and the mark that says so.
  EXPECT_TRUE(f.App.Model.MapModified);  // a missing file likewise: OpenMapFile.MissingAndForeign

  f.Choose(MenuItem::Savemap);
  EXPECT_EQ(ReadBytes(junk), junkBytes);
  EXPECT_NE(ReadBytes(f.MapFile), f.Original);  // the open map got its changes
}

TEST(UserActions, AFailedOpenLeavesNothingToSaveOrASavedMapUnchangedAndAGoodOneCountsAsChanged) {
  UserActions f;
  f.Open(f.Folder.File("missing.ocd"));
  EXPECT_EQ(f.App.Model.MapFileName, "nofile");
  EXPECT_FALSE(f.App.Menu.IsEnabled(MenuItem::Savemap) || f.App.Menu.IsEnabled(MenuItem::saveasmap));
  // Nothing changed, so leaving asks nothing and writes nothing anywhere.
  EXPECT_FALSE(f.App.Model.MapModified);
  EXPECT_TRUE(FormClose(f.Window));
  EXPECT_EQ(f.Dialogs.Messages.size(), 1u);  // only the open's own message
  EXPECT_FALSE(FileExists(f.Folder.File("missing.ocd")));

  f.Open(f.MapFile);
  EXPECT_TRUE(f.App.Model.MapModified);  // the new map is to be remembered in the settings
  f.Choose(MenuItem::Savemap);
  EXPECT_EQ(f.Host.LastStatusMessage(), "Saved " + f.MapFile);
  f.Open(f.Folder.File("missing.ocd"));
  EXPECT_EQ(f.App.Model.MapFileName, f.MapFile);
  EXPECT_FALSE(f.App.Model.MapModified);
  EXPECT_EQ(MainWindowCaption(f.App), "map.ocd - Terrak-7 Ocad utility");
}

TEST(UserActions, ExitAndCloseAskOnceWithCancelNamingTheMap) {
  UserActions f;
  f.Open(f.MapFile);
  // Exit closes the window, whose closing asks: the question is asked in one place only.
  f.Choose(MenuItem::exit);
  EXPECT_EQ(f.Host.Closes, 1);
  EXPECT_TRUE(f.Dialogs.Messages.empty());

  f.Dialogs.MessageAnswers = {DialogButton::Cancel};
  EXPECT_FALSE(FormClose(f.Window));
  ASSERT_EQ(f.Dialogs.Messages.size(), 1u);
  EXPECT_EQ(std::tie(f.Dialogs.Messages[0].Text, f.Dialogs.Messages[0].Type,
                     f.Dialogs.Messages[0].Buttons),
            std::tuple("Save changes to \"map.ocd\"?", MessageType::Confirmation,
                       DialogButton::Yes | DialogButton::No | DialogButton::Cancel));
  EXPECT_TRUE(f.App.Model.MapModified);

  // No closes without saving.
  std::remove(f.MapFile.c_str());
  f.Dialogs.MessageAnswers = {DialogButton::No};
  EXPECT_TRUE(FormClose(f.Window));
  EXPECT_FALSE(FileExists(f.MapFile));
  EXPECT_EQ(f.Dialogs.Messages.size(), 2u);

  // A save that fails leaves the map marked as changed and keeps the window open.
  f.Dialogs.MessageAnswers = {DialogButton::Yes};
  EXPECT_THROW(FormClose(f.Window), FileError);
  EXPECT_TRUE(f.App.Model.MapModified);

  // Yes saves and closes; an unchanged map is saved byte for byte.
  WriteBytes(f.MapFile, f.Original);
  f.Dialogs.MessageAnswers = {DialogButton::Yes};
  EXPECT_TRUE(FormClose(f.Window));
  EXPECT_EQ(ReadBytes(f.MapFile), f.Original);
  EXPECT_FALSE(f.App.Model.MapModified);
  // Unchanged, closing asks nothing.
  EXPECT_TRUE(FormClose(f.Window));
  EXPECT_EQ(f.Dialogs.Messages.size(), 4u);
}

TEST(UserActions, SaveChangesAnsweredYesSavesBeforeOpeningAnotherMapOrClosing) {
  UserActions f;
  f.OpenAndSelectAll();
  f.Click(kPieceA);
  f.GiveHeight("9");
  // Yes to the question of Open: the map is saved, then the open dialog comes.
  f.Dialogs.MessageAnswers = {DialogButton::Yes};
  f.Dialogs.FileAnswers = {std::nullopt};
  f.Choose(MenuItem::Openmap);
  ASSERT_EQ(f.Dialogs.MessageTexts(), std::vector<std::string>{"Save changes to \"map.ocd\"?"});
  EXPECT_EQ(f.Dialogs.FileDialogs.size(), 2u);
  EXPECT_TRUE(f.App.Window.ProceedWithOpen);
  EXPECT_FALSE(f.App.Model.MapModified);
  const std::vector<std::uint8_t> saved = ReadBytes(f.MapFile);
  EXPECT_NE(saved, f.Original);
  EXPECT_TRUE(FileExists(f.App.Paths.SettingsFile));

  // Yes to the question of the window's closing saves the newest change too.
  f.GiveHeight("11");
  f.Dialogs.MessageAnswers = {DialogButton::Yes};
  EXPECT_TRUE(FormClose(f.Window));
  EXPECT_FALSE(f.App.Model.MapModified);
  EXPECT_NE(ReadBytes(f.MapFile), saved);
  EXPECT_EQ(f.Dialogs.Messages.size(), 2u);  // unchanged, closing asks nothing: ExitAndClose...
}

// Records, each time the cursor changes, whether the map file was written yet.
struct CursorWatch : ScriptedDialogs {
  std::string MapFile;
  std::vector<std::uint8_t> Original;
  std::vector<std::pair<bool, bool>> Changes;  // busy, map already written
  void SetBusyCursor(bool busy) override {
    ScriptedDialogs::SetBusyCursor(busy);
    Changes.emplace_back(busy, ReadBytes(MapFile) != Original);
  }
};

TEST(UserActions, SavingRunsUnderTheBusyCursor) {
  for (MenuItem item : {MenuItem::Savemap, MenuItem::saveasmap}) {
    SCOPED_TRACE(InfoOf(item).Name);
    UserActions f;
    f.OpenAndSelectAll();
    f.Click(kPieceA);
    f.GiveHeight("9");
    CursorWatch watch;
    watch.MapFile = item == MenuItem::Savemap ? f.MapFile : f.Folder.File("new.ocd");
    WriteBytes(watch.MapFile, f.Original);
    watch.Original = f.Original;
    watch.FileAnswers = {watch.MapFile};
    MapWindow window{f.App, f.Canvas, watch, f.Host};
    MenuItemClick(window, item);
    EXPECT_EQ(watch.Changes, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}}));
    EXPECT_EQ(watch.BusyDepth, 0);
  }
  // A failing save restores the normal cursor as well.
  UserActions f;
  f.OpenAndSelectAll();
  std::remove(f.MapFile.c_str());
  EXPECT_THROW(f.Choose(MenuItem::Savemap), FileError);
  EXPECT_EQ(f.Dialogs.BusyDepth, 0);
  EXPECT_GE(f.Dialogs.BusyCalls, 1);
}

TEST(UserActions, SaveAsWritesTheNewFileAndSaveFollowsIt) {
  UserActions f;
  f.OpenAndSelectAll();
  f.Choose(MenuItem::saveasmap);  // cancelled: nothing
  EXPECT_EQ(f.App.Model.MapFileName, f.MapFile);
  EXPECT_TRUE(f.Dialogs.FileDialogs.back().AskBeforeOverwrite);
  EXPECT_EQ(f.Dialogs.FileDialogs.back().Filter, ".ocd|*.ocd");

  const std::string copy = f.Folder.File("copy.ocd");
  f.Dialogs.FileAnswers = {copy};
  f.Choose(MenuItem::saveasmap);
  EXPECT_EQ(ReadBytes(copy), f.Original);
  f.Click(kPieceA);
  f.GiveHeight("7");
  f.Choose(MenuItem::Savemap);
  EXPECT_NE(ReadBytes(copy), f.Original);
  EXPECT_EQ(ReadBytes(f.MapFile), f.Original);
}

TEST(UserActions, FileDialogsStartInTheSamplesUntilAMapIsOpenThenInItsFolderAndCancelKeepsIt) {
  UserActions f;
  f.Dialogs.FileAnswers = {std::nullopt};
  f.Choose(MenuItem::Open3Dmap);
  EXPECT_EQ(f.Dialogs.FileDialogs.back().InitialFolder, f.App.Paths.SamplesFolder);
  f.Open(f.MapFile);
  EXPECT_EQ(f.Dialogs.FileDialogs.back().InitialFolder, f.App.Paths.SamplesFolder);
  EXPECT_EQ(f.Dialogs.FileDialogs.back().Filter, "Maps|*.ocd *.omap *.xmap");
  EXPECT_EQ(f.Dialogs.FileDialogs.back().DefaultExtension, "ocd");
  // Cancel to "Save changes?" ends the open before its dialog.
  const std::size_t dialogs = f.Dialogs.FileDialogs.size();
  f.Dialogs.MessageAnswers = {DialogButton::Cancel};
  f.Dialogs.FileAnswers = {f.Folder.File("other.ocd")};
  f.Choose(MenuItem::Openmap);
  EXPECT_EQ(f.Dialogs.FileDialogs.size(), dialogs);
  EXPECT_FALSE(f.App.Window.ProceedWithOpen);
  EXPECT_EQ(f.App.Model.MapFileName, f.MapFile);
  f.Dialogs.FileAnswers.clear();

  const std::string mapFolder = f.Folder.File("");
  const auto startsInMapFolder = [&](MenuItem item) {
    f.Dialogs.MessageAnswers = {DialogButton::No};
    f.Dialogs.FileAnswers = {std::nullopt};
    f.Choose(item);
    EXPECT_EQ(f.Dialogs.FileDialogs.back().InitialFolder + "/", mapFolder) << InfoOf(item).Name;
  };
  startsInMapFolder(MenuItem::Openmap);
  startsInMapFolder(MenuItem::saveasmap);
  startsInMapFolder(MenuItem::Open3Dmap);
  // A rejected file leaves the open map, and its folder.
  f.Dialogs.MessageAnswers = {DialogButton::No};
  f.Open("/nonexistent/folder/map.ocd");
  startsInMapFolder(MenuItem::Openmap);
}

TEST(UserActions, ThreeDimensionalViewsGoThroughTheViewerHook) {
  UserActions f;
  f.Open(f.MapFile);
  f.Dialogs.FileAnswers = {std::nullopt};
  f.Choose(MenuItem::Open3Dmap);
  EXPECT_EQ(f.Dialogs.FileDialogs.back().ProposedName, f.Folder.File("map.o3d"));
  EXPECT_EQ(f.Dialogs.FileDialogs.back().Filter, "Ocad 3d Map (.o3d)|*.o3d");
  EXPECT_TRUE(f.Host.ViewerRequests.empty());

  f.Choose(MenuItem::N3DViews1);  // no viewer yet: the item stays usable
  ASSERT_EQ(f.Host.ViewerRequests.size(), 1u);
  EXPECT_FALSE(f.Host.ViewerRequests[0].FromMap3dFile);
  EXPECT_TRUE(f.App.Menu.IsEnabled(MenuItem::N3DViews1));

  f.Host.ViewerOpens = true;
  f.Dialogs.FileAnswers = {f.Folder.File("terrain.o3d")};
  f.Choose(MenuItem::Open3Dmap);
  EXPECT_TRUE(f.Host.ViewerRequests.back().FromMap3dFile);
  EXPECT_EQ(f.Host.ViewerRequests.back().Map3dFileName, f.Folder.File("terrain.o3d"));
  EXPECT_FALSE(f.App.Menu.IsEnabled(MenuItem::N3DViews1));

  // A map named otherwise is never proposed itself.
  for (const auto& [map, proposed] :
       {std::pair{"nofile", ""}, {"/a/B.OCD", "/a/B.o3d"}, {"/a.ocd/b", "/a.ocd/b.o3d"},
        {"/a/map.ocd7", "/a/map.ocd7.o3d"}, {"ocd", "ocd.o3d"}})
    EXPECT_EQ(Proposed3dMapName(map), proposed);
}

}  // namespace
}  // namespace terrak

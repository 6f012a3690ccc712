// Starting the window from the settings file, and what Save keeps there.
#include <gtest/gtest.h>

#include <filesystem>

#include "mainwindow/colour_scheme.h"
#include "mainwindow/file_commands.h"
#include "mainwindow/interrupted_save.h"
#include "mainwindow/map_files.h"
#include "mainwindow/menu_commands.h"
#include "mainwindow/symbol_selection.h"
#include "mainwindow/window_fixture.h"
#include "mapfile/ocad_format_error.h"
#include "platform/safe_file_writer.h"

namespace terrak {
namespace {

using namespace terrak::testing;

struct StartUp : WindowFixture {
  std::string MapFile = Folder.File("map.ocd");
  OcadMapBuilder Builder{6};

  StartUp() { WriteBytes(MapFile, BuildChainMap(Builder)); }
  void WriteSettings(const std::string& mapFile) {
    WriteText(App.Paths.SettingsFile, "[Files]\nFilename=" + mapFile +
                                          "\n[SelectedSymbols]\nSymbolcount=1\nSymbol  0=101\n"
                                          "[Colors]\nSymbol 101=clRed\n");
  }
};

TEST(StartUp, OpensTheLastMapWithItsSymbolsUnchangedAndAColourSurvivesOnlyOnceSaved) {
  StartUp f;
  f.WriteSettings(f.MapFile);
  FormCreate(f.Window);
  EXPECT_EQ(f.Host.Placements, 1);
  EXPECT_EQ(f.App.Model.MapObjects.size(), 4u);  // the pieces of 10.1 only
  EXPECT_EQ(f.App.Model.SelectedSymbols[0].Colour, 0x0000FFu);
  EXPECT_FALSE(f.App.Model.MapModified);
  EXPECT_TRUE(f.App.Menu.IsEnabled(MenuItem::Savemap));
  EXPECT_TRUE(f.App.Menu.IsEnabled(MenuItem::ToggleView));
  EXPECT_TRUE(f.App.Menu.IsChecked(MenuItem::normalsize));
  EXPECT_TRUE(f.Dialogs.Messages.empty());

  // A symbol's colour survives a new selection only once saved.
  ColourScheme scheme;
  f.Host.ColourSchemeDialog = [&] {
    scheme.FormActivate(f.App);
    f.Dialogs.ColourAnswers = {Colour{0x00FF00}};
    scheme.ColorgridDblClick(f.App, f.Dialogs, 0);
  };
  f.Host.SymbolSelectionDialog = [&] {
    SymbolSelection dialog;
    dialog.FormCreate(f.App.Model);
    dialog.OKBtnClick(f.App.Model, f.App.Settings, f.Dialogs);
  };
  MenuItemClick(f.Window, MenuItem::ChangeColourScheme);
  EXPECT_TRUE(f.App.Model.MapModified);
  EXPECT_EQ(f.App.Model.SelectedSymbols[0].Colour, 0x00FF00u);
  MenuItemClick(f.Window, MenuItem::Addsymbols);
  EXPECT_EQ(f.App.Model.SelectedSymbols[0].Colour, 0x0000FFu);  // read back from the settings

  MenuItemClick(f.Window, MenuItem::ChangeColourScheme);
  MenuItemClick(f.Window, MenuItem::Savemap);
  MenuItemClick(f.Window, MenuItem::Addsymbols);
  EXPECT_EQ(f.App.Model.SelectedSymbols[0].Colour, 0x00FF00u);
  EXPECT_NE(ReadText(f.App.Paths.SettingsFile).find("Filename=" + f.MapFile), std::string::npos);
}

TEST(StartUp, AMissingMapLeavesTheWelcomeScreenAndNothingToSave) {
  StartUp f;
  f.WriteSettings(f.Folder.File("gone.ocd"));
  FormCreate(f.Window);
  EXPECT_EQ(f.Dialogs.MessageTexts(), std::vector<std::string>{kMissingMapMessage});
  EXPECT_EQ(f.App.Model.MapFileName, "nofile");
  EXPECT_FALSE(f.App.Menu.IsEnabled(MenuItem::Savemap));
  EXPECT_FALSE(f.App.Menu.IsEnabled(MenuItem::Redraw));
  f.Paint();
  EXPECT_EQ(f.Canvas.CallsStartingWith("text").size(), 8u);
}

TEST(StartUp, AnInterruptedSaveIsOfferedToBeFinishedBeforeTheMapOpens) {
  StartUp f;
  f.WriteSettings(f.MapFile);
  // Killed a third of the way into overwriting the map in place: a new head on an old tail
  // (here zeros), and the complete new contents beside it.
  const std::vector<std::uint8_t> saved = ReadBytes(f.MapFile);
  std::vector<std::uint8_t> torn = saved;
  std::fill(torn.begin() + static_cast<std::ptrdiff_t>(torn.size() / 3), torn.end(), 0);
  WriteBytes(f.MapFile, torn);
  const std::string copy = SaveFileNamesFor(f.MapFile).Complete;
  WriteBytes(copy, saved);

  // Cancel: nothing is opened, and both stay for another time.
  f.Dialogs.MessageAnswers = {DialogButton::Cancel};
  FormCreate(f.Window);
  ASSERT_EQ(f.Dialogs.Messages.size(), 1u);
  EXPECT_EQ(f.Dialogs.Messages[0].Text, InterruptedSaveQuestion(f.MapFile, copy));
  EXPECT_EQ(f.Dialogs.Messages[0].Type, MessageType::Warning);
  EXPECT_EQ(f.Dialogs.Messages[0].Buttons,
            DialogButton::Yes | DialogButton::No | DialogButton::Cancel);
  EXPECT_FALSE(f.App.Window.MapOpen());
  EXPECT_EQ(f.App.Model.MapFileName, "nofile");
  EXPECT_EQ(ReadBytes(f.MapFile), torn);
  EXPECT_EQ(ReadBytes(copy), saved);

  // Yes at the next start: the save is finished and the whole map opens.
  f.Dialogs.MessageAnswers = {DialogButton::Yes};
  FormCreate(f.Window);
  EXPECT_EQ(f.Dialogs.Messages.size(), 2u);
  EXPECT_EQ(ReadBytes(f.MapFile), saved);
  EXPECT_FALSE(std::filesystem::exists(copy));
  EXPECT_TRUE(f.App.Window.MapOpen());
  EXPECT_EQ(f.App.Model.MapObjects.size(), 4u);

  // No: the kept contents go, and the map is taken as it is.
  WriteBytes(copy, torn);
  f.Dialogs.MessageAnswers = {DialogButton::No};
  FormCreate(f.Window);
  EXPECT_EQ(f.Dialogs.Messages.size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(copy));
  EXPECT_EQ(ReadBytes(f.MapFile), saved);
  EXPECT_TRUE(f.App.Window.MapOpen());
  // A copy that already equals the map (killed after the last byte) goes without a question.
  WriteBytes(copy, saved);
  FormCreate(f.Window);
  EXPECT_EQ(f.Dialogs.Messages.size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(copy));
}


TEST(StartUp, AColourThatIsNoColourIsReportedAndGivesBlack) {
  StartUp f;
  WriteText(f.App.Paths.SettingsFile, "[Colors]\nSymbol 101=purplish\n");
  FormCreate(f.Window);
  f.Dialogs.FileAnswers = {f.MapFile};
  MenuItemClick(f.Window, MenuItem::Openmap);
  f.SelectAllSymbols();
  EXPECT_EQ(f.Dialogs.MessageTexts().back(),
            "The colour stored for symbol 10.1 in the settings is not a colour; black is used "
            "instead.");
  EXPECT_EQ(f.App.Model.SelectedSymbols[0].Colour, kBlack);
}

}  // namespace
}  // namespace terrak

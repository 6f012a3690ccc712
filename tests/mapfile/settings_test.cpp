#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "mapfile/colour_names.h"
#include "mapfile/settings_io.h"
#include "platform/file_error.h"
#include "support/file_faults.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using testing::ReadText;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::WriteText;

struct Loaded {
  Settings settings;
  MapModel model;
  ScriptedDialogs dialogs;
};

Loaded Load(const std::string& fileName) {
  Loaded loaded;
  LoadSettings(loaded.settings, loaded.model, fileName, loaded.dialogs);
  return loaded;
}

Loaded LoadText(const TempFolder& folder, const std::string& text) {
  WriteText(folder.File("terrak50.ini"), text);
  return Load(folder.File("terrak50.ini"));
}

// The whole file saved with default settings: the map's name, the symbols' colour keys and the
// selection section's keys vary.
std::string SavedFile(const std::string& map, const std::string& colours,
                      const std::string& selection) {
  return "[Files]\nFilename=" + map + "\n\n\n[Settings]\nTolerance=10\nToggleview=0\n\n\n"
         "[Colors]\nhilite=clBlue\nwithheight=clGreen\nnoheight=clRed\nFront3d=clRed\n"
         "Back3d=clGray\n" + colours + "\n\n[3dsettings]\nhaov=60\nsmoothing=0\nsmoothingpasses=1\n"
         "GridInterval=5\nContourgap=50\n\n\n[SelectedSymbols]\n" + selection +
         "\n\n[Viewpoint]\nX=0\nY=0\nZ=0\nbearing=0\nincline=0\n";
}

bool HasKey(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line) != std::string::npos;
}

TEST(Settings, TheSavedFileIsExactlyTheExpectedOneAndEveryKeyRoundTrips) {
  TempFolder folder;
  const std::string name = folder.File("terrak50.ini");
  MapModel model;
  model.MapFileName = "/maps/a.ocd";
  model.SelectedSymbols = {{101, 0x123456}, {1011, 0x0000FF}};
  Settings defaults;
  SaveSettings(defaults, model, folder.File("default.ini"));
  EXPECT_EQ(ReadText(folder.File("default.ini")),
            SavedFile("/maps/a.ocd", "Symbol 101=$00123456\nSymbol1011=clRed\n",
                      "Symbolcount=2\nSymbol  0=101\nSymbol  1=1011\n"));
  // Nothing is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

  Settings settings{
      .TraceTolerance = -32768, .HiliteColour = 0x010203, .WithHeightColour = 0xFF00000F,
      .NoHeightColour = 0xFFFFFFFF, .Front3dColour = 0x1FFFFFFF, .Back3dColour = 0,
      .ViewByHeight = true, .HorizontalAngleOfView = 32767, .Smoothing = 3,
      .SmoothingPasses = -7, .GridInterval = 2147483647, .ContourGap = -2147483647 - 1,
      .ViewpointX = 12345678, .ViewpointY = -5, .ViewpointZ = 250, .ViewpointBearing = 359,
      .ViewpointIncline = -30, .File = nullptr};
  model.MapFileName = "/maps/forest = east.ocd";
  model.SelectedSymbols = {{101, 0x00FF00}, {-5, 0x123456}, {5, 0x0000FF}, {101, 0x00FF00}};
  SaveSettings(settings, model, name);

  // Every key differs from its default, so a key lost on the way changes the second file.
  Loaded loaded = Load(name);
  EXPECT_TRUE(loaded.dialogs.Messages.empty());
  SaveSettings(loaded.settings, loaded.model, folder.File("again.ini"));
  EXPECT_EQ(ReadText(folder.File("again.ini")), ReadText(name));
  // Saving replaced the open file object, so the dialog sees the colours just saved.
  EXPECT_EQ(LookUpSymbolColour(settings, 5), 0x0000FFu);
}

TEST(ColourNames, NamesAnyCaseAndNumbersReadWhileOtherValuesAreWrittenInHex) {
  for (const auto& [text, value] :
       {std::pair{"clblue", 0xFF0000u}, {"CLBTNFACE", 0xFF00000Fu}, {"$00123456", 0x123456u},
        {"0xFF", 0xFFu}, {"16711680", 0xFF0000u}, {"-1", 0xFFFFFFFFu}, {"4294967295", 0xFFFFFFFFu}})
    EXPECT_EQ(TextToColour(text), value) << text;
  EXPECT_EQ(ColourToText(0xFF000019), "$FF000019");  // no system colour has index 19
  for (const char* junk : {"", "blurple", "$", "0x", "12ab", "$123456789", "4294967296", "cl"})
    EXPECT_EQ(TextToColour(junk), std::nullopt) << junk;
  // Every name reads back as the value that is written with it.
  for (const NamedColour& named : NamedColours()) {
    EXPECT_EQ(ColourToText(named.Value), named.Name);
    EXPECT_EQ(TextToColour(std::string(named.Name)), named.Value);
  }
}

// "Symbol  0", "Symbol 101" and "Symbol1011" are in the expected file above.
TEST(Settings, PerSymbolKeysAreRightAlignedAndNegativeNumbersKeepTheirOwnKey) {
  EXPECT_EQ(std::tuple(SelectedSymbolKey(12), SelectedSymbolKey(100), SymbolColourKey(-5),
                       SymbolColourKey(-1011)),
            std::tuple("Symbol 12", "Symbol100", "Symbol  -5", "Symbol-1011"));
}

TEST(Settings, SymbolIndexKeysFollowTheSelectionAndEveryColourIsKept) {
  TempFolder folder;
  const std::string name = folder.File("terrak50.ini");
  Settings settings;
  MapModel model;
  for (std::int16_t n = 1; n <= 8; ++n)
    model.SelectedSymbols.push_back({static_cast<std::int16_t>(n * 10), Colour(n)});
  SaveSettings(settings, model, name);
  model.SelectedSymbols.resize(5);
  SaveSettings(settings, model, name);

  const std::string text = ReadText(name);
  EXPECT_TRUE(HasKey(text, "Symbol  4=50\n"));
  for (const char* stale : {"Symbol  5=", "Symbol  6=", "Symbol  7="})
    EXPECT_FALSE(HasKey(text, stale)) << stale;
  EXPECT_TRUE(HasKey(text, "Symbol  80=$00000008\n"));
  Loaded loaded = Load(name);
  EXPECT_EQ(loaded.model.SelectedSymbols.size(), 5u);
  EXPECT_EQ(LookUpSymbolColour(loaded.settings, 80), 8u);

  // A count beyond the keys present selects only the symbols present, saved with their count.
  WriteText(name, "[SelectedSymbols]\nSymbolcount=32767\nSymbol  0=101\nSymbol  2=102\n");
  Loaded beyond = Load(name);
  ASSERT_EQ(beyond.model.SelectedSymbols.size(), 2u);
  EXPECT_EQ(beyond.model.SelectedSymbols[1].Symbol, 102);
  SaveSettings(beyond.settings, beyond.model, name);
  const std::string resaved = ReadText(name);
  EXPECT_TRUE(HasKey(resaved, "Symbolcount=2\n") && HasKey(resaved, "Symbol  1=102\n"));
  EXPECT_FALSE(HasKey(resaved, "Symbol  2="));
}

TEST(Settings, ABadColourIsReportedAndEndsTheLoadingThere) {
  TempFolder folder;
  Loaded early = LoadText(folder,
                          "[Settings]\nTolerance=25\n[Colors]\nhilite=cllime\nwithheight=blurple\n"
                          "noheight=clblack\n[3dsettings]\nhaov=90\n"
                          "[SelectedSymbols]\nSymbolcount=1\nSymbol  0=101\n");
  ASSERT_EQ(early.dialogs.Messages.size(), 1u);
  const testing::AskedMessage& message = early.dialogs.Messages[0];
  EXPECT_EQ(message.Type, MessageType::Error);
  EXPECT_EQ(message.Buttons, static_cast<unsigned>(DialogButton::Ok));
  for (const char* part : {"\"blurple\"", "\"withheight\"", "[Colors]", "terrak50.ini"})
    EXPECT_NE(message.Text.find(part), std::string::npos) << part;
  EXPECT_EQ(std::tie(early.settings.TraceTolerance, early.settings.HiliteColour,
                     early.settings.NoHeightColour, early.settings.HorizontalAngleOfView),
            std::tuple(25, 0x00FF00u, 0x0000FFu, 60));
  EXPECT_FALSE(early.model.SymbolsSelected);
  EXPECT_TRUE(early.model.SelectedSymbols.empty());

  // A bad colour of the first symbol leaves no selection; of a later one, the symbols before.
  const std::string symbols =
      "[SelectedSymbols]\nSymbolcount=3\nSymbol  0=101\nSymbol  1=102\nSymbol  2=103\n";
  Loaded first = LoadText(folder, symbols + "[Colors]\nSymbol 101=?\n");
  EXPECT_EQ(first.dialogs.Messages.size(), 1u);
  EXPECT_FALSE(first.model.SymbolsSelected);
  EXPECT_TRUE(first.model.SelectedSymbols.empty());
  Loaded later = LoadText(folder, symbols + "[Colors]\nSymbol 101=$FF\nSymbol 102=no colour\n");
  EXPECT_TRUE(later.model.SymbolsSelected);
  ASSERT_EQ(later.model.SelectedSymbols.size(), 1u);
  EXPECT_EQ(later.model.SelectedSymbols[0].Colour, 0xFFu);
  EXPECT_EQ(LookUpSymbolColour(later.settings, 102), std::nullopt);
  EXPECT_EQ(LookUpSymbolColour(later.settings, 103), kBlack);
  // A long text is shown by its first 60 characters; one of 60 whole.
  const auto shown = [&folder](std::size_t length) {
    return LoadText(folder, "[Colors]\nhilite=" + std::string(length, 'x') + "\n")
        .dialogs.Messages.at(0).Text;
  };
  EXPECT_NE(shown(61).find("\"" + std::string(60, 'x') + "...\""), std::string::npos);
  EXPECT_NE(shown(60).find("\"" + std::string(60, 'x') + "\""), std::string::npos);
}

TEST(Settings, IntegersReadDecimalAndHexAndFallBackToTheDefault) {
  TempFolder folder;
  const auto tolerance = [&](const std::string& value) {  // 16 bits, default 10
    return LoadText(folder, "[settings]\nTOLERANCE=" + value + "\n").settings.TraceTolerance;
  };
  const auto gap = [&](const std::string& value) {  // 32 bits, default 50
    return LoadText(folder, "[3DSettings]\nContourGap=" + value + "\n").settings.ContourGap;
  };
  for (const auto& [text, value] :
       {std::pair{"0x1F", 31}, {"$1f", 31}, {"+4", 4}, {"-32768", -32768}})
    EXPECT_EQ(tolerance(text), value) << text;
  for (const char* junk : {"40000", "$FFFF", "12abc", "", "1 0", "$", "0x", "99999999999999999999"})
    EXPECT_EQ(tolerance(junk), 10) << junk;
  // $7FFFFFFF: the largest pattern without the sign bit.
  for (const auto& [text, value] :
       {std::pair{"$FFFFFFFF", -1}, {"$7FFFFFFF", 2147483647}, {"$80000000", -2147483647 - 1},
        {"-2147483648", -2147483647 - 1}, {"2147483648", 50}})
    EXPECT_EQ(gap(text), value) << text;
  EXPECT_TRUE(LoadText(folder, "[Settings]\nToggleview=$10\n").settings.ViewByHeight);
  EXPECT_FALSE(LoadText(folder, "[Settings]\nToggleview=yes\n").settings.ViewByHeight);
  EXPECT_FALSE(LoadText(folder, "[SelectedSymbols]\nSymbolcount=-3\n").model.SymbolsSelected);
}

TEST(Settings, SavingKeepsWhatItDoesNotKnowAndReplacesWhatItWrites) {
  TempFolder folder;
  const std::string name = folder.File("terrak50.ini");
  WriteText(name,
            "\xEF\xBB\xBF; kept comment\n\n[Other]\nfoo = bar\n[Broken\nmore=1\n"
            "[Colors]\nSymbol 999=clAqua\n"
            "Mine=1\n[3dsettings]\nSmoothing=3\nSmoothing=4\n[SelectedSymbols]\nJunk=1\n");
  Loaded loaded = Load(name);
  EXPECT_EQ(loaded.settings.Smoothing, 3);  // the first of two entries counts
  SaveSettings(loaded.settings, loaded.model, name);
  const std::string text = ReadText(name);
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF; kept comment\n", 0), 0u);
  for (const char* kept : {"[Other]\nfoo=bar\nmore=1\n", "Symbol 999=clAqua\n", "Mine=1\n"})
    EXPECT_NE(text.find(kept), std::string::npos) << kept;
  EXPECT_TRUE(HasKey(text, "smoothing=3\n"));
  for (const char* gone : {"Smoothing=", "Junk="}) EXPECT_FALSE(HasKey(text, gone)) << gone;
  // A section line without its bracket is dropped once, not written back growing. (The second
  // save only moves the erased selection section to the end.)
  SaveSettings(loaded.settings, loaded.model, name);
  const std::string settled = ReadText(name);
  SaveSettings(loaded.settings, loaded.model, name);
  EXPECT_EQ(ReadText(name), settled);
}

TEST(Settings, AMapNameThatALineCannotHoldIsNotRemembered) {
  TempFolder folder;
  const std::string name = folder.File("terrak50.ini");
  Settings settings;
  MapModel model;
  model.MapFileName = "/maps/a.ocd\n[SelectedSymbols]\nSymbolcount=5";
  SaveSettings(settings, model, name);
  Loaded loaded = Load(name);
  EXPECT_EQ(loaded.model.MapFileName, "nofile");
  EXPECT_FALSE(loaded.model.SymbolsSelected);
  model.MapFileName = "/maps/a.ocd ";  // would come back without its blank
  SaveSettings(settings, model, name);
  EXPECT_EQ(Load(name).model.MapFileName, "nofile");
}

TEST(Settings, SavingCreatesTheFolderFollowsLinksAndReportsFileErrors) {
  TempFolder folder;
  Settings settings;
  MapModel model;
  const std::string nested = folder.File("config/terrak/terrak50.ini");
  SaveSettings(settings, model, nested);
  EXPECT_EQ(Load(nested).model.MapFileName, "nofile");

  // A linked settings file stays a link; the file it names gets the new text.
  const std::string link = folder.File("link.ini");
  std::filesystem::create_symlink(nested, link);
  model.MapFileName = "/maps/linked.ocd";
  SaveSettings(settings, model, link);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(Load(nested).model.MapFileName, "/maps/linked.ocd");

  // A folder in the file's place, or a file in its folder's place.
  std::filesystem::create_directory(folder.File("dir.ini"));
  EXPECT_THROW(Load(folder.File("dir.ini")), FileError);
  EXPECT_THROW(SaveSettings(settings, model, folder.File("dir.ini")), FileError);
  WriteText(folder.File("plain"), "x");
  EXPECT_THROW(SaveSettings(settings, model, folder.File("plain/terrak50.ini")), FileError);
  EXPECT_EQ(ReadText(folder.File("plain")), "x");
}

// A file whose every integer key holds value, each key in its own section.
std::string EveryIntegerKey(const std::string& value) {
  std::string text;
  for (const char* key : {"[Settings]", "Tolerance", "Toggleview", "[3dsettings]", "haov",
                          "Smoothing", "Smoothingpasses", "GridInterval", "Contourgap",
                          "[Viewpoint]", "X", "Y", "Z", "bearing", "incline"})
    text += key[0] == '[' ? std::string(key) + "\n" : std::string(key) + "=" + value + "\n";
  return text;
}

TEST(Settings, EveryKeyFallsBackToItsOwnDefaultWhenMissingOutOfRangeOrNoNumber) {
  TempFolder folder;
  const std::string defaults = SavedFile("nofile", "", "Symbolcount=0\n");
  // Saved again, what was read gives the file of every default.
  const auto resaved = [&](Loaded loaded) {
    EXPECT_TRUE(loaded.dialogs.Messages.empty());
    const std::string again = folder.File("again.ini");
    std::filesystem::remove(again);
    SaveSettings(loaded.settings, loaded.model, again);
    return ReadText(again);
  };
  Loaded none = Load(folder.File("missing.ini"));
  ASSERT_NE(none.settings.File, nullptr);
  EXPECT_EQ(LookUpSymbolColour(none.settings, 101), kBlack);
  EXPECT_EQ(resaved(std::move(none)), defaults);
  for (const char* junk : {"", "many", "7.5", "2147483648", "-2147483649"})
    EXPECT_EQ(resaved(LoadText(folder, EveryIntegerKey(junk))), defaults) << junk;

  // 40000 fits the 32-bit keys only.
  const Settings wide = LoadText(folder, EveryIntegerKey("40000")).settings;
  EXPECT_EQ(std::tuple(wide.TraceTolerance, wide.HorizontalAngleOfView), std::tuple(10, 60));
  EXPECT_TRUE(wide.ViewByHeight);
  for (const std::int32_t value :
       {wide.Smoothing, wide.SmoothingPasses, wide.GridInterval, wide.ContourGap, wide.ViewpointX,
        wide.ViewpointY, wide.ViewpointZ, wide.ViewpointBearing, wide.ViewpointIncline})
    EXPECT_EQ(value, 40000);
  // A selected symbol without a colour key is black.
  const Loaded uncoloured = LoadText(folder, "[SelectedSymbols]\nSymbolcount=1\nSymbol  0=101\n");
  ASSERT_EQ(uncoloured.model.SelectedSymbols.size(), 1u);
  EXPECT_EQ(uncoloured.model.SelectedSymbols[0].Colour, kBlack);
}

TEST(Settings, AFifoIsReportedAndALeftOverTemporaryRemoved) {
  TempFolder folder;
  testing::HangGuard guard;
  const std::string name = folder.File("terrak50.ini");
  testing::MakeFifo(name);
  Settings settings;
  MapModel model;
  EXPECT_EQ(testing::FileErrorReason([&] { Load(name); }),
            "it is a fifo (a named pipe), not a file");
  EXPECT_THROW(SaveSettings(settings, model, name), FileError);
  std::filesystem::remove(name);
  WriteText(name + ".terrak-save.tmp", "[Files]\nFilename=half");
  Load(name);
  EXPECT_FALSE(std::filesystem::exists(name + ".terrak-save.tmp"));
}

}  // namespace
}  // namespace terrak

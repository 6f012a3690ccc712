// The heights file beside an OCAD 9 map gets the care the map gets: Save asks before it replaces
// another program's changes, refuses a read-only file and a link put in its place, keeps the
// lines it cannot apply; opening refuses anything at its name that is no heights file, and
// checks its first line and its size before reading the rest.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "mapfile/side_file.h"
#include "platform/file_error.h"
#include "map_files.h"
#include "support/file_faults.h"
#include "support/thrown.h"
#include "mapbuild/ocad_build9.h"

namespace terrak {
namespace {

using namespace terrak::testing;
namespace fs = std::filesystem;

constexpr const char* kEmptyHeights = "terrak-heights 1\n";

// An OCAD 9 map with two contours, opened, its first contour given a height in the working copy.
struct HeightsMap {
  MapFiles Files;
  std::string Heights = Files.Map + ".heights";
  std::vector<std::uint8_t> Original;

  explicit HeightsMap(const char* heightsText = kEmptyHeights) {
    Ocad9MapBuilder b(9);
    b.AddSymbol({101000, 2, "Contour"});
    for (int i = 0; i < 2; ++i)
      b.AddObject({.Symbol = 101000, .Points = {CodedPoint::At(i, 0), CodedPoint::At(i, 100)}});
    Original = b.Build();
    WriteBytes(Files.Map, Original);
    if (heightsText != nullptr) WriteText(Heights, heightsText);
    Files.Model.MapFileName = Files.Map;
  }
  OpenResult Open() { return OpenMapFile(Files.Model, Files.WorkingCopy, Files.Dialogs); }
  void OpenAndGiveHeight() {
    ASSERT_EQ(Open(), OpenResult::Opened);
    Files.Model.SelectedSymbols = {{101000, 0}};
    Files.Model.SymbolsSelected = true;
    ReadObjects(Files.Model, Files.WorkingCopy);
    WriteTracedHeights(Files.Model, Files.WorkingCopy, {0}, 250);
  }
  void Save() { SaveMap(Files.Model, Files.WorkingCopy, Files.Dialogs); }
  // The reason of the FileError that Save raises ("" when it saves).
  std::string SaveRefusal() {
    return ThrownText<FileError>([this] { Save(); }, &FileError::Reason, "");
  }
};

TEST(HeightsFile, SaveAsksBeforeReplacingAHeightsFileAnotherProgramChanged) {
  HeightsMap map;
  map.OpenAndGiveHeight();
  const std::string theirs = std::string(kEmptyHeights) + "999999 5 300\n";
  WriteText(map.Heights, theirs);
  map.Files.Dialogs.MessageAnswers = {DialogButton::No};
  EXPECT_THROW(map.Save(), SaveDeclined);
  ASSERT_EQ(map.Files.Dialogs.Messages.size(), 1u);
  EXPECT_EQ(map.Files.Dialogs.Messages[0].Text, SideFileChangedQuestion(map.Heights));
  EXPECT_EQ(map.Files.Dialogs.Messages[0].Buttons, DialogButton::Yes | DialogButton::No);
  EXPECT_EQ(ReadText(map.Heights), theirs);
  EXPECT_EQ(ReadBytes(map.Files.Map), map.Original);  // nothing of the save was written

  map.Files.Dialogs.MessageAnswers = {DialogButton::Yes};
  map.Save();
  EXPECT_EQ(ReadText(map.Heights).find("999999"), std::string::npos);
  // Saved by this program, or only touched since: nothing to ask.
  ASSERT_EQ(::utimensat(AT_FDCWD, map.Heights.c_str(), nullptr, 0), 0);
  map.Save();
  EXPECT_EQ(map.Files.Dialogs.Messages.size(), 2u);
  // Removed by another program: written anew, nothing is lost, nothing asked.
  fs::remove(map.Heights);
  map.Save();
  EXPECT_EQ(map.Files.Dialogs.Messages.size(), 2u);
  EXPECT_TRUE(fs::exists(map.Heights));

  // None when the map was opened, one made by another program since: asked as well.
  HeightsMap fresh(nullptr);
  fresh.OpenAndGiveHeight();
  WriteText(fresh.Heights, theirs);
  fresh.Files.Dialogs.MessageAnswers = {DialogButton::No};
  EXPECT_THROW(fresh.Save(), SaveDeclined);
  EXPECT_EQ(ReadText(fresh.Heights), theirs);
}

TEST(HeightsFile, SaveRefusesAHeightsFileMadeReadOnlyOrALinkPutInItsPlace) {
  HeightsMap map;
  map.OpenAndGiveHeight();
  const std::string notes = map.Files.Folder.File("notes.txt");
  WriteText(notes, "someone's notes");
  fs::remove(map.Heights);
  fs::create_symlink(notes, map.Heights);
  EXPECT_NE(map.SaveRefusal().find("symbolic link"), std::string::npos);
  EXPECT_EQ(ReadText(notes), "someone's notes");
  EXPECT_EQ(ReadBytes(map.Files.Map), map.Original);
  // A link that leads nowhere would make a file wherever it points.
  fs::remove(map.Heights);
  fs::create_symlink(map.Files.Folder.File("elsewhere.txt"), map.Heights);
  EXPECT_NE(map.SaveRefusal().find("symbolic link"), std::string::npos);
  EXPECT_FALSE(fs::exists(map.Files.Folder.File("elsewhere.txt")));

  fs::remove(map.Heights);
  WriteText(map.Heights, kEmptyHeights);
  ASSERT_EQ(::chmod(map.Heights.c_str(), 0444), 0);
  map.Files.Dialogs.MessageAnswers = {DialogButton::Yes};  // it was changed, too
  EXPECT_EQ(map.SaveRefusal(), kReadOnlySideFileReason);
  EXPECT_EQ(ReadText(map.Heights), kEmptyHeights);
  EXPECT_EQ(ReadBytes(map.Files.Map), map.Original);

  // Save As refuses a link at the new heights file's name as well.
  const std::string other = map.Files.Folder.File("other.ocd");
  fs::create_symlink(notes, other + ".heights");
  map.Files.Model.MapFileName = other;
  EXPECT_THROW(SaveMapAs(map.Files.Model, map.Files.WorkingCopy), FileError);
  EXPECT_EQ(ReadText(notes), "someone's notes");
  EXPECT_FALSE(fs::exists(other));

  // A heights file that was a link when the map was opened is written through it.
  HeightsMap linked(nullptr);
  const std::string real = linked.Files.Folder.File("real.heights");
  WriteText(real, kEmptyHeights);
  fs::create_symlink(real, linked.Heights);
  linked.OpenAndGiveHeight();
  linked.Save();
  EXPECT_TRUE(fs::is_symlink(linked.Heights));
  EXPECT_NE(ReadText(real), kEmptyHeights);
}

TEST(HeightsFile, AnythingButAHeightsFileAtItsNameRefusesTheMapNamingIt) {
  HangGuard guard;
  const auto refusal = [](const std::function<void(const std::string&)>& plant) {
    HeightsMap map(nullptr);
    plant(map.Heights);
    const OpenResult result = map.Open();
    EXPECT_FALSE(fs::exists(map.Files.WorkingCopy));
    if (result != OpenResult::NotOcad || map.Files.Dialogs.Messages.size() != 1) return std::string();
    return map.Files.Dialogs.Messages[0].Text;
  };
  const auto named = [](const std::string& message, const std::string& what) {
    return message.find(".ocd.heights\" beside the map cannot be used") != std::string::npos &&
           message.find(what) != std::string::npos &&
           message.find("Move it away to open the map without it") != std::string::npos;
  };
  EXPECT_PRED2(named, refusal([](const std::string& h) { fs::create_directory(h); }), "folder");
  EXPECT_PRED2(named, refusal([](const std::string& h) { MakeFifo(h); }), "fifo");
  EXPECT_PRED2(named, refusal([](const std::string& h) { fs::create_symlink(h + ".gone", h); }),
               "does not exist");
  EXPECT_PRED2(named, refusal([](const std::string& h) { fs::create_symlink(h, h); }), "circle");

  // A file far larger than any map's heights is refused before it is read; one whose first
  // line is no heights file's, whatever its size, is damaged.
  const auto sparse = [](const std::string& first) {
    return [first](const std::string& h) {
      WriteText(h, first);
      ASSERT_EQ(::truncate(h.c_str(), off_t{1} << 31), 0);
    };
  };
  EXPECT_PRED2(named, refusal(sparse(kEmptyHeights)), "far more than the heights");
  // The refusal names the heights file, whose line it speaks of.
  const std::string damaged = refusal(sparse("no heights here\n"));
  EXPECT_EQ(damaged.substr(0, damaged.find('\n')),
            "The heights file beside the map is damaged; move it away to open the map without it");
  EXPECT_TRUE(damaged.ends_with(".ocd.heights: line 1")) << damaged;
}

}  // namespace
}  // namespace terrak

// Save and Save As: over a map another program has changed, on a full disk, in a shut folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include <filesystem>

#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "platform/file_stream.h"
#include "support/file_faults.h"
#include "support/thrown.h"
#include "map_files.h"

namespace terrak {
namespace {

using namespace terrak::testing;
namespace fs = std::filesystem;

OcadMapBuilder OneContour() {
  OcadMapBuilder b(6);
  b.AddSymbol(101, 2, "Contour");
  b.AddObject(Object6{.Symbol = 101, .Height = 0,
                      .Points = {CodedPoint::At(0, 0), CodedPoint::At(100, 100)}});
  return b;
}

// A map opened through the given name, with one height written into the working copy.
struct ChangedMap {
  MapFiles files;
  std::vector<std::uint8_t> original;
  ChangedMap() {
    OcadMapBuilder b = OneContour();
    original = b.Build();
    EXPECT_EQ(files.OpenBytes(original), OpenResult::Opened);
    files.Read({101});
    WriteTracedHeights(files.Model, files.WorkingCopy, {0}, 50);
  }
  void Save() { SaveMap(files.Model, files.WorkingCopy, files.Dialogs); }
};

TEST(SaveMap, AMapChangedByAnotherProgramIsOverwrittenOnlyWhenTheUserSaysSo) {
  {
    // Changed between opening and the first save.
    ChangedMap map;
    std::vector<std::uint8_t> theirs = map.original;
    theirs.push_back(1);
    WriteBytes(map.files.Map, theirs);
    map.files.Dialogs.MessageAnswers = {DialogButton::No};
    EXPECT_THROW(map.Save(), SaveDeclined);
    EXPECT_EQ(ReadBytes(map.files.Map), theirs);
  }
  ChangedMap map;
  const std::string& name = map.files.Map;
  // Touched, not changed: nothing would be lost, nothing is asked.
  ASSERT_EQ(::utimensat(AT_FDCWD, name.c_str(), nullptr, 0), 0);
  map.Save();
  EXPECT_TRUE(map.files.Dialogs.Messages.empty());
  // Saved by this program: the next save has nothing to ask either.
  map.Save();
  EXPECT_TRUE(map.files.Dialogs.Messages.empty());

  // Another copy of the program saves its own change (same size, other bytes).
  std::vector<std::uint8_t> theirs = ReadBytes(name);
  theirs.back() ^= 0xFF;
  WriteBytes(name, theirs);
  map.files.Dialogs.MessageAnswers = {DialogButton::No};
  const std::string declined = ThrownText<SaveDeclined>([&] { map.Save(); }, &SaveDeclined::what);
  EXPECT_NE(declined.find("was not saved"), std::string::npos) << declined;
  ASSERT_EQ(map.files.Dialogs.Messages.size(), 1u);
  EXPECT_EQ(std::tie(map.files.Dialogs.Messages[0].Text, map.files.Dialogs.Messages[0].Type,
                     map.files.Dialogs.Messages[0].Buttons),
            std::tuple(ChangedOnDiskQuestion(name), MessageType::Warning,
                       DialogButton::Yes | DialogButton::No));
  EXPECT_EQ(ReadBytes(name), theirs);

  // Asked again (still changed), and Yes replaces their version; a longer file counts too.
  theirs.push_back(0);
  WriteBytes(name, theirs);
  map.files.Dialogs.MessageAnswers = {DialogButton::Yes};
  map.Save();
  EXPECT_EQ(map.files.Dialogs.Messages.size(), 2u);
  EXPECT_EQ(ReadBytes(name), ReadBytes(map.files.WorkingCopy));

  // After Save As the stamp is that of the new file, so saving it again asks nothing.
  map.files.Model.MapFileName = map.files.Folder.File("copy.ocd");
  SaveMapAs(map.files.Model, map.files.WorkingCopy);
  map.Save();
  EXPECT_EQ(map.files.Dialogs.Messages.size(), 2u);
}

TEST(SaveMap, ARefusedOrFailedSaveLeavesTheMapWholeAndNoTemporary) {
  ChangedMap map;
  const std::string& name = map.files.Map;
  const std::string temporary = name + kSaveTemporarySuffix;
  // A read-only map is not Saved over (Save As can write it elsewhere).
  ASSERT_EQ(::chmod(name.c_str(), 0444), 0);
  EXPECT_EQ(FileErrorReason([&] { map.Save(); }), kReadOnlyMapReason);
  EXPECT_EQ(ReadBytes(name), map.original);
  ASSERT_EQ(::chmod(name.c_str(), 0644), 0);

  // A full disk: the map stays as it was.
  {
    FileSizeLimit full(static_cast<long>(map.original.size()) - 1);
    EXPECT_THROW(map.Save(), FileError);
    EXPECT_THROW(SaveMapAs(map.files.Model, map.files.WorkingCopy), FileError);
  }
  EXPECT_EQ(ReadBytes(name), map.original);
  EXPECT_FALSE(fs::exists(temporary));

  // A fifo or a folder in the map's place is no map to save over.
  fs::remove(name);
  MakeFifo(name);
  HangGuard guard;
  EXPECT_THROW(map.Save(), FileError);
  EXPECT_TRUE(fs::is_fifo(name));
  EXPECT_FALSE(fs::exists(temporary));
}

TEST(SaveMap, AMapInAFolderThatIsNotWritableIsWrittenInPlaceFromTheCacheFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to act as an ordinary user";
  ChangedMap map;
  const std::string shut = map.files.Folder.File("shut");
  fs::create_directory(shut);
  const std::string name = shut + "/map.ocd";
  WriteBytes(name, map.original);
  const std::string cache = map.files.Folder.File("cache");
  fs::create_directory(cache);
  for (const auto& [path, mode] : std::vector<std::pair<std::string, mode_t>>{
           {map.files.Folder.Path(), 0755}, {cache, 0777}, {name, 0666}, {shut, 0555},
           {map.files.WorkingCopy, 0644}})
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
  map.files.Model.MapFileName = name;
  map.files.Model.OpenedFile = {};
  const std::string outcome = RunUnprivileged([&]() -> std::string {
    ScriptedDialogs dialogs;
    const std::string refusal = ThrownText<FileError>(
        [&] { SaveMap(map.files.Model, map.files.WorkingCopy, dialogs); }, &FileError::what,
        "saved without a place for the copy");
    if (refusal.find(shut) == std::string::npos) return refusal;
    SaveMap(map.files.Model, map.files.WorkingCopy, dialogs, {cache});
    return "";
  });
  EXPECT_EQ(outcome, "");
  EXPECT_EQ(ReadBytes(name), ReadBytes(map.files.WorkingCopy));
  EXPECT_TRUE(fs::is_empty(cache));
}

}  // namespace
}  // namespace terrak

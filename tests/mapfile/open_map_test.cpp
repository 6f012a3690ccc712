// Opening maps: the acceptance check and its messages, the setup values, the working copy, the
// symbol list, and damaged files that must be refused without harm.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <tuple>

#include "common/bytes.h"
#include "mapfile/format_of_map.h"
#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "mapfile/ocad_format_error.h"
#include "platform/file_stream.h"
#include "support/file_faults.h"
#include "support/thrown.h"
#include "map_files.h"

namespace terrak {
namespace {

using namespace terrak::testing;

OcadMapBuilder Version5Map() {
  OcadMapBuilder b(5);
  b.Scale(15000).Zoom(3).Offset5(-120, 340);
  b.AddSymbol(101, 2, "Contour");
  b.AddSymbol(5, 1, "Spot height");
  b.AddSymbol(401, 3, "Open land");  // an area symbol: never listed
  b.AddSymbol(1234, 2, "");
  b.AddObject(Object5{.Symbol = 101, .Height = 50, .Pairs = {{0, 0}, {100, 50}}});
  return b;
}

TEST(OpenMapFile, Version5SetupSymbolListAndAnExactWorkingCopy) {
  MapFiles files;
  OcadMapBuilder builder = Version5Map();
  ASSERT_EQ(files.Open(builder), OpenResult::Opened);
  const MapModel& m = files.Model;
  EXPECT_EQ(FormatVersionOf(m), 5);
  EXPECT_EQ(std::tie(m.MapZoom, m.MapOffsetX, m.MapOffsetY, m.MapScale),
            std::tuple(3, -120, 340, 15000.0));
  EXPECT_FALSE(m.MapModified);
  ASSERT_EQ(m.SymbolList.size(), 3u);
  EXPECT_EQ(std::tuple(m.SymbolList[0].Text, m.SymbolList[0].ObjectType, m.SymbolList[1].Text,
                       m.SymbolList[2].Text),
            std::tuple("10.1 Contour", 2, " 0.5 Spot height", "123.4 No Description Found"));
  EXPECT_EQ(ReadBytes(files.WorkingCopy), ReadBytes(files.Map));
  EXPECT_TRUE(files.Dialogs.Messages.empty());
}

TEST(OpenMapFile, Version6And7SetupFromCodedOffsetsAndTheZoomDouble) {
  for (int version : {6, 7}) {
    MapFiles files;
    OcadMapBuilder b(version);
    b.Scale(10000).Zoom(2).Offset6(Coded(1000, 3), Coded(-2000));
    b.AddSymbol(101, 2, "Contour");
    b.AddSymbol(102, 2, std::string(40, 'x'));
    ASSERT_EQ(files.Open(b), OpenResult::Opened) << version;
    EXPECT_EQ(FormatVersionOf(files.Model), version);
    EXPECT_EQ(std::tie(files.Model.MapZoom, files.Model.MapOffsetX, files.Model.MapOffsetY,
                       files.Model.MapScale),
              std::tuple(2, 567, -1134, 10000.0));
    ASSERT_EQ(files.Model.SymbolList.size(), 2u);
    EXPECT_EQ(files.Model.SymbolList[1].Text, "10.2 " + std::string(40, 'x'));
  }
}

TEST(OpenMapFile, ASetupRecordThatEndsTheFileIsReadAsFarAsItGoes) {
  MapFiles files;
  OcadMapBuilder b(6);
  b.Zoom(4).SetupSize(1080).SetupLast(true);
  b.AddSymbol(101, 2, "Contour");
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  EXPECT_EQ(files.Model.MapZoom, 4);  // offset 936 lies inside the 1080 bytes
  EXPECT_EQ(ReadBytes(files.WorkingCopy).size(), ReadBytes(files.Map).size());

  // Ending just after the scale is enough; a byte less is not.
  OcadMapBuilder cut(6);
  cut.Scale(5000).SetupSize(1080).SetupLast(true);
  const std::vector<std::uint8_t> whole = cut.Build();
  for (const std::int64_t size : {32, 31}) {
    MapFiles cutFiles;
    EXPECT_EQ(cutFiles.OpenBytes(std::vector<std::uint8_t>(
                  whole.begin(), whole.begin() + cut.Layout().SetupPos + size)),
              size == 32 ? OpenResult::Opened : OpenResult::NotOcad)
        << size;
    EXPECT_EQ(cutFiles.Model.MapScale, size == 32 ? 5000.0 : 0.0);
  }
}

TEST(OpenMapFile, MissingAndForeignFilesAreReportedAndTheOpenMapStays) {
  MapFiles files;
  OcadMapBuilder good = Version5Map();
  ASSERT_EQ(files.Open(good), OpenResult::Opened);
  files.Read({101});
  const std::vector<std::uint8_t> workingCopy = ReadBytes(files.WorkingCopy);
  files.Model.MapModified = true;

  files.Model.MapFileName = files.Folder.File("nothing-here.ocd");
  EXPECT_EQ(OpenMapFile(files.Model, files.WorkingCopy, files.Dialogs), OpenResult::Missing);

  std::vector<std::uint8_t> wrongVersion = ReadBytes(files.Map);
  PutI16(wrongVersion.data() + 4, 8);
  std::vector<std::uint8_t> wrongMark = ReadBytes(files.Map);
  PutI16(wrongMark.data(), 3246);
  for (const auto& bytes : {wrongVersion, wrongMark, std::vector<std::uint8_t>{0xAD, 0x0C}}) {
    WriteBytes(files.Folder.File("bad.ocd"), bytes);
    files.Model.MapFileName = files.Folder.File("bad.ocd");
    EXPECT_EQ(OpenMapFile(files.Model, files.WorkingCopy, files.Dialogs), OpenResult::NotOcad);
  }

  ASSERT_EQ(files.Dialogs.Messages.size(), 4u);
  EXPECT_EQ(std::tie(files.Dialogs.Messages[0].Text, files.Dialogs.Messages[0].Type,
                     files.Dialogs.Messages[0].Buttons),
            std::tuple("OCAD file does not exist", MessageType::Information,
                       static_cast<unsigned>(DialogButton::Ok)));
  // The program's message, then the file and what was wrong with it.
  const std::string bad = files.Folder.File("bad.ocd");
  EXPECT_EQ(files.Dialogs.Messages[1].Text,
            "File is not the correct OCAD format\n" + bad + ": index block lies outside the file");
  EXPECT_EQ(files.Dialogs.Messages[2].Text,
            "File is not the correct OCAD format\n" + bad +
                ": neither an OCAD map (which starts with the bytes AD 0C) nor a Mapper map (XML); "
                "it starts with AE 0C 00 00 05 00 00 00");
  EXPECT_EQ(files.Dialogs.Messages[3].Text, "File is not the correct OCAD format\n" + bad +
                                                ": an OCAD mark, but too short to hold the OCAD "
                                                "version");
  // Nothing of the open map changed: not its lists, not its working copy, not its flag.
  EXPECT_EQ(FormatVersionOf(files.Model), 5);
  EXPECT_EQ(files.Model.SymbolList.size(), 3u);
  EXPECT_EQ(files.Model.MapObjects.size(), 1u);
  EXPECT_TRUE(files.Model.MapModified);
  EXPECT_EQ(ReadBytes(files.WorkingCopy), workingCopy);
}

TEST(OpenMapFile, DamagedRecordsAreRefusedBeforeTheWorkingCopyChanges) {
  OcadMapBuilder b(6);
  b.AddSymbol(101, 2, "Contour");
  b.AddObject(Object6{.Symbol = 101, .Points = {CodedPoint::At(0, 0), CodedPoint::At(100, 0)}});
  const std::vector<std::uint8_t> good = b.Build();
  const OcadLayout layout = b.Layout();
  const std::int64_t entry = layout.Objects[0].IndexPos;

  std::vector<std::vector<std::uint8_t>> damaged;
  auto variant = [&](auto change) {
    std::vector<std::uint8_t> bytes = good;
    change(bytes);
    damaged.push_back(bytes);
  };
  variant([&](auto& f) { PutI32(f.data() + entry + 16, 1 << 30); });       // object far away
  variant([&](auto& f) { PutI32(f.data() + entry + 16, -64); });           // before the start
  variant([&](auto& f) { PutI16(f.data() + layout.Objects[0].FilePos + 4, 500); });  // nItem
  variant([&](auto& f) { PutI16(f.data() + layout.Objects[0].FilePos + 4, -3); });
  variant([&](auto& f) { PutI32(f.data() + layout.IndexBlocks[0], static_cast<std::int32_t>(layout.IndexBlocks[0])); });  // a circle
  variant([&](auto& f) { PutI32(f.data() + layout.IndexBlocks[0], static_cast<std::int32_t>(f.size()) - 100); });
  variant([&](auto& f) { PutI32(f.data() + 8, static_cast<std::int32_t>(f.size())); });  // symbols
  variant([&](auto& f) { PutI32(f.data() + layout.SymbolBlocks[0] + 4, static_cast<std::int32_t>(f.size()) - 10); });
  variant([&](auto& f) { PutI32(f.data() + 16, static_cast<std::int32_t>(f.size()) - 8); });  // setup
  variant([&](auto& f) { PutDouble(f.data() + layout.SetupPos + 24, 0.0); });  // no scale
  variant([&](auto& f) { PutDouble(f.data() + layout.SetupPos + 24, std::nan("")); });

  MapFiles files;
  OcadMapBuilder first = Version5Map();
  ASSERT_EQ(files.Open(first), OpenResult::Opened);
  const std::vector<std::uint8_t> workingCopy = ReadBytes(files.WorkingCopy);
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    EXPECT_EQ(files.OpenBytes(damaged[i]), OpenResult::NotOcad) << "variant " << i;
    EXPECT_EQ(ReadBytes(files.WorkingCopy), workingCopy) << "variant " << i;
  }
  EXPECT_EQ(FormatVersionOf(files.Model), 5);
}

TEST(OpenMapFile, EveryTruncationOfAMapOpensOrIsRefusedCleanly) {
  for (int version : {5, 6}) {
    OcadMapBuilder b(version);
    b.AddSymbol(101, 2, "Contour");
    if (version == 5)
      b.AddObject(Object5{.Symbol = 101, .Pairs = {{0, 0}, {10, 10}}});
    else
      b.AddObject(Object6{.Symbol = 101, .Points = {CodedPoint::At(0, 0), CodedPoint::At(9, 9)}});
    const std::vector<std::uint8_t> good = b.Build();
    MapFiles files;
    for (std::size_t length = 0; length < good.size(); length += (length < 60 ? 1 : 211)) {
      const std::size_t messages = files.Dialogs.Messages.size();
      const OpenResult result =
          files.OpenBytes(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)));
      if (result == OpenResult::Opened) {
        files.Read({101});  // must not throw on an accepted file
      } else {
        // A refusal tells the user why, once.
        EXPECT_EQ(files.Dialogs.Messages.size(), messages + 1) << version << ": " << length;
      }
    }
    EXPECT_EQ(files.OpenBytes(good), OpenResult::Opened);
  }
}

TEST(OpenMapFile, OtherReadersMayHoldTheMapButNotAWriter) {
  MapFiles files;
  OcadMapBuilder b = Version5Map();
  WriteBytes(files.Map, b.Build());
  files.Model.MapFileName = files.Map;
  {
    const FileStream reader(files.Map, FileMode::ReadDenyWrite);
    EXPECT_EQ(OpenMapFile(files.Model, files.WorkingCopy, files.Dialogs), OpenResult::Opened);
  }
  const FileStream writer(files.Map, FileMode::ReadWriteExclusive);
  EXPECT_THROW(OpenMapFile(files.Model, files.WorkingCopy, files.Dialogs), FileError);
}

TEST(OpenMapFile, LeftoversOfAKilledSaveOrOpenGoAndAFullDiskLeavesNone) {
  MapFiles files;
  OcadMapBuilder b = Version5Map();
  const std::vector<std::string> leftovers = {files.Map + ".terrak-save.tmp",
                                              files.WorkingCopy + ".terrak-save.tmp",
                                              files.WorkingCopy + ".new"};
  for (const std::string& name : leftovers) WriteBytes(name, {1, 2, 3});
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  for (const std::string& name : leftovers) EXPECT_FALSE(std::filesystem::exists(name)) << name;

  // Opening a larger map on a full disk fails; the working copy keeps the open map.
  const std::vector<std::uint8_t> copy = ReadBytes(files.WorkingCopy);
  OcadMapBuilder large = Version5Map();
  for (int i = 0; i < 200; ++i)
    large.AddObject(Object5{.Symbol = 101, .Height = 10, .Pairs = {{0, 0}, {5, 5}, {9, 9}}});
  WriteBytes(files.Map, large.Build());
  {
    FileSizeLimit full(static_cast<long>(copy.size()) + 100);
    EXPECT_THROW(OpenMapFile(files.Model, files.WorkingCopy, files.Dialogs), FileError);
  }
  EXPECT_EQ(ReadBytes(files.WorkingCopy), copy);
  for (const std::string& name : leftovers) EXPECT_FALSE(std::filesystem::exists(name)) << name;
}

TEST(OpenMapFile, AFifoInPlaceOfTheMapOrTheWorkingCopyIsRefusedAtOnce) {
  MapFiles files;
  HangGuard guard;
  MakeFifo(files.Map);
  files.Model.MapFileName = files.Map;
  const auto open = [&] { OpenMapFile(files.Model, files.WorkingCopy, files.Dialogs); };
  EXPECT_EQ(ThrownText<FileError>(open, &FileError::FileName), files.Map);
  EXPECT_EQ(FileErrorReason(open), "it is a fifo (a named pipe), not a file");
  std::filesystem::remove(files.Map);
  OcadMapBuilder b = Version5Map();
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  std::filesystem::remove(files.WorkingCopy);
  MakeFifo(files.WorkingCopy);
  files.Select({101});
  // The objects come from the bytes the format holds; the first write meets the fifo.
  ReadObjects(files.Model, files.WorkingCopy);
  EXPECT_THROW(WriteTracedHeights(files.Model, files.WorkingCopy, {0}, 10), FileError);
  EXPECT_THROW(OpenMapFile(files.Model, files.WorkingCopy, files.Dialogs), FileError);
  EXPECT_TRUE(std::filesystem::is_fifo(files.WorkingCopy));
}

}  // namespace
}  // namespace terrak

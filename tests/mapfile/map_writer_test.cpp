// Writes into the working copy change exactly the named bytes and nothing else; Save copies the
// working copy over the map byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "common/bytes.h"
#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "platform/file_stream.h"
#include "map_files.h"

namespace terrak {
namespace {

using namespace terrak::testing;

std::vector<std::size_t> Range(std::size_t from, std::size_t count) {
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < count; ++i) positions.push_back(from + i);
  return positions;
}

// Bytes of `after` at the given positions.
std::vector<std::uint8_t> At(const std::vector<std::uint8_t>& bytes, std::size_t from,
                             std::size_t count) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
          bytes.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

OcadMapBuilder ThreeContours(int version) {
  OcadMapBuilder b(version);
  b.AddSymbol(101, 2, "Contour");
  b.AddSymbol(102, 2, "Index contour");
  for (int i = 0; i < 3; ++i) {
    if (version == 5)
      b.AddObject(Object5{.Symbol = 101, .Height = 77,
                          .Pairs = {{static_cast<std::int16_t>(i), 0}, {100, 100}}});
    else
      b.AddObject(Object6{.Symbol = 101, .Height = 77,
                          .Points = {CodedPoint::At(i, 0), CodedPoint::At(100, 100)}});
  }
  return b;
}

TEST(WriteTracedHeights, OcadFiveToSevenPatchTheHeightFieldAndTheSymbolFields) {
  for (int version : {5, 6, 7}) {
    SCOPED_TRACE(version);
    MapFiles files;
    OcadMapBuilder b = ThreeContours(version);
    ASSERT_EQ(files.Open(b), OpenResult::Opened);
    files.Read({101});
    const std::vector<std::uint8_t> before = ReadBytes(files.WorkingCopy);
    // OCAD 5's 16-bit field at 10; 6 and 7 sign-extend the height into 32 bits at 12.
    const ObjectLayout& object1 = b.Layout().Objects[1];
    const std::size_t field = static_cast<std::size_t>(object1.FilePos) + (version == 5 ? 10 : 12);
    const std::size_t size = version == 5 ? 2 : 4;
    const auto written = [&](std::int32_t height, std::vector<std::uint8_t> bytes) {
      WriteTracedHeights(files.Model, files.WorkingCopy, {1}, height);
      const std::vector<std::uint8_t> after = ReadBytes(files.WorkingCopy);
      bytes.resize(size);
      EXPECT_EQ(At(after, field, size), bytes) << height;
      return DifferingBytes(before, after);
    };
    EXPECT_EQ(written(1234, {0xD2, 0x04, 0x00, 0x00}), Range(field, 2));
    EXPECT_EQ(written(-5, {0xFB, 0xFF, 0xFF, 0xFF}), Range(field, size));
    // The field keeps no height of 0 or below: the model reads the write back as none.
    EXPECT_FALSE(files.Model.MapObjects[1].HasHeight);
    // Beyond 16 bits: refused before anything is written.
    EXPECT_THROW(WriteTracedHeights(files.Model, files.WorkingCopy, {0, 1}, 32768),
                 std::out_of_range);
    EXPECT_EQ(DifferingBytes(before, ReadBytes(files.WorkingCopy)), Range(field, size));

    // A symbol goes into the index (OCAD 5's record at 16, the entry at 22) and the object.
    WriteObjectSymbols(files.Model, files.WorkingCopy, {2}, 102);
    const ObjectLayout& object2 = b.Layout().Objects[2];
    std::vector<std::size_t> changed = Range(field, size);
    changed.push_back(static_cast<std::size_t>(object2.IndexPos) + (version == 5 ? 16 : 22));
    changed.push_back(static_cast<std::size_t>(object2.FilePos));
    std::sort(changed.begin(), changed.end());
    EXPECT_EQ(DifferingBytes(before, ReadBytes(files.WorkingCopy)), changed);
  }
}

TEST(ClearAllHeights, InformsFirstAndZeroesEveryLoadedObject) {
  MapFiles files;
  OcadMapBuilder b = ThreeContours(6);
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  files.Read({101});
  ClearAllHeights(files.Model, files.WorkingCopy, files.Dialogs);
  ASSERT_EQ(files.Dialogs.Messages.size(), 1u);
  EXPECT_EQ(files.Dialogs.Messages[0].Text, "Clearing all height values");
  EXPECT_EQ(files.Dialogs.Messages[0].Type, MessageType::Information);
  ReadObjects(files.Model, files.WorkingCopy);
  for (const TMapObject& o : files.Model.MapObjects) EXPECT_EQ(o.Height, 0);

  // With nothing loaded the file stays as it is, yet the message shows and the map counts as
  // changed.
  MapFiles empty;
  OcadMapBuilder e = ThreeContours(5);
  ASSERT_EQ(empty.Open(e), OpenResult::Opened);
  const std::vector<std::uint8_t> before = ReadBytes(empty.WorkingCopy);
  ClearAllHeights(empty.Model, empty.WorkingCopy, empty.Dialogs);
  EXPECT_EQ(ReadBytes(empty.WorkingCopy), before);
  EXPECT_EQ(empty.Dialogs.Messages.size(), 1u);
  EXPECT_TRUE(empty.Model.MapModified);
}

TEST(WriteZoomAndOffset, PatchTheSetupRecordOfEachVersionAndNeverGrowTheFile) {
  for (int version : {5, 6}) {
    MapFiles files;
    OcadMapBuilder b = ThreeContours(version);
    ASSERT_EQ(files.Open(b), OpenResult::Opened);
    const std::vector<std::uint8_t> before = ReadBytes(files.WorkingCopy);
    const auto setup = static_cast<std::size_t>(b.Layout().SetupPos);
    files.Model.MapZoom = version == 5 ? 5 : 2;
    WriteZoom(files.Model, files.WorkingCopy);
    files.Model.MapOffsetX = version == 5 ? -2 : 567;
    files.Model.MapOffsetY = version == 5 ? 300 : -1;
    WriteOffset(files.Model, files.WorkingCopy);
    const std::vector<std::uint8_t> after = ReadBytes(files.WorkingCopy);
    if (version == 5) {
      EXPECT_EQ(At(after, setup + 8, 6),
                (std::vector<std::uint8_t>{0x05, 0x00, 0xFE, 0xFF, 0x2C, 0x01}));
      for (std::size_t p : DifferingBytes(before, after))
        EXPECT_TRUE(p >= setup + 8 && p < setup + 14) << p;
      continue;
    }
    EXPECT_EQ(GetDouble(after.data() + setup + 936), 2.0);
    EXPECT_EQ(GetI32(after.data() + setup), ModelToCoord6(567));
    EXPECT_EQ(GetI32(after.data() + setup + 4), ModelToCoord6(-1));
    for (std::size_t p : DifferingBytes(before, after))
      EXPECT_TRUE(p < setup + 8 || (p >= setup + 936 && p < setup + 944)) << p;
    EXPECT_TRUE(files.Model.MapModified);
  }

  // A setup record that ends the file never grows it.
  MapFiles files;
  OcadMapBuilder b(6);
  b.SetupSize(1080).SetupLast(true);
  std::vector<std::uint8_t> bytes = b.Build();
  bytes.resize(static_cast<std::size_t>(b.Layout().SetupPos) + 900);  // ends before the zoom
  ASSERT_EQ(files.OpenBytes(bytes), OpenResult::Opened);
  EXPECT_EQ(files.Model.MapZoom, 0);  // missing bytes read as zero
  const std::vector<std::uint8_t> before = ReadBytes(files.WorkingCopy);
  files.Model.MapZoom = 3;
  WriteZoom(files.Model, files.WorkingCopy);
  EXPECT_EQ(ReadBytes(files.WorkingCopy), before);
  files.Model.MapOffsetX = 100;
  WriteOffset(files.Model, files.WorkingCopy);
  EXPECT_EQ(ReadBytes(files.WorkingCopy).size(), before.size());

  // A zoom field that ends the file is written.
  bytes.resize(static_cast<std::size_t>(b.Layout().SetupPos) + 944);
  ASSERT_EQ(files.OpenBytes(bytes), OpenResult::Opened);
  files.Model.MapZoom = 3;
  WriteZoom(files.Model, files.WorkingCopy);
  EXPECT_EQ(GetDouble(ReadBytes(files.WorkingCopy).data() + b.Layout().SetupPos + 936), 3.0);
}

TEST(SaveMap, CopiesTheWorkingCopyExactlyRefusesAMissingTargetAndSaveAsReplacesWhole) {
  MapFiles files;
  OcadMapBuilder b = ThreeContours(7);
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  const std::vector<std::uint8_t> original = ReadBytes(files.Map);
  SaveMap(files.Model, files.WorkingCopy, files.Dialogs);
  EXPECT_EQ(ReadBytes(files.Map), original);  // an unchanged map saves identical
  // A changed one: FormatOpen.HeightsAndSymbolsChangeTheWorkingCopyAsTheFormatPatchesIt.

  MapModel elsewhere = files.Model;
  elsewhere.MapFileName = files.Folder.File("gone.ocd");
  EXPECT_THROW(SaveMap(elsewhere, files.WorkingCopy, files.Dialogs), FileError);
  EXPECT_FALSE(FileExists(elsewhere.MapFileName));

  // Save As replaces a longer file whole. (A new file:
  // FormatOpen.Ocad9HeightsLiveBesideTheMapAndSaveWritesThemThere.)
  WriteBytes(files.Folder.File("long.ocd"), std::vector<std::uint8_t>(100000, 0xEE));
  files.Model.MapFileName = files.Folder.File("long.ocd");
  SaveMapAs(files.Model, files.WorkingCopy);
  EXPECT_EQ(ReadBytes(files.Model.MapFileName), ReadBytes(files.WorkingCopy));
}

}  // namespace
}  // namespace terrak

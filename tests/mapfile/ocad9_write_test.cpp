// Writing into OCAD 9 to 2018 maps: a height goes into exactly the height field of its object
// (version 9: into the heights file beside the map), a symbol into the index entry and the
// object; every other byte of the file stays as it was.
#include <gtest/gtest.h>

#include "common/bytes.h"
#include "mapfile/map_formats.h"
#include "mapfile/ocad9/height_sidecar.h"
#include "mapfile/ocad9/ocad9_map.h"
#include "map_files.h"
#include "mapbuild/ocad_build9.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using namespace terrak::testing;
using ocad9::Ocad9Map;

Ocad9MapBuilder ThreeContours(int version) {
  Ocad9MapBuilder b(version);
  b.AddSymbol({101000, 2, "Contour"});
  b.AddSymbol({102000, 2, "Index contour"});
  for (int i = 0; i < 3; ++i)
    b.AddObject({.Symbol = 101000,
                 .Points = {CodedPoint::At(i, 0), CodedPoint::At(i, 100)},
                 .Height = version == 9 ? 0 : 7});
  return b;
}

// A line of the heights file: the object's index entry and record, then the height.
std::string Line(const Object9Layout& o, std::int64_t tenths, std::int64_t entry = -1) {
  return std::to_string(entry < 0 ? o.EntryPos : entry) + " " + std::to_string(o.FilePos) + " " +
         std::to_string(tenths) + "\n";
}

TEST(Ocad9Write, AHeightPatchesExactlyItsObjectsHeightField) {
  struct Case {
    int Version;
    std::optional<std::int32_t> Tenths;
    std::int32_t Stored;
  };
  // 0 m is the field's smallest step, which reads back as 0 m; no height is 0. Heights beyond
  // 3276.7 m and below 0 m go in whole.
  for (const Case c : {Case{10, 3725, 372500}, Case{11, 3725, 95360000}, Case{12, -15, -384000},
                       Case{2018, std::nullopt, 0}, Case{2018, 0, 1}, Case{11, 32767, 838835200},
                       Case{12, 33750, 864000000}, Case{10, -4000000, -400000000},
                       Case{11, 83886, 2147481600}, Case{12, -83886, -2147481600}}) {
    SCOPED_TRACE(c.Version);
    Ocad9MapBuilder b = ThreeContours(c.Version);
    const std::vector<std::uint8_t> original = b.Build();
    const auto map = Ocad9Map::Open(original, std::nullopt);
    const std::int64_t key = b.Layout().Objects[1].EntryPos;
    const std::vector<BytePatch> patches = map->WriteHeights({{key, c.Tenths}});

    std::vector<std::uint8_t> expected = original;
    PutI32(expected.data() + b.Layout().Objects[1].HeightPos, c.Stored);
    EXPECT_TRUE(map->Bytes() == expected);
    ASSERT_EQ(patches.size(), 1u);
    std::vector<std::uint8_t> copy = original;
    ApplyPatches(copy, patches);
    EXPECT_TRUE(copy == expected);
    EXPECT_EQ(map->ReadObjects(All).Objects[1].HeightTenths, c.Tenths.value_or(0));
    EXPECT_EQ(map->ReadObjects(All).Objects[1].HasHeight, c.Tenths.has_value());
    EXPECT_TRUE(map->Sidecars().empty());
  }
  // Beyond the field: refused.
  Ocad9MapBuilder b = ThreeContours(12);
  const auto map = Ocad9Map::Open(b.Build(), std::nullopt);
  EXPECT_EQ(map->Info().HighestHeight, 83886);
  for (const std::int32_t tenths : {83887, -83887})
    EXPECT_THROW(map->WriteHeights({{b.Layout().Objects[1].EntryPos, tenths}}), std::out_of_range);
}

TEST(Ocad9Write, ASymbolGoesIntoTheIndexEntryAndTheObject) {
  for (int version : {9, 11, 12}) {
    SCOPED_TRACE(version);
    Ocad9MapBuilder b = ThreeContours(version);
    const std::vector<std::uint8_t> original = b.Build();
    const auto map = Ocad9Map::Open(original, std::nullopt);
    map->WriteSymbol({b.Layout().Objects[0].EntryPos, b.Layout().Objects[2].EntryPos}, 102000);
    std::vector<std::uint8_t> expected = original;
    for (int i : {0, 2}) {
      PutI32(expected.data() + b.Layout().Objects[i].EntryPos + 24, 102000);
      PutI32(expected.data() + b.Layout().Objects[i].FilePos, 102000);
    }
    EXPECT_TRUE(map->Bytes() == expected);
    const ObjectsRead read = map->ReadObjects([](std::int32_t s) { return s == 102000; });
    ASSERT_EQ(read.Objects.size(), 2u);
    EXPECT_EQ(read.Objects[1].Key, b.Layout().Objects[2].EntryPos);
  }
}

TEST(Ocad9Write, VersionNineKeepsHeightsBesideTheMapAndTheMapUnchanged) {
  TempFolder folder;
  const std::string name = folder.File("forest.ocd");
  Ocad9MapBuilder b = ThreeContours(9);
  const std::vector<std::uint8_t> original = b.Build();
  WriteBytes(name, original);
  const Object9Layout& first = b.Layout().Objects[0];
  const Object9Layout& third = b.Layout().Objects[2];
  {
    const auto map = OpenFormatMap(ReadBytes(name), name);
    EXPECT_TRUE(map->Sidecars().empty());  // no heights, no file
    EXPECT_TRUE(map->WriteHeights({{first.EntryPos, 2200}, {third.EntryPos, -5}}).empty());
    map->WriteHeights({{b.Layout().Objects[1].EntryPos, 0}});
    map->WriteHeights({{b.Layout().Objects[1].EntryPos, std::nullopt}});
    EXPECT_TRUE(map->Bytes() == original);
    const std::vector<SidecarFile> sidecars = map->Sidecars();
    ASSERT_EQ(sidecars.size(), 1u);
    EXPECT_EQ(sidecars[0].Suffix, ".heights");
    const std::string text(sidecars[0].Bytes.begin(), sidecars[0].Bytes.end());
    EXPECT_EQ(text, "terrak-heights 1\n" + Line(first, 2200) + Line(third, -5));
    WriteBytes(name + sidecars[0].Suffix, sidecars[0].Bytes);
  }
  const auto reopened = OpenFormatMap(ReadBytes(name), name);
  const ObjectsRead read = reopened->ReadObjects(All);
  EXPECT_EQ(read.Objects[0].HeightTenths, 2200);
  EXPECT_FALSE(read.Objects[1].HasHeight);
  EXPECT_EQ(read.Objects[2].HeightTenths, -5);
  EXPECT_TRUE(read.Objects[2].HasHeight);
  // 0 m and heights beyond 16 bits are lines like any other.
  reopened->WriteHeights({{first.EntryPos, 0}, {third.EntryPos, 33750}});
  const std::vector<SidecarFile> heights = reopened->Sidecars();
  ASSERT_EQ(heights.size(), 1u);
  EXPECT_EQ(std::string(heights[0].Bytes.begin(), heights[0].Bytes.end()),
            "terrak-heights 1\n" + Line(first, 0) + Line(third, 33750));
  const auto again = Ocad9Map::Open(ReadBytes(name), heights[0].Bytes);
  EXPECT_TRUE(again->ReadObjects(All).Objects[0].HasHeight);
  EXPECT_EQ(again->ReadObjects(All).Objects[0].HeightTenths, 0);
  EXPECT_EQ(again->ReadObjects(All).Objects[2].HeightTenths, 33750);
  // Cleared, the height leaves the file; the file stays so the clearing is kept.
  reopened->WriteHeights({{first.EntryPos, std::nullopt}, {third.EntryPos, std::nullopt}});
  const std::vector<SidecarFile> cleared = reopened->Sidecars();
  ASSERT_EQ(cleared.size(), 1u);
  EXPECT_EQ(std::string(cleared[0].Bytes.begin(), cleared[0].Bytes.end()), "terrak-heights 1\n");
}

TEST(Ocad9Write, SidecarLinesOfObjectsThatMovedApplyToNothingAndAreKept) {
  Ocad9MapBuilder b = ThreeContours(9);
  const std::vector<std::uint8_t> bytes = b.Build();
  const Object9Layout& first = b.Layout().Objects[0];
  const Object9Layout& second = b.Layout().Objects[1];
  const std::string movedLine = Line(first, 200, second.EntryPos);
  const std::string firstLine = Line(first, 100);
  const std::string thirdLine = Line(b.Layout().Objects[2], 0);
  const std::string text =
      "terrak-heights 1\r\n" + firstLine + movedLine + "999999 5 300\n" + thirdLine;
  const auto map = Ocad9Map::Open(bytes, std::vector<std::uint8_t>(text.begin(), text.end()));
  const ObjectsRead read = map->ReadObjects(All);
  EXPECT_EQ(read.Objects[0].HeightTenths, 100);
  EXPECT_FALSE(read.Objects[1].HasHeight);
  EXPECT_TRUE(read.Objects[2].HasHeight);  // a line of 0 is a height of 0 m
  EXPECT_EQ(read.Objects[2].HeightTenths, 0);
  const auto saved = [&map] {
    const std::vector<SidecarFile> sidecars = map->Sidecars();
    EXPECT_EQ(sidecars.size(), 1u);
    return sidecars.empty() ? std::string()
                            : std::string(sidecars[0].Bytes.begin(), sidecars[0].Bytes.end());
  };
  EXPECT_EQ(saved(), "terrak-heights 1\n" + firstLine + movedLine + thirdLine + "999999 5 300\n");
  // A height given to the object its entry points at now takes the entry's line.
  map->WriteHeights({{second.EntryPos, 50}});
  EXPECT_EQ(saved(), "terrak-heights 1\n" + firstLine + Line(second, 50) + thirdLine + "999999 5 300\n");
}

TEST(Ocad9Write, ADamagedHeightsFileIsRefusedWithItsLine) {
  const std::vector<std::uint8_t> bytes = ThreeContours(9).Build();
  for (const char* text : {"", "terrak-heights 2\n", "terrak-heights 1\n12 x 3\n",
                           "terrak-heights 1\n12 34\n", "terrak-heights 1\n12 34 2147483648\n",
                           "terrak-heights 1\n-12 34 5\n", "terrak-heights 1\n0 34 5\n",
                           "terrak-heights 1\n12 0 5\n", "terrak-heights 1\n12 34 5 6\n"}) {
    SCOPED_TRACE(text);
    const std::string s(text);
    EXPECT_EQ(ThrownText<MapFormatError>(
                  [&] { Ocad9Map::Open(bytes, std::vector<std::uint8_t>(s.begin(), s.end())); },
                  &MapFormatError::what),
              "The heights file beside the map is damaged; move it away to open the map "
              "without it");
  }
}

}  // namespace
}  // namespace terrak

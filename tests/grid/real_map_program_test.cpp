// The real Mapper map beside the project (domaine-mas-nau.omap) the whole way through the
// program: opened as the main window opens maps, its contours read with their tag heights, the
// grid built from them, and a changed height saved and read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "grid/contour_range.h"
#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "mapfile/format_of_map.h"
#include "mapfile/map_format.h"
#include "mapfile/ocad_file.h"
#include "platform/file_stream.h"
#include "support/outside_data.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

const std::string kRealMap = RealMapperMap();

struct RealMap {
  TempFolder Folder;
  SystemPaths Paths = Folder.Paths();
  std::string Map = Folder.File("mas-nau.omap");
  ScriptedDialogs Dialogs;
  MapModel Model;

  // Opened with the heights of tag f321610 and its two contour symbols read; a copy of the real
  // map unless Map already holds one.
  void OpenWithContours(bool copy = true) {
    if (copy) {
      std::filesystem::copy_file(kRealMap, Map);
      std::filesystem::permissions(Map, std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add);
    }
    Model.MapFileName = Map;
    ASSERT_EQ(OpenMapFile(Model, Paths.WorkingCopy, Dialogs), OpenResult::Opened);
    HeightTagChoice* tags = HeightTagsOf(Model);
    ASSERT_NE(tags, nullptr);
    tags->SetHeightTag("f321610");
    Model.SelectedSymbols = {{101000, kBlack}, {102000, kBlack}};
    Model.SymbolsSelected = true;
    ReadObjects(Model, Paths.WorkingCopy);
  }
};

// The grid lies within the range of the contours (220 to 405 m) but for the step the
// interpolation extrapolates by on flats, at contour gaps 50 and 10 (with smoothing). By the
// map's western edge it had cells of 155.0, 103.3 and 51.6 m: scans stopping at column 0, on a
// contour of 310 m running along it, reported the cell beside it as that contour's last cell,
// and the extrapolation took its earlier estimate, stored as -310 m, for a contour 620 m below.
TEST(RealMapProgram, TheGridStaysWithinTheContoursRange) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  RealMap f;
  f.OpenWithContours();
  ASSERT_EQ(f.Model.MapObjects.size(), 103u);  // every contour with its tag height
  for (const std::int32_t gap : {50, 10}) {
    const Settings settings{.Smoothing = gap == 10 ? 30 : 0, .ContourGap = gap, .File = {}};
    const StagedGrid grid = BuildGridInStages(f.Model, settings);
    const ContourRange range = CheckContourRange(grid);
    // The contours span about 1.5 by 1.2 km; most of it is covered.
    const auto& heights = grid.Built.HeightGrid;
    const std::int64_t cells = heights.Columns() * heights.Rows();
    const auto covered =
        std::count_if(heights.Data(), heights.Data() + cells, [](auto v) { return v != 0; });
    EXPECT_GT(covered, cells / 3) << gap;
    EXPECT_EQ(std::tuple(range.Lowest, range.Highest), std::tuple(2200, 4050));
    EXPECT_LE(range.Allowance, 100) << gap;  // two contour intervals
    EXPECT_EQ(range.CellsBeyond, 0) << gap << ": a cell " << range.Furthest << " beyond";
  }
}

TEST(RealMapProgram, AChangedHeightIsSavedAsOnlyThatTagsTextAndReadBack) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  RealMap f;
  f.OpenWithContours();
  const std::vector<std::uint8_t> before = ReadBytes(f.Map);
  const std::int32_t old = f.Model.MapObjects[5].Height;
  WriteTracedHeights(f.Model, f.Paths.WorkingCopy, {5}, 3125);
  EXPECT_TRUE(f.Model.MapModified);
  EXPECT_EQ(ReadBytes(f.Map), before);  // the map itself waits for Save
  SaveMap(f.Model, f.Paths.WorkingCopy, f.Dialogs);
  const std::vector<std::uint8_t> after = ReadBytes(f.Map);

  // One stretch differs: the tag's old text ("372.5", say) became "312.5".
  const auto first = std::mismatch(before.begin(), before.end(), after.begin(), after.end());
  const auto last = std::mismatch(before.rbegin(), before.rend(), after.rbegin(), after.rend());
  const auto from = static_cast<std::size_t>(first.first - before.begin());
  const std::size_t oldEnd = before.size() - static_cast<std::size_t>(last.first - before.rbegin());
  const std::size_t newEnd = after.size() - static_cast<std::size_t>(last.second - after.rbegin());
  ASSERT_LT(from, newEnd);
  const std::string tail(before.begin() + static_cast<std::ptrdiff_t>(oldEnd),
                         before.begin() + static_cast<std::ptrdiff_t>(oldEnd) + 4);
  EXPECT_EQ(tail.substr(0, 4), "</t>");
  const std::string head(after.begin() + static_cast<std::ptrdiff_t>(from) - 15,
                         after.begin() + static_cast<std::ptrdiff_t>(newEnd));
  EXPECT_NE(head.find("k=\"f321610\">"), std::string::npos) << head;
  EXPECT_NE(head.find("312.5"), std::string::npos) << head;
  EXPECT_NE(old, 3125);

  // Opened again, the object carries the new height and the others theirs.
  RealMap again;
  again.Map = f.Map;
  again.OpenWithContours(false);
  ASSERT_EQ(again.Model.MapObjects.size(), f.Model.MapObjects.size());
  for (std::size_t i = 0; i < f.Model.MapObjects.size(); ++i)
    EXPECT_EQ(again.Model.MapObjects[i].Height, f.Model.MapObjects[i].Height) << i;
  EXPECT_EQ(again.Model.MapObjects[5].Height, 3125);
}

}  // namespace
}  // namespace terrak

// Built grids stay within the range of their contours, widened only by the step the
// interpolation extrapolates by on flats. Cells near the outline used to take the values that
// scans stopping at the grid's limits reported (0 and earlier estimates stored negated) for
// heights: pits of a few metres among contours of 125 m and more, and estimates stored
// positive as if they were contours.
#include <gtest/gtest.h>

#include <string>

#include "grid/contour_range.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapbuild/demo_map.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::CheckContourRange;
using testing::ContourRange;

MapModel OpenWithContours(const std::string& file, const testing::TempFolder& folder,
                          std::int32_t contour, std::int32_t indexContour) {
  MapModel model;
  model.MapFileName = file;
  testing::ScriptedDialogs dialogs;
  EXPECT_EQ(OpenMapFile(model, folder.File("OCADCopy.tmp"), dialogs), OpenResult::Opened) << file;
  model.SelectedSymbols = {{contour, kBlack}, {indexContour, kBlack}};
  model.SymbolsSelected = true;
  ReadObjects(model, folder.File("OCADCopy.tmp"));
  return model;
}

struct Build {
  std::int32_t Gap, Smoothing, Passes;
};
constexpr Build kBuilds[] = {{50, 0, 1}, {10, 0, 1}, {0, 0, 1}, {50, 40, 2}};

ContourRange Checked(const MapModel& model, const Build& b, const std::string& what) {
  const Settings settings{.Smoothing = b.Smoothing, .SmoothingPasses = b.Passes, .ContourGap = b.Gap,
                          .File = {}};
  const ContourRange range = CheckContourRange(testing::BuildGridInStages(model, settings));
  EXPECT_EQ(range.CellsBeyond, 0)
      << what << " gap " << b.Gap << ": contours " << range.Lowest << " to " << range.Highest
      << ", a cell " << range.Furthest << " beyond, allowed " << range.Allowance;
  return range;
}

// The demo map in versions 7 and 12 and as a Mapper map: contours every 5 m from 125 to 225 m,
// one line in nine without a height. Its grid had cells of 1.5 and 32.4 m by the eastern edge.
TEST(ContourRange, SampleMapsStayWithinTheirContours) {
  testing::TempFolder folder;
  const std::string samples = std::string(TERRAK_SOURCE_DIR) + "/samples/";
  const struct {
    std::string File;
    std::int32_t Contour, IndexContour;
  } maps[] = {{"demo7.ocd", 101, 102}, {"demo12.ocd", 101000, 102000}, {"demo.omap", 101000, 102000}};
  for (const auto& map : maps) {
    const MapModel model = OpenWithContours(samples + map.File, folder, map.Contour, map.IndexContour);
    for (const Build& b : kBuilds) {
      const ContourRange range = Checked(model, b, map.File);
      EXPECT_EQ(std::tuple(range.Lowest, range.Highest), std::tuple(1250, 2250));
      // Two contour steps, where a flat's next contour beyond is the one past a line left
      // without a height.
      EXPECT_EQ(range.Allowance, 100) << map.File << " gap " << b.Gap;
    }
  }
}

// Demo terrains of other sizes, seeds and contour intervals, at contour gaps 0, 10 and 50 and
// with smoothing: contours meeting the grid's edges at every angle.
TEST(ContourRange, DemoTerrainsStayWithinTheirContours) {
  testing::TempFolder folder;
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    const testing::DemoMapOptions options{
        .Width = 180.0 + 61 * seed, .Depth = 150.0 + 43 * seed, .Interval = seed % 3 == 0 ? 2.5 : 5, .Seed = seed};
    const std::string file = folder.File("demo" + std::to_string(seed) + ".ocd");
    testing::WriteBytes(file, testing::DemoMapBuilder(testing::MakeDemoMap(options), 7, 10000).Build());
    const MapModel model = OpenWithContours(file, folder, testing::kDemoContour, testing::kDemoIndexContour);
    for (const Build& b : kBuilds) {
      const ContourRange range = Checked(model, b, "seed " + std::to_string(seed));
      // A few contour intervals: the bound says something.
      EXPECT_LE(range.Allowance, 3 * 10 * options.Interval) << seed;
    }
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace terrak

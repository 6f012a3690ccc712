// Heights at or below 0 m and above 3276.7 m reach the DEM, read back by GDAL, and the models as
// they are on the ground.
#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <set>

#include "export/dem_export.h"
#include "export/dem_raster.h"
#include "export/terrain_mesh.h"
#include "support/exported_files.h"
#include "support/ring_map.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::BuildRingGrid;
using testing::Ring;
using testing::RingMap;

// Contours at -5, 0, 5 and 10 m round a hollow; the same 3275 to 3290 m up.
const std::vector<Ring> kRings = {{40, 40, 40, 100}, {40, 40, 30, 50}, {40, 40, 20, 0},
                                  {40, 40, 10, -50}};

TEST(DemHeights, TheDemHoldsTrueHeightsBelowZeroAndAbove3276Metres) {
  testing::TempFolder folder;
  for (const std::int32_t shift : {0, 32800}) {
    SCOPED_TRACE(shift);
    const GridState grid = BuildRingGrid(RingMap(kRings, shift));
    ASSERT_FALSE(grid.HeightGrid.Empty());
    const std::string file = folder.File("dem" + std::to_string(shift) + ".tif");
    WriteDemFile(file, grid, Georeferencing{}, DemOptions{});
    const testing::Dataset d = testing::OpenDataset(file);
    ASSERT_TRUE(d);
    const std::int64_t columns = grid.HeightGrid.Columns(), rows = grid.HeightGrid.Rows();
    ASSERT_EQ(d->GetRasterXSize(), columns);
    ASSERT_EQ(d->GetRasterYSize(), rows);
    std::vector<float> pixels(static_cast<std::size_t>(columns * rows));
    ASSERT_EQ(d->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, static_cast<int>(columns),
                                            static_cast<int>(rows), pixels.data(),
                                            static_cast<int>(columns), static_cast<int>(rows),
                                            GDT_Float32, 0, 0, nullptr),
              CE_None);
    const double noData = d->GetRasterBand(1)->GetNoDataValue();
    ExportProgressCallback none;
    ExportProgress progress(none);
    std::set<float> contours;
    float lowest = 1e9f, highest = -1e9f;
    for (std::int64_t y = 0; y < rows; ++y)
      for (std::int64_t x = 0; x < columns; ++x) {
        const std::int16_t cell = grid.HeightGrid(x, y);
        const float pixel = pixels[static_cast<std::size_t>((rows - 1 - y) * columns + x)];
        if (cell == 0) {
          EXPECT_EQ(pixel, noData);
          continue;
        }
        EXPECT_EQ(pixel, static_cast<float>(CellMetres(grid, cell)));
        const float metres = pixel - static_cast<float>(shift) / 10.0f;
        lowest = std::min(lowest, metres);
        highest = std::max(highest, metres);
        if (cell > 0) contours.insert(metres);
      }
    // Every contour at its height (0 m is one); the hollow below -5 m by less than a step, and
    // nothing flipped to the other side of 0 m.
    for (const float contour : {-5.0f, 0.0f, 5.0f, 10.0f}) EXPECT_TRUE(contours.count(contour)) << contour;
    EXPECT_LT(lowest, -5.0f);
    EXPECT_GE(lowest, -10.0f);
    EXPECT_EQ(highest, 10.0f);

    // A map turned against grid north is resampled: its heights stay within the same range.
    const Georeferencing turned = GeoreferencingFromOffsetAngle(500000.0, 4000000.0, 30.0, 1.0);
    const float resampledNoData = -99999.0f;
    const DemRaster raster = MakeDemRaster(grid.HeightGrid, grid.GridMinX, grid.GridMinY,
                                           grid.HeightBase, turned, DemRotation::NorthUp, 0.0,
                                           resampledNoData, progress);
    ASSERT_TRUE(raster.Resampled);
    std::size_t heights = 0;
    for (const float value : raster.Cells) {
      if (value == resampledNoData) continue;
      ++heights;
      EXPECT_GE(value - static_cast<float>(shift) / 10.0f, lowest - 0.01f);
      EXPECT_LE(value - static_cast<float>(shift) / 10.0f, highest + 0.01f);
    }
    EXPECT_GT(heights, raster.Cells.size() / 5);  // a square turned 30 degrees fills 29 %

    // The models stand on the lowest true height.
    const TerrainMesh mesh(grid, 1, 1.0);
    EXPECT_NEAR(mesh.OriginHeight() - shift / 10.0, lowest, 1e-3);
    EXPECT_NEAR(mesh.Max()[1], highest - lowest, 1e-3);
  }
}

}  // namespace
}  // namespace terrak

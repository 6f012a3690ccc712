#include <gtest/gtest.h>

#include <cmath>

#include "export/dem_raster.h"
#include "export/export_error.h"
#include "export/export_fixtures.h"

namespace terrak {
namespace {

using testing::FunctionGrid;

constexpr float kNoData = -9999.0f;

DemRaster Make(const GridState& grid, const Georeferencing& g,
               DemRotation rotation = DemRotation::NorthUp, double cellSize = 0.0) {
  ExportProgressCallback none;
  ExportProgress progress(none);
  return MakeDemRaster(grid.HeightGrid, grid.GridMinX, grid.GridMinY, grid.HeightBase, g,
                       rotation, cellSize, kNoData, progress);
}

// Where the centre of pixel (column, row) lies by the raster's geotransform.
Georeferencing::Point PixelCentre(const DemRaster& r, double column, double row) {
  const auto& t = r.GeoTransform;
  return {t[0] + (column + 0.5) * t[1] + (row + 0.5) * t[2],
          t[3] + (column + 0.5) * t[4] + (row + 0.5) * t[5]};
}

TEST(DemRaster, CellForCellPutsEachPixelCentreOnItsCellsGroundPoint) {
  GridState grid = FunctionGrid(4, 3, 100, 200, [](auto x, auto y) { return 10.0 * x + y + 1; });
  grid.HeightGrid(1, 2) = -57;  // interpolated
  grid.HeightGrid(2, 0) = 0;    // empty
  const Georeferencing none;
  const DemRaster r = Make(grid, none);
  ASSERT_EQ(std::tuple(r.Resampled, r.Columns, r.Rows), std::tuple(false, 4, 3));
  // No georeferencing: ground metres, north up, the outer edge half a metre beyond the cells.
  EXPECT_EQ(r.GeoTransform, (std::array<double, 6>{99.5, 1, 0, 202.5, 0, -1}));
  EXPECT_FLOAT_EQ(r.At(0, 2), 1.0f);    // south-west cell
  EXPECT_FLOAT_EQ(r.At(3, 0), 33.0f);   // north-east cell
  EXPECT_FLOAT_EQ(r.At(1, 0), 5.7f);    // interpolated, as a positive height
  EXPECT_EQ(r.At(2, 2), kNoData);

  // Georeferenced, grid north up: offset and scale factor, still cell for cell.
  const Georeferencing g = GeoreferencingFromOffsetAngle(500000.0, 4600000.0, 0.0, 0.9996);
  const DemRaster placed = Make(grid, g);
  EXPECT_FALSE(placed.Resampled);
  EXPECT_EQ(placed.Cells, r.Cells);
  for (const auto& [column, row] : {std::pair{0, 0}, {3, 2}, {1, 1}}) {
    const auto at = PixelCentre(placed, column, row);
    const auto expected = g.ToProjected(100 + column, 200 + 2 - row);
    EXPECT_NEAR(at.Easting, expected.Easting, 1e-6);
    EXPECT_NEAR(at.Northing, expected.Northing, 1e-6);
  }
}

TEST(DemRaster, RotatedGeotransformKeepsTheCellsAndTurnsTheirCentres) {
  const GridState grid = FunctionGrid(5, 4, -20, 30, [](auto x, auto y) { return 100.0 + x - y; });
  const Georeferencing g = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 3.5, 1.0);
  const DemRaster r = Make(grid, g, DemRotation::RotatedGeotransform);
  EXPECT_EQ(std::tuple(r.Resampled, r.Columns), std::tuple(false, 5));
  EXPECT_FLOAT_EQ(r.At(4, 0), 104.0f - 3.0f);
  for (int column = 0; column < 5; ++column)
    for (int row = 0; row < 4; ++row) {
      const auto at = PixelCentre(r, column, row);
      const auto expected = g.ToProjected(-20 + column, 30 + 3 - row);
      EXPECT_NEAR(at.Easting, expected.Easting, 1e-6);
      EXPECT_NEAR(at.Northing, expected.Northing, 1e-6);
    }
}

TEST(DemRaster, TurnedMapIsResampledOntoNorthUpCellsThatFollowTheTerrain) {
  // A plane is reproduced exactly by bilinear sampling, so every resampled pixel inside the
  // grid must hold the plane's height at the pixel's ground point.
  const auto plane = [](double x, double y) { return 50.0 + 0.5 * x + 0.3 * y; };
  const GridState grid = FunctionGrid(41, 31, 1000, 2000, [&](auto x, auto y) {
    return plane(static_cast<double>(x), static_cast<double>(y));
  });
  const double angle = 30.0;
  const Georeferencing g = GeoreferencingFromOffsetAngle(512345.25, 4601234.75, angle, 1.0);
  const DemRaster r = Make(grid, g);
  ASSERT_TRUE(r.Resampled);
  EXPECT_EQ(std::tuple(r.GeoTransform[1], r.GeoTransform[2], r.GeoTransform[4], r.GeoTransform[5]),
            std::tuple(1.0, 0.0, 0.0, -1.0));
  EXPECT_EQ(r.GeoTransform[0], std::floor(r.GeoTransform[0]));  // edges on whole metres
  EXPECT_EQ(r.GeoTransform[3], std::floor(r.GeoTransform[3]));
  // The box holds the turned grid: about 41 cos + 31 sin wide and 41 sin + 31 cos high.
  const double rad = angle * M_PI / 180.0;
  EXPECT_NEAR(static_cast<double>(r.Columns), 41 * std::cos(rad) + 31 * std::sin(rad), 2.0);
  EXPECT_NEAR(static_cast<double>(r.Rows), 41 * std::sin(rad) + 31 * std::cos(rad), 2.0);

  int inside = 0, outside = 0;
  for (std::int64_t row = 0; row < r.Rows; ++row)
    for (std::int64_t column = 0; column < r.Columns; ++column) {
      const auto p = PixelCentre(r, static_cast<double>(column), static_cast<double>(row));
      const double e = p.Easting - g.OriginEasting, n = p.Northing - g.OriginNorthing;
      const double fx = std::cos(rad) * e + std::sin(rad) * n - 1000;
      const double fy = -std::sin(rad) * e + std::cos(rad) * n - 2000;
      const float v = r.At(column, row);
      if (fx > 0.01 && fy > 0.01 && fx < 39.99 && fy < 29.99) {
        ++inside;
        ASSERT_NEAR(v, plane(fx, fy), 0.0051) << column << "," << row;  // to the centimetre
        ASSERT_NEAR(v * 100, std::round(v * 100), 1e-3);
      } else if (fx < -0.51 || fy < -0.51 || fx > 40.51 || fy > 30.51) {
        ++outside;
        ASSERT_EQ(v, kNoData) << column << "," << row;
      }
    }
  EXPECT_GT(inside, 1000);
  EXPECT_GT(outside, 200);

  // A cell size of the caller's: 2 m cells, edges on even metres.
  const DemRaster coarse = Make(grid, g, DemRotation::NorthUp, 2.0);
  EXPECT_DOUBLE_EQ(coarse.GeoTransform[1], 2.0);
  EXPECT_EQ(std::fmod(coarse.GeoTransform[0], 2.0), 0.0);
  EXPECT_NEAR(static_cast<double>(coarse.Columns), static_cast<double>(r.Columns) / 2, 1.0);
}

TEST(DemRaster, ResamplingNextToEmptyCellsTakesTheNearestCell) {
  // A quarter turn puts pixel centres on cell centres; the empty cell stays empty and its
  // neighbours keep their own heights instead of mixing with it.
  GridState grid = FunctionGrid(3, 3, 0, 0, [](auto x, auto y) { return 10.0 + x + 3.0 * y; });
  grid.HeightGrid(1, 1) = 0;
  const Georeferencing g = GeoreferencingFromOffsetAngle(0.5, 0.5, 90.0, 1.0);
  const DemRaster r = Make(grid, g);
  ASSERT_TRUE(r.Resampled);
  ASSERT_EQ(r.Columns, 3);
  ASSERT_EQ(r.Rows, 3);
  // Turned a quarter counter-clockwise: the grid's east goes north, its north goes west.
  EXPECT_EQ(r.At(1, 1), kNoData);
  EXPECT_NEAR(r.At(1, 0), 15.0f, 1e-4);  // cell (2, 1)
  EXPECT_NEAR(r.At(0, 1), 17.0f, 1e-4);  // cell (1, 2)
  EXPECT_NEAR(r.At(2, 2), 10.0f, 1e-4);  // cell (0, 0)
  EXPECT_NEAR(r.At(0, 0), 18.0f, 1e-4);  // cell (2, 2)
}

TEST(DemRaster, EmptyGridAndDegenerateGeoreferencingAreRefused) {
  const GridState empty;
  EXPECT_THROW(Make(empty, Georeferencing{}), ExportError);
  const GridState grid = FunctionGrid(3, 3, 0, 0, [](auto, auto) { return 1.0; });
  Georeferencing flat = GeoreferencingFromOffsetAngle(0, 0, 10.0, 1.0);
  flat.C = flat.A * flat.D / flat.B;  // no inverse
  EXPECT_THROW(Make(grid, flat), ExportError);
  Georeferencing broken = GeoreferencingFromOffsetAngle(0, 0, 0.0, 1.0);
  broken.OriginEasting = NAN;
  EXPECT_THROW(Make(grid, broken), ExportError);
}

}  // namespace
}  // namespace terrak

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>

#include "export/export_error.h"
#include "export/export_fixtures.h"
#include "export/stl_export.h"
#include "export/terrain_mesh.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using testing::FunctionGrid;

using Point = std::array<float, 3>;
using Triangle = std::array<Point, 3>;

float FloatAt(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t bits = 0;
  for (int k = 0; k < 4; ++k) bits |= std::uint32_t{b[at + k]} << (8 * k);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

std::vector<Triangle> Parse(const std::vector<std::uint8_t>& b, std::vector<Point>* normals = nullptr) {
  EXPECT_GE(b.size(), 84u);
  const std::uint32_t count = b[80] | b[81] << 8 | b[82] << 16 | std::uint32_t{b[83]} << 24;
  EXPECT_EQ(b.size(), 84u + 50u * count);
  std::vector<Triangle> triangles(count);
  for (std::uint32_t t = 0; t < count; ++t) {
    const std::size_t at = 84 + 50 * std::size_t{t};
    if (normals) normals->push_back({FloatAt(b, at), FloatAt(b, at + 4), FloatAt(b, at + 8)});
    for (int v = 0; v < 3; ++v)
      for (int c = 0; c < 3; ++c) triangles[t][v][c] = FloatAt(b, at + 12 + 12 * v + 4 * c);
  }
  return triangles;
}

// Every edge in both directions exactly once: each edge lies on exactly two triangles, and the
// two run it in opposite directions, so all faces turn the same way. The enclosed volume is then
// positive only when they all face outward.
void ExpectClosedOutwardSolid(const std::vector<Triangle>& triangles) {
  std::map<std::pair<Point, Point>, int> directed;
  double volume = 0;
  for (const Triangle& t : triangles) {
    for (int k = 0; k < 3; ++k) ++directed[{t[k], t[(k + 1) % 3]}];
    const auto& [a, b, c] = t;
    volume += (double{a[0]} * (double{b[1]} * c[2] - double{b[2]} * c[1]) -
               double{a[1]} * (double{b[0]} * c[2] - double{b[2]} * c[0]) +
               double{a[2]} * (double{b[0]} * c[1] - double{b[1]} * c[0])) / 6.0;
  }
  int faults = 0;
  for (const auto& [edge, count] : directed) {
    const auto reverse = directed.find({edge.second, edge.first});
    if (count != 1 || reverse == directed.end() || reverse->second != 1) ++faults;
  }
  EXPECT_EQ(faults, 0) << "edges not shared by exactly two opposite triangles";
  EXPECT_GT(volume, 0.0);
}

std::pair<Point, Point> Bounds(const std::vector<Triangle>& triangles) {
  Point lo{INFINITY, INFINITY, INFINITY}, hi{-INFINITY, -INFINITY, -INFINITY};
  for (const Triangle& t : triangles)
    for (const Point& p : t)
      for (int c = 0; c < 3; ++c) lo[c] = std::min(lo[c], p[c]), hi[c] = std::max(hi[c], p[c]);
  return {lo, hi};
}

GridState Hill() {
  // 31 x 21 cells, a hill 40 m above the lowest cell, an empty band in the north, an empty
  // cell inside and interpolated cells in the west.
  GridState grid = FunctionGrid(31, 21, -100, 50, [](auto x, auto y) {
    if (y > 17 && x > 10) return 0.0;
    const double dx = static_cast<double>(x) - 15, dy = static_cast<double>(y) - 10;
    const double h = 300.0 + 40.0 * std::exp(-(dx * dx + dy * dy) / 60.0);
    return x < 8 ? -h : h;
  });
  grid.HeightGrid(20, 5) = 0;
  return grid;
}

TEST(StlExport, TheSolidIsClosedFacesOutwardAndHasThePrintSize) {
  const GridState grid = Hill();
  double lowest = 1e9, highest = 0;
  for (std::int64_t x = 0; x < 31; ++x)
    for (std::int64_t y = 0; y < 21; ++y)
      if (const auto v = grid.HeightGrid(x, y)) {
        lowest = std::min(lowest, std::abs(v) / 10.0);
        highest = std::max(highest, std::abs(v) / 10.0);
      }
  for (const std::int32_t interval : {1, 3, 7, 40}) {
    SCOPED_TRACE("interval " + std::to_string(interval));
    const ExportedFiles files = ExportStl(
        grid, {}, {.Interval = interval, .PrintWidthMm = 120.0, .BaseMm = 4.0, .Exaggeration = 2.5});
    ASSERT_EQ(files.Files.size(), 1u);
    const std::vector<std::uint8_t>& bytes = files.Files[0].Bytes;
    EXPECT_NE(std::string(bytes.begin(), bytes.begin() + 5), "solid");  // not taken for text STL
    std::vector<Point> normals;
    const std::vector<Triangle> triangles = Parse(bytes, &normals);
    ExpectClosedOutwardSolid(triangles);
    // 120 mm for the 30 m from the west to the east cell: 4 mm per metre.
    const auto [lo, hi] = Bounds(triangles);
    EXPECT_EQ(std::tuple(lo[0], hi[0], lo[1], hi[1], lo[2]), std::tuple(0.0f, 120.0f, 0.0f, 80.0f, 0.0f));
    if (interval == 1) {
      EXPECT_NEAR(hi[2], 4.0 + (highest - lowest) * 4.0 * 2.5, 1e-3);
    }
    // Stored normals agree with the corners' turn.
    for (std::size_t t = 0; t < triangles.size(); ++t) {
      const auto& [a, b, c] = triangles[t];
      const double nz = double{b[0] - a[0]} * (c[1] - a[1]) - double{b[1] - a[1]} * (c[0] - a[0]);
      if (std::fabs(nz) > 1e-6) {
        ASSERT_EQ(nz > 0, normals[t][2] > 0) << t;
      }
    }
  }
  // On a print 10 mm wide the facets are far below a square millimetre: still unit normals.
  std::vector<Point> normals;
  Parse(ExportStl(grid, {}, {.Interval = 1, .PrintWidthMm = 10.0}).Files[0].Bytes, &normals);
  for (const Point& n : normals) ASSERT_NEAR(std::hypot(n[0], n[1], n[2]), 1.0, 1e-5);
}

TEST(StlExport, EmptyCellsLieOnTheBaseAndTheLowestHeightToo) {
  // Two rows: the south one at 100 m and 110 m, the north one empty.
  GridState grid = FunctionGrid(2, 2, 0, 0, [](auto x, auto y) { return y == 0 ? 100.0 + 10.0 * x : 0.0; });
  // 10 mm per metre.
  const StlOptions o{.Interval = 1, .PrintWidthMm = 10.0, .BaseMm = 3.0, .Exaggeration = 1.0};
  const std::vector<Triangle> triangles = Parse(ExportStl(grid, {}, o).Files[0].Bytes);
  ExpectClosedOutwardSolid(triangles);
  std::map<std::pair<float, float>, float> topZ;
  for (const Triangle& t : triangles)
    for (const Point& p : t) topZ[{p[0], p[1]}] = std::max(topZ[{p[0], p[1]}], p[2]);
  // The lowest height on the base's top, 10 m higher at 10 mm per metre, the empty row.
  EXPECT_EQ(std::tuple(topZ[{0.0f, 0.0f}], topZ[{10.0f, 0.0f}], topZ[{0.0f, 10.0f}], topZ[{10.0f, 10.0f}]),
            std::tuple(3.0f, 103.0f, 3.0f, 3.0f));
}

TEST(StlExport, AGeoreferencedMapsReliefKeepsTheGroundsProportions) {
  // 11 cells rising 1 m per cell east; a map metre is 0.5 m on the ground, so the 10 m of
  // relief stand over 5 m of ground: at 10 mm wide, 10 mm tall.
  const GridState grid = FunctionGrid(11, 3, 0, 0, [](auto x, auto) { return 100.0 + static_cast<double>(x); });
  const StlOptions o{.Interval = 1, .PrintWidthMm = 10.0, .BaseMm = 2.0};
  const auto [lo, hi] = Bounds(Parse(ExportStl(grid, GeoreferencingFromOffsetAngle(0, 0, 12.0, 0.5), o).Files[0].Bytes));
  EXPECT_EQ(std::tuple(hi[0], hi[1], hi[2]), std::tuple(10.0f, 2.0f, 2.0f + 20.0f));
  EXPECT_FLOAT_EQ(Bounds(Parse(ExportStl(grid, {}, o).Files[0].Bytes)).second[2], 2.0f + 10.0f);
}

TEST(StlExport, ImpossibleModelsAreRefusedWithTheirReason) {
  const GridState grid = Hill();
  const auto refused = [&](const StlOptions& o, const GridState& g) {
    return testing::ThrownText<ExportError>([&] { ExportStl(g, {}, o); }, &ExportError::what, "");
  };
  EXPECT_EQ(refused({.PrintWidthMm = 0}, grid), "The print width must be a positive number of millimetres");
  EXPECT_EQ(refused({.BaseMm = -1}, grid), "The base must be a positive number of millimetres thick");
  // Empty cells would lie on the underside: no solid.
  EXPECT_EQ(refused({.BaseMm = 0}, grid), "The base must be a positive number of millimetres thick");
  EXPECT_EQ(refused({.Exaggeration = NAN}, grid), "The vertical exaggeration must be a positive number");
  EXPECT_EQ(refused({}, GridState{}), kNoGridMessage);
  EXPECT_EQ(refused({}, FunctionGrid(1, 9, 0, 0, [](auto, auto) { return 5.0; })),
            "The terrain grid is too small for a printable model");
  EXPECT_EQ(refused({}, FunctionGrid(9, 9, 0, 0, [](auto, auto) { return 0.0; })), kNoHeightsMessage);
  // Sizes whose single-precision numbers would be infinite, or flatten the model.
  EXPECT_EQ(refused({.Exaggeration = 1e39}, grid), kModelPrecisionMessage);
  EXPECT_EQ(refused({.PrintWidthMm = 1e39}, grid), kModelPrecisionMessage);
  EXPECT_EQ(refused({.PrintWidthMm = 1e-300}, grid), kModelPrecisionMessage);
  EXPECT_EQ(refused({.BaseMm = 1e-9}, grid), kModelPrecisionMessage);  // its top would be its underside
}

}  // namespace
}  // namespace terrak

#pragma once
// Small scenes for the viewer tests: a viewer looking from a given eye point at a picture of a
// given size, little grids built cell by cell, and a checksum of a picture.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "terrain/grid_state.h"
#include "viewer/paint.h"
#include "viewer/picture.h"
#include "viewer/projection.h"
#include "viewer/viewer_state.h"

namespace terrak::testing {

inline ViewerState ViewerAt(double x, double y, double z, double bearing, double incline,
                            std::int32_t width = 400, std::int32_t height = 300) {
  ViewerState viewer;
  viewer.Current() = {x, y, z, bearing, incline, 0, 0, 0};
  viewer.RenderWidth = width;
  viewer.RenderHeight = height;
  SetViewAngles(viewer);
  return viewer;
}

// A grid of the given heights (decimetres), rows listed from north to south as they would be
// seen on a map, GridWidth and GridHeight the number of columns and rows.
inline GridState GridOf(std::initializer_list<std::initializer_list<std::int16_t>> northToSouth,
                        std::int32_t minX = 0, std::int32_t minY = 0) {
  const auto rows = static_cast<std::int32_t>(northToSouth.size());
  const auto columns = static_cast<std::int32_t>(northToSouth.begin()->size());
  GridState grid{.GridMinX = minX, .GridMinY = minY, .GridWidth = columns, .GridHeight = rows};
  grid.HeightGrid.Resize(columns, rows, 0);
  std::int32_t j = rows - 1;
  for (const auto& row : northToSouth) {
    std::int32_t i = 0;
    for (std::int16_t h : row) grid.HeightGrid(i++, j) = h;
    --j;
  }
  return grid;
}

// A flat grid of width x depth cells at one height.
inline GridState FlatGrid(std::int32_t width, std::int32_t depth, std::int16_t height,
                          std::int32_t minX = 0, std::int32_t minY = 0) {
  GridState grid{.GridMinX = minX, .GridMinY = minY, .GridWidth = width, .GridHeight = depth};
  grid.HeightGrid.Resize(width, depth, height);
  return grid;
}

// FNV-1a over the picture's size and pixels.
inline std::uint64_t PictureChecksum(const Picture& picture) {
  std::uint64_t hash = 14695981039346656037ull;
  const auto mix = [&](std::uint32_t value) {
    for (int b = 0; b < 4; ++b) {
      hash ^= (value >> (8 * b)) & 0xFF;
      hash *= 1099511628211ull;
    }
  };
  mix(static_cast<std::uint32_t>(picture.Width));
  mix(static_cast<std::uint32_t>(picture.Height));
  for (Colour c : picture.Pixels) mix(c);
  return hash;
}

// The pixels of the depth buffer that hold something, as (x, y) pairs in column order.
inline std::vector<std::pair<std::int32_t, std::int32_t>> DrawnPixels(const PixelBuffers& buffers) {
  std::vector<std::pair<std::int32_t, std::int32_t>> drawn;
  for (std::int64_t x = 0; x < buffers.DepthBuffer.Columns(); ++x)
    for (std::int64_t y = 0; y < buffers.DepthBuffer.Rows(); ++y)
      if (buffers.DepthBuffer(x, y) != 0)
        drawn.emplace_back(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
  return drawn;
}

// A grid construction that must not run.
class NoConstruction : public GridConstruction {
 public:
  int Calls = 0;
  void Build(GridState&, const ViewerState&) override { ++Calls; }
};

}  // namespace terrak::testing

#include "viewer/overview.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/rounding.h"
#include "viewer/draw_mesh.h"
#include "viewer/movement.h"
#include "viewer/projection.h"

namespace terrak {

namespace {

// Greys from dark (low) to light (high) for a grid without a map bitmap.
Colour HeightGrey(std::int16_t height, int lowest, int highest) {
  if (height == 0) return kWhite;
  const int span = std::max(highest - lowest, 1);
  const auto level = static_cast<std::uint8_t>(60 + (std::abs(height) - lowest) * 170 / span);
  return MakeColour(level, level, level);
}

}  // namespace

void Createmap(OverviewState& overview, const GridState& grid) {
  overview.OverviewClosed = false;
  const std::int32_t width = std::max(grid.GridWidth, 0) / 2;
  const std::int32_t height = std::max(grid.GridHeight, 0) / 2;
  overview.OverviewBitmap.Reset(width, height, kWhite);
  const HeightGridType& heights = grid.HeightGrid;
  const bool bitmap = grid.MapBitmapLoaded && !grid.BitmapGrid.Empty();
  int lowest = 32768, highest = 0;
  if (!bitmap)
    for (std::int64_t i = 0; i < heights.Columns(); ++i)
      for (std::int64_t j = 0; j < heights.Rows(); ++j)
        if (heights(i, j) != 0) {
          lowest = std::min(lowest, std::abs(int{heights(i, j)}));
          highest = std::max(highest, std::abs(int{heights(i, j)}));
        }
  for (std::int32_t y = 0; y < height; ++y) {
    const std::int64_t row = grid.GridHeight - 1 - std::int64_t{y} * grid.GridHeight / height;
    for (std::int32_t x = 0; x < width; ++x) {
      const std::int64_t column = std::int64_t{x} * grid.GridWidth / width;
      if (bitmap)
        overview.OverviewBitmap.At(x, y) = BitmapColourAt(grid, column, row);
      else if (heights.Contains(column, row))
        overview.OverviewBitmap.At(x, y) = HeightGrey(heights(column, row), lowest, highest);
    }
  }
}

namespace {

void InvertLine(Canvas& picture, Point from, Point to) {
  picture.SetPenMode(PenMode::Invert);
  picture.MoveTo(from.X, from.Y);
  picture.LineTo(to.X, to.Y);
  picture.SetPenMode(PenMode::Normal);
}

}  // namespace

void Image1MouseDown(OverviewState& overview, Canvas& picture, MouseButton button, Point at) {
  if (button != MouseButton::Right) return;
  overview.AimStart = at;
  overview.AimDragging = true;
  if (overview.AimLineShown) InvertLine(picture, overview.LineStart, overview.AimLineEnd);
  overview.LineStart = at;
  overview.AimLineShown = false;
}

void Image1MouseMove(OverviewState& overview, Canvas& picture, Point at) {
  if (!overview.AimDragging) return;
  if (overview.AimLineShown) InvertLine(picture, overview.AimStart, overview.AimLineEnd);
  InvertLine(picture, overview.AimStart, at);
  overview.AimLineEnd = at;
  overview.AimLineShown = true;
}

double AimBearing(Point start, Point end) {
  const double a =
      std::atan(std::fabs(static_cast<double>(start.X - end.X) / (start.Y - end.Y))) *
      kDegreesPerRadian;
  if (start.X < end.X) return start.Y > end.Y ? a : 180 - a;
  return start.Y > end.Y ? 360 - a : 180 + a;
}

bool Image1MouseUp(OverviewState& overview, MouseButton button, Point at, ViewerState& viewer,
                   const GridState& grid) {
  if (button != MouseButton::Right) return false;
  overview.AimEnd = at;
  overview.AimDragging = false;
  if (at == overview.AimStart) return false;
  if (overview.AimEnd.Y == overview.AimStart.Y) ++overview.AimEnd.Y;
  TViewPoint& view = viewer.Current();
  view.bearing = AimBearing(overview.AimStart, overview.AimEnd);
  view.x = 2.0 * overview.AimStart.X + grid.GridMinX;
  view.y = grid.GridHeight - 2.0 * overview.AimStart.Y + grid.GridMinY;
  // On the ground from the first picture, not only from the next move.
  ApplyGroundRule(view, grid);
  viewer.Menu.OnTheGroundChecked = true;
  viewer.OnGround = true;
  return true;
}

void OverviewRepainted(OverviewState& overview) { overview.AimLineShown = false; }

void OverviewClose(OverviewState& overview, ViewerState& viewer) {
  viewer.Menu.Show2DmapEnabled = true;
  overview.OverviewBitmap = Picture{};
  overview.OverviewClosed = true;
}

}  // namespace terrak

#include "grid/grid_fixtures.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "common/rounding.h"
#include "grid/grid_notes.h"
#include "grid/rasterise.h"

namespace terrak::testing {

GridState EmptyGrid(std::int32_t w, std::int32_t h) {
  GridState grid;
  grid.GridWidth = w;
  grid.GridHeight = h;
  grid.HeightGrid.Resize(std::int64_t{w} + 1, std::int64_t{h} + 1, 0);
  return grid;
}

GridState GridFromPicture(const std::vector<std::string>& rowsFromTop) {
  const auto h = static_cast<std::int32_t>(rowsFromTop.size()) - 1;
  const auto w = static_cast<std::int32_t>(rowsFromTop.front().size()) - 1;
  GridState grid = EmptyGrid(w, h);
  for (std::int32_t r = 0; r <= h; ++r)
    for (std::int32_t x = 0; x <= w; ++x) {
      const char c = rowsFromTop[static_cast<std::size_t>(r)][static_cast<std::size_t>(x)];
      if (c >= '0' && c <= '9') grid.HeightGrid(x, h - r) = static_cast<std::int16_t>(100 * (c - '0' + 1));
    }
  return grid;
}

GridState RandomContourGrid(std::uint32_t seed, std::int32_t w, std::int32_t h, int lines) {
  GridState grid = EmptyGrid(w, h);
  std::mt19937 random(seed);
  const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  GridNotes notes;
  CellPainter painter(grid.HeightGrid, notes);
  for (int i = 0; i < lines; ++i) {
    std::int32_t height = 100 + 50 * uniform(0, 8);
    if (uniform(0, 9) == 0) height = uniform(0, 1) == 0 ? 10 : 3000;
    const int vertices = uniform(2, 6);
    painter.MoveToCell(uniform(-5, w + 5), uniform(-5, h + 5), height);
    for (int v = 1; v < vertices; ++v) painter.LineToCell(uniform(-5, w + 5), uniform(-5, h + 5), height);
  }
  return grid;
}

namespace {

struct Segment {
  double x0, y0, x1, y1;
};

// The pieces of one contour level over the lattice (marching squares).
std::vector<Segment> LevelSegments(const std::vector<double>& v, int nx, int ny, double step,
                                   double level) {
  std::vector<Segment> out;
  const auto at = [&](int i, int j) { return v[static_cast<std::size_t>(j * (nx + 1) + i)] - level; };
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      const double a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
      double px[4], py[4];
      int n = 0;
      const auto edge = [&](double va, double vb, double xa, double ya, double xb, double yb) {
        if ((va >= 0) == (vb >= 0)) return;
        const double t = va / (va - vb);
        px[n] = (xa + t * (xb - xa)) * step;
        py[n] = (ya + t * (yb - ya)) * step;
        ++n;
      };
      edge(a, b, i, j, i + 1, j);
      edge(b, c, i + 1, j, i + 1, j + 1);
      edge(c, d, i + 1, j + 1, i, j + 1);
      edge(d, a, i, j + 1, i, j);
      if (n >= 2) out.push_back({px[0], py[0], px[1], py[1]});
      if (n == 4) out.push_back({px[2], py[2], px[3], py[3]});
    }
  return out;
}

}  // namespace

MapModel ContourMap(const std::function<double(double, double)>& terrain, double widthMetres,
                    double heightMetres, double interval, double scale, double latticeStep) {
  MapModel model;
  model.MapScale = scale;
  model.MapFileName = "synthetic.ocd";
  model.SelectedSymbols = {{101, kBlack}};
  model.SymbolsSelected = true;
  const double unitsPerMetre = 56693.0 / scale;
  const auto unit = [&](double metres) { return static_cast<std::int16_t>(RoundToInt(metres * unitsPerMetre) + 200); };
  const int nx = static_cast<int>(std::ceil(widthMetres / latticeStep));
  const int ny = static_cast<int>(std::ceil(heightMetres / latticeStep));
  std::vector<double> values(static_cast<std::size_t>((nx + 1) * (ny + 1)));
  double lo = 1e300, hi = -1e300;
  for (int j = 0; j <= ny; ++j)
    for (int i = 0; i <= nx; ++i) {
      const double v = terrain(i * latticeStep, j * latticeStep);
      values[static_cast<std::size_t>(j * (nx + 1) + i)] = v;
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  for (double level = std::ceil(lo / interval) * interval; level <= hi; level += interval) {
    if (level <= 0) continue;
    const auto height = static_cast<std::int16_t>(RoundToInt(level * 10));
    for (const Segment& s : LevelSegments(values, nx, ny, latticeStep, level)) {
      TObjectCoords coords;
      coords.Symbol = 101;
      coords.ObjectType = 2;
      coords.Height = height;
      coords.Points = {{unit(s.x0), unit(s.y0)}, {unit(s.x1), unit(s.y1)}};
      coords.Count = 2;
      TMapObject object;
      object.Symbol = 101;
      object.ObjectType = 2;
      object.Height = height;
      object.MinX = std::min(coords.Points[0].X, coords.Points[1].X);
      object.MaxX = std::max(coords.Points[0].X, coords.Points[1].X);
      object.MinY = std::min(coords.Points[0].Y, coords.Points[1].Y);
      object.MaxY = std::max(coords.Points[0].Y, coords.Points[1].Y);
      object.FirstPoint = coords.Points[0];
      object.LastPoint = coords.Points[1];
      model.MapObjects.push_back(object);
      model.ObjectCoords.push_back(coords);
    }
  }
  // The whole map reaches 20 m beyond the terrain on every side.
  model.MapMinX = unit(-20);
  model.MapMinY = unit(-20);
  model.MapMaxX = unit(widthMetres + 20);
  model.MapMaxY = unit(heightMetres + 20);
  model.MapWidth = model.MapMaxX - model.MapMinX;
  model.MapHeight = model.MapMaxY - model.MapMinY;
  return model;
}

std::function<double(double, double)> HillyTerrain(std::uint32_t seed, double widthMetres,
                                                   double heightMetres) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  struct Hill {
    double x, y, radius, height;
  };
  std::vector<Hill> hills;
  for (int i = 0; i < 6; ++i)
    hills.push_back({unit(random) * widthMetres, unit(random) * heightMetres,
                     (0.08 + 0.15 * unit(random)) * std::min(widthMetres, heightMetres),
                     (unit(random) - 0.3) * 40.0});
  const double slopeX = (unit(random) - 0.5) * 0.04;
  const double slopeY = (unit(random) - 0.5) * 0.04;
  return [=](double x, double y) {
    double z = 60.0 + slopeX * x + slopeY * y;
    for (const Hill& hill : hills) {
      const double dx = (x - hill.x) / hill.radius, dy = (y - hill.y) / hill.radius;
      z += hill.height * std::exp(-(dx * dx + dy * dy));
    }
    return z;
  };
}

}  // namespace terrak::testing

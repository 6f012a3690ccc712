#include "export/stl_export.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "export/export_error.h"
#include "export/terrain_lattice.h"

namespace terrak {
namespace {

using Vertex = std::array<float, 3>;

constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kTriangleSize = 50;  // normal, three corners, attribute word

// Appends triangles to a binary STL in little-endian order.
class StlWriter {
 public:
  explicit StlWriter(std::uint64_t triangles) {
    bytes_.reserve(kHeaderSize + 4 + triangles * kTriangleSize);
    const char header[] = "Terrak terrain model, millimetres";
    bytes_.assign(kHeaderSize, ' ');
    std::memcpy(bytes_.data(), header, sizeof header - 1);
    PutU32(static_cast<std::uint32_t>(triangles));
  }

  void Triangle(const Vertex& a, const Vertex& b, const Vertex& c) {
    const double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const double vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length > 0) nx /= length, ny /= length, nz /= length;
    PutFloat(static_cast<float>(nx));
    PutFloat(static_cast<float>(ny));
    PutFloat(static_cast<float>(nz));
    for (const Vertex* v : {&a, &b, &c})
      for (const float f : *v) PutFloat(f);
    bytes_.push_back(0);
    bytes_.push_back(0);
  }

  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  void PutU32(std::uint32_t v) {
    for (int k = 0; k < 4; ++k) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  }
  void PutFloat(float f) { PutU32(std::bit_cast<std::uint32_t>(f)); }

  std::vector<std::uint8_t> bytes_;
};

void CheckOptions(const StlOptions& o) {
  if (!(std::isfinite(o.PrintWidthMm) && o.PrintWidthMm > 0))
    throw ExportError("The print width must be a positive number of millimetres");
  if (!(std::isfinite(o.BaseMm) && o.BaseMm > 0))
    throw ExportError("The base must be a positive number of millimetres thick");
  if (!(std::isfinite(o.Exaggeration) && o.Exaggeration > 0))
    throw ExportError("The vertical exaggeration must be a positive number");
}

}  // namespace

ExportedFiles ExportStl(const GridState& grid, const StlOptions& options,
                        const ExportProgressCallback& callback) {
  CheckOptions(options);
  ExportProgress progress(callback);
  progress.BeginStage(1.0);
  const HeightGridType& heights = grid.HeightGrid;
  if (heights.Empty()) throw ExportError(kNoGridMessage);
  if (heights.Columns() < 2 || heights.Rows() < 2)
    throw ExportError("The terrain grid is too small for a printable model");
  const std::vector<std::int64_t> xs = LatticeIndices(heights.Columns(), options.Interval);
  const std::vector<std::int64_t> ys = LatticeIndices(heights.Rows(), options.Interval);
  const std::optional<HeightRange> range = LatticeHeightRange(grid, xs, ys);
  if (!range) throw ExportError(kNoHeightsMessage);
  const std::size_t nx = xs.size(), ny = ys.size();
  const std::uint64_t rim = 2 * (nx - 1) + 2 * (ny - 1);
  const std::uint64_t triangles = 2 * std::uint64_t{nx - 1} * (ny - 1) + 3 * rim;
  if (triangles > std::numeric_limits<std::uint32_t>::max() / kTriangleSize)
    throw ExportError("The model would have too many triangles: choose a larger grid interval");

  const double mmPerMetre = options.PrintWidthMm / static_cast<double>(heights.Columns() - 1);
  const double zPerMetre = mmPerMetre * options.Exaggeration;
  const auto top = [&](std::size_t i, std::size_t j) -> Vertex {
    const std::int16_t v = heights(xs[i], ys[j]);
    const double z = options.BaseMm + (v == 0 ? 0.0 : (CellMetres(grid, v) - range->Lowest) * zPerMetre);
    return {static_cast<float>(static_cast<double>(xs[i]) * mmPerMetre),
            static_cast<float>(static_cast<double>(ys[j]) * mmPerMetre), static_cast<float>(z)};
  };
  const auto bottom = [&](std::size_t i, std::size_t j) -> Vertex {
    return {static_cast<float>(static_cast<double>(xs[i]) * mmPerMetre),
            static_cast<float>(static_cast<double>(ys[j]) * mmPerMetre), 0.0f};
  };

  StlWriter stl(triangles);
  // The terrain: two triangles per lattice square, counter-clockwise seen from above.
  for (std::size_t i = 0; i + 1 < nx; ++i) {
    for (std::size_t j = 0; j + 1 < ny; ++j) {
      const Vertex sw = top(i, j), se = top(i + 1, j), ne = top(i + 1, j + 1), nw = top(i, j + 1);
      stl.Triangle(sw, se, ne);
      stl.Triangle(sw, ne, nw);
    }
    if (i % 64 == 0) progress.Report(static_cast<double>(i) / static_cast<double>(nx));
  }
  // The rim's lattice points counter-clockwise seen from above, starting at the south-west.
  std::vector<std::pair<std::size_t, std::size_t>> ring;
  ring.reserve(rim);
  for (std::size_t i = 0; i + 1 < nx; ++i) ring.emplace_back(i, 0);
  for (std::size_t j = 0; j + 1 < ny; ++j) ring.emplace_back(nx - 1, j);
  for (std::size_t i = nx - 1; i > 0; --i) ring.emplace_back(i, ny - 1);
  for (std::size_t j = ny - 1; j > 0; --j) ring.emplace_back(0, j);
  // Walls, each segment facing outward, and the base as a fan around its middle, facing down.
  const Vertex middle{static_cast<float>(static_cast<double>(xs.back()) * mmPerMetre / 2),
                      static_cast<float>(static_cast<double>(ys.back()) * mmPerMetre / 2), 0.0f};
  for (std::size_t k = 0; k < ring.size(); ++k) {
    const auto [ai, aj] = ring[k];
    const auto [bi, bj] = ring[(k + 1) % ring.size()];
    const Vertex aTop = top(ai, aj), bTop = top(bi, bj);
    const Vertex aBottom = bottom(ai, aj), bBottom = bottom(bi, bj);
    stl.Triangle(aBottom, bBottom, bTop);
    stl.Triangle(aBottom, bTop, aTop);
    stl.Triangle(middle, bBottom, aBottom);
  }
  ExportedFiles result;
  result.Files.push_back({".stl", stl.Take()});
  progress.Finish();
  return result;
}

std::vector<std::string> WriteStlFile(const std::string& target, const GridState& grid,
                                      const StlOptions& options,
                                      const ExportProgressCallback& progress) {
  const ExportedFiles files = ExportStl(grid, options, progress);
  WriteExportedFiles(target, files);
  return files.Notes;
}

}  // namespace terrak

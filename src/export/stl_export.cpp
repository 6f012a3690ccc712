#include "export/stl_export.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "export/byte_sink.h"
#include "export/export_error.h"
#include "export/ground_frame.h"
#include "export/terrain_lattice.h"
#include "export/terrain_mesh.h"

namespace terrak {
namespace {

using Vertex = std::array<float, 3>;

constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kTriangleSize = 50;  // normal, three corners, attribute word
constexpr std::size_t kBlockTriangles = 4096;

// Binary STL triangles in little-endian order, handed to the sink in blocks.
class StlWriter {
 public:
  StlWriter(ByteSink& sink, std::uint64_t triangles) : sink_(sink) {
    bytes_.reserve(kBlockTriangles * kTriangleSize);
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
    if (bytes_.size() >= kBlockTriangles * kTriangleSize) Flush();
  }

  void Flush() {
    sink_.Write(bytes_.data(), bytes_.size());
    bytes_.clear();
  }

 private:
  void PutU32(std::uint32_t v) {
    for (int k = 0; k < 4; ++k) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  }
  void PutFloat(float f) { PutU32(std::bit_cast<std::uint32_t>(f)); }

  ByteSink& sink_;
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

// The solid's shape, measured and checked before the file is opened; Write then streams it.
class StlModel {
 public:
  StlModel(const GridState& grid, const Georeferencing& georef, const StlOptions& options)
      : heights_(grid.HeightGrid), heightBase_(grid.HeightBase), options_(options) {
    CheckOptions(options);
    const double metresPerCell = GroundFrameOf(georef).MetresPerCell;
    if (heights_.Empty()) throw ExportError(kNoGridMessage);
    if (heights_.Columns() < 2 || heights_.Rows() < 2)
      throw ExportError("The terrain grid is too small for a printable model");
    xs_ = LatticeIndices(heights_.Columns(), options.Interval);
    ys_ = LatticeIndices(heights_.Rows(), options.Interval);
    const std::optional<HeightRange> range = LatticeHeightRange(grid, xs_, ys_);
    if (!range) throw ExportError(kNoHeightsMessage);
    lowest_ = range->Lowest;
    const std::size_t nx = xs_.size(), ny = ys_.size();
    rim_ = 2 * (nx - 1) + 2 * (ny - 1);
    triangles_ = 2 * std::uint64_t{nx - 1} * (ny - 1) + 3 * rim_;
    if (triangles_ > std::numeric_limits<std::uint32_t>::max() / kTriangleSize)
      throw ExportError("The model would have too many triangles: choose a larger grid interval");
    // The print width spans the grid from its west to its east cell; heights take the same
    // millimetres per metre of the ground.
    mmPerCell_ = options.PrintWidthMm / static_cast<double>(heights_.Columns() - 1);
    mmUpPerMetre_ = mmPerCell_ / metresPerCell * options.Exaggeration;
    const double largest =
        std::max({options.PrintWidthMm, static_cast<double>(heights_.Rows() - 1) * mmPerCell_,
                  options.BaseMm + (range->Highest - range->Lowest) * mmUpPerMetre_});
    if (!SinglePrecisionHolds(std::min(mmPerCell_, options.BaseMm), largest))
      throw ExportError(kModelPrecisionMessage);
  }

  std::uint64_t Triangles() const { return triangles_; }

  void Write(ByteSink& sink, ExportProgress& progress) const {
    StlWriter stl(sink, triangles_);
    const std::size_t nx = xs_.size(), ny = ys_.size();
    // The terrain: two triangles per lattice square, counter-clockwise seen from above.
    for (std::size_t i = 0; i + 1 < nx; ++i) {
      for (std::size_t j = 0; j + 1 < ny; ++j) {
        const Vertex sw = Top(i, j), se = Top(i + 1, j), ne = Top(i + 1, j + 1), nw = Top(i, j + 1);
        stl.Triangle(sw, se, ne);
        stl.Triangle(sw, ne, nw);
      }
      if (i % 64 == 0) progress.Report(static_cast<double>(i) / static_cast<double>(nx));
    }
    // The rim's lattice points counter-clockwise seen from above, starting at the south-west.
    std::vector<std::pair<std::size_t, std::size_t>> ring;
    ring.reserve(rim_);
    for (std::size_t i = 0; i + 1 < nx; ++i) ring.emplace_back(i, 0);
    for (std::size_t j = 0; j + 1 < ny; ++j) ring.emplace_back(nx - 1, j);
    for (std::size_t i = nx - 1; i > 0; --i) ring.emplace_back(i, ny - 1);
    for (std::size_t j = ny - 1; j > 0; --j) ring.emplace_back(0, j);
    // Walls, each segment facing outward, and the base as a fan around its middle, facing down.
    const Vertex middle{static_cast<float>(static_cast<double>(xs_.back()) * mmPerCell_ / 2),
                        static_cast<float>(static_cast<double>(ys_.back()) * mmPerCell_ / 2), 0.0f};
    for (std::size_t k = 0; k < ring.size(); ++k) {
      const auto [ai, aj] = ring[k];
      const auto [bi, bj] = ring[(k + 1) % ring.size()];
      const Vertex aTop = Top(ai, aj), bTop = Top(bi, bj);
      const Vertex aBottom = Bottom(ai, aj), bBottom = Bottom(bi, bj);
      stl.Triangle(aBottom, bBottom, bTop);
      stl.Triangle(aBottom, bTop, aTop);
      stl.Triangle(middle, bBottom, aBottom);
    }
    stl.Flush();
  }

 private:
  Vertex Top(std::size_t i, std::size_t j) const {
    const std::int16_t v = heights_(xs_[i], ys_[j]);
    const double z =
        options_.BaseMm + (v == 0 ? 0.0 : (CellMetres(v, heightBase_) - lowest_) * mmUpPerMetre_);
    return {static_cast<float>(static_cast<double>(xs_[i]) * mmPerCell_),
            static_cast<float>(static_cast<double>(ys_[j]) * mmPerCell_), static_cast<float>(z)};
  }
  Vertex Bottom(std::size_t i, std::size_t j) const {
    return {static_cast<float>(static_cast<double>(xs_[i]) * mmPerCell_),
            static_cast<float>(static_cast<double>(ys_[j]) * mmPerCell_), 0.0f};
  }

  const HeightGridType& heights_;
  std::int32_t heightBase_ = 0;
  StlOptions options_;
  std::vector<std::int64_t> xs_, ys_;
  double lowest_ = 0.0;
  double mmPerCell_ = 0.0;     // across the ground, per cell of the grid
  double mmUpPerMetre_ = 0.0;  // upwards, per metre of height, exaggerated
  std::uint64_t rim_ = 0;
  std::uint64_t triangles_ = 0;
};

}  // namespace

ExportedFiles ExportStl(const GridState& grid, const Georeferencing& georef,
                        const StlOptions& options, const ExportProgressCallback& callback) {
  const StlModel model(grid, georef, options);
  ExportProgress progress(callback);
  progress.BeginStage(1.0);
  ExportedFiles result;
  result.Files.push_back({".stl", {}});
  std::vector<std::uint8_t>& bytes = result.Files.front().Bytes;
  bytes.reserve(static_cast<std::size_t>(kHeaderSize + 4 + model.Triangles() * kTriangleSize));
  MemorySink sink(bytes);
  model.Write(sink, progress);
  progress.Finish();
  return result;
}

void CheckStlExport(const GridState& grid, const Georeferencing& georef,
                    const StlOptions& options) {
  static_cast<void>(StlModel(grid, georef, options));
}

std::vector<std::string> WriteStlFile(const std::string& target, const GridState& grid,
                                      const Georeferencing& georef, const StlOptions& options,
                                      const ExportProgressCallback& callback) {
  const StlModel model(grid, georef, options);
  ExportProgress progress(callback);
  progress.BeginStage(1.0);
  SafeFileSink sink(target);
  model.Write(sink, progress);
  progress.Finish();  // the last chance to cancel: until Commit the target stays as it was
  sink.Commit();
  return {};
}

}  // namespace terrak

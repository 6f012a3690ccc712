#include "heightseval/heights_eval.h"

#include <gdal.h>
#include <gdal_alg.h>
#include <ogr_api.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <numbers>
#include <sstream>
#include <stdexcept>

#include "cli/cli_dialogs.h"
#include "cli/error_output.h"
#include "cli/scratch_folder.h"
#include "heights/model_heights.h"
#include "heights/polyline.h"
#include "mapfile/map_format.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapfile/settings.h"

namespace terrak::testing {

namespace {

using heights::HeightObject;
using heights::Point;
using heights::ContourRole;

// A random stream the same on every platform (SplitMix64).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Uniform(double low, double high) {
    return low + (high - low) * static_cast<double>(Next() >> 11) * 0x1p-53;
  }

 private:
  std::uint64_t state_;
};

// Smooth noise of one scale: values on a lattice blended with a smooth step.
double LatticeValue(std::int64_t i, std::int64_t j, std::uint32_t seed) {
  Random r(static_cast<std::uint64_t>(i) * 73856093ull ^ static_cast<std::uint64_t>(j) * 19349663ull ^
           seed);
  return r.Uniform(-1, 1);
}

double ValueNoise(double x, double y, double wavelength, std::uint32_t seed) {
  const double u = x / wavelength, v = y / wavelength;
  const double fu = std::floor(u), fv = std::floor(v);
  const auto i = static_cast<std::int64_t>(fu), j = static_cast<std::int64_t>(fv);
  const auto smooth = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
  const double su = smooth(u - fu), sv = smooth(v - fv);
  const double a = LatticeValue(i, j, seed), b = LatticeValue(i + 1, j, seed);
  const double c = LatticeValue(i, j + 1, seed), d = LatticeValue(i + 1, j + 1, seed);
  return (a * (1 - su) + b * su) * (1 - sv) + (c * (1 - su) + d * su) * sv;
}

struct Bump {
  double X, Y, Radius, Rise;
};

std::vector<Bump> Bumps(Random& r, int count, double width, double depth, double rmin,
                        double rmax, double rise0, double rise1) {
  std::vector<Bump> bumps;
  for (int k = 0; k < count; ++k)
    bumps.push_back({r.Uniform(0.1, 0.9) * width, r.Uniform(0.1, 0.9) * depth,
                     r.Uniform(rmin, rmax), r.Uniform(rise0, rise1)});
  return bumps;
}

double BumpsAt(const std::vector<Bump>& bumps, double x, double y) {
  double h = 0;
  for (const Bump& b : bumps) {
    const double d2 = ((x - b.X) * (x - b.X) + (y - b.Y) * (y - b.Y)) / (b.Radius * b.Radius);
    if (d2 < 16) h += b.Rise * std::exp(-d2);
  }
  return h;
}

// The lines GDAL's contour generator traces from the terrain, at base + k * interval.
std::vector<std::pair<double, std::vector<Point>>> TraceWithGdal(const EvalTerrain& terrain,
                                                                 double cell, double interval,
                                                                 double base) {
  GDALAllRegister();
  const auto columns = static_cast<int>(std::ceil(terrain.Width / cell));
  const auto rows = static_cast<int>(std::ceil(terrain.Depth / cell));
  const std::unique_ptr<void, void (*)(void*)> raster(
      GDALCreate(GDALGetDriverByName("MEM"), "", columns, rows, 1, GDT_Float64, nullptr),
      [](void* d) { GDALClose(d); });
  if (!raster) throw std::runtime_error("GDAL's MEM driver is missing");
  double transform[6] = {0, cell, 0, rows * cell, 0, -cell};
  GDALSetGeoTransform(raster.get(), transform);
  std::vector<double> values(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c)
      values[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) +
             static_cast<std::size_t>(c)] =
          terrain.Height((c + 0.5) * cell, (rows - r - 0.5) * cell);
  GDALRasterBandH band = GDALGetRasterBand(raster.get(), 1);
  if (GDALRasterIO(band, GF_Write, 0, 0, columns, rows, values.data(), columns, rows,
                   GDT_Float64, 0, 0) != CE_None)
    throw std::runtime_error("cannot fill the raster");
  const std::unique_ptr<void, void (*)(void*)> vectors(
      GDALCreate(GDALGetDriverByName("Memory"), "", 0, 0, 0, GDT_Unknown, nullptr),
      [](void* d) { GDALClose(d); });
  if (!vectors) throw std::runtime_error("GDAL's Memory driver is missing");
  OGRLayerH layer = GDALDatasetCreateLayer(vectors.get(), "contours", nullptr, wkbLineString,
                                           nullptr);
  for (const auto& [name, type] : {std::pair{"ID", OFTInteger}, std::pair{"ELEV", OFTReal}}) {
    OGRFieldDefnH field = OGR_Fld_Create(name, type);
    OGR_L_CreateField(layer, field, TRUE);
    OGR_Fld_Destroy(field);
  }
  const std::string intervalOption = "LEVEL_INTERVAL=" + std::to_string(interval);
  const std::string baseOption = "LEVEL_BASE=" + std::to_string(base);
  const char* options[] = {intervalOption.c_str(), baseOption.c_str(), "ID_FIELD=0",
                           "ELEV_FIELD=1", nullptr};
  if (GDALContourGenerateEx(band, layer, options, nullptr, nullptr) != CE_None)
    throw std::runtime_error("GDAL's contour generator failed");
  std::vector<std::pair<double, std::vector<Point>>> lines;
  OGR_L_ResetReading(layer);
  while (OGRFeatureH feature = OGR_L_GetNextFeature(layer)) {
    const OGRGeometryH g = OGR_F_GetGeometryRef(feature);
    std::vector<Point> points;
    for (int i = 0; g != nullptr && i < OGR_G_GetPointCount(g); ++i)
      points.push_back({OGR_G_GetX(g, i), OGR_G_GetY(g, i)});
    if (points.size() >= 2) lines.push_back({OGR_F_GetFieldAsDouble(feature, 1), std::move(points)});
    OGR_F_Destroy(feature);
  }
  return lines;
}

double Slope(const EvalTerrain& terrain, Point p) {
  const double d = 1.0;
  const double gx = (terrain.Height(p.X + d, p.Y) - terrain.Height(p.X - d, p.Y)) / (2 * d);
  const double gy = (terrain.Height(p.X, p.Y + d) - terrain.Height(p.X, p.Y - d)) / (2 * d);
  return std::hypot(gx, gy);
}

// The line cut into pieces as a mapper's objects are: lengths drawn at random, now and then a
// gap left at a cut.
std::vector<std::vector<Point>> CutIntoPieces(const std::vector<Point>& line, const EvalOptions& o,
                                              Random& random) {
  std::vector<std::vector<Point>> pieces;
  std::vector<Point> piece{line.front()};
  bool inGap = false;
  double cut = random.Uniform(o.PieceMin, o.PieceMax);  // where the next piece or gap ends
  double along = 0;
  for (std::size_t i = 1; i < line.size(); ++i) {
    const Point a = line[i - 1], b = line[i];
    const double length = heights::Length(b - a);
    while (length > 0 && cut <= along + length) {
      const Point at = a + (b - a) * ((cut - along) / length);
      if (inGap) {
        piece = {at};
        inGap = false;
        cut += random.Uniform(o.PieceMin, o.PieceMax);
        continue;
      }
      piece.push_back(at);
      if (piece.size() >= 2) pieces.push_back(piece);
      if (random.Uniform(0, 1) < o.GapShare) {
        piece.clear();
        inGap = true;
        cut += random.Uniform(o.GapMin, o.GapMax);
      } else {
        piece = {at};
        cut += random.Uniform(o.PieceMin, o.PieceMax);
      }
    }
    if (!inGap) piece.push_back(b);
    along += length;
  }
  if (!inGap && piece.size() >= 2 && heights::LineLength(piece) > 0) pieces.push_back(piece);
  return pieces;
}

// Runs of the line where the ground is flat, at least FormLeast long.
std::vector<std::vector<Point>> FlatRuns(const EvalTerrain& terrain, const std::vector<Point>& line,
                                         const EvalOptions& o) {
  std::vector<std::vector<Point>> runs;
  std::vector<Point> run;
  const auto finish = [&] {
    if (run.size() >= 2 && heights::LineLength(run) >= o.FormLeast) runs.push_back(run);
    run.clear();
  };
  for (const Point& p : line) {
    if (Slope(terrain, p) < o.FlatSlope) run.push_back(p);
    else finish();
  }
  finish();
  return runs;
}

}  // namespace

std::vector<EvalTerrain> EvalTerrains(std::uint32_t seed) {
  std::vector<EvalTerrain> terrains;
  {
    Random r(seed * 11 + 1);
    const double w = 1500, d = 1000;
    const auto knolls = Bumps(r, 14, w, d, 22, 45, 4, 10);
    const auto hollows = Bumps(r, 7, w, d, 18, 32, -9, -4);
    terrains.push_back({"rolling hills", w, d, [=](double x, double y) {
                          return 200 + 28 * std::sin(x / 230 + 0.8 * std::sin(y / 410)) * std::cos(y / 310) +
                                 14 * std::sin((x + y) / 520) + BumpsAt(knolls, x, y) +
                                 BumpsAt(hollows, x, y);
                        }});
  }
  {
    Random r(seed * 11 + 2);
    const double w = 1500, d = 1000;
    const auto knolls = Bumps(r, 8, w, d, 20, 40, 3, 8);
    const double phase = r.Uniform(0, 6);
    terrains.push_back({"ridges and valleys", w, d, [=](double x, double y) {
                          const double wave = std::sin(x / 140 + 0.9 * std::sin(y / 230 + phase));
                          // Sharp ridges, rounded valley floors, all rising to the north.
                          return 210 + 0.045 * y + 38 * (1 - std::fabs(wave)) +
                                 6 * std::sin(y / 90 + x / 400) + BumpsAt(knolls, x, y);
                        }});
  }
  {
    Random r(seed * 11 + 3);
    const double w = 1500, d = 1000;
    const auto knolls = Bumps(r, 6, w, d, 25, 40, 3, 7);
    const double cx = r.Uniform(600, 900), cy = r.Uniform(400, 600);
    terrains.push_back({"plateau", w, d, [=](double x, double y) {
                          const double angle = std::atan2(y - cy, x - cx);
                          const double edge = 380 + 70 * std::sin(3 * angle) + 30 * std::cos(5 * angle);
                          const double r0 = std::hypot(x - cx, y - cy);
                          const double step = 0.5 + 0.5 * std::tanh((edge - r0) / 45);
                          // A flat top and flat floors, gently tilted, knolls on both.
                          return 150 + 0.012 * x + 0.008 * y + 42 * step + BumpsAt(knolls, x, y);
                        }});
  }
  terrains.push_back(RandomLandscape(1500, 1000, seed * 11 + 4));
  return terrains;
}

EvalTerrain RandomLandscape(double width, double depth, std::uint32_t s) {
  return {"random landscape", width, depth, [=](double x, double y) {
            return 220 + 40 * ValueNoise(x, y, 600, s) + 20 * ValueNoise(x, y, 300, s + 1) +
                   10 * ValueNoise(x, y, 150, s + 2) + 5 * ValueNoise(x, y, 75, s + 3) +
                   2 * ValueNoise(x, y, 40, s + 4);
          }};
}

EvalMap MakeEvalMap(const EvalTerrain& terrain, const EvalOptions& o) {
  EvalMap eval;
  Random random(o.Seed * 7919 + static_cast<std::uint32_t>(terrain.Name.size()));
  eval.Map.MetresPerPaperMm = o.Scale / 1000;
  eval.Map.JoinTolerance = 10 * o.Scale / 56693.0;  // the default trace tolerance
  eval.Roles.Contours = {kEvalContour};
  eval.Roles.IndexContours = {kEvalIndexContour};
  eval.Roles.FormLines = {kEvalFormLine};
  eval.Roles.SlopeLines = {kEvalSlopeLine};
  eval.Roles.Interval = o.Interval;
  eval.Roles.IndexEvery = o.IndexEvery;
  const auto add = [&](std::int32_t symbol, ContourRole role, std::vector<Point> points,
                       heights::HeightValue truth) {
    eval.Map.Objects.push_back({symbol, role, std::move(points), {}});
    eval.Truth.push_back(truth);
  };
  for (const auto& [level, line] : TraceWithGdal(terrain, o.Cell, o.Interval, 0)) {
    const double steps = level / o.Interval / o.IndexEvery;
    const bool index = std::fabs(steps - std::round(steps)) < 1e-9;
    for (std::vector<Point>& piece : CutIntoPieces(line, o, random))
      add(index ? kEvalIndexContour : kEvalContour,
          index ? ContourRole::IndexContour : ContourRole::Contour, std::move(piece),
          heights::Metres(level));
    // Ticks into closed contours around hollows, as mappers draw them.
    const double area = heights::SignedDoubleArea(line);
    if (!(line.front() == line.back()) || heights::LineLength(line) < 30 || area == 0) continue;
    for (const heights::LineSample& s : heights::SampleLine(line, 2)) {
      const Point inward = heights::LeftOf(s.Direction) * (area > 0 ? 1.0 : -1.0);
      if (terrain.Height(s.At.X + 3 * inward.X, s.At.Y + 3 * inward.Y) >= level) break;
      add(kEvalSlopeLine, ContourRole::SlopeLine, {s.At, s.At + inward * o.TickLength}, {});
    }
  }
  for (const auto& [level, line] : TraceWithGdal(terrain, o.Cell, o.Interval, o.Interval / 2))
    for (const std::vector<Point>& run : FlatRuns(terrain, line, o))
      for (std::vector<Point>& piece : CutIntoPieces(run, o, random))
        add(kEvalFormLine, ContourRole::FormLine, std::move(piece), heights::Metres(level));
  // Paths of another symbol cross everything.
  for (int k = 0; k < 3; ++k)
    add(kEvalPath, ContourRole::None,
        {{random.Uniform(0, terrain.Width), 0}, {random.Uniform(0, terrain.Width), terrain.Depth}},
        {});
  return eval;
}

EvalMap LoadEvalMap(const std::string& file, const heights::ContourRoles& roles,
                    const std::string& heightTag) {
  const cli::ScratchFolder folder(std::filesystem::temp_directory_path().string(), nullptr);
  const std::string workingCopy = folder.File("OCADCopy.tmp");
  MapModel model;
  model.MapFileName = file;
  std::ostringstream messages;
  cli::ErrorOutput err(messages, false);
  cli::CliDialogs dialogs(err);
  if (OpenMapFile(model, workingCopy, dialogs) != OpenResult::Opened)
    throw std::runtime_error("cannot open " + file + ": " + messages.str());
  if (HeightTagChoice* tags = model.Format ? model.Format->HeightTags() : nullptr;
      tags && !heightTag.empty())
    tags->SetHeightTag(heightTag);
  for (std::int32_t symbol : roles.AllSymbols()) model.SelectedSymbols.push_back({symbol, kBlack});
  model.SymbolsSelected = true;
  ReadObjects(model, workingCopy);
  EvalMap eval;
  eval.Roles = roles;
  eval.Map = heights::HeightMapFromModel(model, roles, Settings{}.TraceTolerance);
  for (heights::HeightObject& o : eval.Map.Objects) {
    eval.Truth.push_back(o.Height);
    o.Height = {};
  }
  return eval;
}

DemoMap EvalDemoMap(const EvalMap& eval, const EvalTerrain& terrain,
                    const std::vector<std::int32_t>& known) {
  DemoMap map;
  map.Options.Width = terrain.Width;
  map.Options.Depth = terrain.Depth;
  map.Symbols = {{static_cast<std::int16_t>(kEvalContour), 2, "Contour", 0},
                 {static_cast<std::int16_t>(kEvalIndexContour), 2, "Index contour", 0},
                 {static_cast<std::int16_t>(kEvalFormLine), 2, "Form line", 0},
                 {static_cast<std::int16_t>(kEvalSlopeLine), 2, "Slope line", 0},
                 {static_cast<std::int16_t>(kEvalPath), 2, "Path", 0}};
  for (std::size_t k = 0; k < eval.Map.Objects.size(); ++k) {
    const HeightObject& o = eval.Map.Objects[k];
    DemoObject object;
    object.Symbol = static_cast<std::int16_t>(o.Symbol);
    const bool isKnown =
        std::find(known.begin(), known.end(), static_cast<std::int32_t>(k)) != known.end();
    if (isKnown) object.Height = static_cast<std::int16_t>(std::lround(eval.Truth[k].Metres * 10));
    std::vector<GroundPoint> part;
    for (const Point& p : o.Points) part.push_back({p.X, p.Y});
    object.Parts = {part};
    map.Objects.push_back(object);
  }
  return map;
}

heights::HeightMap WithOneKnown(const EvalMap& eval, std::int32_t known) {
  heights::HeightMap map = eval.Map;
  for (std::size_t k = 0; k < map.Objects.size(); ++k)
    map.Objects[k].Height =
        static_cast<std::int32_t>(k) == known ? eval.Truth[k] : heights::HeightValue{};
  return map;
}

std::vector<std::int32_t> KnownCandidates(const EvalMap& eval, std::size_t count,
                                          std::uint32_t seed, bool index) {
  std::vector<std::int32_t> lines;
  const ContourRole wanted = index ? ContourRole::IndexContour : ContourRole::Contour;
  for (std::size_t k = 0; k < eval.Map.Objects.size(); ++k) {
    const HeightObject& o = eval.Map.Objects[k];
    if (o.Role == wanted && heights::LineLength(o.Points) >= 60)
      lines.push_back(static_cast<std::int32_t>(k));
  }
  Random random(seed);
  std::vector<std::int32_t> chosen;
  for (std::size_t i = 0; i < count && !lines.empty(); ++i) {
    const auto pick = static_cast<std::size_t>(random.Next() % lines.size());
    chosen.push_back(lines[pick]);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(pick));
  }
  return chosen;
}

EvalScore& EvalScore::operator+=(const EvalScore& o) {
  Objects += o.Objects;
  Correct += o.Correct;
  Wrong += o.Wrong;
  Without += o.Without;
  Guessed += o.Guessed;
  GuessedWrong += o.GuessedWrong;
  return *this;
}

EvalScore ScoreHeights(const EvalMap& eval, const heights::HeightsResult& result) {
  EvalScore score;
  for (std::size_t k = 0; k < eval.Map.Objects.size(); ++k) {
    if (!heights::CarriesHeight(eval.Map.Objects[k].Role)) continue;
    const heights::ObjectHeight& r = result.Objects[k];
    if (r.State == heights::HeightState::Known) continue;
    ++score.Objects;
    const bool gives = r.State == heights::HeightState::Derived ||
                       r.State == heights::HeightState::Guessed ||
                       r.State == heights::HeightState::Dem;
    if (!gives || !r.Height.Has) {
      ++score.Without;
      continue;
    }
    const bool right = std::fabs(r.Height.Metres - eval.Truth[k].Metres) < 0.01;
    (right ? score.Correct : score.Wrong)++;
    if (r.State == heights::HeightState::Guessed) {
      ++score.Guessed;
      if (!right) ++score.GuessedWrong;
    }
  }
  return score;
}

NoisyDem::NoisyDem(const EvalTerrain& terrain, double cell, double noise, std::uint32_t seed)
    : cell_(cell),
      columns_(static_cast<std::int64_t>(std::ceil(terrain.Width / cell))),
      rows_(static_cast<std::int64_t>(std::ceil(terrain.Depth / cell))) {
  Random random(seed);
  heights_.resize(static_cast<std::size_t>(columns_ * rows_));
  for (std::int64_t r = 0; r < rows_; ++r)
    for (std::int64_t c = 0; c < columns_; ++c)
      heights_[static_cast<std::size_t>(r * columns_ + c)] =
          terrain.Height((static_cast<double>(c) + 0.5) * cell,
                         (static_cast<double>(r) + 0.5) * cell) +
          random.Uniform(-noise, noise);
}

std::vector<double> NoisyDem::Sample(const std::vector<Georeferencing::Point>& points) {
  std::vector<double> out;
  out.reserve(points.size());
  for (const Georeferencing::Point& p : points) {
    // Cell centres on whole numbers; the raster reaches half a cell beyond the outer ones.
    double u = p.Easting / cell_ - 0.5, v = p.Northing / cell_ - 0.5;
    if (!(u >= -0.5 && v >= -0.5 && u <= static_cast<double>(columns_) - 0.5 &&
          v <= static_cast<double>(rows_) - 0.5)) {
      out.push_back(std::numeric_limits<double>::quiet_NaN());
      continue;
    }
    u = std::clamp(u, 0.0, static_cast<double>(columns_ - 1));
    v = std::clamp(v, 0.0, static_cast<double>(rows_ - 1));
    const auto c = std::min<std::int64_t>(static_cast<std::int64_t>(u), columns_ - 2);
    const auto r = std::min<std::int64_t>(static_cast<std::int64_t>(v), rows_ - 2);
    const double fu = u - static_cast<double>(c), fv = v - static_cast<double>(r);
    const auto at = [&](std::int64_t cc, std::int64_t rr) {
      return heights_[static_cast<std::size_t>(rr * columns_ + cc)];
    };
    out.push_back((at(c, r) * (1 - fu) + at(c + 1, r) * fu) * (1 - fv) +
                  (at(c, r + 1) * (1 - fu) + at(c + 1, r + 1) * fu) * fv);
  }
  return out;
}

}  // namespace terrak::testing

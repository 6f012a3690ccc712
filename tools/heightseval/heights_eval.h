#pragma once
// The evaluation set of the heights core: maps traced from terrain that looks real, as a mapper
// gets them from a DEM. Each terrain is sampled into a raster, GDAL's contour generator (the
// engine of gdal_contour) traces its contours and its half levels; index contours are every
// fifth level, form lines are the half levels where the ground is flat, slope line ticks point
// into every closed contour around a hollow, lines are cut into pieces of 80 to 400 m with a
// gap at some cuts, and paths of another symbol cross the map. Every object keeps its true
// height beside the map, which itself carries none.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "heights/contour_roles.h"
#include "heights/dem_heights.h"
#include "heights/height_result.h"
#include "mapbuild/demo_map.h"

namespace terrak::testing {

struct EvalTerrain {
  std::string Name;
  double Width = 1500, Depth = 1000;  // metres
  std::function<double(double, double)> Height;
};

// Rolling hills with knolls and hollows, a land of ridges and valleys, a plateau with a flat
// top and flat floors, and a random landscape of many scales.
std::vector<EvalTerrain> EvalTerrains(std::uint32_t seed = 1);
// The random landscape of any size.
EvalTerrain RandomLandscape(double width, double depth, std::uint32_t seed);

struct EvalOptions {
  double Interval = 5;
  std::int32_t IndexEvery = 5;
  double Cell = 2;           // metres per raster cell
  double Scale = 10000;
  std::uint32_t Seed = 1;
  double PieceMin = 80, PieceMax = 400;  // metres of one object
  double GapShare = 0.1;                 // of the cuts that leave a gap
  double GapMin = 3, GapMax = 12;        // metres
  double FlatSlope = 0.06;               // form lines where the ground is flatter than this
  double FormLeast = 40;                 // metres of form line at least
  double TickLength = 6;                 // metres
};

inline constexpr std::int32_t kEvalContour = 101;  // 10.1, as the demo maps number them
inline constexpr std::int32_t kEvalIndexContour = 102;
inline constexpr std::int32_t kEvalFormLine = 103;
inline constexpr std::int32_t kEvalSlopeLine = 104;
inline constexpr std::int32_t kEvalPath = 507;

struct EvalMap {
  heights::HeightMap Map;                 // no object carries a height
  std::vector<heights::HeightValue> Truth;  // per object: its true height (none for others)
  heights::ContourRoles Roles;
};

EvalMap MakeEvalMap(const EvalTerrain& terrain, const EvalOptions& options = {});

// A real map as an evaluation map: its objects of the roles' symbols, read as the program reads
// them (Mapper maps' heights from heightTag), their heights the truth.
EvalMap LoadEvalMap(const std::string& file, const heights::ContourRoles& roles,
                    const std::string& heightTag);

// The evaluation map as a demo map (objects in the same order), with the heights of known
// only; written by DemoMapBuilder as an OCAD map of any version, centred on the origin.
DemoMap EvalDemoMap(const EvalMap& eval, const EvalTerrain& terrain,
                    const std::vector<std::int32_t>& known);

// The map with every height but that of object known.
heights::HeightMap WithOneKnown(const EvalMap& eval, std::int32_t known);

// Objects of contours (or of index contours), at least 60 m long, drawn at random, for the
// known one.
std::vector<std::int32_t> KnownCandidates(const EvalMap& eval, std::size_t count,
                                          std::uint32_t seed, bool index = false);

struct EvalScore {
  std::int32_t Objects = 0;   // contours, index contours and form lines, the known one left out
  std::int32_t Correct = 0;   // got their true height (derived or guessed)
  std::int32_t Wrong = 0;     // got another height
  std::int32_t Without = 0;   // got none, shown as none or conflict
  std::int32_t Guessed = 0;   // of Correct and Wrong: guessed
  std::int32_t GuessedWrong = 0;
  double CorrectShare() const { return Objects ? static_cast<double>(Correct) / Objects : 0; }
  double WrongShare() const { return Objects ? static_cast<double>(Wrong) / Objects : 0; }
  double WithoutShare() const { return Objects ? static_cast<double>(Without) / Objects : 0; }
  EvalScore& operator+=(const EvalScore& o);
};

// How a result compares with the truth; objects whose state is known are left out.
EvalScore ScoreHeights(const EvalMap& eval, const heights::HeightsResult& result);

// The terrain as a DEM with noise: heights on a raster of cell metres, each cell off by up to
// noise metres, read back bilinearly. Points are the map's own ground metres (the map's
// georeferencing is the identity).
class NoisyDem : public heights::DemSource {
 public:
  NoisyDem(const EvalTerrain& terrain, double cell, double noise, std::uint32_t seed);
  std::vector<double> Sample(const std::vector<Georeferencing::Point>& points) override;

 private:
  double cell_;
  std::int64_t columns_, rows_;
  std::vector<double> heights_;
};

}  // namespace terrak::testing

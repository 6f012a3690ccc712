#pragma once
// The inward sweep of the shrink-wrap between two outline points P and N more than the gap
// apart: bulges through cells K further and further along the normal at P, up to the chord's
// length, until one bulge meets contour cells; those cells, in their order along the curve, go
// between P and N.
#include <cstdint>
#include <vector>

#include "grid/contour_tiles.h"
#include "grid/shrinkwrap.h"

namespace terrak {

class BulgeSearch {
 public:
  // tiles are those of grid; both must outlive the search.
  BulgeSearch(const HeightGridType& grid, const ContourTiles& tiles, ShrinkControl& control)
      : g_(grid), tiles_(tiles), control_(control) {}

  // Appends to found the cells of the first bulge between p and n that meets any.
  void Fill(WrapCell p, WrapCell n, WrapperList& found);

 private:
  // Bulges are tried in groups of up to this many consecutive cells K.
  static constexpr int kGroupSize = 8;

  // The bulge P, K, K + (N - P), N, sampled at Round(2 d) points.
  void TryBulge(WrapCell k, WrapperList& found);
  // Sets up the stretch boxes shared by the bulges through the count cells of group.
  void BeginGroup(const WrapCell* group, int count);
  // Puts the stretches first .. last (node number node of the splitting, see Fill) that a bulge
  // of the group has to sample or test into plan_.
  void Plan(std::int64_t first, std::int64_t last, std::size_t node);
  // Samples the two halves of a stretch, or a stretch, of the bulge, passing over stretches
  // whose box holds no contour.
  void Split(std::int64_t first, std::int64_t last, std::size_t node);
  void Visit(std::int64_t first, std::int64_t last, std::size_t node);
  // Whether the box of a stretch for the bulge, or for the whole group, may hold contour.
  bool BulgeMeets(std::int64_t first, std::int64_t last, std::size_t node);
  bool GroupMeets(std::int64_t first, std::int64_t last, std::size_t node);
  // Whether a sample first .. last of a bulge of the group can fall in a contour cell it would
  // take (each sample's cells over the group's K, a few of them, tested one by one).
  bool GroupSamplesMeet(std::int64_t first, std::int64_t last);
  static constexpr std::int64_t kFewCells = 6;
  // Samples first .. last one by one.
  void SampleRun(std::int64_t first, std::int64_t last);
  // The weights of samples first .. last, made unless they are.
  void MakeWeights(std::int64_t first, std::int64_t last);
  // A sample's cell, as column and row in one word, after the cell previous of the one before.
  void Take(std::uint64_t cell, std::uint64_t& previous);

  using Pair = double __attribute__((vector_size(16)));
  struct NodeHull;
  NodeHull& HullOf(std::int64_t first, std::int64_t last, std::size_t node);
  // Whether the box lo .. hi, widened by how far a sample's cell can lie from the curve, holds
  // contour cells.
  bool AnyContourNear(Pair lo, Pair hi) const;

  const HeightGridType& g_;
  const ContourTiles& tiles_;
  ShrinkControl& control_;
  WrapCell p_, n_;
  std::int32_t dx_ = 0, dy_ = 0;
  std::int64_t d2_ = 0;
  double d_ = 0.0;
  // The bulge being tried.
  // The control points as (x, y) pairs: both coordinates are evaluated in one operation.
  Pair c_[4] = {};
  Pair chord_ = {};       // D = N - P
  Pair offset_ = {};      // V = K - P
  bool linear_ = false;  // the third control point is K + D, not wrapped round the 16-bit range
  Pair x_[4] = {}, y_[4] = {};  // the control points' columns, and rows, each in both lanes
  std::int64_t steps_ = 0;
  // The Bernstein weights of samples 1 .. weightSteps_, in blocks of two samples, made as
  // they are first wanted: made_[first] says up to which sample a stretch from first has them
  // for the step count numbered weightsMade_.
  std::vector<double> weights_;
  std::int64_t weightSteps_ = -1;
  struct MadeStamp {
    std::uint64_t Steps = 0;
    std::int64_t Last = 0;
  };
  std::vector<MadeStamp> made_;
  std::uint64_t weightsMade_ = 0;
  // Cells as column and row in one word (the low and the high half): the cell taken last, and
  // the cell of the sample evaluated last.
  std::uint64_t last_ = 0, previous_ = 0;
  std::uint64_t limitX_ = 0, limitY_ = 0;  // the columns and rows whose cells can be met
  WrapperList* found_ = nullptr;
  // A stretch's hull for the pair numbered MadeFor (P + s~ D and h~ of its four corners, see
  // bulge_piece.h), and whether the box shared by the group numbered Group holds contour.
  struct NodeHull {
    Pair Base[4] = {};
    double Rise[4] = {};
    std::uint64_t MadeFor = 0;
    std::uint64_t Group = 0;
    bool GroupAny = false;
  };
  std::vector<NodeHull> hulls_;
  // Sample j of the pair numbered MadeFor as A + C K (see GroupSamplesMeet).
  struct SampleLine {
    Pair A = {};
    double C = 0.0;
    std::uint64_t MadeFor = 0;
  };
  std::vector<SampleLine> sampleLines_;
  std::uint64_t pairsMade_ = 0, groupsMade_ = 0;
  // The group's lowest and highest K - P, each coordinate; groupTests_ when its boxes are used.
  Pair groupLow_ = {}, groupHigh_ = {};
  bool groupTests_ = false;
  // The stretches each bulge of the group samples (Test false) or tests and splits.
  struct Stretch {
    std::int64_t First = 0, Last = 0;
    std::size_t Node = 0;
    bool Test = false;
  };
  std::vector<Stretch> plan_;
};

}  // namespace terrak

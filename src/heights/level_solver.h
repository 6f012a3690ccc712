#pragma once
// The levels of the areas between contours, found exactly on the tree the areas form.
//
// Each area of open ground (a face) lies between two neighbouring levels: its ground is higher
// than level b and lower than level b + 1 (levels count contour intervals). A contour separates
// two faces whose b differ by one, and lies at the higher of the two. Given the faces and the
// contours between them as a forest, this finds, for every face and every contour, the cost of
// the best whole assignment with each possible value: costs of broken rules (a known height, an
// index level, a slope line), of needless features (a face whose contours all lie on the same
// side of it needs a ridge, a hollow or a valley of its own) and, in second place, of guesses:
// hollows where a closed contour would enclose a hill, and what the shape of the lines suggests.
#include <cstdint>
#include <limits>
#include <vector>

namespace terrak::heights {

// Costs hold a first part (broken rules, needless features) above a second (hills taken for
// hollows), so any first-part difference outweighs every second-part one.
using Cost = std::int64_t;
inline constexpr Cost kSecondPart = 1;
inline constexpr Cost kFirstPart = Cost{1} << 24;
inline constexpr Cost kInfinite = Cost{1} << 62;
constexpr Cost FirstPart(Cost c) { return c / kFirstPart; }

inline constexpr Cost kBrokenRule = 1000 * kFirstPart;  // a known height, an index level
inline constexpr Cost kAgainstSlopeLine = 100 * kFirstPart;  // per slope line tick
inline constexpr Cost kInnerFeature = 3 * kFirstPart;  // a face away from the map's edge
inline constexpr Cost kEdgeFeature = 1 * kFirstPart;   // a face that reaches the map's edge
inline constexpr Cost kHollowForHill = 4 * kSecondPart;

// What the contours between faces A and B of an edge say.
struct EdgeTerms {
  std::vector<std::int32_t> KnownLevels;  // known heights of its contours, in intervals
  bool Index = false;                     // an index contour lies here
  bool Plain = false;                     // a contour that is no index contour lies here
  std::int32_t TicksSayALower = 0;        // slope lines pointing into face A
  std::int32_t TicksSayBLower = 0;
  std::int32_t ClosedAroundA = 0;  // closed contours whose inside is face A
  std::int32_t ClosedAroundB = 0;
  // Other guesses (second part): the cost when face A is the lower one, and when B is.
  Cost GuessAgainstALower = 0;
  Cost GuessAgainstBLower = 0;
};

struct SolverEdge {
  std::int32_t A = 0, B = 0;
  EdgeTerms Terms;
};

struct SolverFace {
  std::vector<std::int32_t> KnownBases;  // known form lines in it fix b (in intervals)
  Cost Feature = kInnerFeature;           // the cost of a needless feature in it
};

struct SolverSettings {
  std::int32_t IndexEvery = 0;  // 0: no index levels
  // Levels farther than this from every known one are not looked at.
  std::int32_t Reach = 400;
};

// Best costs by value: Costs[i] is the cost with value Low + i; kInfinite where impossible.
struct Marginal {
  std::int32_t Low = 0;
  std::vector<Cost> Costs;
};

struct LevelSolution {
  // Per face: whether its tree holds a known height (only those are solved).
  std::vector<bool> Solved;
  std::vector<Marginal> FaceBases;   // per face: cost by b
  std::vector<Marginal> EdgeLevels;  // per edge: cost by the level of its contours
  std::vector<Cost> Best;            // per face: the best cost of its tree
  std::vector<std::int32_t> Base;    // per face: b in one best assignment
};

// edges must form a forest over the faces.
LevelSolution SolveLevels(const std::vector<SolverFace>& faces,
                          const std::vector<SolverEdge>& edges, const SolverSettings& settings);

// The cost the edge's terms give when face A has base a and face B base b (|a - b| = 1).
Cost EdgeCost(const EdgeTerms& terms, std::int32_t a, std::int32_t b, std::int32_t indexEvery);

}  // namespace terrak::heights

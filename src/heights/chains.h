#pragma once
// Objects joined into the lines they draw. A mapper splits one contour into many objects that
// meet end to end; the heights core works on the joined lines (chains). Two kinds:
// - role chains: objects of one role whose ends meet one to one (a meeting of three or more ends
//   is a junction, where no chain goes on), closed when the line comes back to its start, also
//   across a small gap left for a label;
// - traced chains: objects of one symbol joined wherever ends meet, as tracing in the main window
//   follows them: what Ins gives one height.
#include <cstdint>
#include <vector>

#include "heights/height_types.h"

namespace terrak::heights {

struct ChainPiece {
  std::int32_t Object = 0;
  bool Reversed = false;  // the object runs against the chain
};

struct Chain {
  ContourRole Role = ContourRole::None;
  std::vector<ChainPiece> Pieces;
  std::vector<Point> Points;  // the whole line in the chain's direction
  bool Closed = false;
};

// The role chains of every object with a role that carries a height (contours, index contours,
// form lines) and at least two distinct points; gapMetres is the largest gap of a ring that
// still closes it.
std::vector<Chain> BuildRoleChains(const HeightMap& map, double gapMetres);

// For each object, the number of its traced chain (objects of one symbol whose ends meet within
// the join tolerance, followed through every join); objects without a role that carries a
// height get -1.
std::vector<std::int32_t> TracedChainNumbers(const HeightMap& map);

}  // namespace terrak::heights

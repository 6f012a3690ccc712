#pragma once
// Guesses from the shape of the lines, for what the rules leave open once the heights that
// follow from them are known:
// - a ring too small to draw lies at the level of the contours round it: in a face between levels
//   b and b + 1, one whose face has contours of one level only lies at theirs; else one much
//   nearer the contours at b + 1 is a knoll (it lies at b + 1), one much nearer those at b a
//   hollow (at b);
// - elsewhere the ground keeps rising or falling the way it does beside the line: a contour
//   facing, across a face of known level, contours higher than that face lies below it (and the
//   other way round), as contours follow each other down a slope; this settles pieces of contours
//   cut off by the map's edge, and ridges or valleys leaving it.
// Neither is a rule of contour maps: whatever follows from them is a guess.
#include <cstdint>
#include <optional>
#include <vector>

#include "heights/topology.h"

namespace terrak::heights {

// Per face: its base b (its ground lies between levels b and b + 1) where that is settled
// (derived, or guessed from what the rules leave open).
using FaceBases = std::vector<std::optional<std::int32_t>>;

// Whether the closed line encloses a knoll (true) or a hollow (false) by the contours round the
// face it lies in (rings too small to draw left out): those of one level only, or the clearly
// nearer of both levels; nothing when that face's base is not settled, when its contours have no
// settled level or when it lies about as near to both levels.
std::optional<bool> RingLooksLikeKnoll(const Topology& t, std::int32_t line,
                                       const FaceBases& bases);

enum class ShapeGuess : std::int8_t { None, LeftLower, RightLower };

// Per line: which of its sides the slope beside it suggests is the lower, for open lines whose
// faces are not both settled; closed lines get none.
std::vector<ShapeGuess> GuessFromShape(const Topology& t, const FaceBases& bases);

}  // namespace terrak::heights

#pragma once
// The shape of a contour map that deriving and checking heights both read: the joined lines, the
// faces of open ground between contours and index contours, the face each form line lies in and
// the slope lines' ticks on each contour.
#include <cstdint>
#include <vector>

#include "heights/chains.h"
#include "heights/contour_roles.h"
#include "heights/faces.h"
#include "heights/facing.h"

namespace terrak::heights {

// Distances in millimetres of paper: how mappers draw.
struct TopologySettings {
  double RaySpacingMm = 0.4;  // between rays along a line
  double OpenEndMm = 1.0;     // rays passing this close to an open contour end are not counted
  double RingGapMm = 3.0;     // a line whose ends are this close encloses its inside
  // A closed line shorter than this is below the size a mapper draws (an artefact of contours
  // traced from a DEM): it is never taken for a hill.
  double SmallestRingMm = 1.5;
  // A closed line shorter than this is a small knoll or hollow: the hill rule alone is too little
  // to say which where the contours round it say otherwise.
  double SmallRingMm = 3.0;
  double TickReachMm = 0.5;   // a slope line's end this close to a contour touches it
  double FormShare = 0.7;     // a form line lies in the face most of its rays meet, by this share
};

struct Topology {
  std::vector<Chain> Chains;
  std::vector<std::int32_t> ChainOfObject;  // -1 for objects in no chain
  // Lines are the contour and index contour chains: line k is chain Lines[k]. Faces and facing
  // rays number sides by line.
  std::vector<std::int32_t> Lines;
  std::vector<std::int32_t> LineOfChain;  // -1 for form lines
  FacingRays Rays;
  Faces Areas;
  // Per chain: for a form line, the face it lies in (-1 when its rays do not agree), else -1.
  std::vector<std::int32_t> FormFace;
  // Rays from the form lines (sides by chain number) to the lines.
  FacingRays FormRays;
  // Per side of each line: slope line ticks on that side.
  std::vector<std::int32_t> Ticks;
  // Per chain: the side of its line its inside lies on (0 left, 1 right), for closed lines big
  // enough to be taken for a knoll; -1 for open and tiny ones.
  std::vector<std::int32_t> InsideSide;
  // Per chain: a closed line too small to tell a knoll from a hollow.
  std::vector<bool> Tiny;
  // Per chain: a closed line below SmallRingMm (tiny ones too).
  std::vector<bool> Small;
};

Topology AnalyseTopology(const HeightMap& map, const TopologySettings& settings = {});

}  // namespace terrak::heights

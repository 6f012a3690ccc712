#pragma once
// What the heights commands keep between events: the preview of proposed heights while the
// user decides, and the changes of heights made since the objects were read, for undo.
#include <optional>
#include <vector>

#include "heights/check_heights.h"
#include "heights/height_result.h"
#include "mapfile/map_writer.h"
#include "platform/canvas.h"

namespace terrak {

struct HeightsPreview {
  // One per object of the model: the state the map is coloured by, nothing for objects that
  // carry no height of their own (they keep their colour).
  std::vector<std::optional<heights::HeightState>> States;
};

// The "Heights Along a Line" mouse mode and its drag, in screen pixels.
struct AlongLineDrag {
  bool Mode = false;
  bool Dragging = false;
  bool Down = false;       // Shift held at the press: levels go down
  bool LineShown = false;  // the rubber line is drawn (inverted) into the picture
  Point Start;
  Point End;
};

// One user action's change of heights, and the heights as they were before it, byte for byte.
struct HeightsStep {
  heights::HeightChanges Changes;
  HeightsBefore Before;
};

struct HeightsState {
  std::optional<HeightsPreview> Preview;
  // Each entry one user action (one Ins, one drag, one accepted derivation, one DEM run), as
  // written; the last is undone first. Object numbers index the model's objects.
  std::vector<HeightsStep> UndoSteps;
  AlongLineDrag AlongLine;
  // The last Check Heights: its findings and the one shown (-1 before the first).
  std::vector<heights::Finding> Findings;
  std::int32_t CurrentFinding = -1;
};

}  // namespace terrak

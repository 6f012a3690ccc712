#pragma once
// Picking an object with the mouse, following the objects of its symbol that join it end to end
// (the traced set), highlighting that set and showing heights.
#include "mainwindow/map_window.h"

namespace terrak {

// Finds the first visible object, in list order, with a screen point within 2 pixels of
// MouseDownPoint; sets HitFound, and unless Shift was held adds it to the traced set.
void HitTest(AppState& app);
// Appends every object of PickedSymbol whose ends join the chain ends within TraceTolerance,
// pass after pass until a pass joins nothing; an object may join more than once. Where the
// joins would go round for ever (a join leads to a chain seen before), the trace ends there.
void FollowJoins(AppState& app);
void DrawTraceHighlight(MapWindow& w);
// Draws the traced objects back in their normal colours and releases the set.
void ClearTrace(MapWindow& w);
void PickAndTrace(MapWindow& w);
void ShowHeightAt(MapWindow& w);
void StartNewTrace(MapWindow& w);
// Forgets the traced set and the picking figures without drawing, for when the objects it
// indexes are read again.
void DropTrace(MapWindowState& view);

}  // namespace terrak

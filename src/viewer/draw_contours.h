#pragma once
// The wedding cake: every line object of the selected symbols drawn at its own height.
#include <cstdint>

#include "mapfile/map_model.h"
#include "viewer/rasteriser.h"

namespace terrak {

// Depth range the contours start from, so the far end of the ramp lies at least 3 km away.
inline constexpr std::int32_t kContourNearestStart = 1000000;
inline constexpr std::int32_t kContourFarthestStart = 300000;

// Draws the objects of the selected symbols, symbol by symbol in selection order and within a
// symbol in object order. An object is drawn only when a corner of its extent box is in view;
// only line objects (type 2) and type 5 are drawn, their curves flattened in curveSteps steps.
// Resets the target's depth range first.
void DrawContours(RasterTarget& target, const ViewTransform& view, const MapModel& model,
                  double unitsPerMetre, std::int16_t curveSteps);

// The points of an object's line in metres, as the contours are drawn: the path's start
// (mapfile/object_path.h), then curveSteps points per step, the first part only. Calls
// point(x, y).
template <typename PointFn>
void WalkObjectLine(const TObjectCoords& coords, double unitsPerMetre, std::int16_t curveSteps,
                    PointFn&& point);

}  // namespace terrak

#include "viewer/draw_contours_walk.h"

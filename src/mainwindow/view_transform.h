#pragma once
// The zoom table, the map-to-screen transformation and the view set-up done at every paint.
#include <cstdint>

#include "mainwindow/map_window_state.h"
#include "mapfile/map_model.h"

namespace terrak {

// Model units per screen pixel of a zoom index: 0 (16x) gives 1, ... 5 (0.5x) gives 32, and 6
// or any other value gives 64 (0.25x).
std::int16_t UnitsPerPixelForZoom(std::int32_t zoomIndex);

// The screen position of a model point: the view centre sits at (HalfWidth, HalfHeight), y
// grows downwards on the screen; quotients are truncated toward zero.
inline Point MapToScreen(const MapWindowState& view, const MapModel& model, std::int64_t x,
                         std::int64_t y) {
  const std::int64_t upp = view.UnitsPerPixel;
  return {static_cast<std::int32_t>(view.HalfWidth + (x - model.MapOffsetX) / upp),
          static_cast<std::int32_t>(view.HalfHeight - (y - model.MapOffsetY) / upp)};
}

// A view centre moved to centre: maps of the first reader wrap it in 16 bits as their setup
// record keeps it; today's formats hold it within the model's reach.
std::int32_t WrapCentre(const MapModel& model, std::int64_t centre);

// Steps 3 to 9 of a paint: UnitsPerPixel and CurveSteps from MapZoom, MapArea, the half sizes,
// CentreLimits, the clamped view centre and VisibleWindow, for a client area of the given size.
void SetUpView(MapWindowState& view, MapModel& model, std::int32_t clientWidth,
               std::int32_t clientHeight);

// True when the object's bounding box overlaps VisibleWindow strictly; touching is not enough.
inline bool IsVisible(const MapWindowState& view, const TMapObject& object) {
  const MapWindowRect& w = view.VisibleWindow;
  return object.MaxY > w.Bottom && object.MinY < w.Top && object.MinX < w.Right &&
         object.MaxX > w.Left;
}

}  // namespace terrak

#pragma once
// The main window's view, navigation and picking state: one instance, owned by the application
// state and handed by reference to the handlers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mapfile/map_model.h"
#include "mapfile/map_writer.h"
#include "platform/canvas.h"
#include "platform/input_events.h"

namespace terrak {

// Smallest and largest allowed view centre, model units.
struct CentreRange {
  std::int32_t MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
};

// The shown part of the map, model units, y growing upwards (Top > Bottom).
struct MapWindowRect {
  std::int32_t Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// Room for the screen points of one object before the buffer has to grow.
inline constexpr std::size_t kScreenPointRoom = 6001;

struct MapWindowState {
  MapWindowState() { ScreenPoints.reserve(kScreenPointRoom); }

  // View, set at every paint.
  std::int16_t UnitsPerPixel = 16;
  std::int16_t CurveSteps = 4;
  Rect MapArea;
  std::int16_t HalfWidth = 0;
  std::int16_t HalfHeight = 0;
  CentreRange CentreLimits;
  MapWindowRect VisibleWindow;

  // Screen points of the object being drawn or tested. Kept in 32 bits so a point far off the
  // window never wraps onto it; the buffer is reused from object to object and grows only for
  // an object longer than any before, so long objects are drawn whole.
  std::vector<Point> ScreenPoints;
  std::int32_t PointCount = 0;

  Point MouseDownPoint;
  ShiftState LastShiftState;
  bool ProceedWithOpen = true;

  // The map whose bytes the working copy holds: set by a successful open or Save As, empty
  // while there is none. A rejected file never gets here, so Save and every write into the
  // working copy only ever concern this map.
  std::string OpenMapName;
  bool MapOpen() const { return !OpenMapName.empty(); }

  // Picking and tracing.
  bool TraceExists = false;
  TracedObjectList TracedObjects;
  std::int32_t PickedSymbol = 0;
  std::int32_t PickedSymbolScale = 10;  // the map's SymbolNumberScale, for the status bar
  std::int32_t CurrentHeight = 0;
  std::int16_t PickCount = 0;
  std::int16_t TracedObjectCount = 0;
  TPair ChainEndA;
  TPair ChainEndB;
  std::int32_t ChainEndAIndex = 0;
  std::int32_t ChainEndBIndex = 0;
  ObjectKind PickedKind{};  // none before the first traced object is drawn
  bool HitFound = false;
  std::int32_t NewHeight = 0;

  // Zoom and view moving.
  std::int16_t RequestedZoomIndex = 0;
  bool MoveViewMode = false;
  bool ZoomRectMode = false;
  bool DraggingLeft = false;
  bool DraggingRight = false;
  Rect FocusFrameBase;
  Rect FocusFrame;
  Point DragStart;
  Point DragLast;
};

}  // namespace terrak

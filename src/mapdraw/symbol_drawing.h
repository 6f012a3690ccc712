#pragma once
// Drawing one object with its symbol: what each kind of symbol puts into the picture.
#include <cstdint>
#include <string>
#include <vector>

#include "mapdraw/path_parts.h"
#include "mapdraw/picture_builder.h"
#include "mapfile/symbol_definitions.h"

namespace terrak::mapdraw {

struct DrawContext {
  PictureBuilder& Out;
  double Tolerance = 2;     // curves and circles stay this close to their true shape
  std::int32_t Clip = -1;   // everything drawn now is clipped to this region
  int Depth = 0;            // symbols inside symbols
};

// Symbols inside symbols are drawn at most this deep; deeper ones are damaged definitions.
inline constexpr int kDeepestSymbol = 12;

// A point symbol at a position, turned counterclockwise by rotation when it is rotatable (the
// caller decides). scale stretches the elements' positions, not their widths (dash symbols at
// sharp corners).
void DrawPointSymbol(const PointDefinition& point, Vec2 at, double rotation, double scale,
                     DrawContext& context);

void DrawLineSymbol(const LineDefinition& line, const std::vector<PathPart>& parts,
                    DrawContext& context);

void DrawAreaSymbol(const AreaDefinition& area, const std::vector<PathPart>& parts,
                    const ObjectPlacement& placement, DrawContext& context);

// A text object: its points (the anchor first) and text as stored.
void DrawTextSymbol(const TextDefinition& text, const std::vector<FlaggedPoint>& points,
                    const std::string& content, const ObjectPlacement& placement,
                    DrawContext& context);

// Any symbol on an object's path (line, area, combined; a point symbol on its first point).
void DrawSymbolOnPath(const SymbolDefinition& symbol, const std::vector<PathPart>& parts,
                      const ObjectPlacement& placement, DrawContext& context);

// How far a point symbol reaches from its centre.
double PointReach(const PointDefinition& point, int depth = 0);

// A circle as a ring of points, close enough to round for the tolerance.
Polyline Circle(Vec2 centre, double radius, double tolerance);

}  // namespace terrak::mapdraw

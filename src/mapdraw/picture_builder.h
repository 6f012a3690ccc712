#pragma once
// Collects what the map drawing emits, colour by colour, and puts it in the map's colour order:
// everything of the last colour of the table first, the first colour last (on top). Within a
// colour, consecutive lines of one pen and dots of one colour merge into one item, so a map of
// thousands of objects paints as a few thousand items.
#include <cstdint>
#include <vector>

#include "mapdraw/geometry.h"
#include "mapfile/symbol_definitions.h"
#include "platform/vector_picture.h"

namespace terrak::mapdraw {

struct Pen {
  double Width = 0;
  StrokeCap Cap = StrokeCap::Flat;
  StrokeJoin Join = StrokeJoin::Miter;
  double MiterLimit = 1;
};

class PictureBuilder {
 public:
  explicit PictureBuilder(const std::vector<MapColour>& colours);

  // An area: the inside of the rings by the even-odd rule (holes stay empty).
  void Fill(ColourRef colour, const std::vector<Polyline>& rings, std::int32_t clip = -1);
  // Dots and other small shapes that may overlap: their union.
  void FillShape(ColourRef colour, const Polyline& ring, std::int32_t clip = -1);
  void Stroke(ColourRef colour, const std::vector<Polyline>& lines, const Pen& pen,
              std::int32_t clip = -1);
  // A text, its letters filled, or their outline stroked at outlineWidth when not zero.
  void Text(ColourRef colour, PictureText text, double outlineWidth = 0);
  // A region by the even-odd rule that later items may be clipped to; its index.
  std::int32_t AddClip(const std::vector<Polyline>& rings);

  VectorPicture Finish();

  // A picture holds at most this many points; a damaged map whose symbols would draw more
  // (a pattern of micrometre spacing, say) loses the rest, so it never exhausts memory or time.
  static constexpr std::size_t kMostPoints = std::size_t{1} << 23;
  bool Full() const { return points_ >= kMostPoints; }

 private:
  struct Layer {
    std::vector<PictureItem> Items;  // FirstPart into Parts, First into Points
    std::vector<PicturePart> Parts;
    std::vector<PicturePoint> Points;
  };
  enum class Merge { Never, Union, SamePen };
  Layer* LayerOf(ColourRef colour);
  PictureItem& Open(Layer& layer, PictureItem prototype, Merge merge);
  void AddParts(Layer& layer, PictureItem& item, const std::vector<Polyline>& lines, double grow);

  const std::vector<MapColour>& colours_;
  std::vector<Layer> layers_;
  std::vector<Merge> lastMerge_;
  Layer clips_;
  std::vector<PictureClip> clipRegions_;
  std::vector<PictureText> texts_;
  std::size_t points_ = 0;
};

}  // namespace terrak::mapdraw

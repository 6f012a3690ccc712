#pragma once
// The map in its own colours: every object that is not hidden drawn with its symbol's
// definition, in the map's colour order, as a vector picture in paper coordinates that the
// platform's painter draws into any rectangle at any scale. The picture is what stays the same
// between repaints; a window keeps it and only paints it again.
#include <cstddef>
#include <vector>

#include "mapdraw/geometry.h"
#include "mapfile/map_format.h"
#include "mapfile/symbol_definitions.h"
#include "platform/vector_picture.h"

namespace terrak::mapdraw {

struct DrawOptions {
  // Curves and circles stay this close to their true shape (1/1000 mm of paper): a tenth of a
  // pixel at the finest scale the picture will be painted at.
  double Tolerance = 2;
};

struct MapPicture {
  VectorPicture Picture;
  Box Extent;          // what the drawn objects other than texts cover, their symbols' widths included
  Box GuessedTexts;    // the texts' extent guessed without their font
  std::size_t DrawnObjects = 0;
  std::size_t HiddenObjects = 0;         // hidden objects and objects of hidden symbols
  std::size_t UndefinedObjects = 0;      // objects of symbols the map does not define
  bool Truncated = false;  // the symbols would draw more than a picture holds; the rest is out
};

MapPicture DrawMap(const SymbolDefinitions& definitions, const std::vector<FormatObject>& objects,
                   const DrawOptions& options);

// What the whole picture covers: the objects' extent and the texts' boxes as the platform's
// painter measured them (PicturePainter::TextBounds), or as guessed when it measured none.
Box DrawnExtent(const MapPicture& drawn, const std::vector<PictureBox>& measuredTexts);

// The tolerance for painting at this many pixels per micrometre of paper.
double ToleranceFor(double pixelsPerMicrometre);

}  // namespace terrak::mapdraw

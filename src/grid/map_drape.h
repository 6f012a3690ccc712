#pragma once
// The drape when no map bitmap lies beside the map: the map's own drawing painted over the
// grid's cells at one pixel per metre of ground, its colours reduced to the bitmap's palette.
// Entry 255 of that palette stays black and unused, as the 3D map file keeps 255 for its
// repeat code.
#include <cstdint>
#include <vector>

#include "common/colour.h"
#include "terrain/grid_state.h"
#include "platform/picture_painter.h"
#include "platform/vector_picture.h"

namespace terrak {

// The paper that covers the grid's cells pixel for pixel: the picture's column c and row r are
// the cell of column c and row GridHeight - r (rows of the grid grow northwards), each pixel
// centred on its cell. micrometresPerMetre: of paper per metre of ground.
PictureView DrapeViewOf(const GridState& grid, double micrometresPerMetre);

// The grid's cells as pixels are more than a picture may hold.
bool DrapeTooLarge(const GridState& grid);

// BitmapGrid and BitmapPalette from the pixels of DrapeViewOf (rows from the top): the most
// common colours become the palette (colours within 8 levels of each other share an entry),
// every other colour takes the nearest entry.
void ReducePictureToBitmap(const std::vector<Colour>& pixels, GridState& grid);

// Paints the drawing over the grid and reduces it; the map is then loaded and shown draped.
void DrapeMapDrawing(const VectorPicture& drawing, double micrometresPerMetre,
                     PicturePainter& painter, GridState& grid);

}  // namespace terrak

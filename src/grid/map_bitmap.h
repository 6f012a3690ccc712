#pragma once
// The map bitmap: an image of the map lying beside the map file is stretched to one pixel per
// metre of the whole map and saved as an 8-bit bitmap file, and the part of that file which
// covers the grid's selection is read into BitmapGrid, one palette index per cell.
#include <cstdint>
#include <string>
#include <vector>

#include "grid/grid_build_state.h"
#include "terrain/grid_state.h"
#include "platform/file_stream.h"
#include "platform/image_stretcher.h"
#include "platform/user_dialogs.h"

namespace terrak {

inline constexpr const char* kNotOcadBitmapMessage =
    "File is not a BMP created by OCAD, must be 256 colours RGB (not RLE format)";

// Shown, followed by the reason, when the map image cannot be stretched, saved or read back;
// the grid is then drawn without it.
inline constexpr const char* kMapImageUnusedMessage =
    "The map image is not draped over the terrain. ";

inline constexpr std::int64_t kBmpPaletteOffset = 54;
inline constexpr std::int64_t kBmpRowsOffset = 1078;
// The length of the old row buffer; longer rows are read whole all the same.
inline constexpr std::int64_t kOldRowBufferSize = 5004;

// The bitmap looked for beside the map: the name's ".ocd" ending (any case) replaced by ".bmp".
// A name without that ending has its last extension replaced, or ".bmp" added; nameGuessed
// tells so.
std::string MapBitmapFileNameFor(const std::string& mapFileName, bool* nameGuessed = nullptr);

// The fixed 256-colour palette of the stretched picture: a 6 x 6 x 6 colour cube, then 39 greys;
// entry 255 repeats black, so nearest-colour mapping never picks it (the 3D map file keeps 255
// for its repeat code).
const ImagePalette& StretchPalette();

// Stored pixel row length: the width rounded up to a multiple of 4 bytes.
std::int64_t BmpRowBytes(std::int64_t width);

// The whole 8-bit bitmap file of a picture: headers, the 256-entry palette at byte 54, rows from
// the picture's last row to its first starting at byte 1078.
std::vector<std::uint8_t> EncodeBmp8(const IndexedImage& image, const ImagePalette& palette);

// Stretches the map bitmap onto MapWidth x MapHeight pixels, upside down, and writes it to
// build.StretchedFileName.
void StretchMapBitmap(const GridState& grid, const GridBuildState& build,
                      ImageStretcher& stretcher);

// Reads the stretched file: header check, palette, the selection's rows. A file that fails the
// check leaves both flags false and shows the program's message.
void ReadStretchedBitmap(GridState& grid, GridBuildState& build, UserDialogs& dialogs);

// The steps of ReadStretchedBitmap: the palette at byte 54; the selection's rows, skipping the
// map's rows above it; one stored row into BitmapGrid row bitmapY, grid column 0 taking pixel
// BitmapColumnOffset + 1.
void ReadBitmapPalette(const FileStream& stream, GridState& grid);
void ReadBitmapRows(const FileStream& stream, std::int64_t rowBytes, GridState& grid,
                    GridBuildState& build);
void CopyBitmapRow(const std::vector<std::uint8_t>& row, std::int32_t bitmapY,
                   std::int32_t columnOffset, GridState& grid);

// StretchMapBitmap, then ReadStretchedBitmap. A file that cannot be loaded, written or read (or
// too little memory for it) leaves both flags false and shows kMapImageUnusedMessage with the
// reason; it does not end the grid construction.
void ReadMapBitmap(GridState& grid, GridBuildState& build, ImageStretcher& stretcher,
                   UserDialogs& dialogs);

}  // namespace terrak

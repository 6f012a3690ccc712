#pragma once
// Pictures leaving the viewer: the page rectangle of a print, the 24-bit bitmap file of Save
// Bitmap and its message, and PNG files for the command line.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "viewer/picture.h"

namespace terrak {

// Print and Save Bitmap draw the picture again at this size.
inline constexpr std::int32_t kOutputWidth = 1200;
inline constexpr std::int32_t kOutputHeight = 900;

// The largest 4:3 rectangle in the top left corner of a page of width x height printer pixels.
Rect PrintRectFor(std::int32_t pageWidth, std::int32_t pageHeight);

// An uncompressed 24-bit Windows bitmap: 54 bytes of headers, rows bottom-up, blue, green, red,
// each row padded to a multiple of 4 bytes. Throws std::invalid_argument for an empty picture.
std::vector<std::uint8_t> EncodeBmp24(const Picture& picture);

// A compressed PNG of 8-bit RGB pixels (written by libpng), at zlib's level (0 to 9; zlib's
// default when negative). Throws std::invalid_argument for an empty picture and std::bad_alloc
// when memory runs out.
std::vector<std::uint8_t> EncodePng(const Picture& picture, int level = -1);

// "Bitmap saved to " + name, cut to 96 characters (never inside a UTF-8 character), then
// " at " + width + "x" + height + " pixels".
std::string BitmapSavedMessage(const std::string& fileName, std::int32_t width,
                               std::int32_t height);

}  // namespace terrak

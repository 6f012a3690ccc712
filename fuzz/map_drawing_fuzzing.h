#pragma once
// What the symbol readers' fuzz targets share: the bytes as a map of one kind, its symbol
// definitions read and the whole map drawn. The only allowed outcome besides a picture is the
// program's own refusal (MapFormatError). Every text drawn, and its font's name, is UTF-8
// whatever bytes the file held.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "mapdraw/map_drawing.h"
#include "mapfile/drawing_source.h"
#include "mapfile/map_formats.h"
#include "mapfile/text_encoding.h"

namespace terrak::fuzzing {

// Curves and circles coarse enough to keep each run short.
inline constexpr double kFuzzTolerance = 50;

inline void DrawMapOfKind(const std::uint8_t* data, std::size_t size, MapFileKind kind) {
  std::vector<std::uint8_t> bytes(data, data + size);
  if (RecogniseMapFile(bytes).Kind != kind) return;
  try {
    const DrawingSource source = ReadDrawingSource(std::move(bytes), "/nonexistent/fuzz");
    mapdraw::DrawOptions options;
    options.Tolerance = kFuzzTolerance;
    const mapdraw::MapPicture drawn = mapdraw::DrawMap(source.Definitions, source.Objects, options);
    // Every item's geometry lies in the picture's arrays.
    for (const PictureItem& item : drawn.Picture.Items) {
      if (std::size_t{item.FirstPart} + item.PartCount > drawn.Picture.Parts.size()) std::abort();
      if ((item.Type == PictureItem::Kind::Text || item.Type == PictureItem::Kind::TextOutline) &&
          item.TextIndex >= drawn.Picture.Texts.size())
        std::abort();
    }
    for (const PictureText& text : drawn.Picture.Texts)
      if (ValidUtf8(text.Text) != text.Text || ValidUtf8(text.Family) != text.Family) std::abort();
    for (const PicturePart& part : drawn.Picture.Parts)
      if (std::size_t{part.First} + part.Count > drawn.Picture.Points.size()) std::abort();
  } catch (const MapFormatError&) {
  }
}

}  // namespace terrak::fuzzing

// Converts a stored version 6/7 object into the model element of version 5: the points with
// marker pairs for new parts, curves and changes of the line flags.
#include <algorithm>
#include <cstring>
#include <string>

#include "common/bytes.h"
#include "mapfile/convert_points.h"
#include "mapfile/height_field.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/ocad_layout.h"
#include "mapfile/utf16.h"

namespace terrak {


ModelElement ConvertObject6(const std::vector<std::uint8_t>& object, int version) {
  if (object.size() < ocad::kObject6HeaderSize)
    throw OcadFormatError("object shorter than its header");
  const std::uint8_t* bytes = object.data();
  ModelElement element;
  element.Symbol = GetI16(bytes + 0);
  // OCAD 8 keeps the type in one byte and a flag for UTF-16 texts in the next.
  element.ObjectType =
      static_cast<std::int16_t>(version == 8 ? bytes[2] : GetU16(bytes + 2));
  element.Kind = KindOfCode5To8(element.ObjectType);
  const bool wideText = version == 8 && bytes[3] == 1;
  element.Angle = GetI16(bytes + 8);
  if (version == 8) {
    const std::optional<std::int32_t> height = Ocad8HeightFromField(GetI32(bytes + 12));
    element.Height = height.value_or(0);
    element.HasHeight = height.has_value();
  } else {
    element.Height = static_cast<std::int16_t>(GetU16(bytes + 12));  // low 16 bits of the i32
    element.HasHeight = HeightFieldHoldsHeight5To7(element.Height);
  }

  // Version 8 counts up to 32768 coordinates in an unsigned word.
  const int itemCount = version == 8 ? GetU16(bytes + 4) : GetI16(bytes + 4);
  if (itemCount < 0) throw OcadFormatError("object with a negative number of coordinates");
  const std::size_t coordsEnd =
      ocad::kObject6HeaderSize + ocad::kCoord6Size * static_cast<std::size_t>(itemCount);
  if (coordsEnd > object.size())
    throw OcadFormatError("object's coordinates run past its length");

  auto coordX = [&](int k) { return GetI32(bytes + ocad::kObject6HeaderSize + 8 * k); };
  auto coordY = [&](int k) { return GetI32(bytes + ocad::kObject6HeaderSize + 8 * k + 4); };

  std::vector<FlaggedPoint> points(static_cast<std::size_t>(itemCount));
  for (int k = 0; k < itemCount; ++k) {
    const Coord6 x = ConvertCoordOf(version, coordX(k));
    const Coord6 y = ConvertCoordOf(version, coordY(k));
    points[static_cast<std::size_t>(k)] = {{x.Value, y.Value}, x.Flags, y.Flags};
  }
  std::vector<TPair>& out = element.Pairs;
  ConvertPoints(points, out);

  if (element.Kind == ObjectKind::Text) {
    // Formatted text, packed after the last pair with its terminating zero. Versions 6/7: the
    // zero-terminated text 8 bytes after the coordinates, ending at the object's end at the
    // latest. Version 8: the nText 8-byte units right after the coordinates.
    std::size_t textStart = coordsEnd + 8;
    std::size_t textEnd = object.size();
    if (version == 8) {
      textStart = coordsEnd;
      textEnd = std::min(object.size(), coordsEnd + ocad::kCoord6Size * GetU16(bytes + 6));
    }
    std::string text;
    if (textStart < textEnd) {
      if (wideText) {
        text = Utf16LeToUtf8({bytes + textStart, textEnd - textStart});
      } else {
        std::size_t textLength = 0;
        while (textStart + textLength < textEnd && bytes[textStart + textLength] != 0)
          ++textLength;
        text.assign(reinterpret_cast<const char*>(bytes) + textStart, textLength);
      }
    }
    const std::size_t textLength = text.size();
    const std::size_t words = textLength / 4 + 1;
    std::vector<std::uint8_t> packed(words * 4, 0);
    if (textLength > 0) std::memcpy(packed.data(), text.data(), textLength);
    for (std::size_t w = 0; w < words; ++w)
      out.push_back({GetI16(packed.data() + 4 * w), GetI16(packed.data() + 4 * w + 2)});
  }
  return element;
}

}  // namespace terrak

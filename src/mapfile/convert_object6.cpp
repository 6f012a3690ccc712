// Converts a stored version 6 to 8 object into the model's form.
#include "common/bytes.h"
#include "mapfile/height_field.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/ocad_layout.h"
#include "mapfile/ocad_points.h"

namespace terrak {

ModelElement ConvertObject6(const std::vector<std::uint8_t>& object, int version) {
  if (object.size() < ocad::kObject6HeaderSize)
    throw OcadFormatError("object shorter than its header");
  const std::uint8_t* bytes = object.data();
  ModelElement element;
  element.Symbol = GetI16(bytes + 0);
  // OCAD 8 keeps the type in one byte.
  element.ObjectType =
      static_cast<std::int16_t>(version == 8 ? bytes[2] : GetU16(bytes + 2));
  element.Kind = KindOfCode5To8(element.ObjectType);
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

  element.Points.reserve(static_cast<std::size_t>(itemCount));
  for (int k = 0; k < itemCount; ++k) {
    const Coord6 x = ConvertCoordOf(version, coordX(k));
    const Coord6 y = ConvertCoordOf(version, coordY(k));
    element.Points.push_back(PointWithOcadFlags({x.Value, y.Value}, x.Flags, y.Flags));
  }
  StartAtAPoint(element.Points);
  return element;
}

}  // namespace terrak

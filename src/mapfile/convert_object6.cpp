// Converts a stored version 6/7 object into the model element of version 5: the points with
// marker pairs for new parts, curves and changes of the line flags.
#include <cstring>

#include "common/bytes.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/ocad_layout.h"

namespace terrak {

namespace {

constexpr std::int16_t kCodeCornerOrDash = static_cast<std::int16_t>(-32767);  // 32769

// Flag bits of coded coordinates.
constexpr std::uint8_t kXCurveFirst = 1;
constexpr std::uint8_t kXCurveAny = 3;
constexpr std::uint8_t kXNoLeftLine = 4;
constexpr std::uint8_t kYNewPart = 2;
constexpr std::uint8_t kYCornerOrDash = 9;
constexpr std::uint8_t kYNoRightLine = 4;

// The code of a change of the line flags: rows L unchanged/on/off, columns R unchanged/on/off.
constexpr std::int16_t kLineFlagCodes[3][3] = {{0, 3, 4}, {1, 5, 6}, {2, 7, 8}};

int FlagChange(bool before, bool now) {
  if (before == now) return 0;
  return now ? 1 : 2;
}

}  // namespace

ModelElement ConvertObject6(const std::vector<std::uint8_t>& object) {
  if (object.size() < ocad::kObject6HeaderSize)
    throw OcadFormatError("object shorter than its header");
  const std::uint8_t* bytes = object.data();
  ModelElement element;
  element.Symbol = GetI16(bytes + 0);
  element.ObjectType = static_cast<std::int16_t>(GetU16(bytes + 2));
  element.Angle = GetI16(bytes + 8);
  element.Height = static_cast<std::int16_t>(GetU16(bytes + 12));  // low 16 bits of the i32

  const std::int16_t itemCount = GetI16(bytes + 4);
  if (itemCount < 0) throw OcadFormatError("object with a negative number of coordinates");
  const std::size_t coordsEnd =
      ocad::kObject6HeaderSize + ocad::kCoord6Size * static_cast<std::size_t>(itemCount);
  if (coordsEnd > object.size())
    throw OcadFormatError("object's coordinates run past its length");

  auto coordX = [&](int k) { return GetI32(bytes + ocad::kObject6HeaderSize + 8 * k); };
  auto coordY = [&](int k) { return GetI32(bytes + ocad::kObject6HeaderSize + 8 * k + 4); };

  std::vector<TPair>& out = element.Pairs;
  out.reserve(static_cast<std::size_t>(itemCount) * 2 + 4);
  bool lastL = false;
  bool lastR = false;
  int curveCounter = 0;
  for (int k = 0; k + 1 < itemCount; ++k) {
    const Coord6 x = ConvertCoord6(coordX(k));
    const Coord6 y = ConvertCoord6(coordY(k));
    const TPair point{x.Value, y.Value};
    const bool curveNext = (ConvertCoord6(coordX(k + 1)).Flags & kXCurveFirst) != 0;

    if (y.Flags & kYNewPart) {
      out.push_back({kMarkNewPart, kMarkNewPart});
      out.push_back(point);
      if (curveNext) {
        out.push_back({kMarkCurve, kMarkCurve});
        curveCounter = 1;
      }
      continue;
    }

    std::int16_t code;
    if (y.Flags & kYCornerOrDash) {
      code = kCodeCornerOrDash;
    } else if (x.Flags & kXCurveAny) {
      code = 0;
    } else {
      const bool noLeft = (x.Flags & kXNoLeftLine) != 0;
      const bool noRight = (y.Flags & kYNoRightLine) != 0;
      code = kLineFlagCodes[FlagChange(lastL, noLeft)][FlagChange(lastR, noRight)];
      lastL = noLeft;
      lastR = noRight;
    }

    if (curveNext) {
      curveCounter = 1;
      out.push_back(point);
      out.push_back({kMarkCurve, code == 0 ? kMarkCurve : code});
    } else {
      curveCounter = curveCounter > 0 ? curveCounter + 1 : 0;
      if (code != 0 && curveCounter == 0) out.push_back({kMarkLineFlags, code});
      out.push_back(point);
      if (curveCounter >= 4) curveCounter = 0;
    }
  }
  if (itemCount > 0) {
    const int last = itemCount - 1;
    out.push_back({ConvertCoord6(coordX(last)).Value, ConvertCoord6(coordY(last)).Value});
  }

  if (element.ObjectType == 4) {
    // Formatted text: the zero-terminated text 8 bytes after the coordinates, packed after the
    // last pair with its terminating zero. A text that runs to the object's end ends there.
    const std::size_t textStart = coordsEnd + 8;
    std::size_t textLength = 0;
    while (textStart + textLength < object.size() && bytes[textStart + textLength] != 0)
      ++textLength;
    const std::size_t words = textLength / 4 + 1;
    std::vector<std::uint8_t> packed(words * 4, 0);
    if (textLength > 0) std::memcpy(packed.data(), bytes + textStart, textLength);
    for (std::size_t w = 0; w < words; ++w)
      out.push_back({GetI16(packed.data() + 4 * w), GetI16(packed.data() + 4 * w + 2)});
  }
  return element;
}

}  // namespace terrak

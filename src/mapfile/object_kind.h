#pragma once
// What an object or symbol is, whatever format it came from: the rest of the program asks this,
// never a format's type code.
#include <cstdint>

namespace terrak {

// The numbers are OCAD 6/7's type codes. OCAD 5 to 8 maps may hold other codes; those objects
// keep their code as a kind without a name, drawn as nothing, and two of them are the same kind
// only when their codes are equal.
enum class ObjectKind : std::int16_t {
  Point = 1,
  Line = 2,
  Area = 3,
  Text = 4,
  // OCAD 5 to 8's rectangle: drawn through its points as a line, but never a contour.
  Rectangle = 5,
};

// Whether objects of this kind are drawn, rasterised and outlined as a line through their points.
constexpr bool IsDrawnAsLine(ObjectKind kind) {
  return kind == ObjectKind::Line || kind == ObjectKind::Rectangle;
}

}  // namespace terrak

#pragma once
// The heights core's picture of a map: every object a polyline in ground metres with its symbol,
// its contour role and its height when it has one. Plain data without Qt or a file format, so
// deriving, checking and sampling heights run the same in the program, terrak-cli and the tests.
#include <cstdint>
#include <string>
#include <vector>

namespace terrak::heights {

// Ground metres in the map's own frame: x to the map's right, y to its top.
struct Point {
  double X = 0.0;
  double Y = 0.0;
  friend bool operator==(const Point&, const Point&) = default;
};

// What a symbol's lines say about the ground.
enum class ContourRole : std::uint8_t {
  None,          // not a contour: ignored
  Contour,       // a level every interval
  IndexContour,  // a level every IndexEvery intervals
  FormLine,      // half an interval between two contours
  SlopeLine,     // a short tick on the downhill side of a contour
};

// A height in metres, or none. Kept apart from the metres so that every height can be held,
// also 0 m and below.
struct HeightValue {
  bool Has = false;
  double Metres = 0.0;
  friend bool operator==(const HeightValue&, const HeightValue&) = default;
};

inline HeightValue Metres(double metres) { return {true, metres}; }

struct HeightObject {
  std::int32_t Symbol = 0;
  ContourRole Role = ContourRole::None;
  std::vector<Point> Points;  // the line in order, curves already flattened
  HeightValue Height;
};

struct HeightMap {
  std::vector<HeightObject> Objects;
  // Ends of two objects join when they lie closer than this in x and in y (the trace tolerance).
  double JoinTolerance = 0.5;
  // Ground metres per millimetre of paper (the scale divided by 1000): distances that depend on
  // how a mapper draws (gaps, ticks) are set in millimetres of paper.
  double MetresPerPaperMm = 10.0;
};

// Whether objects of this role carry a height of their own.
constexpr bool CarriesHeight(ContourRole role) {
  return role == ContourRole::Contour || role == ContourRole::IndexContour ||
         role == ContourRole::FormLine;
}

}  // namespace terrak::heights

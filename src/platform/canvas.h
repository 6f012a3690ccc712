#pragma once
// A surface to draw on: the window's backing image in the program, a recorder or an image in
// tests. Coordinates are pixels, y growing downwards.
#include <cstdint>
#include <string>
#include <vector>

#include "common/colour.h"

namespace terrak {

struct Point {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Left and top edges belong to the rectangle, right and bottom edges do not.
struct Rect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  std::int32_t Width() const { return Right - Left; }
  std::int32_t Height() const { return Bottom - Top; }
  bool Contains(Point p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class PenMode { Normal, Invert };

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;

  virtual void SetPenColour(Colour colour) = 0;
  virtual Colour PenColour() const = 0;
  virtual void SetPenMode(PenMode mode) = 0;
  virtual void SetBrushColour(Colour colour) = 0;
  virtual Colour BrushColour() const = 0;
  // Font height in points.
  virtual void SetFont(const std::string& name, int size) = 0;

  virtual void FillRect(const Rect& rect) = 0;  // with the brush, no outline
  virtual void MoveTo(std::int32_t x, std::int32_t y) = 0;
  virtual void LineTo(std::int32_t x, std::int32_t y) = 0;  // the end pixel is not drawn
  virtual void Ellipse(const Rect& bounds) = 0;             // pen outline, brush fill
  virtual void Rectangle(const Rect& bounds) = 0;           // pen outline, brush fill
  virtual void Polygon(const std::vector<Point>& points) = 0;  // pen outline, brush fill
  // Text with its top-left corner at (x, y), on the brush colour.
  virtual void TextOut(std::int32_t x, std::int32_t y, const std::string& text) = 0;
  // A dotted frame drawn by inverting pixels: drawing the same frame twice restores the picture.
  virtual void DrawFocusRect(const Rect& rect) = 0;
  // Copies width x height colours (rows from the top) onto the canvas with their top-left
  // corner at the canvas's: a picture painted elsewhere, such as the whole map.
  virtual void DrawPixels(std::int32_t width, std::int32_t height,
                          const std::vector<Colour>& pixels) = 0;
};

}  // namespace terrak

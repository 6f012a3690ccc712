#pragma once
// A Canvas that draws nothing and records every call as a line of text, with the pen and brush
// state, so tests can check what was drawn and in which order.
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace terrak::testing {

class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(std::int32_t width = 500, std::int32_t height = 400)
      : width_(width), height_(height) {}

  std::vector<std::string> Calls;

  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void SetPenColour(Colour colour) override;
  Colour PenColour() const override { return pen_; }
  void SetPenMode(PenMode mode) override;
  void SetBrushColour(Colour colour) override;
  Colour BrushColour() const override { return brush_; }
  void SetFont(const std::string& name, int size) override;
  void FillRect(const Rect& rect) override;
  void MoveTo(std::int32_t x, std::int32_t y) override;
  void LineTo(std::int32_t x, std::int32_t y) override;
  void Ellipse(const Rect& bounds) override;
  void Rectangle(const Rect& bounds) override;
  void Polygon(const std::vector<Point>& points) override;
  void TextOut(std::int32_t x, std::int32_t y, const std::string& text) override;
  void DrawFocusRect(const Rect& rect) override;
  // Recorded with the picture's size and its first pixel's colour.
  void DrawPixels(std::int32_t width, std::int32_t height,
                  const std::vector<Colour>& pixels) override;

  // The calls that start with prefix.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

 private:
  std::int32_t width_;
  std::int32_t height_;
  Colour pen_ = kBlack;
  Colour brush_ = kWhite;
};

}  // namespace terrak::testing

#include "support/recording_canvas.h"

#include <cstdio>

namespace terrak::testing {

namespace {
std::string RectText(const Rect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
         "," + std::to_string(r.Bottom);
}
std::string ColourText(Colour c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%06X", static_cast<unsigned>(c));
  return buffer;
}
}  // namespace

void RecordingCanvas::SetPenColour(Colour colour) {
  pen_ = colour;
  Calls.push_back("pen " + ColourText(colour));
}
void RecordingCanvas::SetPenMode(PenMode mode) {
  Calls.push_back(mode == PenMode::Invert ? "penmode invert" : "penmode normal");
}
void RecordingCanvas::SetBrushColour(Colour colour) {
  brush_ = colour;
  Calls.push_back("brush " + ColourText(colour));
}
void RecordingCanvas::SetFont(const std::string& name, int size) {
  Calls.push_back("font " + name + " " + std::to_string(size));
}
void RecordingCanvas::FillRect(const Rect& rect) { Calls.push_back("fill " + RectText(rect)); }
void RecordingCanvas::MoveTo(std::int32_t x, std::int32_t y) {
  Calls.push_back("moveto " + std::to_string(x) + "," + std::to_string(y));
}
void RecordingCanvas::LineTo(std::int32_t x, std::int32_t y) {
  Calls.push_back("lineto " + std::to_string(x) + "," + std::to_string(y));
}
void RecordingCanvas::Ellipse(const Rect& bounds) {
  Calls.push_back("ellipse " + RectText(bounds));
}
void RecordingCanvas::Rectangle(const Rect& bounds) {
  Calls.push_back("rectangle " + RectText(bounds));
}
void RecordingCanvas::Polygon(const std::vector<Point>& points) {
  std::string text = "polygon";
  for (const Point& p : points) text += " " + std::to_string(p.X) + "," + std::to_string(p.Y);
  Calls.push_back(text);
}
void RecordingCanvas::TextOut(std::int32_t x, std::int32_t y, const std::string& text) {
  Calls.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " " + text);
}
void RecordingCanvas::DrawFocusRect(const Rect& rect) {
  Calls.push_back("focus " + RectText(rect));
}

void RecordingCanvas::DrawPixels(std::int32_t width, std::int32_t height,
                                 const std::vector<Colour>& pixels) {
  Calls.push_back("pixels " + std::to_string(width) + "x" + std::to_string(height) + " " +
                  (pixels.empty() ? std::string("none") : ColourText(pixels.front())));
}

std::vector<std::string> RecordingCanvas::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& call : Calls)
    if (call.rfind(prefix, 0) == 0) found.push_back(call);
  return found;
}

}  // namespace terrak::testing

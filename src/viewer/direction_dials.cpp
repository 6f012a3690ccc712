#include "viewer/direction_dials.h"

#include <algorithm>

#include "common/rounding.h"

namespace terrak {

inline constexpr Colour kRed = MakeColour(255, 0, 0);
inline constexpr Colour kBlue = MakeColour(0, 0, 255);

DialFrame DialFrameOf(std::int32_t width, std::int32_t height) {
  DialFrame frame;
  frame.CentreX = width / 2;
  frame.CentreY = height / 2;
  frame.Radius = std::min(frame.CentreX, frame.CentreY);
  frame.Scale = frame.Radius / 100.0;
  return frame;
}

Point DialPoint(const DialFrame& frame, ShapePoint p, double c, double s) {
  const auto place = [&](double rotated, std::int32_t centre) {
    const double scaled = static_cast<double>(RoundToInt(rotated)) * frame.Scale;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(RoundToInt(scaled), -1000000, 1000000) +
                                     centre);
  };
  return {place(p.X * c + p.Y * s, frame.CentreX), place(p.Y * c - p.X * s, frame.CentreY)};
}

namespace {

template <std::size_t N>
std::vector<Point> Placed(const DialFrame& frame, const std::array<ShapePoint, N>& shape, double c,
                          double s) {
  std::vector<Point> points;
  for (const ShapePoint& p : shape) points.push_back(DialPoint(frame, p, c, s));
  return points;
}

DialFrame ClearToWhite(Canvas& canvas) {
  canvas.SetPenMode(PenMode::Normal);
  canvas.SetPenColour(kBlack);
  canvas.SetBrushColour(kWhite);
  canvas.FillRect({0, 0, canvas.Width(), canvas.Height()});
  return DialFrameOf(canvas.Width(), canvas.Height());
}

}  // namespace

void PaintCompass(Canvas& canvas, double cosBearing, double sinBearing) {
  const DialFrame f = ClearToWhite(canvas);
  canvas.Ellipse({f.CentreX - f.Radius, f.CentreY - f.Radius, f.CentreX + f.Radius,
                  f.CentreY + f.Radius});
  canvas.Polygon(Placed(f, kCompassSouthShape, cosBearing, sinBearing));
  canvas.SetBrushColour(kRed);
  canvas.Polygon(Placed(f, kCompassNorthShape, cosBearing, sinBearing));
  canvas.SetBrushColour(kBlack);
  canvas.Ellipse({f.CentreX - 3, f.CentreY - 3, f.CentreX + 3, f.CentreY + 3});
}

void PaintInclinometer(Canvas& canvas, double cosIncline, double sinIncline) {
  const DialFrame f = ClearToWhite(canvas);
  canvas.SetBrushColour(kBlue);
  canvas.Polygon(Placed(f, kInclinometerShape, cosIncline, sinIncline));
}

}  // namespace terrak

#pragma once
// The compass and the inclinometer: a needle whose red half points north relative to the view
// direction, and an arrow tilted by the viewpoint's incline, drawn from the sines and cosines of
// the view angles.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/canvas.h"

namespace terrak {

// Shape points in a frame of +-100 units around the window's centre, x right and y down.
struct ShapePoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
};
inline constexpr std::array<ShapePoint, 6> kCompassNorthShape{
    {{0, 0}, {10, 0}, {10, -70}, {0, -90}, {-10, -70}, {-10, 0}}};
inline constexpr std::array<ShapePoint, 6> kCompassSouthShape{
    {{0, 0}, {10, 0}, {10, 70}, {0, 90}, {-10, 70}, {-10, 0}}};
inline constexpr std::array<ShapePoint, 7> kInclinometerShape{
    {{-100, 0}, {-80, 20}, {-80, 10}, {100, 10}, {100, -10}, {-80, -10}, {-80, -20}}};

// The frame of a window's client area: its centre and the scale of a shape unit.
struct DialFrame {
  std::int32_t CentreX = 0;
  std::int32_t CentreY = 0;
  std::int32_t Radius = 0;  // the smaller half side
  double Scale = 0;         // Radius / 100
};
DialFrame DialFrameOf(std::int32_t width, std::int32_t height);

// A shape point turned by (c, s), rounded to a whole unit, then scaled and placed.
Point DialPoint(const DialFrame& frame, ShapePoint p, double c, double s);

// The whole picture of each window, painted onto its client area.
void PaintCompass(Canvas& canvas, double cosBearing, double sinBearing);
void PaintInclinometer(Canvas& canvas, double cosIncline, double sinIncline);

}  // namespace terrak

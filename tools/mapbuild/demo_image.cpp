#include "mapbuild/demo_image.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "common/rounding.h"

namespace terrak::testing {
namespace {

// Printed line widths in millimetres on the map.
constexpr double kContourWidth = kDemoContourWidth / 100.0;
constexpr double kIndexContourWidth = kDemoIndexContourWidth / 100.0;
constexpr double kFrameWidth = kDemoFrameWidth / 100.0;

// Ground metres to pixel coordinates: x to the right, y down from the map's northern edge.
struct PixelMapping {
  double PerMetre;
  double Depth;
  double X(const GroundPoint& p) const { return p.X * PerMetre; }
  double Y(const GroundPoint& p) const { return (Depth - p.Y) * PerMetre; }
};

// Even-odd fill over all parts, so holes stay open. A pixel is inside when its centre is.
void FillArea(IndexedImage& image, const PixelMapping& m,
              const std::vector<std::vector<GroundPoint>>& parts, std::uint8_t paint) {
  const std::int64_t width = image.Pixels.Columns();
  for (std::int64_t row = 0; row < image.Pixels.Rows(); ++row) {
    const double y = static_cast<double>(row) + 0.5;
    std::vector<double> crossings;
    for (const auto& part : parts) {
      for (std::size_t k = 0; k + 1 < part.size(); ++k) {
        const double y1 = m.Y(part[k]), y2 = m.Y(part[k + 1]);
        if ((y1 <= y) == (y2 <= y)) continue;
        const double x1 = m.X(part[k]), x2 = m.X(part[k + 1]);
        crossings.push_back(x1 + (y - y1) / (y2 - y1) * (x2 - x1));
      }
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
      const std::int64_t first =
          std::max<std::int64_t>(0, RoundToInt(std::ceil(crossings[k] - 0.5)));
      const std::int64_t last =
          std::min(width - 1, RoundToInt(std::ceil(crossings[k + 1] - 0.5)) - 1);
      for (std::int64_t x = first; x <= last; ++x) image.Pixels(x, row) = paint;
    }
  }
}

// Paints every pixel whose centre lies within halfWidth of the segment.
void DrawSegment(IndexedImage& image, double x1, double y1, double x2, double y2, double halfWidth,
                 std::uint8_t paint) {
  const double dx = x2 - x1, dy = y2 - y1;
  const double length2 = dx * dx + dy * dy;
  const auto left = std::max<std::int64_t>(0, RoundToInt(std::floor(std::min(x1, x2) - halfWidth)));
  const auto right =
      std::min(image.Pixels.Columns() - 1, RoundToInt(std::ceil(std::max(x1, x2) + halfWidth)));
  const auto top = std::max<std::int64_t>(0, RoundToInt(std::floor(std::min(y1, y2) - halfWidth)));
  const auto bottom =
      std::min(image.Pixels.Rows() - 1, RoundToInt(std::ceil(std::max(y1, y2) + halfWidth)));
  for (std::int64_t x = left; x <= right; ++x) {
    for (std::int64_t y = top; y <= bottom; ++y) {
      const double px = static_cast<double>(x) + 0.5, py = static_cast<double>(y) + 0.5;
      double t = length2 > 0 ? ((px - x1) * dx + (py - y1) * dy) / length2 : 0.0;
      t = std::clamp(t, 0.0, 1.0);
      if (std::hypot(px - (x1 + t * dx), py - (y1 + t * dy)) <= halfWidth)
        image.Pixels(x, y) = paint;
    }
  }
}

void DrawLine(IndexedImage& image, const PixelMapping& m, const std::vector<GroundPoint>& line,
              double halfWidth, std::uint8_t paint) {
  for (std::size_t k = 0; k + 1 < line.size(); ++k)
    DrawSegment(image, m.X(line[k]), m.Y(line[k]), m.X(line[k + 1]), m.Y(line[k + 1]), halfWidth,
                paint);
}

}  // namespace

IndexedImage DrawDemoMap(const DemoMap& map, double scale, double pixelsPerMetre) {
  if (!(pixelsPerMetre > 0) || !(scale > 0))
    throw std::invalid_argument("demo image: bad resolution");
  const PixelMapping m{pixelsPerMetre, map.Options.Depth};
  IndexedImage image;
  image.Palette[kPaintForest] = kWhite;
  image.Palette[kPaintOpenLand] = MakeColour(255, 204, 92);
  image.Palette[kPaintWater] = MakeColour(0, 160, 230);
  image.Palette[kPaintContour] = MakeColour(196, 102, 34);
  image.Palette[kPaintBlack] = kBlack;
  image.Pixels.Resize(std::max<std::int64_t>(1, RoundToInt(map.Options.Width * pixelsPerMetre)),
                      std::max<std::int64_t>(1, RoundToInt(map.Options.Depth * pixelsPerMetre)),
                      kPaintOpenLand);

  // A printed width in millimetres as pixels, never thinner than one pixel.
  auto halfWidth = [&](double millimetres) {
    return std::max(0.5, millimetres * scale / 1000 * pixelsPerMetre / 2);
  };
  for (const DemoObject& object : map.Objects)
    if (object.Symbol == kDemoForest) FillArea(image, m, object.Parts, kPaintForest);
  for (const DemoObject& object : map.Objects)
    if (object.Symbol == kDemoLake) FillArea(image, m, object.Parts, kPaintWater);
  for (const DemoObject& object : map.Objects) {
    if (object.Symbol != kDemoContour && object.Symbol != kDemoIndexContour) continue;
    const double half =
        halfWidth(object.Symbol == kDemoIndexContour ? kIndexContourWidth : kContourWidth);
    for (const auto& part : object.Parts) DrawLine(image, m, part, half, kPaintContour);
  }
  for (const DemoObject& object : map.Objects)
    if (object.Symbol == kDemoFrame)
      for (const auto& part : object.Parts)
        DrawLine(image, m, part, halfWidth(kFrameWidth), kPaintBlack);
  return image;
}

}  // namespace terrak::testing

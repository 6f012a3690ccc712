#include "mapcompare/picture_compare.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace terrak::testing {

namespace {


struct Counts {
  std::int64_t Compared = 0, Agreeing = 0, Coloured = 0, ColouredAgreeing = 0;
};

Counts Count(const Picture& ours, const Picture& reference, std::int32_t dx, std::int32_t dy,
             double distance) {
  Counts c;
  const std::int32_t x0 = std::max(0, -dx), x1 = std::min(reference.Width, ours.Width - dx);
  const std::int32_t y0 = std::max(0, -dy), y1 = std::min(reference.Height, ours.Height - dy);
  for (std::int32_t y = y0; y < y1; ++y) {
    for (std::int32_t x = x0; x < x1; ++x) {
      const Colour r = reference.At(x, y);
      const bool agree = ColourDistance(ours.At(x + dx, y + dy), r) <= distance;
      ++c.Compared;
      c.Agreeing += agree;
      if (r != kWhite) {
        ++c.Coloured;
        c.ColouredAgreeing += agree;
      }
    }
  }
  return c;
}

Colour Pale(Colour c) {
  return MakeColour(static_cast<std::uint8_t>(191 + RedOf(c) / 4),
                    static_cast<std::uint8_t>(191 + GreenOf(c) / 4),
                    static_cast<std::uint8_t>(191 + BlueOf(c) / 4));
}

}  // namespace

double ColourDistance(Colour a, Colour b) {
  const double dr = double(RedOf(a)) - RedOf(b);
  const double dg = double(GreenOf(a)) - GreenOf(b);
  const double db = double(BlueOf(a)) - BlueOf(b);
  return std::sqrt(dr * dr + dg * dg + db * db) / (255.0 * std::sqrt(3.0));
}

PictureAgreement ComparePictures(const Picture& ours, const Picture& reference, double distance,
                                 std::int32_t maxShift) {
  PictureAgreement best;
  double bestScore = -1;
  for (std::int32_t dy = -maxShift; dy <= maxShift; ++dy) {
    for (std::int32_t dx = -maxShift; dx <= maxShift; ++dx) {
      const Counts c = Count(ours, reference, dx, dy, distance);
      const double score = c.Coloured ? double(c.ColouredAgreeing) / double(c.Coloured) : 0.0;
      // Of equal shifts, the smallest.
      const bool nearer = std::abs(dx) + std::abs(dy) < std::abs(best.ShiftX) + std::abs(best.ShiftY);
      if (score > bestScore || (score == bestScore && nearer)) {
        bestScore = score;
        best = {dx, dy, c.Compared, c.Agreeing, c.Coloured, c.ColouredAgreeing};
      }
    }
  }
  return best;
}

Picture SideBySide(const Picture& ours, const Picture& reference, const PictureAgreement& at,
                   double distance) {
  Picture out;
  const std::int32_t w = reference.Width, h = reference.Height;
  out.Reset(3 * w, h, kWhite);
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      const std::int32_t ox = x + at.ShiftX, oy = y + at.ShiftY;
      const bool covered = ox >= 0 && oy >= 0 && ox < ours.Width && oy < ours.Height;
      const Colour o = covered ? ours.At(ox, oy) : kWhite;
      const Colour r = reference.At(x, y);
      out.At(x, y) = o;
      out.At(w + x, y) = r;
      Colour d = Pale(r);
      if (ColourDistance(o, r) > distance)
        d = r != kWhite && o == kWhite ? MakeColour(230, 0, 0) : MakeColour(0, 60, 230);
      out.At(2 * w + x, y) = d;
    }
  }
  return out;
}

}  // namespace terrak::testing

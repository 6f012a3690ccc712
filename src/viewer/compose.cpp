#include "viewer/compose.h"

#include "common/rounding.h"
#include "viewer/depth_ramp.h"

namespace terrak {

namespace {

Colour Blend(Colour c0, Colour c1, std::int64_t k, std::int64_t n) {
  const auto channel = [&](int a, int b) {
    return static_cast<std::uint8_t>(
        a + RoundToInt(static_cast<double>((b - a) * k) / static_cast<double>(n)));
  };
  return MakeColour(channel(RedOf(c0), RedOf(c1)), channel(GreenOf(c0), GreenOf(c1)),
                    channel(BlueOf(c0), BlueOf(c1)));
}

void ComposeColumn(const std::int32_t* depths, const Colour* colours, std::int32_t x,
                   const DepthRampType& ramp, const ComposeOptions& options, Picture& out) {
  std::int32_t lastDepth = kScanStartDepth;
  std::int32_t lastRow = 0;  // 0: nothing accepted yet (row 0 is never drawn on)
  Colour previous = kSkyColour;
  Colour current = kSkyColour;
  for (std::int32_t y = 0; y < out.Height; ++y) {
    const std::int32_t d = depths[y];
    const bool accepted = d >= 1 && (d < lastDepth || !options.ZBufferOn);
    if (!accepted) {
      if (options.Drape && lastRow == 0) out.At(x, y) = current;
      continue;
    }
    if (!options.Drape) {
      out.At(x, y) = ramp[DepthRampIndex(d, options.NearestDepth, options.FarthestDepth)];
    } else if (lastRow == 0 || y - lastRow < 2) {
      current = colours[y];
      out.At(x, y) = current;
      previous = current;
      lastRow = y;
    } else {
      // Fill the rows hidden between the last accepted pixel and this one.
      const Colour c1 = colours[y];
      const std::int64_t n = y - lastRow;
      for (std::int32_t r = lastRow; r <= y; ++r) {
        current = Blend(previous, c1, r - lastRow, n);
        out.At(x, r) = current;
      }
      lastRow = y;
      previous = c1;
    }
    lastDepth = d;
  }
}

}  // namespace

void ComposePicture(const PixelBuffers& buffers, const DepthRampType& ramp,
                    const ComposeOptions& options, Picture& out) {
  const auto width = static_cast<std::int32_t>(buffers.DepthBuffer.Columns());
  const auto height = static_cast<std::int32_t>(buffers.DepthBuffer.Rows());
  out.Reset(width, height, kWhite);
  for (std::int32_t x = 0; x < width; ++x)
    ComposeColumn(buffers.DepthBuffer.Column(x), buffers.ColourBuffer.Column(x), x, ramp, options,
                  out);
}

}  // namespace terrak

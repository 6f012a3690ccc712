#include "viewer/compose.h"

#include <algorithm>
#include <thread>
#include <vector>

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

// The scan state of one column, from the top of the picture down.
struct ColumnScan {
  std::int32_t LastDepth = kScanStartDepth;
  std::int32_t LastRow = 0;  // 0: nothing accepted yet (row 0 is never drawn on)
  Colour Previous = kSkyColour;
  Colour Current = kSkyColour;
};

void ScanPixel(ColumnScan& scan, std::int32_t x, std::int32_t y, std::int32_t d,
               const Colour& colour, const DepthRampType& ramp, const ComposeOptions& options,
               Picture& out) {
  const bool accepted = d >= 1 && (d < scan.LastDepth || !options.ZBufferOn);
  if (!accepted) {
    if (options.Drape && scan.LastRow == 0) out.At(x, y) = scan.Current;
    return;
  }
  if (!options.Drape) {
    out.At(x, y) = ramp[DepthRampIndex(d, options.NearestDepth, options.FarthestDepth)];
  } else if (scan.LastRow == 0 || y - scan.LastRow < 2) {
    scan.Current = colour;
    out.At(x, y) = scan.Current;
    scan.Previous = scan.Current;
    scan.LastRow = y;
  } else {
    // Fill the rows hidden between the last accepted pixel and this one.
    const std::int64_t n = y - scan.LastRow;
    for (std::int32_t r = scan.LastRow; r <= y; ++r) {
      scan.Current = Blend(scan.Previous, colour, r - scan.LastRow, n);
      out.At(x, r) = scan.Current;
    }
    scan.LastRow = y;
    scan.Previous = colour;
  }
  scan.LastDepth = d;
}

}  // namespace

void ComposePicture(const PixelBuffers& buffers, const DepthRampType& ramp,
                    const ComposeOptions& options, Picture& out) {
  const auto width = static_cast<std::int32_t>(buffers.DepthBuffer.Columns());
  const auto height = static_cast<std::int32_t>(buffers.DepthBuffer.Rows());
  out.Reset(width, height, kWhite);
  // Each column is scanned on its own; the eight columns of a tile go down side by side, so
  // the buffers are read in the order they lie in memory.
  constexpr std::int32_t kTile = TiledGrid<std::int32_t>::kTile;
  const std::int32_t* depths = buffers.DepthBuffer.Data();
  const Colour* colours = buffers.ColourBuffer.Data();
  const auto composeColumns = [&](std::int32_t first, std::int32_t last) {
    for (std::int32_t x0 = first; x0 < last; x0 += kTile) {
      const std::int32_t lanes = std::min(kTile, width - x0);
      ColumnScan scans[kTile];
      for (std::int32_t y = 0; y < height; ++y) {
        const std::int64_t base = buffers.DepthBuffer.Index(x0, y);
        for (std::int32_t lane = 0; lane < lanes; ++lane)
          ScanPixel(scans[lane], x0 + lane, y, depths[base + lane], colours[base + lane], ramp,
                    options, out);
      }
    }
  };
  // The columns are shared among the threads in runs of whole cache lines of the picture.
  constexpr std::int32_t kRun = 16;
  const std::int32_t runs = (width + kRun - 1) / kRun;
  const int threads = std::clamp(options.Threads, 1, std::max(runs, 1));
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t)
    workers.emplace_back(composeColumns, runs * t / threads * kRun,
                         std::min(width, runs * (t + 1) / threads * kRun));
  composeColumns(0, std::min(width, runs / threads * kRun));
  for (std::thread& worker : workers) worker.join();
}

}  // namespace terrak

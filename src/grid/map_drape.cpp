#include "grid/map_drape.h"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>

#include "mapdraw/picture_frame.h"

namespace terrak {

namespace {

// Colours are gathered by their top five bits of red, green and blue.
constexpr std::size_t kBuckets = std::size_t{1} << 15;
constexpr std::size_t kUsableEntries = 255;

std::size_t BucketOf(Colour c) {
  return (std::size_t{RedOf(c)} >> 3) | ((std::size_t{GreenOf(c)} >> 3) << 5) |
         ((std::size_t{BlueOf(c)} >> 3) << 10);
}

struct Bucket {
  std::uint64_t Count = 0;
  std::uint64_t Red = 0, Green = 0, Blue = 0;
  Colour Mean() const {
    const auto mean = [this](std::uint64_t sum) {
      return static_cast<std::uint8_t>((sum + Count / 2) / Count);
    };
    return MakeColour(mean(Red), mean(Green), mean(Blue));
  }
};

std::int64_t Distance(Colour a, Colour b) {
  const auto d = [](std::uint8_t x, std::uint8_t y) {
    const std::int64_t v = std::int64_t{x} - std::int64_t{y};
    return v * v;
  };
  return d(RedOf(a), RedOf(b)) + d(GreenOf(a), GreenOf(b)) + d(BlueOf(a), BlueOf(b));
}

}  // namespace

PictureView DrapeViewOf(const GridState& grid, double micrometresPerMetre) {
  PictureView view;
  view.Left = (grid.GridMinX - 0.5) * micrometresPerMetre;
  view.Top = (static_cast<double>(grid.GridMinY) + grid.GridHeight + 0.5) * micrometresPerMetre;
  view.PixelsPerMicrometre = 1.0 / micrometresPerMetre;
  view.Width = grid.GridWidth + 1;
  view.Height = grid.GridHeight + 1;
  view.Background = kWhite;
  return view;
}

bool DrapeTooLarge(const GridState& grid) {
  const std::int64_t width = std::int64_t{grid.GridWidth} + 1;
  const std::int64_t height = std::int64_t{grid.GridHeight} + 1;
  return width < 1 || height < 1 || width > mapdraw::kLargestPictureSide ||
         height > mapdraw::kLargestPictureSide || width * height > mapdraw::kMostPicturePixels;
}

void ReducePictureToBitmap(const std::vector<Colour>& pixels, GridState& grid) {
  const std::int64_t width = std::int64_t{grid.GridWidth} + 1;
  const std::int64_t height = std::int64_t{grid.GridHeight} + 1;
  std::vector<Bucket> buckets(kBuckets);
  for (const Colour c : pixels) {
    Bucket& b = buckets[BucketOf(c)];
    ++b.Count;
    b.Red += RedOf(c);
    b.Green += GreenOf(c);
    b.Blue += BlueOf(c);
  }
  std::vector<std::uint32_t> used;
  for (std::uint32_t i = 0; i < kBuckets; ++i)
    if (buckets[i].Count > 0) used.push_back(i);
  // The commonest first; equal counts by bucket, so the palette never depends on the sort.
  std::sort(used.begin(), used.end(), [&](std::uint32_t a, std::uint32_t b) {
    return buckets[a].Count != buckets[b].Count ? buckets[a].Count > buckets[b].Count : a < b;
  });
  const std::size_t entries = std::min(used.size(), kUsableEntries);
  std::vector<Colour> palette(entries);
  std::vector<std::uint8_t> entryOf(kBuckets, 0);
  for (std::size_t e = 0; e < entries; ++e) {
    palette[e] = buckets[used[e]].Mean();
    entryOf[used[e]] = static_cast<std::uint8_t>(e);
  }
  for (std::size_t u = entries; u < used.size(); ++u) {
    const Colour mean = buckets[used[u]].Mean();
    std::size_t best = 0;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (std::size_t e = 0; e < entries; ++e)
      if (const std::int64_t d = Distance(mean, palette[e]); d < bestDistance) {
        bestDistance = d;
        best = e;
      }
    entryOf[used[u]] = static_cast<std::uint8_t>(best);
  }
  grid.BitmapPalette.fill(0);
  for (std::size_t e = 0; e < entries; ++e) {
    grid.BitmapPalette[4 * e] = BlueOf(palette[e]);
    grid.BitmapPalette[4 * e + 1] = GreenOf(palette[e]);
    grid.BitmapPalette[4 * e + 2] = RedOf(palette[e]);
  }
  grid.BitmapGrid.Resize(width, height, 0);
  // A picture short of the drape (a painter that gave up part-way) fills what it has; the rest
  // keeps entry 0.
  const auto painted = static_cast<std::int64_t>(pixels.size());
  for (std::int64_t r = 0; r < height && r * width < painted; ++r) {
    const Colour* row = pixels.data() + r * width;
    const std::int64_t gridRow = height - 1 - r;
    const std::int64_t columns = std::min(width, painted - r * width);
    for (std::int64_t c = 0; c < columns; ++c)
      grid.BitmapGrid(c, gridRow) = entryOf[BucketOf(row[c])];
  }
}

void DrapeMapDrawing(const VectorPicture& drawing, double micrometresPerMetre,
                     PicturePainter& painter, GridState& grid) {
  std::vector<Colour> pixels;
  painter.Paint(drawing, DrapeViewOf(grid, micrometresPerMetre), pixels);
  ReducePictureToBitmap(pixels, grid);
  grid.MapBitmapLoaded = true;
  grid.ShowMapBitmap = true;
}

}  // namespace terrak

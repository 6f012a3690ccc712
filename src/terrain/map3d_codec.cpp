#include "terrain/map3d_codec.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

#include "common/bytes.h"
#include "common/numtext.h"
#include "terrain/map3d_rows.h"

namespace terrak {

namespace {

constexpr std::size_t kWidthOffset = 2;
constexpr std::size_t kHeightOffset = 4;
constexpr std::size_t kMinXOffset = 6;
constexpr std::size_t kMinYOffset = 8;
constexpr std::size_t kViewpointsOffset = 10;

bool FitsI16(std::int64_t value) {
  return value >= std::numeric_limits<std::int16_t>::min() &&
         value <= std::numeric_limits<std::int16_t>::max();
}

bool SizeFits(std::int64_t width, std::int64_t height) {
  return width >= 1 && height >= 1 && FitsI16(width) && FitsI16(height) &&
         width * height <= kMax3dMapCells;
}

void CheckWritable(const GridState& grid) {
  const std::int64_t width = grid.GridWidth;
  const std::int64_t height = grid.GridHeight;
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width < 1 || height < 1)
    throw std::invalid_argument("A 3D map needs a grid of at least one cell; this one is " +
                                size);
  if (!SizeFits(width, height))
    throw std::invalid_argument("The grid of " + size + " cells is too large for a 3D map file");
  if (!FitsI16(grid.GridMinX) || !FitsI16(grid.GridMinY))
    throw std::invalid_argument("The grid's origin lies outside the range a 3D map file holds");
  if (grid.HeightGrid.Columns() < width || grid.HeightGrid.Rows() < height)
    throw std::invalid_argument("The height grid is smaller than its stated size " + size);
  if (grid.MapBitmapLoaded &&
      (grid.BitmapGrid.Columns() < width || grid.BitmapGrid.Rows() < height))
    throw std::invalid_argument("The map bitmap grid is smaller than its stated size " + size);
  if (const std::optional<std::string> message = Map3dHeightsNotHeld(grid))
    throw std::invalid_argument(*message);
}

// A cell as the file holds it: the true height, negated where interpolated.
std::int16_t StoredCell(std::int16_t value, std::int32_t base) {
  if (base == 0 || value == 0) return value;
  const auto tenths = static_cast<std::int16_t>(CellTenths(value, base));
  return value < 0 ? static_cast<std::int16_t>(-tenths) : tenths;
}

void AppendHeader(const GridState& grid, const ViewpointBlock& views,
                  std::vector<std::uint8_t>& out) {
  std::uint8_t header[kMap3dHeaderSize] = {};
  PutU16(header, kMap3dMagic);
  PutI16(header + kWidthOffset, static_cast<std::int16_t>(grid.GridWidth));
  PutI16(header + kHeightOffset, static_cast<std::int16_t>(grid.GridHeight));
  PutI16(header + kMinXOffset, static_cast<std::int16_t>(grid.GridMinX));
  PutI16(header + kMinYOffset, static_cast<std::int16_t>(grid.GridMinY));
  for (std::size_t v = 0; v < kViewpointCount; ++v)
    EncodeViewPoint(views[v], header + kViewpointsOffset + v * kViewPointRecordSize);
  out.insert(out.end(), header, header + kMap3dHeaderSize);
}

// Walks the height rows, the palette and the bitmap rows after the header. With content null it
// only checks the structure; otherwise it fills content's grids and palette, already sized.
bool DecodeSections(std::span<const std::uint8_t> bytes, std::int64_t width,
                    std::int64_t height, Map3dContent* content) {
  ByteCursor in(bytes, kMap3dHeaderSize);
  std::vector<std::int16_t> heightRow(static_cast<std::size_t>(width));
  std::int8_t lastDelta = 0;
  for (std::int64_t j = 0; j < height; ++j) {
    if (!DecodeHeightRow(in, heightRow, lastDelta)) return false;
    if (content != nullptr)
      for (std::int64_t i = 0; i < width; ++i)
        content->HeightGrid(i, j) = heightRow[static_cast<std::size_t>(i)];
  }
  const std::span<const std::uint8_t> palette = in.Take(kBitmapPaletteSize);
  if (palette.empty()) return false;
  if (content != nullptr)
    std::copy(palette.begin(), palette.end(), content->BitmapPalette.begin());
  std::vector<std::uint8_t> bitmapRow(static_cast<std::size_t>(width));
  for (std::int64_t j = 0; j < height; ++j) {
    if (!DecodeBitmapRow(in, bitmapRow)) return false;
    if (content != nullptr)
      for (std::int64_t i = 0; i < width; ++i)
        content->BitmapGrid(i, j) = bitmapRow[static_cast<std::size_t>(i)];
  }
  return true;
}

}  // namespace

std::uint8_t BitmapStandInFor255(const std::array<std::uint8_t, kBitmapPaletteSize>& palette) {
  // Entries are blue, green, red, reserved; the reserved byte carries no colour.
  constexpr std::size_t kLast = 255;
  auto distance = [&palette](std::size_t a, std::size_t b) {
    long sum = 0;
    for (std::size_t c = 0; c < 3; ++c) {
      const long d = long{palette[4 * a + c]} - long{palette[4 * b + c]};
      sum += d * d;
    }
    return sum;
  };
  std::size_t best = 0;
  for (std::size_t index = 1; index < kLast; ++index)
    if (distance(index, kLast) < distance(best, kLast)) best = index;
  return static_cast<std::uint8_t>(best);
}

std::optional<std::string> Map3dHeightsNotHeld(const GridState& grid) {
  if (grid.HeightBase == 0) return std::nullopt;
  std::int64_t lowest = std::numeric_limits<std::int64_t>::max();
  std::int64_t highest = std::numeric_limits<std::int64_t>::min();
  const std::int64_t columns = std::min<std::int64_t>(grid.GridWidth, grid.HeightGrid.Columns());
  const std::int64_t rows = std::min<std::int64_t>(grid.GridHeight, grid.HeightGrid.Rows());
  for (std::int64_t i = 0; i < columns; ++i) {
    const std::int16_t* column = grid.HeightGrid.Column(i);
    for (std::int64_t j = 0; j < rows; ++j) {
      if (column[j] == 0) continue;
      const std::int64_t tenths = CellTenths(column[j], grid.HeightBase);
      lowest = std::min(lowest, tenths);
      highest = std::max(highest, tenths);
    }
  }
  if (lowest > highest || (lowest >= 1 && highest <= std::numeric_limits<std::int16_t>::max()))
    return std::nullopt;
  const auto metres = [](std::int64_t t) {
    return FormatFixed(static_cast<double>(t) / 10.0, 0, 1) + " m";
  };
  return "A 3D map file holds heights from 0.1 m to 3276.7 m only, and this terrain's heights "
         "run from " + metres(lowest) + " to " + metres(highest) +
         ": it cannot be saved as one. Export it as a DEM or a glTF model instead";
}

std::vector<std::uint8_t> Encode3dMap(const GridState& grid, const ViewpointBlock& views) {
  CheckWritable(grid);
  const std::int64_t width = grid.GridWidth;
  const std::int64_t height = grid.GridHeight;
  std::vector<std::uint8_t> out;
  AppendHeader(grid, views, out);

  std::vector<std::int16_t> heightRow(static_cast<std::size_t>(width));
  for (std::int64_t j = 0; j < height; ++j) {
    for (std::int64_t i = 0; i < width; ++i)
      heightRow[static_cast<std::size_t>(i)] = StoredCell(grid.HeightGrid(i, j), grid.HeightBase);
    EncodeHeightRow(heightRow, out);
  }

  // Without a map bitmap the palette and the cells are zeros, so the reader still finds both
  // sections and knows by the empty palette that there is no bitmap.
  std::vector<std::uint8_t> bitmapRow(static_cast<std::size_t>(width), 0);
  if (grid.MapBitmapLoaded)
    out.insert(out.end(), grid.BitmapPalette.begin(), grid.BitmapPalette.end());
  else
    out.insert(out.end(), kBitmapPaletteSize, std::uint8_t{0});
  const std::uint8_t standIn = BitmapStandInFor255(grid.BitmapPalette);
  for (std::int64_t j = 0; j < height; ++j) {
    if (grid.MapBitmapLoaded) {
      for (std::int64_t i = 0; i < width; ++i) {
        const std::uint8_t cell = grid.BitmapGrid(i, j);
        bitmapRow[static_cast<std::size_t>(i)] = cell == kBitmapRepeatCode ? standIn : cell;
      }
    }
    EncodeBitmapRow(bitmapRow, out);
  }
  return out;
}

std::optional<Map3dContent> Decode3dMap(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kMap3dHeaderSize) return std::nullopt;
  const std::uint8_t* header = bytes.data();
  if (GetU16(header) != kMap3dMagic) return std::nullopt;
  const std::int64_t width = GetI16(header + kWidthOffset);
  const std::int64_t height = GetI16(header + kHeightOffset);
  if (!SizeFits(width, height)) return std::nullopt;
  if (!DecodeSections(bytes, width, height, nullptr)) return std::nullopt;

  Map3dContent content;
  content.GridWidth = static_cast<std::int32_t>(width);
  content.GridHeight = static_cast<std::int32_t>(height);
  content.GridMinX = GetI16(header + kMinXOffset);
  content.GridMinY = GetI16(header + kMinYOffset);
  for (std::size_t v = 0; v < kViewpointCount; ++v)
    content.Viewpoints[v] =
        DecodeViewPoint(header + kViewpointsOffset + v * kViewPointRecordSize);
  content.HeightGrid.Resize(width, height);
  content.BitmapGrid.Resize(width, height);
  if (!DecodeSections(bytes, width, height, &content)) return std::nullopt;
  return content;
}

}  // namespace terrak

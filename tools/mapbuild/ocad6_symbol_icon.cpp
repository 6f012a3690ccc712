// The 22 x 22 symbol icon of versions 6/7: four bits a pixel, indices into the 16 Windows
// colours, the left pixel in the high half of a byte, rows of 12 bytes from the bottom row up.
#include <array>
#include <cstdint>
#include <limits>

#include "mapbuild/ocad6_records.h"

namespace terrak::testing {
namespace {

constexpr int kSide = 22;
constexpr int kRowBytes = 12;
constexpr std::uint8_t kIconWhite = 15;
constexpr std::uint8_t kIconGrey = 8;

struct Rgb {
  int R, G, B;
};

constexpr Rgb kWindowsColours[16] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {128, 128, 128}, {192, 192, 192}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

Rgb ScreenColour(const ColourSpec& colour) {
  auto part = [&](std::uint8_t share) {
    return static_cast<int>(255.0 * (1 - share / 100.0) * (1 - colour.Black / 100.0) + 0.5);
  };
  return {part(colour.Cyan), part(colour.Magenta), part(colour.Yellow)};
}

std::uint8_t NearestIconColour(const Rgb& rgb) {
  std::uint8_t best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::uint8_t i = 0; i < 16; ++i) {
    const Rgb& c = kWindowsColours[i];
    const int distance = (c.R - rgb.R) * (c.R - rgb.R) + (c.G - rgb.G) * (c.G - rgb.G) +
                         (c.B - rgb.B) * (c.B - rgb.B);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

using Pixels = std::array<std::array<std::uint8_t, kSide>, kSide>;  // [row from the top][column]

void Fill(Pixels& pixels, int left, int top, int right, int bottom, std::uint8_t index) {
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) pixels[y][x] = index;
}

}  // namespace

std::array<std::uint8_t, kIcon6Size> SymbolIcon6(const SymbolSpec& symbol,
                                                 const ColourSpec& colour) {
  Pixels pixels;
  for (auto& row : pixels) row.fill(kIconWhite);
  const std::uint8_t ink = NearestIconColour(ScreenColour(colour));
  switch (symbol.ObjectType) {
    case 2: {  // a stroke across the middle, thicker for wider lines
      const int thickness = 1 + symbol.Drawing->LineWidth / 20;
      Fill(pixels, 1, 11 - thickness / 2, kSide - 2, 11 - thickness / 2 + thickness - 1, ink);
      break;
    }
    case 3:  // a filled square in a grey frame, so that a white fill shows too
      Fill(pixels, 3, 3, 18, 18, kIconGrey);
      Fill(pixels, 4, 4, 17, 17, ink);
      break;
    default:  // text: a T
      Fill(pixels, 5, 4, 16, 6, ink);
      Fill(pixels, 10, 4, 11, 17, ink);
      break;
  }
  std::array<std::uint8_t, kIcon6Size> icon{};
  for (int row = 0; row < kSide; ++row) {
    const std::array<std::uint8_t, kSide>& line = pixels[kSide - 1 - row];
    for (int x = 0; x < kSide; x += 2)
      icon[row * kRowBytes + x / 2] = static_cast<std::uint8_t>(line[x] << 4 | line[x + 1]);
  }
  return icon;
}

}  // namespace terrak::testing

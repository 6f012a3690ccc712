// The version 6/7 colour table: a 24-byte head (colour count, separation count, the screen
// frequencies and angles of the four process colours), 256 colour records of 72 bytes and 32
// separation records of 24 bytes.
#include <algorithm>
#include <set>
#include <stdexcept>

#include "common/bytes.h"
#include "mapbuild/ocad6_records.h"

namespace terrak::testing {
namespace {

constexpr std::int64_t kColourRecordsAt = 24;
constexpr std::int64_t kColourRecordSize = 72;
constexpr std::int64_t kColourNameAt = 8;  // a length byte and 31 characters
constexpr std::int64_t kSeparationsAt = 40;
constexpr int kSeparations = 32;
constexpr std::uint8_t kNoSeparation = 255;  // the colour takes no part of that separation

// OCAD's default screens, in 0.1 lines per cm and 0.1 degrees: cyan, magenta, yellow, black.
constexpr std::uint16_t kScreens[8] = {1500, 150, 1500, 750, 1500, 0, 1500, 450};

std::uint8_t HalfPercent(std::uint8_t percent) {
  if (percent > 100) throw std::invalid_argument("OCAD map builder: a colour share above 100 %");
  return static_cast<std::uint8_t>(2 * percent);
}

}  // namespace

void WriteColourTable6(std::uint8_t* out, const std::vector<ColourSpec>& colours) {
  if (colours.size() > kColourTable6Entries)
    throw std::invalid_argument("OCAD map builder: the colour table holds 256 colours");
  std::set<std::int16_t> numbers;
  PutU16(out + 0, static_cast<std::uint16_t>(colours.size()));
  for (int i = 0; i < 8; ++i) PutU16(out + 4 + 2 * i, kScreens[i]);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const ColourSpec& colour = colours[i];
    if (colour.Number < 0 || !numbers.insert(colour.Number).second)
      throw std::invalid_argument("OCAD map builder: colour numbers must be distinct, 0 or more");
    if (colour.Name.size() > 31)
      throw std::invalid_argument("OCAD map builder: a colour name holds 31 characters");
    std::uint8_t* const record =
        out + kColourRecordsAt + kColourRecordSize * static_cast<std::int64_t>(i);
    PutI16(record + 0, colour.Number);
    record[4] = HalfPercent(colour.Cyan);
    record[5] = HalfPercent(colour.Magenta);
    record[6] = HalfPercent(colour.Yellow);
    record[7] = HalfPercent(colour.Black);
    record[kColourNameAt] = static_cast<std::uint8_t>(colour.Name.size());
    std::copy(colour.Name.begin(), colour.Name.end(), record + kColourNameAt + 1);
    for (int s = 0; s < kSeparations; ++s) record[kSeparationsAt + s] = kNoSeparation;
  }
}

}  // namespace terrak::testing

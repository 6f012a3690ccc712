#include "mapfile/ocad9/height_sidecar.h"

#include <charconv>
#include <string_view>

#include "mapfile/map_format.h"

namespace terrak::ocad9 {

namespace {

constexpr std::string_view kFirstLine = "terrak-heights 1";

// Reads a decimal integer and the blanks after it; false when there is none.
template <typename Int>
bool TakeNumber(std::string_view& line, Int& value) {
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc() || end == line.data()) return false;
  line.remove_prefix(static_cast<std::size_t>(end - line.data()));
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  return true;
}

}  // namespace

SidecarHeights ParseHeightSidecar(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  SidecarHeights heights;
  std::size_t start = 0;
  int lineNumber = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto fail = [&] {
      throw MapFormatError(kDamagedHeightsMessage, "line " + std::to_string(lineNumber));
    };
    if (lineNumber == 1) {
      if (line != kFirstLine) fail();
      continue;
    }
    if (line.empty()) continue;
    std::int64_t entry = 0;
    SidecarHeight height;
    if (!TakeNumber(line, entry) || !TakeNumber(line, height.ObjectPos) ||
        !TakeNumber(line, height.HeightTenths) || !line.empty() || entry <= 0 ||
        height.ObjectPos <= 0)
      fail();
    heights[entry] = height;
  }
  if (lineNumber == 0) throw MapFormatError(kDamagedHeightsMessage, "empty file");
  return heights;
}

std::vector<std::uint8_t> WriteHeightSidecar(const SidecarHeights& heights) {
  std::string text(kFirstLine);
  text += '\n';
  for (const auto& [entry, height] : heights) {
    text += std::to_string(entry) + ' ' + std::to_string(height.ObjectPos) + ' ' +
            std::to_string(height.HeightTenths) + '\n';
  }
  return {text.begin(), text.end()};
}

}  // namespace terrak::ocad9

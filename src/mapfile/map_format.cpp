#include "mapfile/map_format.h"

#include <algorithm>
#include <cmath>

#include "common/rounding.h"

namespace terrak {

void ApplyPatches(std::vector<std::uint8_t>& bytes, std::vector<BytePatch> patches) {
  // From the back, so the positions of patches still to come stay valid.
  std::sort(patches.begin(), patches.end(),
            [](const BytePatch& a, const BytePatch& b) { return a.Position > b.Position; });
  for (const BytePatch& patch : patches) {
    if (patch.Position < 0 || patch.Length < 0 ||
        patch.Position > static_cast<std::int64_t>(bytes.size()) ||
        patch.Length > static_cast<std::int64_t>(bytes.size()) - patch.Position)
      throw std::out_of_range("byte patch outside the map");
    const auto first = bytes.begin() + patch.Position;
    if (patch.Length == static_cast<std::int64_t>(patch.Bytes.size())) {
      std::copy(patch.Bytes.begin(), patch.Bytes.end(), first);
    } else {
      const auto end = bytes.erase(first, first + patch.Length);
      bytes.insert(end, patch.Bytes.begin(), patch.Bytes.end());
    }
  }
}

std::optional<std::int32_t> HeightTenthsFromMetres(double metres) {
  const double tenths = metres * 10.0;
  if (!(tenths >= std::numeric_limits<std::int32_t>::min() &&
        tenths <= std::numeric_limits<std::int32_t>::max()))
    return std::nullopt;
  return static_cast<std::int32_t>(RoundToInt(tenths));
}

}  // namespace terrak

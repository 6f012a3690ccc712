#include "mapfile/setup_georeferencing.h"

#include <algorithm>
#include <string_view>

#include "common/bytes.h"
#include "mapfile/ocad9/ocad9_layout.h"
#include "mapfile/ocad9/scale_parameters.h"
#include "mapfile/ocad_format_error.h"

namespace terrak {

Georeferencing GeoreferencingFromSetup6(const std::vector<std::uint8_t>& setup) {
  if (setup.size() < kSetup6RealWorldYOffset + 8) return {};
  const double x = GetDouble(setup.data() + kSetup6RealWorldXOffset);
  const double y = GetDouble(setup.data() + kSetup6RealWorldYOffset);
  const double angle =
      setup.size() >= kSetup6AngleOffset + 8 ? GetDouble(setup.data() + kSetup6AngleOffset) : 0.0;
  // Fields that hold no place (a setup record OCAD never filled in) mean: not georeferenced.
  if (!IsPlausiblePlacement(x, y, angle)) return {};
  if (x == 0 && y == 0 && angle == 0) return {};
  return GeoreferencingFromOffsetAngle(x, y, -angle);
}

Georeferencing GeoreferencingFromStrings8(const ocad::RecordReader& reader,
                                          std::int64_t firstBlock) {
  try {
    for (std::int64_t block : ocad::WalkBlockChain(reader, firstBlock, ocad9::kStringBlockSize,
                                                   "string index block")) {
      const std::vector<std::uint8_t> entries =
          reader.Read(block, ocad9::kStringBlockSize, "string index block");
      for (int e = 0; e < ocad9::kBlockEntries; ++e) {
        const std::uint8_t* entry = entries.data() + 4 + ocad9::kStringEntrySize * e;
        if (GetI32(entry + 8) != ocad9::kScaleParameterType) continue;
        const std::int64_t position = static_cast<std::uint32_t>(GetI32(entry));
        const std::int64_t length = static_cast<std::uint32_t>(GetI32(entry + 4));
        const std::vector<std::uint8_t> text = reader.Read(position, length, "parameter string");
        const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
        const std::string_view string(reinterpret_cast<const char*>(text.data()),
                                      static_cast<std::size_t>(end - text.begin()));
        ocad9::ScaleParameters parameters = ocad9::ParseScaleParameters(string);
        if (parameters.Georef.Known) return parameters.Georef;
      }
    }
  } catch (const OcadFormatError&) {
    // A damaged chain gives no georeferencing; the setup record still may.
  }
  return {};
}

}  // namespace terrak

#include "viewer/mesh_lines.h"

namespace terrak {

SmallQuotients::SmallQuotients() : quotients_(static_cast<std::size_t>(kSide * kSide), 0.0) {
  for (std::int32_t a = -kLargest; a <= kLargest; ++a)
    for (std::int32_t b = -kLargest; b <= kLargest; ++b)
      if (b != 0)
        quotients_[static_cast<std::size_t>((a + kLargest) * kSide + (b + kLargest))] =
            static_cast<double>(a) / static_cast<double>(b);
}

}  // namespace terrak

#include "viewer/depth_ramp.h"

#include "common/rounding.h"

namespace terrak {

DepthRampType BuildDepthRamp(Colour front, Colour back) {
  DepthRampType ramp{};
  const auto step = [](int f, int b, int i) {
    return static_cast<std::uint8_t>(f + RoundToInt((b - f) * i / 100.0));
  };
  for (int i = 0; i < static_cast<int>(kDepthRampSize); ++i)
    ramp[static_cast<std::size_t>(i)] =
        MakeColour(step(RedOf(front), RedOf(back), i), step(GreenOf(front), GreenOf(back), i),
                   step(BlueOf(front), BlueOf(back), i));
  return ramp;
}

}  // namespace terrak

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "common/rounding.h"

namespace terrak {
namespace {

// RoundToInt's quick path must agree with nearbyint everywhere it is taken.
TEST(RoundToInt, AgreesWithNearbyintOnHalvesNeighboursAndRandomValues) {
  for (int n = -100000; n <= 100000; ++n) {
    const double i = n;
    for (const double v : {i + 0.5, i - 0.5, i, std::nextafter(i + 0.5, 1e300),
                           std::nextafter(i + 0.5, -1e300), i + 0.25, i + 0.75}) {
      ASSERT_EQ(RoundToInt(v), static_cast<std::int64_t>(std::nearbyint(v))) << v;
    }
  }
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> any(-3e15, 3e15);
  for (int i = 0; i < 1000000; ++i) {
    const double v = any(random) / (1 + (i % 7) * 1000.0);
    ASSERT_EQ(RoundToInt(v), static_cast<std::int64_t>(std::nearbyint(v))) << v;
  }
  const double edge = 2251799813685248.0;  // 2^51, where the quick path ends
  for (const double v : {edge - 0.5, edge - 1.5, -edge + 0.5, edge, -edge, edge * 4 + 2})
    EXPECT_EQ(RoundToInt(v), static_cast<std::int64_t>(std::nearbyint(v))) << v;
  EXPECT_EQ(RoundToInt(-0.4), 0);
  EXPECT_EQ(RoundToInt(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundToInt(1e300), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(RoundToInt(-1e300), std::numeric_limits<std::int64_t>::min());
}

}  // namespace
}  // namespace terrak

// The comparison of two pictures of a map: the best shift found, and pixels counted as agreeing
// only within the colour distance.
#include <gtest/gtest.h>

#include <tuple>

#include "mapcompare/picture_compare.h"

namespace terrak::testing {
namespace {

Picture Blocks(std::int32_t dx, std::int32_t dy, Colour ink) {
  Picture p;
  p.Reset(60, 40, kWhite);
  for (std::int32_t y = 10; y < 20; ++y)
    for (std::int32_t x = 10; x < 30; ++x) p.At(x + dx, y + dy) = ink;
  return p;
}

TEST(PictureCompare, FindsTheShiftAndCountsWithinTheDistance) {
  const Picture reference = Blocks(0, 0, MakeColour(200, 100, 0));
  // A tenth of the way from black to white is 44 steps of one channel alone.
  EXPECT_NEAR(ColourDistance(kBlack, kWhite), 1.0, 1e-12);
  EXPECT_LT(ColourDistance(MakeColour(200, 100, 0), MakeColour(240, 100, 0)), 0.1);
  EXPECT_GT(ColourDistance(MakeColour(200, 100, 0), MakeColour(250, 100, 0)), 0.1);

  const PictureAgreement shifted =
      ComparePictures(Blocks(2, -1, MakeColour(240, 100, 0)), reference, 0.1, 4);
  EXPECT_EQ(std::tie(shifted.ShiftX, shifted.ShiftY, shifted.Coloured, shifted.ColouredAgreeing),
            std::tuple(2, -1, 200, 200));
  EXPECT_DOUBLE_EQ(shifted.Share(), 1.0);

  const PictureAgreement off = ComparePictures(Blocks(0, 0, MakeColour(250, 100, 0)), reference, 0.1, 2);
  EXPECT_EQ(std::tuple(off.ColouredAgreeing, off.Agreeing), std::tuple(0, off.Compared - 200));
  // Side by side: ours, the reference, and red where only the reference colours a pixel.
  const Picture side = SideBySide(Blocks(0, 5, MakeColour(200, 100, 0)), reference, {}, 0.1);
  EXPECT_EQ(std::tuple(side.Width, side.At(120 + 12, 12)), std::tuple(180, MakeColour(230, 0, 0)));
}

}  // namespace
}  // namespace terrak::testing

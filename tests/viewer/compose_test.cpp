#include "viewer/compose.h"

#include <gtest/gtest.h>

#include <random>

#include "viewer/depth_ramp.h"

namespace terrak {
namespace {

TEST(BuildDepthRamp, EachChannelStepsFromFrontToBackRoundingHalvesToEven) {
  // Every channel on a course of its own, so no two of them can be taken for each other.
  const DepthRampType ramp = BuildDepthRamp(MakeColour(255, 0, 10), MakeColour(128, 128, 0));
  EXPECT_EQ(ramp[0], MakeColour(255, 0, 10));
  EXPECT_EQ(ramp[50], MakeColour(191, 64, 5));  // -63.5 rounds to -64
  EXPECT_EQ(ramp[100], MakeColour(128, 128, 0));
  EXPECT_EQ(ramp[1], MakeColour(254, 1, 10));   // -1.27, 1.28 and -0.1
  EXPECT_EQ(ramp[2], MakeColour(252, 3, 10));   // -2.54, 2.56 and -0.2

  // Depths map onto the ramp by truncating division; an empty range gives entry 0.
  EXPECT_EQ(std::tuple(DepthRampIndex(1000, 1000, 3000), DepthRampIndex(1999, 1000, 3000),
                       DepthRampIndex(3000, 1000, 3000), DepthRampIndex(5000, 5000, 5000)),
            std::tuple(0u, 49u, 100u, 0u));
  EXPECT_EQ(DepthRampIndex(2'000'000'000, 1, 2'000'000'000), 100u);  // no overflow
}

class ComposeTest : public ::testing::Test {
 protected:
  static constexpr std::int32_t kHeight = 120;
  PixelBuffers buffers;
  Picture picture;
  DepthRampType ramp = BuildDepthRamp(MakeColour(255, 0, 0), MakeColour(0, 0, 255));
  ComposeOptions options;

  ComposeTest() {
    buffers.Reset(3, kHeight);
    options.NearestDepth = 1000;
    options.FarthestDepth = 6000;
  }
  void Put(std::int32_t x, std::int32_t y, std::int32_t depth, Colour colour = kBlack) {
    buffers.DepthBuffer(x, y) = depth;
    buffers.ColourBuffer(x, y) = colour;
  }
  void Compose() { ComposePicture(buffers, ramp, options, picture); }
};

TEST_F(ComposeTest, TheColumnScanDropsFartherPixelsBelowNearerOnesUnlessTheZBufferIsOff) {
  Put(0, 10, 3000);
  Put(0, 20, 5000);  // farther than the pixel above it
  Put(0, 30, 1000);
  Compose();
  EXPECT_EQ(std::tuple(picture.At(0, 10), picture.At(0, 20), picture.At(0, 30), picture.At(0, 0)),
            std::tuple(ramp[40], kWhite, ramp[0], kWhite));
  EXPECT_EQ(picture.At(1, 50), kWhite);  // nothing drawn: white without the map

  options.ZBufferOn = false;
  Compose();
  EXPECT_EQ(picture.At(0, 20), ramp[80]);

  // Equal depths below each other: the lower one is not nearer and is dropped.
  options.ZBufferOn = true;
  Put(2, 40, 2000);
  Put(2, 41, 2000);
  Compose();
  EXPECT_EQ(std::tuple(picture.At(2, 40), picture.At(2, 41)), std::tuple(ramp[20], kWhite));
}

TEST_F(ComposeTest, TheDrapedMapFillsGapsBetweenAcceptedPixelsWithSkyAboveAndWhiteBelow) {
  options.Drape = true;
  Put(0, 100, 3000, MakeColour(0, 0, 0));
  Put(0, 102, 9000, MakeColour(1, 1, 1));  // hidden by the z-buffer, then painted over
  Put(0, 105, 2000, MakeColour(50, 100, 250));
  Put(1, 100, 3000, MakeColour(7, 7, 7));
  Put(1, 101, 2000, MakeColour(9, 9, 9));
  Compose();
  EXPECT_EQ(std::tuple(picture.At(0, 99), picture.At(0, 0)), std::tuple(kSkyColour, kSkyColour));
  const Colour filled[] = {MakeColour(0, 0, 0),     MakeColour(10, 20, 50),
                           MakeColour(20, 40, 100), MakeColour(30, 60, 150),
                           MakeColour(40, 80, 200), MakeColour(50, 100, 250)};
  for (std::int32_t r = 0; r < 6; ++r) EXPECT_EQ(picture.At(0, 100 + r), filled[r]) << r;
  EXPECT_EQ(picture.At(0, 106), kWhite);  // below the last accepted pixel
  EXPECT_EQ(picture.At(1, 100), MakeColour(7, 7, 7));  // neighbours: no fill
  EXPECT_EQ(picture.At(1, 101), MakeColour(9, 9, 9));
  for (std::int32_t y = 0; y < kHeight; ++y) EXPECT_EQ(picture.At(2, y), kSkyColour) << y;

  // Fill colours are rounded per channel, halves to even: 3 over 2 rows gives 2 in the middle
  // (1.5 rounds to 2), 1 over 2 gives 0 (0.5 rounds to 0).
  buffers.Reset(1, 10);
  Put(0, 2, 3000, MakeColour(0, 0, 0));
  Put(0, 4, 2000, MakeColour(3, 1, 5));
  Compose();
  EXPECT_EQ(picture.At(0, 3), MakeColour(2, 0, 2));
}

TEST_F(ComposeTest, AnyNumberOfThreadsGivesTheSamePicture) {
  // A picture wide enough for several runs of columns per thread, its width no multiple of them.
  std::mt19937 random(11);
  std::uniform_int_distribution<std::int32_t> depth(0, 7000), colour(0, 0xFFFFFF), gap(0, 3);
  buffers.Reset(203, 57);
  for (std::int32_t x = 0; x < 203; ++x)
    for (std::int32_t y = 1; y < 57; y += 1 + gap(random))
      Put(x, y, depth(random), static_cast<Colour>(colour(random)));
  for (bool drape : {false, true}) {
    options.Drape = drape;
    options.Threads = 1;
    Compose();
    const Picture single = picture;
    for (int threads : {2, 3, 16, 40}) {
      options.Threads = threads;
      Compose();
      EXPECT_TRUE(picture == single) << threads << (drape ? " draped" : "");
    }
  }
}

// The picture's own allocation: commonpaint.MeshDepthRangeKeepsWideningAndTheBuffersAreReused.
TEST_F(ComposeTest, TheBuffersKeepTheirAllocationAndAreEmptiedWhenResetAtTheSameSize) {
  const std::int32_t* depths = buffers.DepthBuffer.Data();
  Put(1, 1, 5);
  buffers.Reset(3, kHeight);
  EXPECT_EQ(std::tuple(buffers.DepthBuffer.Data(), buffers.DepthBuffer(1, 1), buffers.ColourBuffer(1, 1)),
            std::tuple(depths, 0, kWhite));
}

}  // namespace
}  // namespace terrak

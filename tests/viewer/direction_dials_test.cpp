#include "viewer/direction_dials.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/recording_canvas.h"

namespace terrak {
namespace {

using testing::RecordingCanvas;

std::vector<std::string> Compass(double bearingDegrees) {
  RecordingCanvas canvas(130, 130);
  const double b = bearingDegrees <= 180 ? bearingDegrees / 57.295 : -(360 - bearingDegrees) / 57.295;
  PaintCompass(canvas, std::cos(b), std::sin(b));
  return canvas.Calls;
}

TEST(PaintCompass, TheRedHalfPointsNorthRelativeToTheViewDirection) {
  const std::vector<std::string> north = Compass(0);
  EXPECT_EQ(north, (std::vector<std::string>{
                       "penmode normal", "pen 000000", "brush FFFFFF", "fill 0,0,130,130",
                       "ellipse 0,0,130,130",
                       // +-58.5 rounds to +-58 (the tips at 123 and 7), 6.5 to 6.
                       "polygon 65,65 71,65 71,111 65,123 59,111 59,65", "brush 0000FF",
                       "polygon 65,65 71,65 71,19 65,7 59,19 59,65", "brush 000000",
                       "ellipse 62,62,68,68"}));
  // Looking east, north is on the left; looking south, it is at the bottom.
  EXPECT_EQ(Compass(90)[7], "polygon 65,65 65,59 19,59 7,65 19,71 65,71");
  EXPECT_EQ(Compass(180)[7], "polygon 65,65 59,65 59,111 65,123 71,111 71,65");
  EXPECT_EQ(Compass(270)[7], "polygon 65,65 65,71 111,71 123,65 111,59 65,59");
}

TEST(PaintInclinometer, TheArrowLiesFlatAtIncline0AndTipsDownLookingDown) {
  RecordingCanvas level(156, 160);
  PaintInclinometer(level, 1, 0);
  // r = 78, scale 0.78: the tip on the left at (cx - r, cy).
  EXPECT_EQ(level.Calls.back(), "polygon 0,80 16,96 16,88 156,88 156,72 16,72 16,64");
  EXPECT_EQ(level.CallsStartingWith("brush").back(), "brush FF0000");
  EXPECT_TRUE(level.CallsStartingWith("ellipse").empty());

  RecordingCanvas down(156, 160);
  const double a = 30 / 57.295;  // incline -30: the sine of +30
  PaintInclinometer(down, std::cos(a), std::sin(a));
  // The tip, the shape's first point, left of the centre and below it.
  EXPECT_EQ(down.Calls.back().rfind("polygon 10,119 ", 0), 0u) << down.Calls.back();
}

}  // namespace
}  // namespace terrak

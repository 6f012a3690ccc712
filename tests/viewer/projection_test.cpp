#include "viewer/projection.h"

#include <gtest/gtest.h>

#include "viewer_fixtures.h"

namespace terrak {
namespace {

using testing::ViewerAt;

ScreenPoint Project(const ViewerState& viewer, double x, double y, double z) {
  ScreenPoint p;
  EXPECT_TRUE(ProjectPoint(MakeViewTransform(viewer), x, y, z, p)) << x << "," << y << "," << z;
  return p;
}

bool Visible(const ViewerState& viewer, double x, double y, double z) {
  ScreenPoint p;
  return ProjectPoint(MakeViewTransform(viewer), x, y, z, p);
}

TEST(ProjectPoint, TheWiderSideSpansTheFocalLengthAndDepthIsCentimetresAhead) {
  const ViewerState north = ViewerAt(0, 0, 0, 0, 0, 400, 300);  // focal length 400
  EXPECT_EQ(Project(north, 0, 10, 0), (ScreenPoint{200, 150, 1000}));
  EXPECT_EQ(Project(north, 1, 10, 0), (ScreenPoint{240, 150, 1000}));  // F/10 to the right
  EXPECT_EQ(Project(north, 0, 10, 1), (ScreenPoint{200, 110, 1000}));  // F/10 above

  const ViewerState east = ViewerAt(0, 0, 0, 90, 0, 400, 300);
  EXPECT_EQ(std::tuple(Project(east, 10, 0, 0).X, Project(east, 10, 0, 0).Y), std::tuple(200, 150));
  EXPECT_GT(Project(east, 10, -2, 0).X, 200);  // south lies to the right looking east

  // Bearings above 180 are taken as negative angles: looking west.
  const ViewerState west = ViewerAt(0, 0, 0, 270, 0, 400, 300);
  EXPECT_EQ(Project(west, -10, 0, 0).X, 200);
  EXPECT_GT(Project(west, -10, 2, 0).X, 200);

  // Looking down, a point straight ahead at eye height lies above the centre.
  const ViewerState down = ViewerAt(0, 0, 0, 0, -10, 400, 300);
  EXPECT_LT(Project(down, 0, 10, 0).Y, 150);
  const ViewerState up = ViewerAt(0, 0, 0, 0, 10, 400, 300);
  EXPECT_GT(Project(up, 0, 10, 0).Y, 150);
}

TEST(ProjectPoint, RowZeroColumnZeroThePictureEdgesAndTheEyePlaneAreNotVisible) {
  const ViewerState viewer = ViewerAt(0, 0, 0, 0, 0, 400, 300);
  EXPECT_FALSE(Visible(viewer, -5, 10, 0));      // column 0
  EXPECT_TRUE(Visible(viewer, -4.975, 10, 0));   // column 1
  EXPECT_TRUE(Visible(viewer, 4.975, 10, 0));    // column 399, the last
  EXPECT_FALSE(Visible(viewer, 5, 10, 0));       // column 400 is outside
  EXPECT_FALSE(Visible(viewer, 0, 10, 3.75));    // row 0
  EXPECT_TRUE(Visible(viewer, 0, 10, 3.725));    // row 1
  EXPECT_TRUE(Visible(viewer, 0, 10, -3.725));   // row 299, the last
  EXPECT_FALSE(Visible(viewer, 0, 10, -3.75));   // row 300 is outside
  EXPECT_FALSE(Visible(viewer, 0, 0, 0));        // in the eye's plane
  EXPECT_FALSE(Visible(viewer, 0, -10, 0));      // behind
  EXPECT_FALSE(Visible(viewer, 1e300, 10, 0));   // far off to the side
  // A point only millimetres ahead is visible with depth 0.
  EXPECT_EQ(Project(viewer, 0, 0.004, 0).Depth, 0);
}

TEST(SetViewAngles, CentreAndFocalLengthFollowThePictureAndBearingsAbove180TurnNegative) {
  ViewerState viewer = ViewerAt(0, 0, 0, 200, -30, 500, 680);
  EXPECT_EQ(std::tuple(viewer.FocalLength, viewer.Current().centreX, viewer.Current().centreY),
            std::tuple(680, 250, 340));
  EXPECT_DOUBLE_EQ(viewer.BearingRadians, -160 / 57.295);
  EXPECT_DOUBLE_EQ(viewer.SinIncline, std::sin(30 / 57.295));
  viewer = ViewerAt(0, 0, 0, 180, 0, 7, 3);
  EXPECT_DOUBLE_EQ(viewer.BearingRadians, 180 / 57.295);
  EXPECT_EQ(std::tuple(viewer.Current().centreX, viewer.Current().centreY), std::tuple(3, 1));
}

}  // namespace
}  // namespace terrak

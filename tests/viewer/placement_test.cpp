#include "viewer/viewpoint_placement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace terrak {
namespace {

// At scale 56693 a model unit is a metre.
MapModel ModelOf(std::initializer_list<TMapObject> objects) {
  return {.MapScale = 56693, .MapObjects = objects};
}

TMapObject Box(std::int16_t minX, std::int16_t minY, std::int16_t maxX, std::int16_t maxY,
               std::int16_t height) {
  return {.MinX = minX, .MinY = minY, .MaxX = maxX, .MaxY = maxY, .Height = height,
          .HasHeight = height != 0, .FirstPoint = {}, .LastPoint = {}};
}

double Deg(double radians) { return radians * 57.295; }

TEST(PlaceViewpoints, PresetsStandOffAroundTheMapLookingAtItsCentreFromOneAndAHalfSpansUp) {
  // Contours from 100 m to 300 m over 400 m x 200 m.
  ViewpointBlock views{};
  PlaceViewpoints(ModelOf({Box(0, 0, 400, 100, 1000), Box(100, 50, 300, 200, 3000)}), views);
  const double diag = Deg(std::atan(300.0 / 150.0));
  const double incD = -Deg(std::atan(300 / std::sqrt(300.0 * 300 + 150.0 * 150)));
  const double incNS = -Deg(std::atan(300.0 / 150.0));
  const double incEW = -Deg(std::atan(300.0 / 300.0));
  EXPECT_EQ(views[kNorthView], (TViewPoint{200, 250, 400, 180, incNS, 0, 0, 0}));
  EXPECT_EQ(views[kSouthView], (TViewPoint{200, -50, 400, 0, incNS, 0, 0, 0}));
  EXPECT_EQ(views[kWestView], (TViewPoint{-100, 100, 400, 90, incEW, 0, 0, 0}));
  EXPECT_EQ(views[kEastView], (TViewPoint{500, 100, 400, 270, incEW, 0, 0, 0}));
  EXPECT_EQ(views[kNorthEastView], (TViewPoint{500, 250, 400, 180 + diag, incD, 0, 0, 0}));
  EXPECT_EQ(views[kNorthWestView], (TViewPoint{-100, 250, 400, 180 - diag, incD, 0, 0, 0}));
  EXPECT_EQ(views[kSouthEastView], (TViewPoint{500, -50, 400, 360 - diag, incD, 0, 0, 0}));
  EXPECT_EQ(views[kSouthWestView], (TViewPoint{-100, -50, 400, diag, incD, 0, 0, 0}));
  EXPECT_EQ(views[kCurrentView], views[kNorthView]);
}

TEST(PlaceViewpoints, RoundingHalvesToEvenFlatMapsAndDegenerateExtents) {
  // hx = R(101 / 2) = 50 (halves to even), hy = R(3 / 2) = 2.
  ViewpointBlock views{};
  PlaceViewpoints(ModelOf({Box(0, 0, 101, 3, 0)}), views);
  EXPECT_EQ(views[kNorthView].x, 51);
  EXPECT_EQ(views[kNorthView].y, 4);  // R(3 + 1) = 4
  EXPECT_EQ(views[kEastView].x, 126);  // R(101 + 25)
  // Without heights every preset looks level from height 0.
  for (std::size_t k = 1; k < kViewpointCount; ++k) {
    EXPECT_EQ(std::tuple(views[k].z, views[k].incline), std::tuple(0, 0));
  }
  // A map that is a single point leaves no angle undefined.
  PlaceViewpoints(ModelOf({Box(7, 7, 7, 7, 500)}), views);
  for (const TViewPoint& v : views) {
    EXPECT_FALSE(std::isnan(v.bearing));
    EXPECT_FALSE(std::isnan(v.incline));
  }
  EXPECT_EQ(views[kNorthView].z, 50);
  // No scale: everything at the origin, nothing undefined.
  MapModel noScale = ModelOf({Box(0, 0, 400, 200, 1000)});
  noScale.MapScale = 0;
  PlaceViewpoints(noScale, views);
  EXPECT_EQ(views[kCurrentView].x, 0);
  EXPECT_FALSE(std::isnan(views[kSouthWestView].bearing));
}

}  // namespace
}  // namespace terrak

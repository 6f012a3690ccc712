#pragma once
// A point on the ground in metres, x east and y north, measured from the south-west corner of
// a demo map.
namespace terrak::testing {

struct GroundPoint {
  double X = 0;
  double Y = 0;
  friend bool operator==(const GroundPoint&, const GroundPoint&) = default;
};

}  // namespace terrak::testing

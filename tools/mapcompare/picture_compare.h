#pragma once
// Two pictures of one map compared pixel by pixel: how many pixels, and how many of those the
// reference draws in a colour other than white, lie within a colour distance of the
// reference's, once the pictures are laid over each other at their best shift.
#include <cstdint>

#include "viewer/picture.h"

namespace terrak::testing {

// The distance of two colours: their distance in RGB over the largest there is (black to
// white), 0 to 1.
double ColourDistance(Colour a, Colour b);

struct PictureAgreement {
  std::int32_t ShiftX = 0, ShiftY = 0;  // ours(x + ShiftX, y + ShiftY) lies on reference(x, y)
  std::int64_t Compared = 0;            // reference pixels that ours covers at that shift
  std::int64_t Agreeing = 0;            // within the distance
  std::int64_t Coloured = 0;            // reference pixels that are not white
  std::int64_t ColouredAgreeing = 0;
  double Share() const { return Compared ? double(Agreeing) / double(Compared) : 0; }
  double ColouredShare() const { return Coloured ? double(ColouredAgreeing) / double(Coloured) : 1; }
};

// Tries every shift up to maxShift pixels each way and keeps the one where most coloured
// reference pixels agree (the smallest of equal ones).
PictureAgreement ComparePictures(const Picture& ours, const Picture& reference, double distance,
                                 std::int32_t maxShift);

// Ours (at the agreement's shift), the reference and where they differ, side by side:
// agreeing pixels pale, pixels only the reference colours red, other differences blue.
Picture SideBySide(const Picture& ours, const Picture& reference, const PictureAgreement& at,
                   double distance);

}  // namespace terrak::testing

#pragma once
// Which symbols are contours, index contours, form lines and slope lines, the contour interval
// and how often an index contour comes: what everything in the heights core reads first. A plain
// struct, so the settings file can keep one per map.
#include <cstdint>
#include <string>
#include <vector>

#include "heights/height_types.h"

namespace terrak::heights {

inline constexpr double kDefaultInterval = 5.0;
inline constexpr std::int32_t kDefaultIndexEvery = 5;

struct ContourRoles {
  // Symbol numbers as the model holds them (101000 for "101.0"; 101 for OCAD 5-8's "10.1").
  std::vector<std::int32_t> Contours;
  std::vector<std::int32_t> IndexContours;
  std::vector<std::int32_t> FormLines;
  std::vector<std::int32_t> SlopeLines;
  double Interval = kDefaultInterval;        // metres between two contour levels
  std::int32_t IndexEvery = kDefaultIndexEvery;  // every n-th level is an index level

  ContourRole RoleOf(std::int32_t symbol) const;
  // Whether index contours tell levels apart: some symbol has the role and n is at least 2.
  bool UsesIndexLevels() const { return !IndexContours.empty() && IndexEvery >= 2; }
  // Every symbol with a role, contours first.
  std::vector<std::int32_t> AllSymbols() const;
  friend bool operator==(const ContourRoles&, const ContourRoles&) = default;
};

// A symbol of the map as the defaults look at it.
struct RoleSymbol {
  std::int32_t Number = 0;  // as the model holds it
  bool Line = true;         // a line symbol (only lines can be contours)
  std::string Text;         // what the map calls it ("101.1 Slope line, contour")
};

// The roles the orienteering symbol numbers give to line symbols: 101 contour, 102 index
// contour, 103 form line, each with any sub-number (103.1, a small form line, is one too), and
// 104 slope line where the symbol's text says so (ISOM 2000; ISOM 2017 gives 104 to the earth
// bank). A line symbol whose text names a slope line is one, whatever its number. numberScale is
// how many times the number shown the model's number is (10 for OCAD 5 to 8, 1000 later). A map
// with none of these but with 10.1 to 10.4 (OCAD 5 to 8 numbering, as the demo maps have it)
// gets those, in that order. Interval and index every keep their defaults.
ContourRoles DefaultContourRoles(const std::vector<RoleSymbol>& symbols,
                                 std::int32_t numberScale);

}  // namespace terrak::heights

#pragma once
// Small OCAD maps for the main window's tests, in any version: three contour pieces joined end
// to end, an index contour touching them, a contour apart with a height, and an area symbol.
#include <cstdint>
#include <vector>

#include "mainwindow/app_state.h"
#include "mapbuild/ocad_builder.h"

namespace terrak::testing {

inline constexpr std::int16_t kContour = 101;
inline constexpr std::int16_t kIndexContour = 102;
inline constexpr std::int16_t kLake = 301;

// Objects in file order.
enum ChainObject : std::size_t { kPieceA, kPieceB, kPieceC, kIndexPiece, kApart };

// Builds the map at 1x centred on the origin; builder.Layout() tells where everything lies.
std::vector<std::uint8_t> BuildChainMap(OcadMapBuilder& builder);

// A screen point of an object's outline that lies inside its box on the screen, where a plain
// press picks it (the window must have been painted).
Point PressPointOf(AppState& app, std::size_t object);

// The byte positions at which two files differ (sizes must match).
std::vector<std::size_t> DifferingBytes(const std::vector<std::uint8_t>& a,
                                        const std::vector<std::uint8_t>& b);

}  // namespace terrak::testing

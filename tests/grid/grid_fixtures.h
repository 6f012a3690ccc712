#pragma once
// Grids and maps for the grid construction's tests: empty grids to draw on, random contour sets,
// and contour maps of smooth analytic terrains.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "grid/grid_state.h"
#include "mapfile/map_model.h"

namespace terrak::testing {

// A grid of GridWidth w and GridHeight h (w + 1 by h + 1 cells), all empty.
GridState EmptyGrid(std::int32_t w, std::int32_t h);

// Sets cells from a picture: rows from the top (row h) down to row 0, one character per cell:
// '.' empty, a digit d the height 100 * (d + 1) decimetres.
GridState GridFromPicture(const std::vector<std::string>& rowsFromTop);

// Random contour lines (straight and bent polylines) at random heights painted into an empty
// grid, the same for the same seed. Some heights jump far from their neighbours' so that flat
// regions and extrapolations beyond the contours occur.
GridState RandomContourGrid(std::uint32_t seed, std::int32_t w, std::int32_t h, int lines);

// A map of the contours of a terrain (heights in metres over metres east and north of the map's
// origin), every interval metres, as line objects of symbol 101 at the given scale. Each contour
// piece between two lattice edges is one object of two points. A frame of height 0 objects
// (symbol 102) gives the whole map a larger extent than the contours.
MapModel ContourMap(const std::function<double(double, double)>& terrain, double widthMetres,
                    double heightMetres, double interval, double scale, double latticeStep);

// A few round hills and hollows on a slope, made from seed.
std::function<double(double, double)> HillyTerrain(std::uint32_t seed, double widthMetres,
                                                   double heightMetres);

}  // namespace terrak::testing

#pragma once
// Terrain grids and map models of the demo maps for the 3D viewer's tests and benchmarks: the
// height grid sampled from the demo terrain (one cell per metre, as the grid construction makes
// it) with the demo map's image draped over it, and the demo map opened with its contours
// selected.
#include <string>

#include "terrain/grid_state.h"
#include "mapfile/map_model.h"
#include "mapbuild/demo_map.h"

namespace terrak::testing {

// The grid of a demo map centred on the origin: GridWidth x GridHeight metres, one column and
// one row more cells, origin at the map's south-west corner. With withBitmap, BitmapGrid and
// BitmapPalette hold the demo image at one pixel per metre and both bitmap flags are set.
GridState MakeDemoGrid(const DemoMap& map, bool withBitmap);

// The demo map written as a version 6 map in folder (map.ocd, its working copy beside it),
// opened, the two contour symbols selected and their objects read. Throws on failure.
MapModel OpenDemoModel(const DemoMap& map, double scale, const std::string& folder);

}  // namespace terrak::testing

// terrak-export-demo: the terrain of a 3D map file as a GeoTIFF DEM, a glTF binary and an STL
// model, with the export core's defaults otherwise. Used by tools/export-pictures/take for the
// pictures in docs/.
//
//   terrak-export-demo MAP.o3d OUT.tif OUT.glb OUT.stl [INTERVAL]
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "export/dem_export.h"
#include "export/glb_export.h"
#include "export/stl_export.h"
#include "terrain/map3d_file.h"
#include "support/scripted_dialogs.h"

int main(int argc, char** argv) {
  using namespace terrak;
  if (argc < 5 || argc > 6) {
    std::fprintf(stderr, "usage: terrak-export-demo MAP.o3d OUT.tif OUT.glb OUT.stl [INTERVAL]\n");
    return 2;
  }
  try {
    GridState grid;
    ViewpointBlock views{};
    testing::ScriptedDialogs dialogs;
    if (!Read3dMap(argv[1], grid, views, dialogs)) {
      std::fprintf(stderr, "%s\n", kNotA3dMapMessage);
      return 1;
    }
    const std::int32_t interval = argc == 6 ? std::atoi(argv[5]) : 1;
    for (const std::string& note : WriteDemFile(argv[2], grid, Georeferencing{}, DemOptions{}))
      std::fprintf(stderr, "%s\n", note.c_str());
    GlbOptions glb;
    glb.Interval = interval;
    for (const std::string& note : WriteGlbFile(argv[3], grid, Georeferencing{}, glb))
      std::fprintf(stderr, "%s\n", note.c_str());
    StlOptions stl;
    stl.Interval = interval;
    WriteStlFile(argv[4], grid, Georeferencing{}, stl);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}

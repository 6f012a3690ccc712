#include "support/demo_grid.h"

#include <stdexcept>

#include "common/rounding.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapbuild/demo_image.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak::testing {

GridState MakeDemoGrid(const DemoMap& map, bool withBitmap) {
  const double width = map.Options.Width, depth = map.Options.Depth;
  GridState grid{.GridMinX = static_cast<std::int32_t>(RoundToInt(-width / 2)),
                 .GridMinY = static_cast<std::int32_t>(RoundToInt(-depth / 2)),
                 .GridWidth = static_cast<std::int32_t>(RoundToInt(width)),
                 .GridHeight = static_cast<std::int32_t>(RoundToInt(depth))};
  grid.HeightGrid.Resize(grid.GridWidth + 1, grid.GridHeight + 1, 0);
  // Cells west of, south of and at the far edges are left without height, as the outline of a
  // real grid leaves cells empty.
  for (std::int32_t i = 1; i < grid.GridWidth; ++i)
    for (std::int32_t j = 1; j < grid.GridHeight; ++j) {
      const double x = grid.GridMinX + i + width / 2, y = grid.GridMinY + j + depth / 2;
      grid.HeightGrid(i, j) =
          static_cast<std::int16_t>(RoundToInt(TerrainHeight(map.Terrain, x, y) * 10));
    }
  if (!withBitmap) return grid;
  const IndexedImage image = DrawDemoMap(map, 10000, 1.0);
  grid.BitmapGrid.Resize(grid.GridWidth + 1, grid.GridHeight + 1, 0);
  const std::int64_t rows = image.Pixels.Rows();
  for (std::int64_t i = 0; i < grid.BitmapGrid.Columns() && i < image.Pixels.Columns(); ++i)
    for (std::int64_t j = 0; j < grid.BitmapGrid.Rows() && j < rows; ++j)
      grid.BitmapGrid(i, j) = image.Pixels(i, rows - 1 - j);
  for (std::size_t k = 0; k < 256; ++k) {
    const Colour c = image.Palette[k];
    grid.BitmapPalette[k * 4] = BlueOf(c);
    grid.BitmapPalette[k * 4 + 1] = GreenOf(c);
    grid.BitmapPalette[k * 4 + 2] = RedOf(c);
  }
  grid.MapBitmapLoaded = grid.ShowMapBitmap = true;
  return grid;
}

MapModel OpenDemoModel(const DemoMap& map, double scale, const std::string& folder) {
  OcadMapBuilder builder = DemoMapBuilder(map, 6, scale);
  MapModel model;
  model.MapFileName = folder + "/map.ocd";
  WriteBytes(model.MapFileName, builder.Build());
  ScriptedDialogs dialogs;
  const std::string workingCopy = folder + "/OCADCopy.tmp";
  if (OpenMapFile(model, workingCopy, dialogs) != OpenResult::Opened)
    throw std::runtime_error("demo map did not open");
  model.SelectedSymbols = {{kDemoContour, 0}, {kDemoIndexContour, 0}};
  model.SymbolsSelected = true;
  ReadObjects(model, workingCopy);
  return model;
}

}  // namespace terrak::testing

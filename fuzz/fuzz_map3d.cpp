// Random bytes as a 3D map file: reading must never crash or touch memory outside its buffers;
// a file that reads must write back and read again to the same state. Only the no-bitmap rule
// may change something: with an all-zero palette the bitmap cells come back as zeros.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "terrain/map3d_file.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

using terrak::GridState;
using terrak::ViewpointBlock;

void Require(bool condition) {
  if (!condition) std::abort();
}

// Viewpoints compared as their stored bytes, so NaN and -0 compare as the file holds them.
bool SameViews(const ViewpointBlock& a, const ViewpointBlock& b) {
  for (std::size_t v = 0; v < terrak::kViewpointCount; ++v) {
    std::uint8_t left[terrak::kViewPointRecordSize];
    std::uint8_t right[terrak::kViewPointRecordSize];
    terrak::EncodeViewPoint(a[v], left);
    terrak::EncodeViewPoint(b[v], right);
    if (std::memcmp(left, right, sizeof left) != 0) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  terrak::testing::TempFolder folder;
  const std::string input = folder.File("input.o3d");
  terrak::testing::WriteBytes(input, std::vector<std::uint8_t>(data, data + size));

  terrak::testing::ScriptedDialogs dialogs;
  GridState first;
  ViewpointBlock firstViews{};
  const bool read = terrak::Read3dMap(input, first, firstViews, dialogs);
  Require(dialogs.BusyDepth == 0);
  Require(read == dialogs.Messages.empty());
  if (!read) return 0;
  Require(first.HeightGrid.Columns() == first.GridWidth);
  Require(first.HeightGrid.Rows() == first.GridHeight);
  Require(first.BitmapGrid.Columns() == first.GridWidth);
  Require(first.BitmapGrid.Rows() == first.GridHeight);

  const std::string output = folder.File("output.o3d");
  terrak::Write3dMap(output, first, firstViews);
  GridState second;
  ViewpointBlock secondViews{};
  Require(terrak::Read3dMap(output, second, secondViews, dialogs));

  Require(second.GridWidth == first.GridWidth && second.GridHeight == first.GridHeight);
  Require(second.GridMinX == first.GridMinX && second.GridMinY == first.GridMinY);
  Require(SameViews(secondViews, firstViews));
  Require(second.HeightGrid == first.HeightGrid);
  Require(second.BitmapPalette == first.BitmapPalette);
  Require(second.MapBitmapLoaded == first.MapBitmapLoaded);
  Require(second.ShowMapBitmap == first.ShowMapBitmap);
  if (first.MapBitmapLoaded) {
    Require(second.BitmapGrid == first.BitmapGrid);
  } else {
    Require(second.BitmapGrid == terrak::BitmapGridType(first.GridWidth, first.GridHeight, 0));
  }
  return 0;
}

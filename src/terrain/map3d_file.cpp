#include "terrain/map3d_file.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "terrain/map3d_codec.h"
#include "platform/file_stream.h"

namespace terrak {

namespace {

// The file's bytes up to the most a 3D map can use; a larger file only has trailing bytes more.
std::vector<std::uint8_t> ReadUsefulBytes(const std::string& fileName) {
  FileStream stream(fileName, FileMode::ReadDenyWrite);
  const std::int64_t size = stream.Size();
  const std::size_t wanted =
      std::min(static_cast<std::size_t>(size < 0 ? 0 : size), kMax3dMapUsefulBytes);
  std::vector<std::uint8_t> bytes(wanted);
  bytes.resize(stream.ReadSome(0, bytes.data(), bytes.size()));
  return bytes;
}

bool AnyNonZero(const std::array<std::uint8_t, kBitmapPaletteSize>& palette) {
  return std::any_of(palette.begin(), palette.end(), [](std::uint8_t b) { return b != 0; });
}

}  // namespace

void Write3dMap(const std::string& fileName, const GridState& grid, const ViewpointBlock& views) {
  ReplaceFileAtomically(fileName, Encode3dMap(grid, views));
}

bool Read3dMap(const std::string& fileName, GridState& grid, ViewpointBlock& views,
               UserDialogs& dialogs) {
  std::optional<Map3dContent> content;
  {
    BusyCursor busy(dialogs);
    content = Decode3dMap(ReadUsefulBytes(fileName));
  }
  if (!content) {
    dialogs.Message(kNotA3dMapMessage, MessageType::Plain,
                    static_cast<unsigned>(DialogButton::Ok));
    return false;
  }
  grid.GridWidth = content->GridWidth;
  grid.GridHeight = content->GridHeight;
  grid.GridMinX = content->GridMinX;
  grid.GridMinY = content->GridMinY;
  // The file holds the origin and the size; the far edge follows from them.
  grid.GridMaxX = content->GridMinX + content->GridWidth;
  grid.GridMaxY = content->GridMinY + content->GridHeight;
  grid.HeightGrid = std::move(content->HeightGrid);
  grid.HeightBase = 0;
  grid.BitmapGrid = std::move(content->BitmapGrid);
  grid.BitmapPalette = content->BitmapPalette;
  // A file written without a map bitmap holds an all-zero palette.
  grid.MapBitmapLoaded = AnyNonZero(grid.BitmapPalette);
  grid.ShowMapBitmap = grid.MapBitmapLoaded;
  views = content->Viewpoints;
  return true;
}

}  // namespace terrak

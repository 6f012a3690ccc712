#include "grid/map_bitmap.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>

#include "common/bytes.h"
#include "mapfile/map_formats.h"

namespace terrak {

std::string MapBitmapFileNameFor(const std::string& mapFileName, bool* nameGuessed) {
  const std::size_t slash = mapFileName.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = mapFileName.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && dot > nameStart;
  std::string extension = hasExtension ? mapFileName.substr(dot) : std::string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  // Every map extension the program opens is a map's own name: no guess.
  if (nameGuessed != nullptr) *nameGuessed = !IsMapExtension(extension);
  return (hasExtension ? mapFileName.substr(0, dot) : mapFileName) + ".bmp";
}

const ImagePalette& StretchPalette() {
  static const ImagePalette palette = [] {
    ImagePalette p{};
    std::size_t i = 0;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          p[i++] = MakeColour(static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                              static_cast<std::uint8_t>(b * 51));
    for (int k = 1; k <= 39; ++k) {
      const auto level = static_cast<std::uint8_t>((k * 255 + 20) / 40);
      p[i++] = MakeColour(level, level, level);
    }
    p[i] = kBlack;
    return p;
  }();
  return palette;
}

std::int64_t BmpRowBytes(std::int64_t width) { return (width + 3) / 4 * 4; }

namespace {

std::vector<std::uint8_t> BmpHeaders(const IndexedImage& image, const ImagePalette& palette) {
  const std::int64_t rowBytes = BmpRowBytes(image.Width);
  const std::int64_t imageBytes = rowBytes * image.Height;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kBmpRowsOffset), 0);
  std::uint8_t* h = bytes.data();
  h[0] = 'B';
  h[1] = 'M';
  PutU32(h + 2, static_cast<std::uint32_t>(kBmpRowsOffset + imageBytes));
  PutU32(h + 10, static_cast<std::uint32_t>(kBmpRowsOffset));
  PutU32(h + 14, 40);
  PutI32(h + 18, image.Width);
  PutI32(h + 22, image.Height);  // positive: rows stored from the bottom up
  PutU16(h + 26, 1);
  PutU16(h + 28, 8);
  PutU32(h + 30, 0);  // no compression
  PutU32(h + 34, static_cast<std::uint32_t>(imageBytes));
  PutU32(h + 38, 3780);  // 96 dots per inch
  PutU32(h + 42, 3780);
  PutU32(h + 46, 256);
  PutU32(h + 50, 0);
  for (std::size_t i = 0; i < palette.size(); ++i) {
    std::uint8_t* entry = h + kBmpPaletteOffset + 4 * i;
    entry[0] = BlueOf(palette[i]);
    entry[1] = GreenOf(palette[i]);
    entry[2] = RedOf(palette[i]);
  }
  return bytes;
}

// Appends stored row r (the picture's row Height - 1 - r) with its padding.
void AppendStoredRow(std::vector<std::uint8_t>& out, const IndexedImage& image, std::int64_t r) {
  const std::int64_t rowBytes = BmpRowBytes(image.Width);
  const auto* row = image.Pixels.data() + (image.Height - 1 - r) * std::int64_t{image.Width};
  out.insert(out.end(), row, row + image.Width);
  out.insert(out.end(), static_cast<std::size_t>(rowBytes - image.Width), 0);
}

void CheckImage(const IndexedImage& image, std::int32_t width, std::int32_t height,
                const std::string& fileName) {
  if (image.Width != width || image.Height != height ||
      static_cast<std::int64_t>(image.Pixels.size()) != std::int64_t{width} * height)
    throw FileError(fileName, "the image could not be stretched to the map's size");
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp8(const IndexedImage& image, const ImagePalette& palette) {
  std::vector<std::uint8_t> bytes = BmpHeaders(image, palette);
  for (std::int64_t r = 0; r < image.Height; ++r) AppendStoredRow(bytes, image, r);
  return bytes;
}

void StretchMapBitmap(const GridState& grid, const GridBuildState& build,
                      ImageStretcher& stretcher) {
  const ImagePalette& palette = StretchPalette();
  const IndexedImage image = stretcher.StretchUpsideDown(build.MapBitmapFileName, grid.MapWidth,
                                                         grid.MapHeight, palette);
  CheckImage(image, grid.MapWidth, grid.MapHeight, build.MapBitmapFileName);
  const std::filesystem::path folder = std::filesystem::path(build.StretchedFileName).parent_path();
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  FileStream out(build.StretchedFileName, FileMode::CreateExclusive);
  std::vector<std::uint8_t> chunk = BmpHeaders(image, palette);
  std::int64_t position = 0;
  for (std::int64_t r = 0; r < image.Height; ++r) {
    AppendStoredRow(chunk, image, r);
    if (chunk.size() >= (1u << 20) || r == image.Height - 1) {
      out.Write(position, chunk.data(), chunk.size());
      position += static_cast<std::int64_t>(chunk.size());
      chunk.clear();
    }
  }
  if (!chunk.empty()) out.Write(position, chunk.data(), chunk.size());
  out.Close();
}

void ReadBitmapPalette(const FileStream& stream, GridState& grid) {
  grid.BitmapPalette.fill(0);
  stream.ReadSome(kBmpPaletteOffset, grid.BitmapPalette.data(), grid.BitmapPalette.size());
}

void CopyBitmapRow(const std::vector<std::uint8_t>& row, std::int32_t bitmapY,
                   std::int32_t columnOffset, GridState& grid) {
  if (bitmapY < 0 || bitmapY >= grid.BitmapGrid.Rows()) return;
  // Pixels columnOffset + 1 .. columnOffset + GridWidth go to columns 0 .. GridWidth - 1 (from
  // pixel 0 on, should the offset be negative); bytes beyond the row read as 0.
  const std::int64_t first = std::max<std::int64_t>(std::int64_t{columnOffset} + 1, 0);
  const std::int64_t last = std::int64_t{columnOffset} + grid.GridWidth;
  std::int64_t bitmapX = 0;
  const auto rowSize = static_cast<std::int64_t>(row.size());
  for (std::int64_t c = first; c <= last && bitmapX < grid.BitmapGrid.Columns(); ++c, ++bitmapX)
    grid.BitmapGrid(bitmapX, bitmapY) = c < rowSize ? row[static_cast<std::size_t>(c)] : 0;
}

void ReadBitmapRows(const FileStream& stream, std::int64_t rowBytes, GridState& grid,
                    GridBuildState& build) {
  grid.BitmapGrid.ResizeKeeping(std::int64_t{grid.GridWidth} + 1, std::int64_t{grid.GridHeight} + 1);
  if (rowBytes > kOldRowBufferSize) build.Notes.BitmapRowsLong = true;
  // A row read short at the end of the file leaves the rest of the buffer as it was.
  std::vector<std::uint8_t> row(static_cast<std::size_t>(std::max(rowBytes, kOldRowBufferSize)), 0);
  std::int64_t position = kBmpRowsOffset + std::max(build.BitmapRowOffset, 0) * rowBytes;
  for (std::int32_t bitmapY = grid.GridHeight; bitmapY >= 0; --bitmapY) {
    const std::size_t got = stream.ReadSome(position, row.data(), static_cast<std::size_t>(rowBytes));
    if (static_cast<std::int64_t>(got) < rowBytes) ++build.Notes.BitmapRowsMissing;
    position += rowBytes;
    CopyBitmapRow(row, bitmapY, build.BitmapColumnOffset, grid);
  }
}

void ReadStretchedBitmap(GridState& grid, GridBuildState& build, UserDialogs& dialogs) {
  FileStream stream(build.StretchedFileName, FileMode::ReadDenyWrite);
  std::uint8_t headers[54] = {};
  stream.ReadSome(0, headers, sizeof headers);
  const std::int32_t width = GetI32(headers + 18);
  const bool valid = headers[0] == 'B' && headers[1] == 'M' && GetU16(headers + 26) == 1 &&
                     GetU16(headers + 28) == 8 && width > 0 && width <= (1 << 24);
  if (!valid) {
    grid.ShowMapBitmap = false;
    grid.MapBitmapLoaded = false;
    dialogs.Message(kNotOcadBitmapMessage, MessageType::Plain, static_cast<unsigned>(DialogButton::Ok));
    return;
  }
  ReadBitmapPalette(stream, grid);
  ReadBitmapRows(stream, BmpRowBytes(width), grid, build);
  grid.ShowMapBitmap = true;
  grid.MapBitmapLoaded = true;
}

void ReadMapBitmap(GridState& grid, GridBuildState& build, ImageStretcher& stretcher,
                   UserDialogs& dialogs) {
  // The height grid is complete by now: an image that cannot be used costs only the draping.
  std::string problem;
  try {
    StretchMapBitmap(grid, build, stretcher);
    ReadStretchedBitmap(grid, build, dialogs);
    return;
  } catch (const FileError& error) {
    problem = error.what();
  } catch (const std::bad_alloc&) {
    problem = "there is not enough memory to read \"" + build.MapBitmapFileName + "\"";
  }
  grid.ShowMapBitmap = false;
  grid.MapBitmapLoaded = false;
  dialogs.Message(kMapImageUnusedMessage + problem, MessageType::Warning,
                  static_cast<unsigned>(DialogButton::Ok));
}

}  // namespace terrak

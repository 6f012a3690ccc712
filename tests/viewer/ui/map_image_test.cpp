// Loading the map image beside the map with Qt: large images are read, images too large to hold
// and files that are no images are refused with a message that says which.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include "grid/map_bitmap.h"
#include "platform/file_error.h"
#include "platform/qt/qt_image_stretcher.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using testing::TempFolder;

std::uint8_t PaletteIndexOf(Colour colour) {
  const ImagePalette& palette = StretchPalette();
  const auto found = std::find(palette.begin(), palette.end(), colour);
  return static_cast<std::uint8_t>(found - palette.begin());
}

std::string RefusalOf(const std::string& fileName) {
  return testing::ThrownText<FileError>(
      [&] { MakeQtImageStretcher()->StretchUpsideDown(fileName, 40, 30, StretchPalette()); },
      &FileError::Reason, "read");
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void AppendChunk(std::vector<std::uint8_t>& png, const char* type,
                 const std::vector<std::uint8_t>& data) {
  PutBig32(png, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t byte : body) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  png.insert(png.end(), body.begin(), body.end());
  PutBig32(png, ~crc);
}

// A PNG signature, its header chunk for an RGB image of the size given, and an empty data chunk.
std::vector<std::uint8_t> PngHeaderOnly(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBig32(header, width);
  PutBig32(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, no interlace
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", {});
  return png;
}

TEST(MapImage, AnImageBeyondQtsDefaultDecodeLimitIsStretched) {
  // 8192 x 4200 pixels decode to 137 MB at 32 bits, above the 128 MiB Qt allows by default.
  TempFolder folder;
  const std::string name = folder.File("large.png");
  {
    QImage image(8192, 4200, QImage::Format_RGB888);
    image.fill(QColor(255, 0, 0));
    for (int y = 0; y < 4200; ++y) {
      uchar* line = image.scanLine(y);
      for (int x = 4096; x < 8192; ++x) line[3 * x] = 0, line[3 * x + 2] = 255;  // blue
      if (y < 1050)  // the top quarter's left half green
        for (int x = 0; x < 4096; ++x) line[3 * x] = 0, line[3 * x + 1] = 255;
    }
    QImageWriter writer(QString::fromStdString(name));
    writer.setQuality(90);  // fast compression
    ASSERT_TRUE(writer.write(image));
  }
  const int limitBefore = QImageReader::allocationLimit();
  const IndexedImage stretched =
      MakeQtImageStretcher()->StretchUpsideDown(name, 64, 40, StretchPalette());
  EXPECT_EQ(QImageReader::allocationLimit(), limitBefore);
  ASSERT_EQ(stretched.Width, 64);
  ASSERT_EQ(stretched.Height, 40);
  const auto at = [&](int x, int row) {
    return stretched.Pixels[static_cast<std::size_t>(row * 64 + x)];
  };
  // Upside down: the image's top (green on the left) is the picture's last rows.
  EXPECT_EQ(std::tuple(at(0, 39), at(31, 30), at(0, 0), at(31, 29), at(32, 0), at(63, 39)),
            std::tuple(PaletteIndexOf(MakeColour(0, 255, 0)), PaletteIndexOf(MakeColour(0, 255, 0)),
                       PaletteIndexOf(MakeColour(255, 0, 0)), PaletteIndexOf(MakeColour(255, 0, 0)),
                       PaletteIndexOf(MakeColour(0, 0, 255)),
                       PaletteIndexOf(MakeColour(0, 0, 255))));
}

TEST(MapImage, TooLargeAndDamagedImagesAreRefusedEachWithItsReason) {
  TempFolder folder;
  // The header of a PNG of 20000 x 20000 pixels (3.2 GB to decode); no pixels follow.
  testing::WriteBytes(folder.File("huge.png"), PngHeaderOnly(20000, 20000));
  EXPECT_EQ(RefusalOf(folder.File("huge.png")),
            "the image of 20000 x 20000 pixels is too large "
            "(at most 268435456 pixels can be read)");

  testing::WriteText(folder.File("text.bmp"), "this is no image at all");
  EXPECT_EQ(RefusalOf(folder.File("text.bmp")), "it cannot be read as an image");
  EXPECT_EQ(RefusalOf(folder.File("missing.bmp")), "cannot open it (No such file or directory)");
  std::vector<std::uint8_t> cut = PngHeaderOnly(4000, 3000);  // a size, but no pixels
  testing::WriteBytes(folder.File("cut.png"), cut);
  EXPECT_EQ(RefusalOf(folder.File("cut.png")), "it cannot be read as an image");
}

}  // namespace
}  // namespace terrak

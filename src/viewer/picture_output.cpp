#include "viewer/picture_output.h"

#include <stdexcept>

#include "common/bytes.h"

namespace terrak {

Rect PrintRectFor(std::int32_t pageWidth, std::int32_t pageHeight) {
  const std::int64_t w = pageWidth, h = pageHeight;
  if (4 * h < 3 * w) return {0, 0, static_cast<std::int32_t>(4 * h / 3), pageHeight};
  return {0, 0, pageWidth, static_cast<std::int32_t>(3 * w / 4)};
}

std::vector<std::uint8_t> EncodeBmp24(const Picture& picture) {
  if (picture.Width <= 0 || picture.Height <= 0)
    throw std::invalid_argument("An empty picture cannot be saved as a bitmap");
  const std::size_t rowBytes = (static_cast<std::size_t>(picture.Width) * 3 + 3) / 4 * 4;
  const std::size_t dataBytes = rowBytes * static_cast<std::size_t>(picture.Height);
  std::vector<std::uint8_t> file(54 + dataBytes, 0);
  file[0] = 'B';
  file[1] = 'M';
  PutU32(&file[2], static_cast<std::uint32_t>(file.size()));
  PutU32(&file[10], 54);
  PutU32(&file[14], 40);
  PutI32(&file[18], picture.Width);
  PutI32(&file[22], picture.Height);
  PutU16(&file[26], 1);   // planes
  PutU16(&file[28], 24);  // bits per pixel
  PutU32(&file[34], static_cast<std::uint32_t>(dataBytes));
  PutU32(&file[38], 2835);  // 72 pixels per inch
  PutU32(&file[42], 2835);
  for (std::int32_t y = 0; y < picture.Height; ++y) {
    std::uint8_t* row = &file[54 + rowBytes * static_cast<std::size_t>(picture.Height - 1 - y)];
    for (std::int32_t x = 0; x < picture.Width; ++x) {
      const Colour c = picture.At(x, y);
      row[3 * x] = BlueOf(c);
      row[3 * x + 1] = GreenOf(c);
      row[3 * x + 2] = RedOf(c);
    }
  }
  return file;
}

std::string BitmapSavedMessage(const std::string& fileName, std::int32_t width,
                               std::int32_t height) {
  std::string first = "Bitmap saved to " + fileName;
  // 96 characters, not bytes: a UTF-8 character starts at every byte that is not 10xxxxxx.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    if ((static_cast<unsigned char>(first[i]) & 0xC0) == 0x80) continue;
    if (++characters > 96) {
      first.resize(i);
      break;
    }
  }
  return first + " at " + std::to_string(width) + "x" + std::to_string(height) + " pixels";
}

}  // namespace terrak

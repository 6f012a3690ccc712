#include "viewer/picture_output.h"

#include <array>
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

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  static constexpr auto kTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return table;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = kTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutU32BigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void AppendChunk(std::vector<std::uint8_t>& out, const char* type,
                 const std::vector<std::uint8_t>& data) {
  PutU32BigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutU32BigEndian(out, Crc32(&out[start], out.size() - start));
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Picture& picture) {
  if (picture.Width <= 0 || picture.Height <= 0)
    throw std::invalid_argument("An empty picture cannot be saved as a PNG");
  std::vector<std::uint8_t> raw;  // each row: filter type 0, then red, green, blue per pixel
  raw.reserve(static_cast<std::size_t>(picture.Height) * (1 + 3 * static_cast<std::size_t>(picture.Width)));
  for (std::int32_t y = 0; y < picture.Height; ++y) {
    raw.push_back(0);
    for (std::int32_t x = 0; x < picture.Width; ++x) {
      const Colour c = picture.At(x, y);
      raw.insert(raw.end(), {RedOf(c), GreenOf(c), BlueOf(c)});
    }
  }
  std::vector<std::uint8_t> zlib{0x78, 0x01};
  constexpr std::size_t kBlock = 65535;
  for (std::size_t at = 0; at < raw.size() || at == 0; at += kBlock) {
    const std::size_t n = std::min(kBlock, raw.size() - at);
    zlib.push_back(at + n >= raw.size() ? 1 : 0);  // last block flag, stored
    zlib.push_back(static_cast<std::uint8_t>(n & 0xFF));
    zlib.push_back(static_cast<std::uint8_t>(n >> 8));
    zlib.push_back(static_cast<std::uint8_t>(~n & 0xFF));
    zlib.push_back(static_cast<std::uint8_t>((~n >> 8) & 0xFF));
    zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    if (raw.empty()) break;
  }
  std::uint32_t a = 1, b = 0;  // Adler-32 of the raw data
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32BigEndian(zlib, (b << 16) | a);

  std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutU32BigEndian(header, static_cast<std::uint32_t>(picture.Width));
  PutU32BigEndian(header, static_cast<std::uint32_t>(picture.Height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", zlib);
  AppendChunk(png, "IEND", {});
  return png;
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

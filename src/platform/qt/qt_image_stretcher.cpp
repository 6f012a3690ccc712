#include "platform/qt/qt_image_stretcher.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <algorithm>
#include <climits>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_error.h"
#include "platform/file_stream.h"

namespace terrak {

namespace {

// Nearest palette entry by squared distance in red, green and blue; the lowest index wins a tie.
class NearestColour {
 public:
  explicit NearestColour(const ImagePalette& palette) : palette_(palette) {}

  std::uint8_t operator()(QRgb rgb) {
    if (const auto it = known_.find(rgb); it != known_.end()) return it->second;
    std::uint8_t best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      const int dr = qRed(rgb) - RedOf(palette_[i]);
      const int dg = qGreen(rgb) - GreenOf(palette_[i]);
      const int db = qBlue(rgb) - BlueOf(palette_[i]);
      const int distance = dr * dr + dg * dg + db * db;
      if (distance < bestDistance) {
        bestDistance = distance;
        best = static_cast<std::uint8_t>(i);
      }
    }
    known_.emplace(rgb, best);
    return best;
  }

 private:
  const ImagePalette& palette_;
  std::unordered_map<QRgb, std::uint8_t> known_;
};

// Qt refuses to decode images above a process-wide allocation limit (128 MiB by default, about
// 33.5 million pixels at 32 bits). A map image may be much larger: the limit is raised to what
// this one image needs for as long as it is read.
class AllocationLimitScope {
 public:
  explicit AllocationLimitScope(std::int64_t bytes) : previous_(QImageReader::allocationLimit()) {
    const std::int64_t mebibytes = bytes / (1024 * 1024) + 1;
    QImageReader::setAllocationLimit(static_cast<int>(std::min<std::int64_t>(mebibytes, INT_MAX)));
  }
  ~AllocationLimitScope() { QImageReader::setAllocationLimit(previous_); }
  AllocationLimitScope(const AllocationLimitScope&) = delete;
  AllocationLimitScope& operator=(const AllocationLimitScope&) = delete;

 private:
  int previous_;
};

// Eight bytes per pixel covers every format Qt decodes into, 16 bits per channel included.
constexpr std::int64_t kDecodeBytesPerPixel = 8;

QImage LoadImage(const std::string& fileName, std::int32_t width, std::int32_t height) {
  // The loader opens the name itself and would wait forever on a fifo.
  RequireRegularFile(fileName);
  QImageReader reader(QString::fromStdString(fileName));
  const QSize size = reader.size();  // from the file's header, where the format tells it
  const std::int64_t pixels = size.isValid() ? std::int64_t{size.width()} * size.height() : 0;
  if (pixels > kMaxMapImagePixels) {
    // JPEG decodes straight to a smaller size (other formats that take a scaled size decode the
    // whole image first).
    if (reader.format() != "jpeg")
      throw FileError(fileName, "the image of " + std::to_string(size.width()) + " x " +
                                    std::to_string(size.height()) +
                                    " pixels is too large (at most " +
                                    std::to_string(kMaxMapImagePixels) + " pixels can be read)");
    reader.setScaledSize(QSize(std::min(size.width(), width), std::min(size.height(), height)));
  }
  // A format that does not tell its size beforehand may use what the largest image would.
  const std::int64_t decoded =
      pixels > 0 ? std::min(pixels, kMaxMapImagePixels) : kMaxMapImagePixels;
  const AllocationLimitScope limit(decoded * kDecodeBytesPerPixel);
  QImage source = reader.read();
  if (source.isNull()) throw FileError(fileName, "it cannot be read as an image");
  return source;
}

class QtImageStretcher : public ImageStretcher {
 public:
  IndexedImage StretchUpsideDown(const std::string& fileName, std::int32_t width,
                                 std::int32_t height, const ImagePalette& palette) override {
    const QImage source = LoadImage(fileName, width, height);
    IndexedImage image;
    image.Width = width;
    image.Height = height;
    image.Pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    // Nearest source pixel to each picture pixel's centre; the picture's row r takes the source
    // row that lies r rows from the bottom, so the image's top lands in the last row.
    std::vector<int> sourceX(static_cast<std::size_t>(width));
    for (std::int32_t x = 0; x < width; ++x)
      sourceX[static_cast<std::size_t>(x)] =
          static_cast<int>((2 * std::int64_t{x} + 1) * source.width() / (2 * std::int64_t{width}));
    NearestColour nearest(palette);
    // Rows are turned into 32-bit colours one at a time, so a large image is never held twice.
    const bool direct = source.format() == QImage::Format_RGB32;
    QImage converted;
    for (std::int32_t r = 0; r < height; ++r) {
      const auto sourceY = static_cast<int>((2 * std::int64_t{height - 1 - r} + 1) *
                                            source.height() / (2 * std::int64_t{height}));
      if (!direct)
        converted =
            source.copy(0, sourceY, source.width(), 1).convertToFormat(QImage::Format_RGB32);
      const auto* line = reinterpret_cast<const QRgb*>(direct ? source.constScanLine(sourceY)
                                                              : converted.constScanLine(0));
      std::uint8_t* out = image.Pixels.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
      QRgb lastRgb = 0;
      std::uint8_t lastIndex = nearest(lastRgb);
      for (std::int32_t x = 0; x < width; ++x) {
        const QRgb rgb = line[sourceX[static_cast<std::size_t>(x)]] & 0xFFFFFFu;
        if (rgb != lastRgb) {
          lastRgb = rgb;
          lastIndex = nearest(rgb);
        }
        out[x] = lastIndex;
      }
    }
    return image;
  }
};

}  // namespace

std::unique_ptr<ImageStretcher> MakeQtImageStretcher() { return std::make_unique<QtImageStretcher>(); }

}  // namespace terrak

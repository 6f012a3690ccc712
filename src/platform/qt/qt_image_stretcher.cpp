#include "platform/qt/qt_image_stretcher.h"

#include <QImage>
#include <QString>

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

class QtImageStretcher : public ImageStretcher {
 public:
  IndexedImage StretchUpsideDown(const std::string& fileName, std::int32_t width,
                                 std::int32_t height, const ImagePalette& palette) override {
    // The loader opens the name itself and would wait forever on a fifo.
    RequireRegularFile(fileName);
    QImage source(QString::fromStdString(fileName));
    if (source.isNull()) throw FileError(fileName, "it cannot be read as an image");
    source = source.convertToFormat(QImage::Format_RGB32);
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
    for (std::int32_t r = 0; r < height; ++r) {
      const auto sourceY = static_cast<int>((2 * std::int64_t{height - 1 - r} + 1) *
                                            source.height() / (2 * std::int64_t{height}));
      const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(sourceY));
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

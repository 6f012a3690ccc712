#include "export/palette_png.h"

#include <gdal_priv.h>

#include <algorithm>
#include <memory>

#include "export/export_error.h"
#include "export/gdal_support.h"

namespace terrak {
namespace {

struct DatasetCloser {
  void operator()(GDALDataset* d) const { GDALClose(GDALDataset::ToHandle(d)); }
};

}  // namespace

std::vector<std::uint8_t> BitmapAsPng(const BitmapGridType& bitmap,
                                      const std::array<std::uint8_t, kBitmapPaletteSize>& palette,
                                      std::int64_t maxSide) {
  const std::int64_t columns = bitmap.Columns(), rows = bitmap.Rows();
  const std::int64_t side = std::max<std::int64_t>(maxSide, 1);
  const std::int64_t width = std::min(columns, side), height = std::min(rows, side);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height));
  for (std::int64_t i = 0; i < width; ++i) {
    const std::uint8_t* column = bitmap.Column(i * columns / width);
    for (std::int64_t p = 0; p < height; ++p)
      pixels[static_cast<std::size_t>(p * width + i)] = column[rows - 1 - p * rows / height];
  }

  EnsureGdalDrivers();
  GdalMessages messages;
  GDALDriver* png = GetGDALDriverManager()->GetDriverByName("PNG");
  GDALDriver* memory = GetGDALDriverManager()->GetDriverByName("MEM");
  if (!png || !memory) throw ExportError("GDAL has no PNG format for the map's texture");
  std::unique_ptr<GDALDataset, DatasetCloser> source(memory->Create(
      "", static_cast<int>(width), static_cast<int>(height), 1, GDT_Byte, nullptr));
  if (!source) throw ExportError("GDAL could not hold the map's texture: " + messages.LastError());
  GDALRasterBand* band = source->GetRasterBand(1);
  if (band->RasterIO(GF_Write, 0, 0, static_cast<int>(width), static_cast<int>(height),
                     pixels.data(), static_cast<int>(width), static_cast<int>(height), GDT_Byte, 0,
                     0, nullptr) != CE_None)
    throw ExportError("GDAL could not hold the map's texture: " + messages.LastError());
  GDALColorTable colours;
  for (int k = 0; k < 256; ++k) {
    const auto at = static_cast<std::size_t>(k) * 4;  // blue, green, red, reserved
    const GDALColorEntry entry{palette[at + 2], palette[at + 1], palette[at], 255};
    colours.SetColorEntry(k, &entry);
  }
  band->SetColorTable(&colours);

  GdalMemoryFolder folder;
  const std::string name = folder.Path("texture.png");
  std::unique_ptr<GDALDataset, DatasetCloser> copy(
      png->CreateCopy(name.c_str(), source.get(), FALSE, nullptr, nullptr, nullptr));
  if (!copy) throw ExportError("GDAL could not encode the map's texture: " + messages.LastError());
  copy.reset();
  for (MemoryFile& file : folder.Files())
    if (file.Name == "texture.png") return std::move(file.Bytes);
  throw ExportError("GDAL could not encode the map's texture");
}

}  // namespace terrak

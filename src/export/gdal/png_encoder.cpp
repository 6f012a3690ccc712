// The map's texture as a palette PNG, encoded by GDAL's PNG driver in a private in-memory folder.
#include <gdal_priv.h>

#include <memory>

#include "export/export_error.h"
#include "export/gdal/gdal_support.h"
#include "export/gdal/gdal_writers.h"

namespace terrak {
namespace {

struct DatasetCloser {
  void operator()(GDALDataset* d) const { GDALClose(GDALDataset::ToHandle(d)); }
};

}  // namespace

std::vector<std::uint8_t> EncodePngWithGdal(std::int64_t width, std::int64_t height,
                                            const std::vector<std::uint8_t>& pixels,
                                            const std::array<std::uint8_t, 1024>& palette) {
  if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX ||
      pixels.size() != static_cast<std::size_t>(width * height))
    throw ExportError("GDAL could not hold the map's texture: its size does not fit its pixels");
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
                     const_cast<std::uint8_t*>(pixels.data()), static_cast<int>(width),
                     static_cast<int>(height), GDT_Byte, 0, 0, nullptr) != CE_None)
    throw ExportError("GDAL could not hold the map's texture: " + messages.LastError());
  GDALColorTable colours;
  for (int k = 0; k < 256; ++k) {
    const auto at = static_cast<std::size_t>(k) * 4;  // blue, green, red, reserved
    const GDALColorEntry entry{palette[at + 2], palette[at + 1], palette[at], 255};
    colours.SetColorEntry(k, &entry);
  }
  band->SetColorTable(&colours);

  GdalWorkFolder folder;
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

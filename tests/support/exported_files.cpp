#include "support/exported_files.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <bit>

#include "support/temp_folder.h"

namespace terrak::testing {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
         std::uint32_t{b[at + 3]} << 24;
}

}  // namespace

void DatasetCloser::operator()(GDALDataset* d) const { GDALClose(GDALDataset::ToHandle(d)); }

Dataset OpenDataset(const std::string& file) {
  GDALAllRegister();
  return Dataset(GDALDataset::FromHandle(GDALOpen(file.c_str(), GA_ReadOnly)));
}

std::optional<DemInfo> ReadDemInfo(const std::string& file) {
  const Dataset d = OpenDataset(file);
  if (!d) return std::nullopt;
  DemInfo info{.Driver = d->GetDriver()->GetDescription(), .Columns = d->GetRasterXSize(),
               .Rows = d->GetRasterYSize()};
  d->GetGeoTransform(info.GeoTransform.data());
  if (const OGRSpatialReference* srs = d->GetSpatialRef()) {
    const char* code = srs->GetAuthorityCode(nullptr);
    if (code) info.Epsg = std::atoi(code);
  }
  int has = 0;
  const double noData = d->GetRasterBand(1)->GetNoDataValue(&has);
  if (has) info.NoData = noData;
  if (const char* compression = d->GetMetadataItem("COMPRESSION", "IMAGE_STRUCTURE"))
    info.Compression = compression;
  int blockHeight = 0;
  d->GetRasterBand(1)->GetBlockSize(&info.BlockWidth, &blockHeight);
  return info;
}

float DemPixel(const std::string& file, int column, int row) {
  const Dataset d = OpenDataset(file);
  float v = 0;
  if (!d || d->GetRasterBand(1)->RasterIO(GF_Read, column, row, 1, 1, &v, 1, 1, GDT_Float32, 0,
                                          0, nullptr) != CE_None)
    return -1e30f;
  return v;
}

std::optional<GlbInfo> ReadGlbInfo(const std::string& file) {
  const std::vector<std::uint8_t> bytes = ReadBytes(file);
  tinygltf::TinyGLTF loader;
  tinygltf::Model model;
  std::string error, warning;
  if (!loader.LoadBinaryFromMemory(&model, &error, &warning, bytes.data(),
                                   static_cast<unsigned>(bytes.size())) ||
      model.meshes.empty())
    return std::nullopt;
  const tinygltf::Primitive& p = model.meshes[0].primitives.at(0);
  GlbInfo info;
  const tinygltf::Accessor& positions = model.accessors.at(p.attributes.at("POSITION"));
  info.Vertices = positions.count;
  for (std::size_t k = 0; k < 3 && k < positions.maxValues.size(); ++k)
    info.Max[k] = positions.maxValues[k];
  for (std::size_t k = 0; k < 3 && k < positions.minValues.size(); ++k)
    info.Min[k] = positions.minValues[k];
  info.Indices = model.accessors.at(p.indices).count;
  info.Textured = !model.textures.empty() && !model.images.empty();
  return info;
}

std::optional<StlInfo> ReadStlInfo(const std::string& file) {
  const std::vector<std::uint8_t> b = ReadBytes(file);
  if (b.size() < 84) return std::nullopt;
  StlInfo info;
  info.Triangles = U32(b, 80);
  if (b.size() != 84 + std::size_t{info.Triangles} * 50) return std::nullopt;
  info.Min.fill(1e30f);
  info.Max.fill(-1e30f);
  for (std::size_t t = 0; t < info.Triangles; ++t)
    for (std::size_t corner = 0; corner < 3; ++corner)
      for (std::size_t axis = 0; axis < 3; ++axis) {
        const float v = std::bit_cast<float>(U32(b, 84 + t * 50 + 12 + corner * 12 + axis * 4));
        info.Min[axis] = std::min(info.Min[axis], v);
        info.Max[axis] = std::max(info.Max[axis], v);
      }
  return info;
}

}  // namespace terrak::testing

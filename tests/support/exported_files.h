#pragma once
// The exported files read back for tests: a DEM through GDAL, a glTF binary through tinygltf, a
// binary STL by its bytes.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class GDALDataset;

namespace terrak::testing {

struct DatasetCloser {
  void operator()(GDALDataset* d) const;
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

// The file opened read-only through GDAL; empty when GDAL cannot open it.
Dataset OpenDataset(const std::string& file);

struct DemInfo {
  std::string Driver;
  int Columns = 0, Rows = 0;
  std::array<double, 6> GeoTransform{};
  int Epsg = 0;  // 0: no coordinate system, or one without an EPSG code
  std::optional<double> NoData;
  std::string Compression;  // as GDAL names it, empty when none
  int BlockWidth = 0;       // of band 1: the tile's width, or the whole width of a strip
};

// Nothing when GDAL cannot open the file.
std::optional<DemInfo> ReadDemInfo(const std::string& file);
float DemPixel(const std::string& file, int column, int row);

struct GlbInfo {
  std::size_t Vertices = 0;
  std::size_t Indices = 0;
  bool Textured = false;
  std::array<double, 3> Min{}, Max{};  // of the positions, as the file states them
};

// Nothing when tinygltf does not load the file.
std::optional<GlbInfo> ReadGlbInfo(const std::string& file);

struct StlInfo {
  std::uint32_t Triangles = 0;
  std::array<float, 3> Min{}, Max{};  // of every corner
};

// Nothing when the file's size does not match its triangle count.
std::optional<StlInfo> ReadStlInfo(const std::string& file);

}  // namespace terrak::testing

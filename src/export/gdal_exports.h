#pragma once
// What the GDAL module (terrak-gdal.so) offers the exports: plain requests in, bytes, notes or a
// message out. No GDAL type crosses it and no exception leaves the module, so the program
// itself links no GDAL and loads it only when an export needs it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "export/export_file.h"

namespace terrak {

inline constexpr const char* kGdalModuleFile = "terrak-gdal.so";
// Named with the version of this interface: a module of another version is not taken.
inline constexpr const char* kGdalModuleEntry = "TerrakGdalExportsV2";

enum class GdalStatus {
  Done,
  Failed,       // Error says why, in the program's words
  Cancelled,    // the progress callback said stop
  OutOfMemory,  // an allocation failed
};

// Stages of the caller's export progress; a false return cancels the export.
struct GdalProgress {
  void* Context = nullptr;
  bool (*BeginStage)(void* context, double share) = nullptr;
  bool (*Report)(void* context, double stageFraction) = nullptr;
};

struct DemWriteRequest {
  std::string Format;                        // a GDAL raster driver's short name
  std::vector<std::string> CreationOptions;  // NAME=VALUE, over the format's defaults
  std::int64_t Columns = 0;
  std::int64_t Rows = 0;
  float* Cells = nullptr;  // Columns x Rows, row by row from the north; read only
  std::array<double, 6> GeoTransform{};
  float NoData = 0.0f;
  bool Georeferenced = false;
  std::int32_t EpsgCode = 0;
  std::string CrsDefinition;
  std::string ResampledNote;  // follows the coordinate system's notes when not empty
  std::string Extension;      // of the main file, with its dot; empty: the format's usual one
  // Not empty: the driver cannot write into GDAL's memory files, so it writes into a private
  // folder made in this one, whose files are read back and removed.
  std::string DiskFolder;
};

struct GdalOutcome {
  GdalStatus Status = GdalStatus::Done;
  std::string Error;
};

struct DemWriteResult : GdalOutcome {
  ExportedFiles Files;  // the main file first; notes of GDAL's warnings start "GDAL: "
};

struct PngResult : GdalOutcome {
  std::vector<std::uint8_t> Bytes;
};

// Heights of a DEM (any raster GDAL reads, in any coordinate system) at points of the map.
struct DemSampleRequest {
  std::string File;
  // The map's coordinate system; with neither, the points are taken in the DEM's own.
  std::int32_t EpsgCode = 0;
  std::string CrsDefinition;
  std::vector<double> X, Y;  // projected coordinates of the points in the map's system
};

struct DemSampleResult : GdalOutcome {
  std::vector<double> Heights;  // per point; NaN outside the DEM or where it has no data
  std::string Note;             // what the user should know (a coordinate system assumed)
};

struct GdalExports {
  // Whether GDAL has a driver of this short name.
  bool (*HasDriver)(const std::string& driver) noexcept;
  // Refuses a format GDAL cannot write as a raster and creation options that are no NAME=VALUE,
  // before any work is done.
  GdalOutcome (*CheckDemFormat)(const std::string& format,
                                const std::vector<std::string>& creationOptions) noexcept;
  DemWriteResult (*WriteDem)(const DemWriteRequest& request, const GdalProgress& progress) noexcept;
  // width x height palette indices, row 0 the top; palette: 256 entries of blue, green, red and
  // a spare byte.
  PngResult (*EncodePalettePng)(std::int64_t width, std::int64_t height,
                                const std::vector<std::uint8_t>& pixels,
                                const std::array<std::uint8_t, 1024>& palette) noexcept;
  DemSampleResult (*SampleDem)(const DemSampleRequest& request) noexcept;
};

}  // namespace terrak

extern "C" {
// The module's one exported symbol (kGdalModuleEntry).
const terrak::GdalExports* TerrakGdalExportsV2();
}

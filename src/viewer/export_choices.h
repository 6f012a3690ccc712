#pragma once
// What the user chooses before an export from the viewer: the DEM's raster format, and for the
// meshes the grid interval, the vertical exaggeration and, for printing, the print width and
// the base. The ranges are those the options window offers.
#include <cstdint>
#include <optional>
#include <string>

#include "export/dem_export.h"

namespace terrak {

enum class ExportKind { Dem, Glb, Stl };

struct ExportChoices {
  std::string DemFormat = kDefaultDemFormat;
  std::int32_t Interval = 5;  // every n-th cell a vertex; the viewer's grid interval at first
  double Exaggeration = 1.0;
  double PrintWidthMm = 150.0;
  double BaseMm = 5.0;
};

struct ChoiceRange {
  double Min;
  double Max;
};

inline constexpr ChoiceRange kExportIntervalRange{1, 100};  // as the viewer's grid interval
inline constexpr ChoiceRange kExaggerationRange{0.1, 100};
inline constexpr ChoiceRange kPrintWidthRange{10, 2000};  // millimetres
inline constexpr ChoiceRange kBaseRange{0.5, 100};        // millimetres

// What is wrong with the choices the export of that kind uses, in the user's words; nothing
// when they are all in range.
std::optional<std::string> CheckExportChoices(ExportKind kind, const ExportChoices& choices);

}  // namespace terrak

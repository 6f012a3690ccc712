#include "mapfile/format_of_map.h"

#include "mapfile/map_format.h"

namespace terrak {

std::string FormatNameOf(const MapModel& model) {
  if (model.Format) return model.Format->Info().FormatName;
  return model.OcadVersion == 8 ? "OCAD 8" : "";
}

int FormatVersionOf(const MapModel& model) {
  return model.Format ? model.Format->Info().Version : model.OcadVersion;
}

}  // namespace terrak

#include "mapfile/format_of_map.h"

#include <utility>

#include "mapfile/map_format.h"

namespace terrak {

std::string FormatNameOf(const MapModel& model) {
  if (!model.Format || !model.Format->Info().NamePrinted) return "";
  return model.Format->Info().FormatName;
}

int FormatVersionOf(const MapModel& model) { return model.Format ? model.Format->Info().Version : 0; }

HeightTagChoice* HeightTagsOf(MapModel& model) {
  return model.Format ? model.Format->HeightTags() : nullptr;
}

const HeightTagChoice* HeightTagsOf(const MapModel& model) {
  return model.Format ? std::as_const(*model.Format).HeightTags() : nullptr;
}

}  // namespace terrak

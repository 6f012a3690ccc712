#pragma once
// The objects of a map in the model's form, built aside while a format reads them so a damaged
// file never leaves half-read lists in the model.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "mapfile/map_model.h"
#include "mapfile/ocad_file.h"

namespace terrak {

struct ModelObjects {
  std::vector<TMapObject> Objects;
  std::vector<TObjectCoords> Coords;
  // The extent of every object of the map, wanted or not; empty maps keep the start values.
  std::int32_t MinX = 999999999, MinY = 999999999;
  std::int32_t MaxX = -999999999, MaxY = -999999999;

  void Widen(std::int32_t minX, std::int32_t minY, std::int32_t maxX, std::int32_t maxY) {
    MaxY = std::max(MaxY, maxY);
    MinY = std::min(MinY, minY);
    MaxX = std::max(MaxX, maxX);
    MinX = std::min(MinX, minX);
  }

  // Adds object with the element's type, height, end points and points.
  void Append(TMapObject object, const ModelElement& element) {
    object.Kind = element.Kind;
    object.ObjectType = element.ObjectType;
    object.Height = element.Height;
    object.HasHeight = element.HasHeight;
    if (!element.Points.empty()) {
      object.FirstPoint = element.Points.front().At();
      object.LastPoint = element.Points.back().At();
    }
    Objects.push_back(object);
    Coords.push_back({element.Symbol, element.Kind,
                      static_cast<std::int32_t>(element.Points.size()), element.Height,
                      element.HasHeight, element.Points});
  }
};

}  // namespace terrak

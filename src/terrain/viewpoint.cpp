#include "terrain/viewpoint.h"

#include "common/bytes.h"

namespace terrak {

void EncodeViewPoint(const TViewPoint& view, std::uint8_t* record) {
  PutDouble(record + 0, view.x);
  PutDouble(record + 8, view.y);
  PutDouble(record + 16, view.z);
  PutDouble(record + 24, view.bearing);
  PutDouble(record + 32, view.incline);
  PutI32(record + 40, view.centreX);
  PutI32(record + 44, view.centreY);
  PutI32(record + 48, view.spare);
}

TViewPoint DecodeViewPoint(const std::uint8_t* record) {
  TViewPoint view;
  view.x = GetDouble(record + 0);
  view.y = GetDouble(record + 8);
  view.z = GetDouble(record + 16);
  view.bearing = GetDouble(record + 24);
  view.incline = GetDouble(record + 32);
  view.centreX = GetI32(record + 40);
  view.centreY = GetI32(record + 44);
  view.spare = GetI32(record + 48);
  return view;
}

}  // namespace terrak

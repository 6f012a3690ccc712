// The objects of an OCAD 5 to 8 map: in the model's form straight from the records (16-bit
// coordinates; version 5 with marker pairs), and in the neutral form as the drawing reads them.
#include <algorithm>

#include "common/bytes.h"
#include "mapfile/height_field.h"
#include "mapfile/model_objects.h"
#include "mapfile/ocad6/ocad6_drawing.h"
#include "mapfile/ocad6/ocad6_map.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_points.h"

namespace terrak::ocad6 {

namespace {

ModelElement DecodeElement5(const std::vector<std::uint8_t>& bytes) {
  ModelElement element;
  element.Symbol = GetI16(bytes.data() + 0);
  element.ObjectType = GetI16(bytes.data() + 2);
  element.Kind = KindOfCode5To8(element.ObjectType);
  element.Angle = GetI16(bytes.data() + 8);
  element.Height = GetI16(bytes.data() + 10);
  element.HasHeight = HeightFieldHoldsHeight5To7(element.Height);
  const std::int16_t count = GetI16(bytes.data() + 4);
  std::vector<TPair> pairs(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::uint8_t* pair = bytes.data() + ocad::kElementHeaderSize + 4 * i;
    pairs[i] = {GetI16(pair), GetI16(pair + 2)};
  }
  element.Points = PointsOfMarkedList(pairs);
  return element;
}

}  // namespace

ModelObjects Ocad6Map::ReadModelObjects(const std::function<bool(std::int32_t)>& wanted) const {
  const ocad::RecordReader reader = Reader();
  ModelObjects lists;
  if (version_ == 5) {
    const std::int32_t dataStart = DataStart();
    ocad::ForEachIndexRecord5(reader, dataStart, [&](std::int32_t r, const ocad::IndexRecord5& record) {
      lists.Widen(record.MinX, record.MinY, record.MaxX, record.MaxY);
      if (!wanted(record.Symbol)) return;
      const ModelElement element =
          DecodeElement5(ocad::ReadElement5(reader, dataStart, record.Position, record.Length));
      TMapObject object;
      object.MinX = record.MinX;
      object.MinY = record.MinY;
      object.MaxX = record.MaxX;
      object.MaxY = record.MaxY;
      object.Symbol = record.Symbol;
      object.Key = r;
      lists.Append(object, element);
    });
    return lists;
  }
  ocad::ForEachIndexEntry6(reader, FirstIndexBlockPos(), version_,
                           [&](std::int64_t blockPos, int e, const ocad::IndexEntry6& entry) {
    const std::int16_t minX = ConvertCoordOf(version_, entry.LowerLeftX).Value;
    const std::int16_t minY = ConvertCoordOf(version_, entry.LowerLeftY).Value;
    const std::int16_t maxX = ConvertCoordOf(version_, entry.UpperRightX).Value;
    const std::int16_t maxY = ConvertCoordOf(version_, entry.UpperRightY).Value;
    lists.Widen(minX, minY, maxX, maxY);
    if (!wanted(entry.Symbol)) return;
    const ModelElement element =
        ConvertObject6(ocad::ReadObject6(reader, entry, version_), version_);
    TMapObject object;
    object.MinX = minX;
    object.MinY = minY;
    object.MaxX = maxX;
    object.MaxY = maxY;
    object.Symbol = entry.Symbol;
    object.Key = blockPos + static_cast<std::int64_t>(ocad::IndexEntryOffset(e));
    lists.Append(object, element);
  });
  return lists;
}

ObjectsRead Ocad6Map::ReadObjects(const std::function<bool(std::int32_t)>& wanted) const {
  ObjectsRead read;
  if (version_ != 5) {
    read = ReadMapDrawing6(bytes_).Objects;
    std::erase_if(read.Objects, [&](const FormatObject& o) { return !wanted(o.Symbol); });
    return read;
  }
  // Version 5's 16-bit model units stand in for 1/1000 mm: only kinds, heights and the order
  // of extents mean anything here.
  const ModelObjects lists = ReadModelObjects(wanted);
  if (lists.MinX <= lists.MaxX) read.MapExtent = {lists.MinX, lists.MinY, lists.MaxX, lists.MaxY};
  for (const TMapObject& object : lists.Objects) {
    FormatObject& o = read.Objects.emplace_back();
    o.Key = object.Key;
    o.Symbol = object.Symbol;
    o.Kind = object.Kind;
    o.Extent = {object.MinX, object.MinY, object.MaxX, object.MaxY};
    o.HeightTenths = object.HasHeight ? object.Height : 0;
    o.HasHeight = object.HasHeight;
  }
  return read;
}

}  // namespace terrak::ocad6

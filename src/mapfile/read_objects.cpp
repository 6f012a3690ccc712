// The objects of the selected symbols, with their coordinate lists, and the extent of every
// object of the map.
#include <algorithm>

#include "common/bytes.h"
#include "mapfile/convert_format_object.h"
#include "mapfile/height_field.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_layout.h"
#include "mapfile/ocad_records.h"

namespace terrak {

namespace {

struct ObjectLists {
  std::vector<TMapObject> Objects;
  std::vector<TObjectCoords> Coords;
  std::int32_t MinX = 999999999, MinY = 999999999;
  std::int32_t MaxX = -999999999, MaxY = -999999999;

  void Widen(std::int32_t minX, std::int32_t minY, std::int32_t maxX, std::int32_t maxY) {
    MaxY = std::max(MaxY, maxY);
    MinY = std::min(MinY, minY);
    MaxX = std::max(MaxX, maxX);
    MinX = std::min(MinX, minX);
  }

  void Append(TMapObject object, const ModelElement& element) {
    object.ObjectType = element.ObjectType;
    object.Height = element.Height;
    object.HasHeight = element.HasHeight;
    if (!element.Pairs.empty()) {
      object.FirstPoint = element.Pairs.front();
      object.LastPoint = element.Pairs.back();
    }
    Objects.push_back(object);
    Coords.push_back({element.Symbol, element.ObjectType,
                      static_cast<std::int32_t>(element.Pairs.size()), element.Height,
                      element.HasHeight, element.Pairs});
  }
};

bool IsSelected(const MapModel& model, std::int32_t symbol) {
  return std::any_of(model.SelectedSymbols.begin(), model.SelectedSymbols.end(),
                     [&](const TSelectedSymbol& s) {
                       if (model.Format) return s.Symbol == symbol;
                       // The first reader's numbers are 16-bit fields, compared as stored.
                       return s.Symbol >= -32768 && s.Symbol <= 32767 &&
                              static_cast<std::uint16_t>(s.Symbol) ==
                                  static_cast<std::uint16_t>(symbol);
                     });
}

ModelElement DecodeElement5(const std::vector<std::uint8_t>& bytes) {
  ModelElement element;
  element.Symbol = GetI16(bytes.data() + 0);
  element.ObjectType = GetI16(bytes.data() + 2);
  element.Angle = GetI16(bytes.data() + 8);
  element.Height = GetI16(bytes.data() + 10);
  element.HasHeight = HeightFieldHoldsHeight5To7(element.Height);
  const std::int16_t count = GetI16(bytes.data() + 4);
  element.Pairs.resize(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < element.Pairs.size(); ++i) {
    const std::uint8_t* pair = bytes.data() + ocad::kElementHeaderSize + 4 * i;
    element.Pairs[i] = {GetI16(pair), GetI16(pair + 2)};
  }
  return element;
}

ObjectLists Objects5(const MapModel& model, const ocad::RecordReader& reader) {
  ObjectLists lists;
  const std::int32_t dataStart = model.DataStart();
  ocad::ForEachIndexRecord5(reader, dataStart, [&](std::int32_t r, const ocad::IndexRecord5& record) {
    lists.Widen(record.MinX, record.MinY, record.MaxX, record.MaxY);
    if (!IsSelected(model, record.Symbol)) return;
    const ModelElement element =
        DecodeElement5(ocad::ReadElement5(reader, dataStart, record.Position, record.Length));
    TMapObject object;
    object.MinX = record.MinX;
    object.MinY = record.MinY;
    object.MaxX = record.MaxX;
    object.MaxY = record.MaxY;
    object.Pos = record.Position;
    object.Len = record.Length;
    object.Symbol = record.Symbol;
    object.Slot = r;
    object.IndexBlockPos = 0;
    lists.Append(object, element);
  });
  return lists;
}

ObjectLists Objects6(const MapModel& model, const ocad::RecordReader& reader) {
  ObjectLists lists;
  ocad::ForEachIndexEntry6(reader, model.FirstIndexBlockPos(), model.OcadVersion,
                           [&](std::int64_t blockPos, int e, const ocad::IndexEntry6& entry) {
    const int version = model.OcadVersion;
    const std::int16_t minX = ConvertCoordOf(version, entry.LowerLeftX).Value;
    const std::int16_t minY = ConvertCoordOf(version, entry.LowerLeftY).Value;
    const std::int16_t maxX = ConvertCoordOf(version, entry.UpperRightX).Value;
    const std::int16_t maxY = ConvertCoordOf(version, entry.UpperRightY).Value;
    lists.Widen(minX, minY, maxX, maxY);
    if (!IsSelected(model, entry.Symbol)) return;
    const ModelElement element =
        ConvertObject6(ocad::ReadObject6(reader, entry, model.OcadVersion), model.OcadVersion);
    TMapObject object;
    object.MinX = minX;
    object.MinY = minY;
    object.MaxX = maxX;
    object.MaxY = maxY;
    object.Pos = entry.Position;
    object.Len = entry.Length;
    object.Symbol = entry.Symbol;
    object.Slot = e;
    object.IndexBlockPos = static_cast<std::int32_t>(blockPos);
    lists.Append(object, element);
  });
  return lists;
}

ObjectLists ObjectsOfFormat(const MapModel& model) {
  ObjectLists lists;
  const ObjectsRead read =
      model.Format->ReadObjects([&](std::int32_t symbol) { return IsSelected(model, symbol); });
  const FormatExtent& all = read.MapExtent;
  if (all.MinX <= all.MaxX && all.MinY <= all.MaxY)
    lists.Widen(ModelUnitsFromMicrometres(all.MinX), ModelUnitsFromMicrometres(all.MinY),
                ModelUnitsFromMicrometres(all.MaxX), ModelUnitsFromMicrometres(all.MaxY));
  lists.Objects.reserve(read.Objects.size());
  lists.Coords.reserve(read.Objects.size());
  for (const FormatObject& read1 : read.Objects) {
    TMapObject object;
    object.MinX = ModelUnitsFromMicrometres(read1.Extent.MinX);
    object.MinY = ModelUnitsFromMicrometres(read1.Extent.MinY);
    object.MaxX = ModelUnitsFromMicrometres(read1.Extent.MaxX);
    object.MaxY = ModelUnitsFromMicrometres(read1.Extent.MaxY);
    object.Symbol = read1.Symbol;
    object.Key = read1.Key;
    lists.Append(object, ConvertFormatObject(read1));
  }
  return lists;
}

// The lists are built aside and move into the model whole, so a damaged file never leaves
// half-read lists behind.
void Commit(MapModel& model, ObjectLists&& lists) {
  model.MapObjects = std::move(lists.Objects);
  model.ObjectCoords = std::move(lists.Coords);
  model.MapMinX = lists.MinX;
  model.MapMinY = lists.MinY;
  model.MapMaxX = lists.MaxX;
  model.MapMaxY = lists.MaxY;
  model.MapWidth = model.MapMaxX - model.MapMinX;
  model.MapHeight = model.MapMaxY - model.MapMinY;
}

}  // namespace

void ReadObjects5(MapModel& model, const std::string& workingCopy) {
  const FileStream stream(workingCopy, FileMode::ReadExclusive);
  Commit(model, Objects5(model, ocad::RecordReader(stream)));
}

void ReadObjects6(MapModel& model, const std::string& workingCopy) {
  const FileStream stream(workingCopy, FileMode::ReadExclusive);
  Commit(model, Objects6(model, ocad::RecordReader(stream)));
}

void ReadObjects(MapModel& model, const std::string& workingCopy) {
  if (model.Format) {
    // Today's formats are read from the bytes their reader holds, the working copy's bytes.
    Commit(model, ObjectsOfFormat(model));
    return;
  }
  if (model.OcadVersion == 0) {
    // No map has been opened: there is nothing to read.
    Commit(model, ObjectLists{});
    return;
  }
  if (model.OcadVersion == 5)
    ReadObjects5(model, workingCopy);
  else
    ReadObjects6(model, workingCopy);
}

}  // namespace terrak

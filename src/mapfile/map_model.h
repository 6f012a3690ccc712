#pragma once
// The in-memory picture of the open map: its file-level records, the symbol list, the selected
// symbols, the objects of the selected symbols with their coordinate lists, and the extents.
// One instance, owned by the application and handed to the code that needs it.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/colour.h"
#include "mapfile/georeferencing.h"
#include "mapfile/map_file_stamp.h"
#include "mapfile/object_kind.h"
#include "mapfile/point_flags.h"

namespace terrak {

class FormatMap;
struct FormatCapabilities;

// A coordinate pair in model units: 1/1440 inch, y growing upwards. Maps of OCAD 5 to 8 fill
// only the 16-bit range; today's formats reach 37 km of paper in 32 bits.
struct TPair {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPair&, const TPair&) = default;
};

// One point of an object's line, in every format's map the same.
struct ModelPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::uint32_t Flags = 0;  // point_flag bits
  TPair At() const { return {X, Y}; }
  bool Has(std::uint32_t flag) const { return (Flags & flag) != 0; }
  friend bool operator==(const ModelPoint&, const ModelPoint&) = default;
};

struct TmapSymbol {
  // Ten times the number OCAD 5 to 8 show (101 is 10.1); a thousand times the number of today's
  // formats (101000 is 101.0, 103002 is 103.2): MapModel::SymbolNumberScale says which.
  std::int32_t Symbol = 0;
  std::string Text;  // display text, e.g. "10.1 Contour"
  ObjectKind Kind = ObjectKind::Line;
  // The type code as the file stores it, printed by the command-line tool only; the program
  // goes by Kind.
  std::int16_t ObjectType = 0;
};

struct TSelectedSymbol {
  std::int32_t Symbol = 0;
  terrak::Colour Colour = kBlack;
};

struct TMapObject {
  std::int32_t MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
  std::int32_t Symbol = 0;
  ObjectKind Kind = ObjectKind::Line;
  std::int16_t ObjectType = 0;  // as in TmapSymbol
  // The height in tenths of a metre, when HasHeight. Without a height it is 0, except in OCAD 5
  // to 7 maps, whose field keeps 0 for "no height" and cannot hold 0 m or below: a field value
  // of 0 or less is kept here as read, and is not a height.
  std::int32_t Height = 0;
  bool HasHeight = false;
  TPair FirstPoint;
  TPair LastPoint;
  // How the map's format finds the object again (OCAD 5: its index record number; 6 to 8: the
  // file position of its index entry).
  std::int64_t Key = 0;
};

// The points of one object, its whole line however long it is, holes included.
struct TObjectCoords {
  std::int32_t Symbol = 0;
  ObjectKind Kind = ObjectKind::Line;
  std::int32_t Count = 0;  // number of points = Points.size()
  std::int32_t Height = 0;  // as in TMapObject
  bool HasHeight = false;
  std::vector<ModelPoint> Points;
};

struct MapModel {
  std::string MapFileName = "nofile";

  std::int16_t MapZoom = 0;
  std::int32_t MapOffsetX = 0;
  std::int32_t MapOffsetY = 0;
  double MapScale = 0.0;
  // How many times the number shown a symbol number is: 10 for OCAD 5 to 8, 1000 later.
  std::int32_t SymbolNumberScale = 10;
  // The open map's reader and writer (see map_formats.h), which holds the map's bytes as the
  // working copy has them. Null only while no map is open.
  std::shared_ptr<FormatMap> Format;
  // Where the map lies on Earth, as its file says; unknown for formats that carry none.
  Georeferencing Georef;
  bool MapModified = false;
  // The map file as it was opened or last saved by this program.
  MapFileStamp OpenedFile;

  std::vector<TmapSymbol> SymbolList;
  std::vector<TSelectedSymbol> SelectedSymbols;
  bool SymbolsSelected = false;
  std::vector<TMapObject> MapObjects;
  std::vector<TObjectCoords> ObjectCoords;

  std::int32_t MapMinX = 0, MapMinY = 0, MapMaxX = 0, MapMaxY = 0;
  std::int32_t MapWidth = 0, MapHeight = 0;

  // What the open map's format can do (with no map open, as OCAD 5 to 8 maps).
  FormatCapabilities Capabilities() const;
  // The largest model coordinate the view may centre on.
  std::int32_t CoordinateReach() const;
};

// Returns entry i of ObjectCoords.
const TObjectCoords& GetObjectCoords(const MapModel& model, std::size_t i);

// Frees the selected symbols and the symbol list.
void FreeSymbolLists(MapModel& model);

}  // namespace terrak

#pragma once
// The in-memory picture of the open map: its file-level records, the symbol list, the selected
// symbols, the objects of the selected symbols with their coordinate lists, and the extents.
// One instance, owned by the application and handed to the code that needs it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/colour.h"
#include "mapfile/georeferencing.h"
#include "mapfile/map_file_stamp.h"

namespace terrak {

// A coordinate pair of the model element, in 1/1440 inch, y growing upwards. Marker pairs carry
// special x values (see the constants below).
struct TPair {
  std::int16_t X = 0;
  std::int16_t Y = 0;
  friend bool operator==(const TPair&, const TPair&) = default;
};

// x values of marker pairs, as signed 16-bit numbers.
inline constexpr std::int16_t kMarkNewPart = -32768;    // a further part (hole) of an area follows
inline constexpr std::int16_t kMarkLineFlags = -32767;  // the line flags change / corner point
inline constexpr std::int16_t kMarkCurve = -32766;      // two control points and an end follow
inline constexpr std::int16_t kMarkSkipped = -32765;    // passed over by every consumer
// Any pair whose x is at or below this is a marker, never a point.
inline constexpr std::int16_t kHighestMarker = -32765;

struct TmapSymbol {
  std::int16_t Symbol = 0;  // ten times the number OCAD shows: 101 is 10.1
  std::string Text;         // display text, e.g. "10.1 Contour"
  std::int16_t ObjectType = 0;
};

struct TSelectedSymbol {
  std::int16_t Symbol = 0;
  terrak::Colour Colour = kBlack;
};

struct TMapObject {
  std::int16_t MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
  std::int32_t Pos = 0;  // version 5: 4-byte units from P; versions 6/7: bytes from file start
  std::int32_t Len = 0;  // version 5: 4-byte units; versions 6/7: bytes
  std::int16_t Symbol = 0;
  std::int16_t ObjectType = 0;
  std::int16_t Height = 0;  // tenths of a metre; 0 = none
  TPair FirstPoint;
  TPair LastPoint;
  std::int32_t Slot = 0;           // version 5: index record number; 6/7: entry 0..255
  std::int32_t IndexBlockPos = 0;  // version 5: 0; 6/7: file position of the index block
};

// The pairs of one object. Points[0] is pair 1 of the model element: the list is read whole,
// however long the object is, so Points.size() can exceed the 2000 pairs of the old buffers.
// For formatted text the text bytes follow the last pair, packed into pairs.
struct TObjectCoords {
  std::int16_t Symbol = 0;
  std::int16_t ObjectType = 0;
  std::int32_t Count = 0;  // number of pairs = Points.size()
  std::int16_t Height = 0;
  std::vector<TPair> Points;
};

inline constexpr std::size_t kFileHeaderSize = 24;
inline constexpr std::size_t kFileHeader6Size = 48;
inline constexpr std::size_t kSetup5Size = 160;
inline constexpr std::size_t kSetup6Size = 1112;

struct MapModel {
  std::string MapFileName = "nofile";
  std::int16_t OcadVersion = 0;

  // The file-level records as read at opening.
  std::array<std::uint8_t, kFileHeaderSize> FileHeader{};
  std::array<std::uint8_t, kFileHeader6Size> FileHeader6{};
  std::array<std::uint8_t, kSetup5Size> Setup5{};
  // Version 6/7 setup record: the bytes that were in the file (at most 1112; fewer when the
  // record ends the file). Fields beyond them read as zero and are never written.
  std::vector<std::uint8_t> Setup6;

  std::int16_t MapZoom = 0;
  std::int16_t MapOffsetX = 0;
  std::int16_t MapOffsetY = 0;
  double MapScale = 0.0;
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

  // Version 5 data start P and symbol area position S, from FileHeader.
  std::int32_t DataStart() const;
  std::int32_t SymbolAreaPos() const;
  // Version 6/7 positions from FileHeader6.
  std::int32_t FirstSymbolBlockPos() const;
  std::int32_t FirstIndexBlockPos() const;
  std::int32_t SetupPos() const;
};

// Returns entry i of ObjectCoords.
const TObjectCoords& GetObjectCoords(const MapModel& model, std::size_t i);

// Frees the selected symbols and the symbol list.
void FreeSymbolLists(MapModel& model);

}  // namespace terrak

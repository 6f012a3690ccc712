#pragma once
// The one interface every map format plugs into, and the format-neutral form its readers fill.
//
// A format reads the whole file from memory (maps are a few megabytes), checks every count,
// position and length before it trusts it, and hands out symbols and objects in the neutral form
// below. Writes come back as byte patches, so the caller can apply them to the working copy with
// positioned writes (equal lengths) or rewrite it (lengths that change, as in XML text).
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "mapfile/georeferencing.h"
#include "mapfile/point_flags.h"
#include "mapfile/object_kind.h"
#include "mapfile/side_file.h"

namespace terrak {

// Paper coordinates in 1/1000 mm, x to the right, y upwards (Mapper's y, which points down, is
// turned round). 32 bits reach 2 km of paper: no real map is clamped or wrapped.
struct FormatPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::uint32_t Flags = 0;
  friend bool operator==(const FormatPoint&, const FormatPoint&) = default;
};

struct FormatExtent {
  std::int32_t MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
  friend bool operator==(const FormatExtent&, const FormatExtent&) = default;
};

struct FormatSymbol {
  // The model's number. OCAD 9 and later store the number shown times 1000 (103.2 is 103002);
  // Mapper's code "103.2" gives the same number. Each symbol of a map has its own number.
  std::int32_t Number = 0;
  std::string Code;         // as the map shows it: "103.2"
  std::string Description;  // UTF-8
  ObjectKind Kind = ObjectKind::Line;
};

struct FormatObject {
  // Where the writers find the object again: OCAD, the file position of its index entry; Mapper,
  // its number among the map's own objects in document order.
  std::int64_t Key = 0;
  std::int32_t Symbol = 0;
  ObjectKind Kind = ObjectKind::Line;
  bool Hidden = false;
  FormatExtent Extent;
  std::vector<FormatPoint> Points;
  std::string Text;                // text objects, UTF-8
  // The height in tenths of a metre, rounded, when HasHeight (0 m is a height); 0 without one.
  std::int32_t HeightTenths = 0;
  bool HasHeight = false;
  std::vector<std::pair<std::string, std::string>> Tags;  // Mapper's object tags, in file order
};

struct ObjectsRead {
  std::vector<FormatObject> Objects;  // the wanted ones, in file order
  // Every object of the map (wanted or not, hidden ones too); empty maps keep the start values.
  FormatExtent MapExtent{999999999, 999999999, -999999999, -999999999};
};

struct SymbolDefinitions;  // symbol_definitions.h
struct ModelObjects;       // model_objects.h

// Where a format keeps an object's height.
enum class HeightPlace { InObject, SideFile, Tag };

// What a format can do: the rest of the program asks these, never which format a map is in.
struct FormatCapabilities {
  HeightPlace Heights = HeightPlace::InObject;
  // The view's zoom and centre live in the map and are written back as the user moves it.
  bool KeepsView = false;
  // Coordinates are 16-bit values that wrap (the view's centre too); else 32 bits, far wider.
  bool Wraps16 = false;
  // At opening, when none of the remembered symbols is on the map, the line symbols whose
  // objects all carry a height are selected.
  bool PicksContoursWithHeights = true;
  // The largest model coordinate the view may centre on.
  std::int32_t CoordinateReach() const { return Wraps16 ? 32767 : 1 << 30; }
  friend bool operator==(const FormatCapabilities&, const FormatCapabilities&) = default;
};

// The view a format keeps in the map: zoom index and centre in model units.
struct StoredView {
  std::int16_t Zoom = 0;
  std::int32_t OffsetX = 0;
  std::int32_t OffsetY = 0;
};

// Facts of the whole file, known once it is open.
struct FormatMapInfo {
  std::string FormatName;  // "OCAD 11", "OpenOrienteering Mapper XML"
  int Version = 0;         // OCAD version or Mapper file version
  double Scale = 0.0;      // map scale denominator
  Georeferencing Georef;
  // How many times the shown symbol number the stored one is (10 for OCAD 5 to 8, 1000 later).
  std::int32_t SymbolNumberScale = 1000;
  // False for OCAD 5 to 7, whose name the program has never printed.
  bool NamePrinted = true;
  FormatCapabilities Capabilities;
  // The heights the format holds, in tenths of a metre.
  std::int32_t LowestHeight = std::numeric_limits<std::int32_t>::min();
  std::int32_t HighestHeight = std::numeric_limits<std::int32_t>::max();
};

// One change of the bytes: replace Length bytes at Position by Bytes.
struct BytePatch {
  std::int64_t Position = 0;
  std::int64_t Length = 0;
  std::vector<std::uint8_t> Bytes;
};

// One object's new height: tenths of a metre, or none to clear it.
using HeightWrite = std::pair<std::int64_t, std::optional<std::int32_t>>;

// What a format held of some objects' heights before a write, for RestoreHeights to put back
// byte for byte; each format keeps its own kind.
class KeptHeights {
 public:
  virtual ~KeptHeights() = default;
};

// A file to write on Save beside the map itself (OCAD 9's heights).
struct SidecarFile {
  std::string Suffix;  // appended to the map's name: ".heights"
  std::vector<std::uint8_t> Bytes;
  SideFileState Known;  // what lay at its name when the map was opened or last saved
};

// A numeric tag key of a map's line objects and how many objects carry it.
struct TagKeyCount {
  std::string Key;
  int Objects = 0;
  friend bool operator==(const TagKeyCount&, const TagKeyCount&) = default;
};

// What a format that keeps heights in a tag of each object lets the user choose: which tag.
class HeightTagChoice {
 public:
  virtual ~HeightTagChoice() = default;
  // The keys of tags with a numeric value on line objects, most carried first.
  virtual std::vector<TagKeyCount> HeightTagKeys() const = 0;
  // The tag heights are read from and written to.
  virtual const std::string& HeightTag() const = 0;
  virtual void SetHeightTag(std::string key) = 0;
};

// A map opened from its bytes. Writes change the bytes held here and return the same change as
// patches, so a working copy on disk can follow.
class FormatMap {
 public:
  virtual ~FormatMap() = default;
  virtual const FormatMapInfo& Info() const = 0;
  virtual std::vector<FormatSymbol> ReadSymbols() const = 0;
  virtual ObjectsRead ReadObjects(const std::function<bool(std::int32_t)>& wanted) const = 0;
  // heights: (Key, tenths of a metre, within LowestHeight .. HighestHeight; none clears).
  virtual std::vector<BytePatch> WriteHeights(const std::vector<HeightWrite>& heights) = 0;
  virtual std::vector<BytePatch> WriteSymbol(const std::vector<std::int64_t>& keys,
                                             std::int32_t symbol) = 0;
  // The height an object reads back as after WriteHeights wrote height to it: tenths of a
  // metre and whether it is a height. Most formats keep what was written.
  virtual std::pair<std::int32_t, bool> HeightAsKept(std::optional<std::int32_t> height) const {
    return {height.value_or(0), height.has_value()};
  }
  // The bytes and records that hold these objects' heights now (the keys as WriteHeights takes
  // them). Writes of other fields in between (a symbol) survive RestoreHeights.
  virtual std::shared_ptr<const KeptHeights> KeepHeights(
      const std::vector<std::int64_t>& keys) const = 0;
  // Puts the kept heights back as they were, after any writes of heights since; returns the
  // change of the bytes as patches.
  virtual std::vector<BytePatch> RestoreHeights(const KeptHeights& kept) = 0;
  // The map's bytes as they are now: what Save writes over the map file.
  virtual const std::vector<std::uint8_t>& Bytes() const = 0;
  // Files Save writes beside the map; none for most formats.
  virtual std::vector<SidecarFile> Sidecars() const { return {}; }
  // Save wrote the side file of this suffix: what lies at its name now.
  virtual void SidecarSaved(const std::string& /*suffix*/, const SideFileState& /*state*/) {}
  // The objects of the wanted symbols in the model's form, and the extent of every object. By
  // default ReadObjects' objects converted (convert_format_object.cpp); a format whose model
  // form is its own reads it straight.
  virtual ModelObjects ReadModelObjects(const std::function<bool(std::int32_t)>& wanted) const;
  // The view kept in the map, for a format whose capabilities keep it; else none.
  virtual std::optional<StoredView> View() const { return std::nullopt; }
  // Writes the view's zoom index or centre into the map, for a format that keeps the view.
  virtual std::vector<BytePatch> WriteZoom(std::int16_t /*zoom*/) { return {}; }
  virtual std::vector<BytePatch> WriteOffset(std::int32_t /*x*/, std::int32_t /*y*/) { return {}; }
  // The colour table and the symbols' drawing definitions; empty for a format without them.
  virtual SymbolDefinitions ReadSymbolDefinitions() const;
  // The choice of the tag that holds heights, for a format that keeps them so; else none.
  virtual HeightTagChoice* HeightTags() { return nullptr; }
  virtual const HeightTagChoice* HeightTags() const { return nullptr; }
};

// A file the program will not open. what() is the message the user sees; Detail() says which
// record was wrong, for the command-line tool and the fuzz tests.
class MapFormatError : public std::runtime_error {
 public:
  MapFormatError(std::string message, std::string detail, std::string file = {})
      : std::runtime_error(std::move(message)), detail_(std::move(detail)), file_(std::move(file)) {}
  const std::string& Detail() const { return detail_; }
  // The file Detail() speaks of when it is not the map itself (a file kept beside it).
  const std::string& File() const { return file_; }

 private:
  std::string detail_;
  std::string file_;
};

// Applies patches (in any order, not overlapping) to bytes.
void ApplyPatches(std::vector<std::uint8_t>& bytes, std::vector<BytePatch> patches);

// Tenths of a metre from metres, halves to even; none for values the model cannot hold (not
// finite, or beyond the 32-bit range of tenths).
std::optional<std::int32_t> HeightTenthsFromMetres(double metres);

}  // namespace terrak

#pragma once
// Writes OCAD map files of versions 5 to 8 from a description of exactly what they should
// hold, and reports where every record landed. Tests build the case they need with it; the demo
// map generator uses it too. It writes what it is told (marker pairs, odd index entries, flags)
// and checks only what it needs to lay the file out; every byte it is not told about is zero.
// Told colours and symbol drawings, a version 6/7 file also holds what other map programs need to
// draw it (ocad6_records.h): the colour table and each symbol's colour, width or font and icon.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mapfile/map_model.h"
#include "mapfile/ocad_points.h"  // version 5 objects keep marker pairs

namespace terrak::testing {

// Flag bits in the low byte of version 6/7 coded coordinates.
inline constexpr std::uint8_t kXFirstControl = 1;   // x: first control point of a curve
inline constexpr std::uint8_t kXSecondControl = 2;  // x: second control point of a curve
inline constexpr std::uint8_t kXNoLeftLine = 4;     // x: no line on the left from here on
inline constexpr std::uint8_t kYCorner = 1;         // y: corner point
inline constexpr std::uint8_t kYNewPart = 2;        // y: first point of a hole of an area
inline constexpr std::uint8_t kYNoRightLine = 4;    // y: no line on the right from here on
inline constexpr std::uint8_t kYDash = 8;           // y: dash point

// A version 6/7 coded coordinate: position in 0.01 mm times 256, plus flag bits.
constexpr std::int32_t Coded(std::int32_t position, std::uint8_t flags = 0) {
  return position * 256 + flags;
}

// One stored version 6/7 point, both values coded. The methods return a copy with a flag set.
struct CodedPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;

  // A point at a position in 0.01 mm, without flags.
  static constexpr CodedPoint At(std::int32_t x, std::int32_t y) { return {Coded(x), Coded(y)}; }
  constexpr CodedPoint WithXFlags(std::uint8_t flags) const { return {X | flags, Y}; }
  constexpr CodedPoint WithYFlags(std::uint8_t flags) const { return {X, Y | flags}; }
  constexpr CodedPoint FirstControl() const { return WithXFlags(kXFirstControl); }
  constexpr CodedPoint SecondControl() const { return WithXFlags(kXSecondControl); }
  constexpr CodedPoint NoLeftLine() const { return WithXFlags(kXNoLeftLine); }
  constexpr CodedPoint NewPart() const { return WithYFlags(kYNewPart); }
  constexpr CodedPoint Corner() const { return WithYFlags(kYCorner); }
  constexpr CodedPoint Dash() const { return WithYFlags(kYDash); }
  constexpr CodedPoint NoRightLine() const { return WithYFlags(kYNoRightLine); }
  friend bool operator==(const CodedPoint&, const CodedPoint&) = default;
};

// The position part of a coded value (the flags are the low byte of a value built as
// position * 256 + flags).
constexpr std::int32_t PositionOf(std::int32_t coded) { return coded >> 8; }

// Extent in the index: version 5 model units, versions 6/7 coded corners (x, y of the lower
// left, then of the upper right).
struct IndexExtent {
  std::int32_t MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
};

// A version 6/7 colour of the colour table. OCAD keeps CMYK in half-percent steps.
struct ColourSpec {
  std::int16_t Number = 0;  // what symbols name the colour by
  std::string Name{};       // at most 31 characters
  // Percent, 0 to 100.
  std::uint8_t Cyan = 0, Magenta = 0, Yellow = 0, Black = 0;
};

// How a version 6/7 line, area or text symbol is drawn, as other programs read it. A symbol
// with a drawing gets the icon, the colour set and the record size that OCAD gives it.
struct SymbolDrawing {
  std::int16_t Colour = 0;     // number of the line's, the area fill's or the text's colour
  std::int16_t LineWidth = 0;  // lines: 0.01 mm
  std::int16_t LineStyle = 0;  // lines: 0 flat ends and bevel joins, 1 round, 4 mitre joins
  std::int16_t FontSize = 0;   // text: 0.1 pt
  std::string Font{};          // text: at most 31 characters
};

struct SymbolSpec {
  std::int16_t Number = 0;      // ten times the number OCAD shows
  std::int16_t ObjectType = 2;  // 1 point, 2 line, 3 area, 4 text
  std::string Description{};    // version 5: at most 32 characters; 6/7: up to 255
  std::int32_t RecordSize = 0;  // versions 6/7: bytes of the record; 0 = a size by type
  // Versions 6/7; without one the drawing part of the record is left zero.
  std::optional<SymbolDrawing> Drawing{};
};

// A version 5 object (model element). The pairs are written verbatim, marker pairs included.
struct Object5 {
  std::int16_t Symbol = 0;
  std::int16_t ObjectType = 2;
  std::int16_t Angle = 0;
  std::int16_t Height = 0;  // tenths of a metre
  std::vector<TPair> Pairs{};
  // Text of a text object: packed by PackText5 after the pairs and counted in their number.
  std::string Text{};
  std::optional<IndexExtent> Extent{};        // default: the pairs' extent, markers left out
  std::optional<std::int16_t> IndexSymbol{};  // default: Symbol
  std::optional<std::int16_t> IndexLength{};  // default: the object's length; 0 = deleted
  std::int32_t PaddingUnits = 0;  // zero 4-byte units after the pairs, counted in the length
};

// A version 6/7/8 object.
struct Object6 {
  std::int16_t Symbol = 0;
  std::uint16_t ObjectType = 2;  // written as one 16-bit word; version 8: one byte
  bool Unicode = false;          // version 8: the flag byte after the type; the text as UTF-16
  std::int16_t Angle = 0;
  std::int32_t Height = 0;  // tenths of a metre; an i16 height becomes its sign extension
  std::vector<CodedPoint> Points{};
  // Formatted text (written when ObjectType is 4 or the text is not empty): zero-terminated,
  // TextGap zero bytes after the coordinates, in whole 8-byte units counted in nText.
  std::string Text{};
  // Default: 8 for versions 6/7 (the text at byte 40 + 8 * nItem, where the program's reader
  // takes it), 0 for version 8 (right after the coordinates, as OCAD 8 and Mapper write it).
  std::optional<std::int32_t> TextGap{};
  std::optional<IndexExtent> Extent{};        // default: corners of the points' positions
  std::optional<std::int16_t> IndexSymbol{};  // default: Symbol
  // Default: the object's length as the version counts it (6/7 bytes, 8 pairs after the header).
  std::optional<std::int16_t> IndexLength{};
  std::int32_t PaddingBytes = 0;  // zero bytes after the content, counted in the length (8: x 8)
};

// Where one object and its index record or entry lie in the built file.
struct ObjectLayout {
  std::int64_t FilePos = 0;     // first byte of the object
  std::int64_t ByteLength = 0;  // bytes written, padding included
  std::int32_t Pos = 0;         // as the index holds it: v5 4-byte units from P; v6/7 bytes
  std::int32_t Len = 0;         // as the index holds it: v5 4-byte units; v6/7 bytes; v8 pairs
  std::int64_t IndexPos = 0;    // file position of the index record or entry
  std::int32_t Slot = 0;        // v5 record number (1 = first after the header); v6/7 entry 0..255
  std::int64_t IndexBlockPos = 0;  // v6/7 position of the index block; v5 0
};

struct OcadLayout {
  std::int64_t FileSize = 0;
  std::int64_t ColourTablePos = 0;  // v6/7 with colours: the symbol header; 0 = none
  std::int64_t SetupPos = 0;
  std::int64_t SetupSize = 0;
  std::int64_t DataStart = 0;               // v5 P
  std::int64_t SymbolAreaPos = 0;           // v5 S
  std::vector<std::int64_t> SymbolRecords;  // file position of each symbol, in the order added
  std::vector<std::int64_t> SymbolBlocks;   // v6/7, in chain order
  std::vector<std::int64_t> IndexBlocks;    // v6/7, in chain order
  std::vector<std::int64_t> IndexEntries;   // every index record or entry in use, empty ones too
  std::vector<ObjectLayout> Objects;        // in the order added
  std::int64_t StringBlock = 0;             // v8 with strings: the string index block
  std::vector<std::int64_t> Strings;        // v8: each string's position, in the order added
};

// Version 6/7 index blocks and symbol blocks hold this many positions.
inline constexpr int kBlockEntries = 256;
inline constexpr std::int64_t kIndexBlock6Size = 6148;
inline constexpr std::int64_t kSymbolBlock6Size = 1028;
inline constexpr std::int64_t kIndexRecord5Size = 24;
inline constexpr std::int64_t kFileHeaderSize = 24;
inline constexpr std::int64_t kFileHeader6Size = 48;
inline constexpr std::int64_t kSetup5Size = 160;
inline constexpr std::int64_t kSymbolRecord5Size = 192;
inline constexpr std::int64_t kSymbolArea5Records = 4880;  // symbol records start this far into S
inline constexpr std::int32_t kSymbolRecord6BaseSize = 348;
inline constexpr std::int32_t kSetup6DefaultSize = 1080;  // OCAD 6
inline constexpr std::int32_t kSetup7DefaultSize = 1112;  // OCAD 7
// The version 8 setup record. Readers of the whole family lay it over versions 6 and 7 too, so a
// setup record that ends the file must be this long for them to find the scale in it.
inline constexpr std::int32_t kSetup8Size = 1332;
// The colour table (symbol header) that follows the 48-byte header of a real version 6/7 file.
inline constexpr std::int64_t kColourTable6Size = 19224;
inline constexpr int kColourTable6Entries = 256;

// Invalid descriptions (wrong version, a field that cannot hold its value) throw
// std::invalid_argument naming the problem.
class OcadMapBuilder {
 public:
  explicit OcadMapBuilder(int version);
  int Version() const { return version_; }

  OcadMapBuilder& Scale(double scale);
  // Version 5 keeps the zoom as an i16 (the value is rounded); versions 6/7 as a double.
  OcadMapBuilder& Zoom(double zoom);
  OcadMapBuilder& Offset5(std::int16_t x, std::int16_t y);  // model units
  OcadMapBuilder& Offset6(std::int32_t x, std::int32_t y);  // coded
  // Versions 6/7: the setup record's size (named in the header at offset 20), and whether the
  // record is written last so that it ends the file.
  OcadMapBuilder& SetupSize(std::int32_t bytes);
  OcadMapBuilder& SetupLast(bool last);
  // Versions 6 to 8: the setup record's real-world offset of the paper origin (metres, at 32 and
  // 40) and angle (degrees, at 48).
  OcadMapBuilder& RealWorld(double x, double y, double angle);
  // Version 8: a string (type 1039 holds the scale parameters) in a string index block that
  // follows the objects; the header names the block at 32.
  OcadMapBuilder& AddString(std::int32_t type, std::string text);

  // Versions 6/7: the first colour brings the colour table, which then follows the header.
  OcadMapBuilder& AddColour(const ColourSpec& colour);

  OcadMapBuilder& AddSymbol(const SymbolSpec& symbol);
  OcadMapBuilder& AddSymbol(std::int16_t number, std::int16_t objectType, std::string description);
  // Versions 6/7: a position 0 in the current symbol block; a new block for the next symbol.
  OcadMapBuilder& AddSymbolGap();
  OcadMapBuilder& StartNewSymbolBlock();

  OcadMapBuilder& AddObject(Object5 object);
  OcadMapBuilder& AddObject(Object6 object);
  // An index record or entry of zeros.
  OcadMapBuilder& AddEmptyEntry();
  // Versions 6/7: the next entry goes into a new index block.
  OcadMapBuilder& StartNewIndexBlock();

  std::vector<std::uint8_t> Build();
  // The layout of the last Build().
  const OcadLayout& Layout() const { return layout_; }

 private:
  struct SymbolSlot {
    bool Gap = false;
    SymbolSpec Symbol;
  };
  struct EntrySlot {
    bool Empty = true;
    std::size_t Object = 0;  // index into objects5_ / objects6_
  };
  std::vector<std::uint8_t> Build5();
  std::vector<std::uint8_t> Build6();
  void RequireVersion5(const char* what) const;
  void RequireVersion6(const char* what) const;

  int version_;
  double scale_ = 10000.0;
  double zoom_ = 1.0;
  std::int16_t offsetX5_ = 0, offsetY5_ = 0;
  std::int32_t offsetX6_ = 0, offsetY6_ = 0;
  std::int32_t setupSize_;
  bool setupLast_ = false;
  struct RealWorldSpec {
    double X = 0, Y = 0, Angle = 0;
  };
  RealWorldSpec realWorld_;
  std::vector<std::pair<std::int32_t, std::string>> strings_;
  std::optional<std::vector<ColourSpec>> colours_;  // no colour table until a colour is added
  std::vector<std::vector<SymbolSlot>> symbolBlocks_{1};
  std::vector<std::vector<EntrySlot>> indexBlocks_{1};
  std::vector<Object5> objects5_;
  std::vector<Object6> objects6_;
  OcadLayout layout_;
};

// Version 5 text: the bytes of text and a terminating zero packed into pairs (low byte first),
// (length div 4) + 1 pairs, to follow the text object's last point.
std::vector<TPair> PackText5(const std::string& text);

// The version 5 map scale field: a 6-byte real.
void PutReal6(std::uint8_t* bytes, double value);

}  // namespace terrak::testing

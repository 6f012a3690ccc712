#pragma once
// Writes OCAD maps of versions 9, 10, 11, 12 and 2018 from a description of exactly what they
// should hold, and reports where every record landed. Like the 5 to 7 builder it writes what it
// is told (odd status bytes, counts that do not fit, flags) and every byte it is not told about
// is zero. Its offsets are written down here on their own, not taken from the program's reader.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mapbuild/ocad_builder.h"

namespace terrak::testing {

struct Symbol9 {
  std::int32_t Number = 0;  // times 1000: 103002 is 103.2
  std::uint8_t Type = 2;    // 1 point, 2 line, 3 area, 4 text, 6 line text, 7 rectangle
  std::string Description{};  // versions 9/10: up to 31 bytes; 11 on: up to 64 characters (ASCII)
};

struct Object9 {
  std::int32_t Symbol = 0;
  std::uint8_t Type = 2;    // 1 point, 2 line, 3 area, 4/5 text, 6 line text, 7 rectangle
  std::uint8_t Status = 1;  // 1 normal, 2 hidden, 0 and 3 deleted
  std::vector<CodedPoint> Points{};
  std::string Text{};       // ASCII; UTF-16 from version 10 on
  std::int32_t Height = 0;  // the height field as stored (version 10 mm, later 1/256 mm)
  std::optional<IndexExtent> Extent{};          // default: corners of the points
  std::optional<std::int32_t> IndexSymbol{};    // default: Symbol
  std::optional<std::int32_t> IndexLength{};    // default: the object's bytes
  std::optional<std::int32_t> ItemCount{};      // default: the number of points
  std::optional<std::int32_t> IndexPosition{};  // default: where the object is written
  std::int32_t PaddingBytes = 0;
};

struct Object9Layout {
  std::int64_t EntryPos = 0;  // the index entry: the object's key
  std::int64_t FilePos = 0;
  std::int64_t ByteLength = 0;
  std::int64_t HeightPos = 0;  // 0 in version 9
};

struct Ocad9Layout {
  std::int64_t FileSize = 0;
  std::int64_t HeaderSize = 0;
  std::vector<std::int64_t> SymbolRecords;
  std::vector<std::int64_t> IndexBlocks;
  std::vector<Object9Layout> Objects;  // in the order added
  std::int64_t StringBlock = 0;
  std::vector<std::int64_t> Strings;
};

class Ocad9MapBuilder {
 public:
  explicit Ocad9MapBuilder(int version);
  int Version() const { return version_; }
  // The scale parameter string (type 1039); "\tm10000" unless set. Empty: no such string.
  Ocad9MapBuilder& ScaleParameters(std::string text);
  Ocad9MapBuilder& AddString(std::int32_t type, std::string text);
  Ocad9MapBuilder& AddSymbol(Symbol9 symbol);
  Ocad9MapBuilder& AddObject(Object9 object);
  Ocad9MapBuilder& AddEmptyEntry();
  Ocad9MapBuilder& StartNewIndexBlock();
  std::vector<std::uint8_t> Build();
  const Ocad9Layout& Layout() const { return layout_; }

  // Where this builder puts an object's height field, from the object's start (none in 9).
  static std::int64_t HeightOffset(int version);

 private:
  struct Slot {
    bool Empty = true;
    std::size_t Object = 0;
  };
  int version_;
  std::vector<std::pair<std::int32_t, std::string>> strings_;
  std::vector<Symbol9> symbols_;
  std::vector<std::vector<Slot>> blocks_{1};
  std::vector<Object9> objects_;
  Ocad9Layout layout_;
};

}  // namespace terrak::testing

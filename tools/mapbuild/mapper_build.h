#pragma once
// Writes OpenOrienteering Mapper XML maps from a description of what they should hold: symbols,
// the map's objects with tags and coordinates (as ".omap" text or ".xmap" elements), parts, the
// georeferencing, and the things a reader must pass over (the undo and redo history, objects
// inside point symbols).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace terrak::testing {

struct MapperSymbolSpec {
  int Id = 0;
  int Type = 2;  // 1 point, 2 line, 4 area, 8 text, 16 combined
  std::string Code{};
  std::string Name{};
  std::vector<int> Parts{};  // combined symbols: the ids of their parts
  // Point symbols: objects drawn inside the symbol (a reader must not count them).
  std::vector<std::pair<std::int64_t, std::int64_t>> InnerObject{};
};

struct MapperCoord {
  std::int64_t X = 0;  // 1/1000 mm, y pointing down
  std::int64_t Y = 0;
  std::uint32_t Flags = 0;
};

struct MapperObjectSpec {
  int Type = 1;  // 0 point, 1 path, 4 text
  int Symbol = 0;
  std::vector<std::pair<std::string, std::string>> Tags{};  // written as given (no escaping)
  std::vector<MapperCoord> Coords{};
  std::string Text{};
  bool EmptyTagsElement = false;  // <tags/> when there are no tags
  int Part = 0;
};

class MapperMapBuilder {
 public:
  MapperMapBuilder& Version(int version);
  MapperMapBuilder& Scale(double scale);
  // The <georeferencing> element's children and attributes after scale, as written.
  MapperMapBuilder& Georeferencing(std::string attributes, std::string children);
  // Coordinates as <coord> elements (".xmap") instead of text (".omap").
  MapperMapBuilder& CoordElements(bool elements);
  // Symbols and parts in a <barrier> (newer files) or right under <map> (file versions below 6).
  MapperMapBuilder& InBarrier(bool barrier);
  // A second barrier with undo and redo steps that hold objects of every symbol.
  MapperMapBuilder& History(bool history);
  MapperMapBuilder& AddSymbol(MapperSymbolSpec symbol);
  MapperMapBuilder& AddObject(MapperObjectSpec object);
  std::string Build() const;

 private:
  std::string Object(const MapperObjectSpec& object) const;
  int version_ = 9;
  double scale_ = 10000;
  std::string georefAttributes_;
  std::string georefChildren_;
  bool elements_ = false;
  bool barrier_ = true;
  bool history_ = false;
  std::vector<MapperSymbolSpec> symbols_;
  std::vector<MapperObjectSpec> objects_;
};

std::vector<std::uint8_t> TextBytes(const std::string& text);

}  // namespace terrak::testing

#pragma once
// OpenOrienteering Mapper maps (".omap", ".xmap"): the XML document read with pugixml, its
// symbols (numbered from their codes), the map's own objects (the parts, never the undo and redo
// history nor the objects inside symbol definitions), heights from an object tag chosen by the
// user, and the georeferencing. Changes are patched into the text at the object's position.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mapfile/map_format.h"

namespace terrak::mapper {

inline constexpr const char* kMapperNamespace = "http://openorienteering.org/apps/mapper/xml/v2";
inline constexpr const char* kNotMapperMessage =
    "File is not a map of OpenOrienteering Mapper that Terrak can read";

using terrak::TagKeyCount;

// The tag keys offered first for heights, in this order, when the map has them.
inline constexpr const char* kDefaultHeightTags[] = {"Elevation", "ele", "height"};

class MapperMap final : public FormatMap, public HeightTagChoice {
 public:
  // Parses and checks the document (MapFormatError when it is not a Mapper map of file version
  // 2 to 9, or a symbol, object or coordinate list is damaged).
  static std::unique_ptr<MapperMap> Open(std::vector<std::uint8_t> bytes);
  ~MapperMap() override;

  const FormatMapInfo& Info() const override { return info_; }
  std::vector<FormatSymbol> ReadSymbols() const override;
  ObjectsRead ReadObjects(const std::function<bool(std::int32_t)>& wanted) const override;
  std::vector<BytePatch> WriteHeights(const std::vector<HeightWrite>& heights) override;
  std::vector<BytePatch> WriteSymbol(const std::vector<std::int64_t>& keys,
                                     std::int32_t symbol) override;
  std::shared_ptr<const KeptHeights> KeepHeights(
      const std::vector<std::int64_t>& keys) const override;  // mapper_write.cpp
  std::vector<BytePatch> RestoreHeights(const KeptHeights& kept) override;
  const std::vector<std::uint8_t>& Bytes() const override { return bytes_; }
  SymbolDefinitions ReadSymbolDefinitions() const override;  // mapper_symbols.cpp

  // The keys of tags with a numeric value on line objects, each with how many objects carry it,
  // most carried first.
  std::vector<TagKeyCount> HeightTagKeys() const override;
  // The tag that holds heights in metres: read into HeightTenths and written by WriteHeights.
  // At opening, the first of kDefaultHeightTags the map has, else "Elevation".
  const std::string& HeightTag() const override { return heightTag_; }
  void SetHeightTag(std::string key) override { heightTag_ = std::move(key); }
  HeightTagChoice* HeightTags() override { return this; }
  const HeightTagChoice* HeightTags() const override { return this; }

  struct Document;  // the parsed document, private to the reading and writing code

 private:
  MapperMap();
  void Parse();

  std::vector<std::uint8_t> bytes_;
  std::unique_ptr<Document> doc_;
  FormatMapInfo info_;
  std::string heightTag_ = "Elevation";
};

}  // namespace terrak::mapper

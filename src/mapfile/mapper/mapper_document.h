#pragma once
// What MapperMap keeps of its parsed document: the XML tree, the map's own objects in order and
// what was read from them at opening. Shared by the reading and the writing half.
#include <map>
#include <optional>
#include <string>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "mapfile/mapper/mapper_map.h"

namespace terrak::mapper {

// How a height tag came into an object without a tags element to hold it: a tags element
// inserted whole, "<tags/>" opened, or the object's own "/>" opened.
enum class AddedWrapper : std::uint8_t { TagsInserted, TagsOpened, ObjectOpened };

struct MapperMap::Document {
  pugi::xml_document Xml;
  std::vector<FormatSymbol> Symbols;        // in file order
  std::map<int, std::int32_t> NumberOfId;   // symbol id -> number
  std::map<std::int32_t, int> IdOfNumber;
  std::vector<pugi::xml_node> ObjectNodes;  // the map's own objects, in document order
  std::vector<FormatObject> Objects;        // as read from them, heights left out
  std::vector<bool> IsPath;                 // Mapper object type 1
  // Objects whose tags element this program added or opened for a height tag, and how: taking
  // the tag away again restores the object's text byte for byte. Kept from parse to parse.
  std::map<std::int64_t, AddedWrapper> AddedWrappers;
};

// The <t> element of an object whose text Mapper reads for key: the last of that key (Mapper
// keeps the later value of a key that comes again). Null when the object has none.
pugi::xml_node HeightTagNode(const pugi::xml_node& object, const std::string& key);

// A number in XML text (attribute or element), without the locale's decimal sign.
std::optional<double> ParseNumber(std::string_view text);
std::optional<long long> ParseInteger(std::string_view text);

}  // namespace terrak::mapper

// Changes to a Mapper map, made as patches of its text: the height tag's text of an object (the
// tag or the tags element added when missing) and the symbol attribute. Every other byte of the
// file stays as it was; the document is parsed again afterwards so later changes find their
// places.
#include <map>
#include <stdexcept>
#include <string>

#include "mapfile/mapper/mapper_document.h"
#include "mapfile/mapper/xml_text.h"

namespace terrak::mapper {

namespace {

std::vector<std::uint8_t> TextBytes(const std::string& text) { return {text.begin(), text.end()}; }

// The text of the file as parsed; node offsets from the XML library point into it.
std::string_view TextOf(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

StartTag TagOf(std::string_view text, const pugi::xml_node& node) {
  const std::int64_t position = static_cast<std::int64_t>(node.offset_debug()) - 1;
  std::optional<StartTag> tag = ScanStartTag(text, position);
  if (!tag) throw MapFormatError(kNotMapperMessage, "no start tag where the object was read");
  return *tag;
}

// Where the text of a <t> element ends: its end tag. Comments, CDATA sections and processing
// instructions in the text go with it when the height is written, as when Mapper saves the map.
std::int64_t EndOfTagText(std::string_view text, const StartTag& tag) {
  const std::optional<std::int64_t> close = EndOfElementText(text, tag.End + 1, "t");
  if (!close) throw MapFormatError(kNotMapperMessage, "a tag that holds more than text");
  return *close;
}

}  // namespace

std::vector<BytePatch> MapperMap::WriteHeights(
    const std::vector<std::pair<std::int64_t, std::int32_t>>& heights) {
  std::map<std::int64_t, std::int32_t> byObject;
  for (const auto& [key, tenths] : heights) {
    if (key < 0 || key >= static_cast<std::int64_t>(doc_->ObjectNodes.size()))
      throw std::invalid_argument("no object with this key");
    byObject[key] = tenths;
  }
  const std::string_view text = TextOf(bytes_);
  const std::string tagText = "<t k=\"" + EscapeXml(heightTag_) + "\">";
  std::vector<BytePatch> patches;
  for (const auto& [key, tenths] : byObject) {
    const pugi::xml_node object = doc_->ObjectNodes[static_cast<std::size_t>(key)];
    const std::string value = MetresText(tenths);
    const pugi::xml_node tags = object.child("tags");
    const pugi::xml_node tag = HeightTagNode(object, heightTag_);
    if (tag) {
      const StartTag start = TagOf(text, tag);
      if (start.SelfClosing)
        patches.push_back({start.End - 1, 2, TextBytes(">" + value + "</t>")});
      else
        patches.push_back({start.End + 1, EndOfTagText(text, start) - (start.End + 1), TextBytes(value)});
    } else if (tenths == 0) {
      continue;  // no height to clear
    } else if (tags) {
      const StartTag start = TagOf(text, tags);
      const std::string added = tagText + value + "</t>";
      if (start.SelfClosing)
        patches.push_back({start.End - 1, 2, TextBytes(">" + added + "</tags>")});
      else
        patches.push_back({start.End + 1, 0, TextBytes(added)});
    } else {
      const StartTag start = TagOf(text, object);
      const std::string added = "<tags>" + tagText + value + "</t></tags>";
      if (start.SelfClosing)
        patches.push_back({start.End - 1, 2, TextBytes(">" + added + "</object>")});
      else
        patches.push_back({start.End + 1, 0, TextBytes(added)});
    }
  }
  ApplyPatches(bytes_, patches);
  Parse();
  return patches;
}

std::vector<BytePatch> MapperMap::WriteSymbol(const std::vector<std::int64_t>& keys,
                                              std::int32_t symbol) {
  const auto id = doc_->IdOfNumber.find(symbol);
  if (id == doc_->IdOfNumber.end()) throw std::invalid_argument("no symbol with this number");
  const std::string idText = std::to_string(id->second);
  const std::string_view text = TextOf(bytes_);
  std::map<std::int64_t, BytePatch> byObject;
  for (std::int64_t key : keys) {
    if (key < 0 || key >= static_cast<std::int64_t>(doc_->ObjectNodes.size()))
      throw std::invalid_argument("no object with this key");
    const StartTag start = TagOf(text, doc_->ObjectNodes[static_cast<std::size_t>(key)]);
    if (const std::optional<AttributeSpan> attribute = start.Find("symbol"))
      byObject[key] = {attribute->ValueBegin, attribute->ValueEnd - attribute->ValueBegin,
                       TextBytes(idText)};
    else
      byObject[key] = {start.SelfClosing ? start.End - 1 : start.End, 0,
                       TextBytes(" symbol=\"" + idText + "\"")};
  }
  std::vector<BytePatch> patches;
  for (auto& [key, patch] : byObject) patches.push_back(std::move(patch));
  ApplyPatches(bytes_, patches);
  Parse();
  return patches;
}

}  // namespace terrak::mapper

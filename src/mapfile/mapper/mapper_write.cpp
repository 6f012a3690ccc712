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

std::int64_t StartOf(const pugi::xml_node& node) {
  return static_cast<std::int64_t>(node.offset_debug()) - 1;
}

StartTag TagOf(std::string_view text, const pugi::xml_node& node) {
  std::optional<StartTag> tag = ScanStartTag(text, StartOf(node));
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

// Where a <t> element ends: just after its end tag, or after its start tag when it closes itself.
std::int64_t EndOfTagElement(std::string_view text, const StartTag& tag) {
  if (tag.SelfClosing) return tag.End + 1;
  const std::size_t close = text.find('>', static_cast<std::size_t>(EndOfTagText(text, tag)));
  if (close == std::string_view::npos)
    throw MapFormatError(kNotMapperMessage, "a tag without the end of its end tag");
  return static_cast<std::int64_t>(close) + 1;
}

}  // namespace

std::vector<BytePatch> MapperMap::WriteHeights(const std::vector<HeightWrite>& heights) {
  std::map<std::int64_t, std::optional<std::int32_t>> byObject;
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
    const pugi::xml_node tags = object.child("tags");
    const pugi::xml_node tag = HeightTagNode(object, heightTag_);
    if (!tenths) {
      // No height: the tag goes (a tag "0" would be a height of 0 m).
      if (tag)
        patches.push_back(
            {StartOf(tag), EndOfTagElement(text, TagOf(text, tag)) - StartOf(tag), {}});
      continue;
    }
    const std::string value = MetresText(*tenths);
    if (tag) {
      const StartTag start = TagOf(text, tag);
      if (start.SelfClosing)
        patches.push_back({start.End - 1, 2, TextBytes(">" + value + "</t>")});
      else
        patches.push_back({start.End + 1, EndOfTagText(text, start) - (start.End + 1), TextBytes(value)});
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

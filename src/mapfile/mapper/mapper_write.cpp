// Changes to a Mapper map, made as patches of its text: the height tag's text of an object (the
// tag or the tags element added when missing) and the symbol attribute. Every other byte of the
// file stays as it was; the document is parsed again afterwards so later changes find their
// places.
#include <map>
#include <optional>
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

// The patch that takes an added height tag away together with what was added for it: the
// tags element inserted whole, or "/>" again where a tags element or the object was opened.
// Nothing when the tags element holds more than the tag by now.
std::optional<BytePatch> RemoveAddedWrapper(std::string_view text, const pugi::xml_node& object,
                                            const pugi::xml_node& tags, std::int64_t tagStart,
                                            std::int64_t tagEnd, AddedWrapper how) {
  const auto followedBy = [&](std::int64_t at, std::string_view what) {
    return text.substr(static_cast<std::size_t>(at), what.size()) == what;
  };
  const StartTag tagsStart = TagOf(text, tags);
  if (tagsStart.End + 1 != tagStart || !followedBy(tagEnd, "</tags>")) return std::nullopt;
  const std::int64_t tagsEnd = tagEnd + 7;
  switch (how) {
    case AddedWrapper::TagsInserted:
      return BytePatch{StartOf(tags), tagsEnd - StartOf(tags), {}};
    case AddedWrapper::TagsOpened:
      return BytePatch{tagsStart.End, tagsEnd - tagsStart.End, TextBytes("/>")};
    case AddedWrapper::ObjectOpened: {
      const StartTag objectStart = TagOf(text, object);
      if (objectStart.End + 1 != StartOf(tags) || !followedBy(tagsEnd, "</object>"))
        return std::nullopt;
      return BytePatch{objectStart.End, tagsEnd + 9 - objectStart.End, TextBytes("/>")};
    }
  }
  return std::nullopt;
}

// Where a tags element ends: just after its end tag, or after its start tag when it closes
// itself.
std::int64_t EndOfTagsElement(std::string_view text, const pugi::xml_node& tags) {
  const StartTag start = TagOf(text, tags);
  if (start.SelfClosing) return start.End + 1;
  std::int64_t from = start.End + 1;
  if (const pugi::xml_node last = tags.last_child(); last && last.type() == pugi::node_element)
    from = StartOf(last);
  const std::size_t close = text.find("</tags", static_cast<std::size_t>(from));
  const std::size_t end =
      close == std::string_view::npos ? close : text.find('>', close);
  if (end == std::string_view::npos)
    throw MapFormatError(kNotMapperMessage, "a tags element without its end tag");
  return static_cast<std::int64_t>(end) + 1;
}

// The part of an object's text that a write of its height changes: from the "/>" or ">" that
// ends its start tag to the end of its tags element, and over "</object>" when that follows
// at once (an object the write opened, or one with nothing but tags). The start tag's
// attributes lie outside, so a change of symbol made since survives putting a height back.
std::pair<std::int64_t, std::int64_t> HeightRegion(std::string_view text,
                                                   const pugi::xml_node& object) {
  const StartTag start = TagOf(text, object);
  if (start.SelfClosing) return {start.End - 1, start.End + 1};
  std::int64_t end = start.End + 1;
  if (const pugi::xml_node tags = object.child("tags")) end = EndOfTagsElement(text, tags);
  constexpr std::string_view kObjectEnd = "</object>";
  if (text.substr(static_cast<std::size_t>(end), kObjectEnd.size()) == kObjectEnd)
    end += static_cast<std::int64_t>(kObjectEnd.size());
  return {start.End, end};
}

struct KeptHeight {
  std::int64_t Key = 0;
  std::vector<std::uint8_t> Text;  // the object's height region
  std::optional<AddedWrapper> Wrapper;
};

struct MapperKeptHeights final : KeptHeights {
  std::vector<KeptHeight> Objects;
};

}  // namespace

std::shared_ptr<const KeptHeights> MapperMap::KeepHeights(
    const std::vector<std::int64_t>& keys) const {
  const std::string_view text = TextOf(bytes_);
  auto kept = std::make_shared<MapperKeptHeights>();
  std::map<std::int64_t, bool> seen;
  for (std::int64_t key : keys) {
    if (key < 0 || key >= static_cast<std::int64_t>(doc_->ObjectNodes.size()))
      throw std::invalid_argument("no object with this key");
    if (!seen.emplace(key, true).second) continue;
    const auto [begin, end] = HeightRegion(text, doc_->ObjectNodes[static_cast<std::size_t>(key)]);
    KeptHeight one{key, {bytes_.begin() + begin, bytes_.begin() + end}, std::nullopt};
    if (const auto wrapper = doc_->AddedWrappers.find(key); wrapper != doc_->AddedWrappers.end())
      one.Wrapper = wrapper->second;
    kept->Objects.push_back(std::move(one));
  }
  return kept;
}

std::vector<BytePatch> MapperMap::RestoreHeights(const KeptHeights& kept) {
  const std::string_view text = TextOf(bytes_);
  std::vector<BytePatch> patches;
  for (const KeptHeight& one : dynamic_cast<const MapperKeptHeights&>(kept).Objects) {
    const auto [begin, end] =
        HeightRegion(text, doc_->ObjectNodes.at(static_cast<std::size_t>(one.Key)));
    patches.push_back({begin, end - begin, one.Text});
    if (one.Wrapper)
      doc_->AddedWrappers[one.Key] = *one.Wrapper;
    else
      doc_->AddedWrappers.erase(one.Key);
  }
  ApplyPatches(bytes_, patches);
  Parse();
  return patches;
}

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
      // No height: the tag goes (a tag "0" would be a height of 0 m), and with it the tags
      // element or the object's end tag it was added with, while nothing else came in since.
      if (!tag) continue;
      const std::int64_t tagStart = StartOf(tag);
      const std::int64_t tagEnd = EndOfTagElement(text, TagOf(text, tag));
      const auto wrapper = doc_->AddedWrappers.find(key);
      if (wrapper != doc_->AddedWrappers.end()) {
        if (const std::optional<BytePatch> undo =
                RemoveAddedWrapper(text, object, tags, tagStart, tagEnd, wrapper->second)) {
          patches.push_back(*undo);
          doc_->AddedWrappers.erase(wrapper);
          continue;
        }
      }
      patches.push_back({tagStart, tagEnd - tagStart, {}});
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
      if (start.SelfClosing) {
        patches.push_back({start.End - 1, 2, TextBytes(">" + added + "</tags>")});
        doc_->AddedWrappers.emplace(key, AddedWrapper::TagsOpened);
      } else {
        patches.push_back({start.End + 1, 0, TextBytes(added)});
      }
    } else {
      const StartTag start = TagOf(text, object);
      const std::string added = "<tags>" + tagText + value + "</t></tags>";
      if (start.SelfClosing) {
        patches.push_back({start.End - 1, 2, TextBytes(">" + added + "</object>")});
        doc_->AddedWrappers.emplace(key, AddedWrapper::ObjectOpened);
      } else {
        patches.push_back({start.End + 1, 0, TextBytes(added)});
        doc_->AddedWrappers.emplace(key, AddedWrapper::TagsInserted);
      }
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

#include "mapfile/mapper/xml_text.h"

#include <cstdlib>

namespace terrak::mapper {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::optional<AttributeSpan> StartTag::Find(std::string_view name) const {
  for (const AttributeSpan& attribute : Attributes)
    if (attribute.Name == name) return attribute;
  return std::nullopt;
}

std::optional<StartTag> ScanStartTag(std::string_view text, std::int64_t position) {
  const auto size = static_cast<std::int64_t>(text.size());
  if (position < 0 || position >= size || text[position] != '<') return std::nullopt;
  std::int64_t i = position + 1;
  while (i < size && !IsSpace(text[i]) && text[i] != '>' && text[i] != '/') ++i;
  StartTag tag;
  for (;;) {
    while (i < size && IsSpace(text[i])) ++i;
    if (i >= size) return std::nullopt;
    if (text[i] == '>') {
      tag.End = i;
      return tag;
    }
    if (text[i] == '/') {
      if (i + 1 >= size || text[i + 1] != '>') return std::nullopt;
      tag.End = i + 1;
      tag.SelfClosing = true;
      return tag;
    }
    const std::int64_t nameBegin = i;
    while (i < size && !IsSpace(text[i]) && text[i] != '=' && text[i] != '>') ++i;
    const std::int64_t nameEnd = i;
    while (i < size && IsSpace(text[i])) ++i;
    if (i >= size || text[i] != '=') return std::nullopt;
    ++i;
    while (i < size && IsSpace(text[i])) ++i;
    if (i >= size || (text[i] != '"' && text[i] != '\'')) return std::nullopt;
    const char quote = text[i++];
    const std::int64_t valueBegin = i;
    while (i < size && text[i] != quote) ++i;
    if (i >= size) return std::nullopt;
    tag.Attributes.push_back(
        {text.substr(static_cast<std::size_t>(nameBegin), static_cast<std::size_t>(nameEnd - nameBegin)),
         valueBegin, i});
    ++i;
  }
}

std::string EscapeXml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string MetresText(std::int32_t tenths) {
  const std::int64_t magnitude = std::abs(std::int64_t{tenths});
  const std::int64_t whole = magnitude / 10;
  const std::int64_t tenth = magnitude % 10;
  std::string text = (tenths < 0 ? "-" : "") + std::to_string(whole);
  if (tenth != 0) text += "." + std::to_string(tenth);
  return text;
}

}  // namespace terrak::mapper

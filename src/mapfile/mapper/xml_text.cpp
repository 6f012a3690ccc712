#include "mapfile/mapper/xml_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <string>

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

namespace {

bool IsXmlChar(unsigned long c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

std::string At(std::size_t position) { return " at byte " + std::to_string(position); }

// The reference that starts with the '&' at position, or why it is not one Mapper reads.
std::optional<std::string> ReferenceFault(std::string_view text, std::size_t position) {
  // A name (or '#' and digits) up to ';'; longer names are no reference Mapper's files hold.
  constexpr std::size_t kLongestName = 64;
  std::size_t end = position + 1;
  while (end < text.size() && end - position <= kLongestName &&
         (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '#' ||
          text[end] == '_' || text[end] == ':' || text[end] == '-' || text[end] == '.' ||
          static_cast<unsigned char>(text[end]) >= 0x80))
    ++end;
  if (end == position + 1 || end >= text.size() || text[end] != ';')
    return "an '&' that starts no reference" + At(position);
  const std::string_view name = text.substr(position + 1, end - position - 1);
  if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos")
    return std::nullopt;
  if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    unsigned long value = 0;
    const auto [last, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
    if (!digits.empty() && error == std::errc() && last == digits.data() + digits.size() &&
        IsXmlChar(value))
      return std::nullopt;
    return "a character reference &" + std::string(name) + "; to no XML character" + At(position);
  }
  return "the entity &" + std::string(name) + "; which XML does not define" + At(position);
}

// The first fault among the references in text[begin, end).
std::optional<std::string> ReferencesFault(std::string_view text, std::size_t begin,
                                           std::size_t end) {
  const std::string_view part = text.substr(begin, end - begin);
  for (std::size_t amp = part.find('&'); amp != std::string_view::npos; amp = part.find('&', amp + 1))
    if (std::optional<std::string> fault = ReferenceFault(text, begin + amp)) return fault;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> XmlFaultMapperRefuses(std::string_view text) {
  constexpr std::size_t npos = std::string_view::npos;
  const std::size_t start = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  int depth = 0;
  bool rootSeen = false;
  std::size_t i = start;
  while (i < text.size()) {
    const std::size_t next = depth > 0 ? text.find('<', i) : text.find_first_not_of(" \t\r\n", i);
    if (depth > 0) {
      // Text inside the root element: its references.
      if (std::optional<std::string> fault = ReferencesFault(text, i, std::min(next, text.size())))
        return fault;
    } else if (next != npos && text[next] != '<') {
      return (rootSeen ? "text after the document's root element" : "text before the root element") +
             At(next);
    }
    if (next == npos) break;
    i = next;
    const std::string_view rest = text.substr(i);
    if (rest.starts_with("<!--")) {
      const std::size_t end = text.find("-->", i + 4);
      if (end == npos) return std::nullopt;
      i = end + 3;
    } else if (rest.starts_with("<![CDATA[")) {
      const std::size_t end = text.find("]]>", i + 9);
      if (end == npos) return std::nullopt;
      if (depth == 0) return "a CDATA section outside the root element" + At(i);
      i = end + 3;
    } else if (rest.starts_with("<?")) {
      const std::size_t end = text.find("?>", i + 2);
      if (end == npos) return std::nullopt;
      if (rest.starts_with("<?xml") && rest.size() > 5 &&
          (rest[5] == ' ' || rest[5] == '\t' || rest[5] == '\r' || rest[5] == '\n') && i != start)
        return "an XML declaration" + At(i) + ", not at the start: two documents in one file";
      i = end + 2;
    } else if (rest.starts_with("<!")) {
      // A document type declaration; its internal subset may hold '>' inside brackets.
      int brackets = 0;
      std::size_t j = i + 2;
      for (; j < text.size(); ++j) {
        if (text[j] == '[') ++brackets;
        else if (text[j] == ']') --brackets;
        else if (text[j] == '>' && brackets <= 0) break;
      }
      i = j + 1;
    } else {
      // A start or end tag; attribute values are quoted and may hold '>'.
      const bool endTag = rest.starts_with("</");
      if (!endTag && depth == 0 && rootSeen)
        return "a second root element" + At(i) + ": two documents in one file";
      std::size_t j = i + 1;
      char quote = 0;
      std::size_t valueStart = 0;
      for (; j < text.size(); ++j) {
        const char c = text[j];
        if (quote != 0) {
          if (c != quote) continue;
          if (std::optional<std::string> fault = ReferencesFault(text, valueStart, j)) return fault;
          quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
          valueStart = j + 1;
        } else if (c == '>') {
          break;
        }
      }
      if (j >= text.size()) return std::nullopt;
      const bool empty = !endTag && text[j - 1] == '/';
      if (endTag) --depth;
      else if (!empty) ++depth;
      if (depth == 0) rootSeen = true;
      i = j + 1;
    }
  }
  return std::nullopt;
}

std::optional<std::int64_t> EndOfElementText(std::string_view text, std::int64_t position,
                                             std::string_view name) {
  constexpr std::size_t npos = std::string_view::npos;
  std::size_t i = static_cast<std::size_t>(position);
  for (;;) {
    const std::size_t open = text.find('<', i);
    if (open == npos) return std::nullopt;
    const std::string_view rest = text.substr(open);
    std::string_view closer;
    if (rest.starts_with("<!--")) closer = "-->";
    else if (rest.starts_with("<![CDATA[")) closer = "]]>";
    else if (rest.starts_with("<?")) closer = "?>";
    if (!closer.empty()) {
      const std::size_t end = text.find(closer, open + 2);
      if (end == npos) return std::nullopt;
      i = end + closer.size();
      continue;
    }
    if (!rest.starts_with("</") || rest.substr(2, name.size()) != name ||
        rest.size() <= 2 + name.size())
      return std::nullopt;
    const char after = rest[2 + name.size()];
    if (after != '>' && !IsSpace(after)) return std::nullopt;
    return static_cast<std::int64_t>(open);
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
  // Appended piece by piece: g++ 12 at -O3 takes the concatenation of temporaries for an
  // overlapping copy (-Wrestrict).
  std::string text;
  if (tenths < 0) text += '-';
  text += std::to_string(whole);
  if (tenth != 0) {
    text += '.';
    text += static_cast<char>('0' + tenth);
  }
  return text;
}

}  // namespace terrak::mapper

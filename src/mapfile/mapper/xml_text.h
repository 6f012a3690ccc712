#pragma once
// Byte positions inside XML text that the XML library has already parsed: the attributes of a
// start tag and where it ends, and escaping of texts written into the document. Changes to a
// Mapper map are made as patches of its text at these positions; the document is never written
// out again as a whole.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace terrak::mapper {

struct AttributeSpan {
  std::string_view Name;
  std::int64_t ValueBegin = 0;  // first byte of the value, after the quote
  std::int64_t ValueEnd = 0;    // the closing quote
};

struct StartTag {
  std::int64_t End = 0;      // position of the closing '>'
  bool SelfClosing = false;  // ends in "/>"; End - 1 is the '/'
  std::vector<AttributeSpan> Attributes;
  std::optional<AttributeSpan> Find(std::string_view name) const;
};

// The start tag whose '<' is at position; nullopt when the text there is no start tag.
std::optional<StartTag> ScanStartTag(std::string_view text, std::int64_t position);

// What the XML library lets pass but Mapper's reader refuses, in text the library has parsed
// without error: a second root element or an XML declaration after the start (two documents in
// one file), text after the root element, an entity other than the five of XML, a character
// reference to no XML character. nullopt when there is none of these.
std::optional<std::string> XmlFaultMapperRefuses(std::string_view text);

// Where the text of an element ends: the position of its end tag "</name", after text, comments,
// CDATA sections and processing instructions from position on. nullopt at an element inside.
std::optional<std::int64_t> EndOfElementText(std::string_view text, std::int64_t position,
                                             std::string_view name);

// Text and attribute values with &, <, >, " and ' written as references.
std::string EscapeXml(std::string_view text);

// Tenths of a metre as the shortest decimal in metres: 3725 gives "372.5", 3700 gives "370".
std::string MetresText(std::int32_t tenths);

}  // namespace terrak::mapper

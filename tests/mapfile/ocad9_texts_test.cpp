// Texts of OCAD 9 to 12 maps as OpenOrienteering Mapper writes them (tests/data/texts): object
// texts in UTF-16, symbol descriptions in the Windows code page up to 10 and UTF-16 from 11 on,
// colour names in UTF-8 from 11 on. Each version reads as its Mapper original does. Damaged
// texts read with replacement characters, or the map is refused when a text leaves its record;
// bytes that are not UTF-8 in a Mapper map read as replacement characters.
#include <gtest/gtest.h>

#include <variant>

#include "mapfile/mapper/mapper_map.h"
#include "mapfile/ocad9/ocad9_map.h"
#include "mapfile/symbol_definitions.h"
#include "mapbuild/ocad_build9.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using namespace terrak::testing;

const std::string kData = std::string(TERRAK_SOURCE_DIR) + "/tests/data/texts/";

std::vector<std::string> TextsOf(const FormatMap& map) {
  std::vector<std::string> texts;
  for (const FormatObject& object : map.ReadObjects([](std::int32_t) { return true; }).Objects)
    if (object.Kind == ObjectKind::Text) texts.push_back(object.Text);
  return texts;
}

std::string FontOf(const SymbolDefinitions& definitions) {
  for (const auto& symbol : definitions.Symbols)
    if (const auto* text = std::get_if<TextDefinition>(&symbol->Drawing)) return text->FontFamily;
  return "no text symbol";
}

TEST(Ocad9Texts, MapperFilesOfEveryVersionReadAsTheirOriginal) {
  const auto original = mapper::MapperMap::Open(ReadBytes(kData + "texts.omap"));
  const std::vector<std::string> texts = TextsOf(*original);
  ASSERT_EQ(texts, (std::vector<std::string>{"\xC3\x85sa \xC3\x96" "berg \xC4\x97",
                                             "M\xC3\xA5l \xF0\x9D\x84\x9E \xE2\x85\xAB",
                                             "ASCII only"}));
  const SymbolDefinitions originalDefinitions = original->ReadSymbolDefinitions();
  for (int version : {9, 10, 11, 12}) {
    SCOPED_TRACE(version);
    const auto map = ocad9::Ocad9Map::Open(
        ReadBytes(kData + "texts" + std::to_string(version) + ".ocd"), std::nullopt);
    EXPECT_EQ(TextsOf(*map), texts);
    const std::vector<FormatSymbol> symbols = map->ReadSymbols();
    ASSERT_EQ(symbols.size(), 2u);
    // Up to 10 the description is in the Windows code page, where Mapper writes "?" for "ė".
    EXPECT_EQ(symbols[1].Description,
              version >= 11 ? original->ReadSymbols()[1].Description : "Name \xC3\x85sa ?");
    const SymbolDefinitions definitions = map->ReadSymbolDefinitions();
    ASSERT_FALSE(definitions.Colours.empty());
    EXPECT_EQ(definitions.Colours[0].Name, originalDefinitions.Colours[0].Name);
    EXPECT_EQ(definitions.Colours[0].Name, "Schw\xC3\xA4rze");
    EXPECT_EQ(FontOf(definitions), FontOf(originalDefinitions));
  }
}

TEST(MapperTexts, BytesThatAreNotUtf8ReadAsReplacementCharacters) {
  std::vector<std::uint8_t> bytes = ReadBytes(kData + "texts.omap");
  std::string xml(bytes.begin(), bytes.end());
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"ASCII only", "ASCII \xFF"},
                                 {"family=\"Arial\"", "family=\"Ari\xC3\""},
                                 {"name=\"Schw\xC3\xA4rze\"", "name=\"Schw\xE4rze\""}}) {
    const std::size_t at = xml.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    xml.replace(at, from.size(), to);
  }
  const auto map = mapper::MapperMap::Open(std::vector<std::uint8_t>(xml.begin(), xml.end()));
  EXPECT_EQ(TextsOf(*map).at(2), "ASCII \xEF\xBF\xBD");
  const SymbolDefinitions definitions = map->ReadSymbolDefinitions();
  EXPECT_EQ(FontOf(definitions), "Ari\xEF\xBF\xBD");
  EXPECT_EQ(definitions.Colours.at(0).Name, "Schw\xEF\xBF\xBDrze");
}

// A map with one text object, and where its text lies in the file.
struct TextMap {
  std::vector<std::uint8_t> Bytes;
  std::int64_t Text = 0;  // the first byte of the text
  std::int64_t Object = 0;
  int Version = 0;
};

TextMap MapWithText(int version, const std::string& text) {
  Ocad9MapBuilder b(version);
  b.AddSymbol({990000, 4, "Text"});
  b.AddObject({.Symbol = 990000, .Type = 4, .Points = {CodedPoint::At(0, 0)}, .Text = text});
  TextMap map{b.Build(), 0, b.Layout().Objects[0].FilePos, version};
  map.Text = map.Object + (version >= 12 ? 56 : 40) + 8;
  return map;
}

std::string ReadText(const TextMap& map) {
  return TextsOf(*ocad9::Ocad9Map::Open(map.Bytes, std::nullopt)).at(0);
}

std::string RefusalOf(const TextMap& map) {
  return ThrownText<MapFormatError>([&] { ocad9::Ocad9Map::Open(map.Bytes, std::nullopt); },
                                    &MapFormatError::Detail, "opened");
}

TEST(Ocad9Texts, DamagedTextsReadWithReplacementsOrTheMapIsRefused) {
  const std::string replacement = "\xEF\xBF\xBD";
  for (int version : {9, 11, 12}) {
    SCOPED_TRACE(version);
    // "abc" and its zero fill one 8-byte unit: the text as the builder writes it reads back.
    TextMap map = MapWithText(version, "abc");
    ASSERT_EQ(ReadText(map), "abc");

    // No terminator: the text ends with its units, a high surrogate there is unpaired.
    map.Bytes[static_cast<std::size_t>(map.Text + 6)] = 0x00;
    map.Bytes[static_cast<std::size_t>(map.Text + 7)] = 0xD8;
    EXPECT_EQ(ReadText(map), "abc" + replacement);
    // A low surrogate alone in the middle.
    map.Bytes[static_cast<std::size_t>(map.Text + 3)] = 0xDC;
    EXPECT_EQ(ReadText(map), "a" + replacement + "c" + replacement);

    // A text count reaching past the object's length, or past the file, refuses the map with
    // a message that names the text.
    const std::int64_t textCount = map.Object + (version >= 12 ? 48 : 12);
    map.Bytes[static_cast<std::size_t>(textCount)] = 2;
    EXPECT_EQ(RefusalOf(map), "object's text runs past its length");
    map.Bytes[static_cast<std::size_t>(textCount)] = 0xFF;
    map.Bytes[static_cast<std::size_t>(textCount + 1)] = 0xFF;
    EXPECT_EQ(RefusalOf(map), "object's text runs past its length");
  }
}

}  // namespace
}  // namespace terrak

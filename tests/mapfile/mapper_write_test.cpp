// Writing into Mapper XML maps: a height becomes the text of the chosen tag of its object (the
// tag, or the tags element, added when missing), a symbol the object's symbol attribute. The
// files are compared whole: every other byte stays as it was.
#include <gtest/gtest.h>

#include "mapfile/mapper/mapper_map.h"
#include "mapfile/mapper/xml_text.h"
#include "mapbuild/mapper_build.h"
#include "map_files.h"

namespace terrak {
namespace {

using namespace terrak::testing;
using mapper::MapperMap;

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Replaced (map_files.h) changes the first place: the map's own objects come before the
// history's copies of them.

// The map's bytes, and the patches applied to the bytes before the write, are the expected text.
void ExpectWritten(const MapperMap& map, std::vector<std::uint8_t> before,
                   const std::vector<BytePatch>& patches, const std::string& expected) {
  EXPECT_EQ(Text(map.Bytes()), expected);
  ApplyPatches(before, patches);
  EXPECT_EQ(Text(before), expected);
}

MapperMapBuilder FourContours(bool elements) {
  MapperMapBuilder b;
  b.CoordElements(elements).History(true);
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  b.AddSymbol({.Id = 1, .Type = 2, .Code = "102"});
  b.AddObject({.Symbol = 0, .Tags = {{"ele", "250.000"}, {"name", "a"}}, .Coords = {{0, 0}, {1, 1}}});
  b.AddObject({.Symbol = 0, .Tags = {{"name", "b"}}, .Coords = {{0, 0}, {2, 2}}});
  b.AddObject({.Symbol = 0, .Coords = {{0, 0}, {3, 3}}, .Part = 1});
  b.AddObject({.Symbol = 0, .Coords = {{0, 0}, {4, 4}}, .EmptyTagsElement = true, .Part = 1});
  return b;
}

TEST(MapperWrite, HeightsPatchOnlyTheTagTextOrAddTheTag) {
  for (bool elements : {false, true}) {
    SCOPED_TRACE(elements);
    const std::string original = FourContours(elements).Build();
    const auto map = MapperMap::Open(TextBytes(original));
    map->SetHeightTag("ele");
    const std::vector<BytePatch> patches =
        map->WriteHeights({{0, 2625}, {1, -15}, {2, 3000}, {3, 1}});
    std::string expected = Replaced(original, "<t k=\"ele\">250.000</t><t k=\"name\">a</t></tags><coords count=\"2\">",
                                    "<t k=\"ele\">262.5</t><t k=\"name\">a</t></tags><coords count=\"2\">");
    expected = Replaced(expected, "<object type=\"1\" symbol=\"0\"><tags><t k=\"name\">b</t>",
                        "<object type=\"1\" symbol=\"0\"><tags><t k=\"ele\">-1.5</t><t k=\"name\">b</t>");
    // The history holds the same objects; only the map's own ones change.
    const std::size_t history = expected.find("<barrier", expected.find("</barrier>"));
    const std::string third = elements ? "<coord x=\"3\"" : "0 0;3 3;";
    const std::size_t thirdAt = expected.rfind("<object", expected.find(third));
    ASSERT_LT(thirdAt, history);
    expected.insert(expected.find('>', thirdAt) + 1, "<tags><t k=\"ele\">300</t></tags>");
    expected = Replaced(expected, "<tags/>", "<tags><t k=\"ele\">0.1</t></tags>");
    ExpectWritten(*map, TextBytes(original), patches, expected);

    // Read back, and written again over the tags just added.
    std::vector<std::int32_t> heights;
    for (const FormatObject& o : map->ReadObjects(All).Objects) heights.push_back(o.HeightTenths);
    EXPECT_EQ(heights, (std::vector<std::int32_t>{2625, -15, 3000, 1}));
    map->WriteHeights({{2, 3050}, {3, 0}});
    EXPECT_EQ(Text(map->Bytes()),
              Replaced(Replaced(expected, ">300<", ">305<"), ">0.1<", ">0<"));
  }
}

TEST(MapperWrite, ClearingTakesTheTagAwayAndLeavesObjectsWithoutItAlone) {
  for (bool elements : {false, true}) {
    const std::string original = FourContours(elements).Build();
    const auto map = MapperMap::Open(TextBytes(original));
    map->SetHeightTag("ele");
    map->WriteHeights({{1, std::nullopt}, {2, std::nullopt}, {3, std::nullopt}});
    EXPECT_EQ(Text(map->Bytes()), original);
    // A tag "0" would be a height of 0 m: clearing takes the tag itself away.
    const std::vector<BytePatch> patches = map->WriteHeights({{0, std::nullopt}});
    const std::string expected = Replaced(original, "<t k=\"ele\">250.000</t>", "");
    ExpectWritten(*map, TextBytes(original), patches, expected);
    EXPECT_FALSE(map->ReadObjects(All).Objects[0].HasHeight);
    // 0 m is a height like any other: the tag comes back holding "0".
    map->WriteHeights({{0, 0}});
    EXPECT_TRUE(map->ReadObjects(All).Objects[0].HasHeight);
    EXPECT_EQ(map->ReadObjects(All).Objects[0].HeightTenths, 0);
  }
}

// A height given and taken back leaves the file as it was, also where the tags element (or its
// opening) came with the tag.
TEST(MapperWrite, TakingAnAddedHeightBackRestoresEveryByte) {
  for (bool elements : {false, true}) {
    SCOPED_TRACE(elements);
    const std::string original = FourContours(elements).Build();
    const auto map = MapperMap::Open(TextBytes(original));
    map->SetHeightTag("ele");
    map->WriteHeights({{1, 50}, {2, 60}, {3, 70}});
    map->WriteHeights({{2, 65}});  // changed in between: still the tag added
    ASSERT_NE(Text(map->Bytes()), original);
    std::vector<std::uint8_t> copy = map->Bytes();
    const std::vector<BytePatch> patches =
        map->WriteHeights({{1, std::nullopt}, {2, std::nullopt}, {3, std::nullopt}});
    ExpectWritten(*map, copy, patches, original);
    // Added again and taken back again: the same.
    map->WriteHeights({{2, 60}});
    map->WriteHeights({{2, std::nullopt}});
    EXPECT_EQ(Text(map->Bytes()), original);
  }
}

TEST(MapperWrite, TagKeysAndOddTagFormsAreWrittenSafely) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  b.AddObject({.Symbol = 0, .Coords = {{0, 0}}});
  const std::string original = b.Build();
  const auto map = MapperMap::Open(TextBytes(original));
  map->SetHeightTag("h\"<&'>");
  map->WriteHeights({{0, 5}});
  EXPECT_EQ(Text(map->Bytes()),
            Replaced(original, "<coords", "<tags><t k=\"h&quot;&lt;&amp;&apos;&gt;\">0.5</t></tags><coords"));
  EXPECT_EQ(map->ReadObjects(All).Objects[0].HeightTenths, 5);

  // A self-closing tag and one written with blanks get their text inside.
  const std::string odd = Replaced(original, "<coords", "<tags><t k=\"a\"/><t  k = 'b' ></t ></tags><coords");
  const auto second = MapperMap::Open(TextBytes(odd));
  second->SetHeightTag("a");
  second->WriteHeights({{0, 10}});
  second->SetHeightTag("b");
  second->WriteHeights({{0, 20}});
  EXPECT_EQ(Text(second->Bytes()),
            Replaced(odd, "<t k=\"a\"/><t  k = 'b' ></t >", "<t k=\"a\">1</t><t  k = 'b' >2</t >"));
  // Cleared, each goes whole, self-closing or not.
  const auto cleared = MapperMap::Open(TextBytes(odd));
  cleared->SetHeightTag("a");
  cleared->WriteHeights({{0, std::nullopt}});
  cleared->SetHeightTag("b");
  cleared->WriteHeights({{0, std::nullopt}});
  EXPECT_EQ(Text(cleared->Bytes()), Replaced(odd, "<t k=\"a\"/><t  k = 'b' ></t >", ""));

  // Of two tags of the key the last one is read, as Mapper reads it, and written.
  const std::string twice = Replaced(original, "<coords", "<tags><t k=\"e\">1</t><t k=\"e\">2</t></tags><coords");
  const auto fourth = MapperMap::Open(TextBytes(twice));
  fourth->SetHeightTag("e");
  EXPECT_EQ(fourth->ReadObjects(All).Objects[0].HeightTenths, 20);
  fourth->WriteHeights({{0, 30}});
  EXPECT_EQ(Text(fourth->Bytes()), Replaced(twice, ">2<", ">3<"));
  EXPECT_EQ(fourth->ReadObjects(All).Objects[0].HeightTenths, 30);

  // A text with a comment, CDATA or a processing instruction is read as Mapper reads it (100)
  // and written whole: the new height replaces all of it, as Mapper itself would save it.
  const std::string comment = Replaced(
      original, "<coords",
      "<tags><t k=\"a\">1<!-- x > --><![CDATA[0]]><?p ?>0</t><t k=\"b\">7</t></tags><coords");
  const auto third = MapperMap::Open(TextBytes(comment));
  third->SetHeightTag("a");
  EXPECT_EQ(third->ReadObjects(All).Objects[0].HeightTenths, 1000);
  third->WriteHeights({{0, 3725}});
  EXPECT_EQ(Text(third->Bytes()),
            Replaced(comment, ">1<!-- x > --><![CDATA[0]]><?p ?>0<", ">372.5<"));
  EXPECT_EQ(third->ReadObjects(All).Objects[0].HeightTenths, 3725);
  EXPECT_THROW(third->WriteHeights({{1, 10}}), std::invalid_argument);
}

TEST(MapperWrite, ASymbolChangesTheSymbolAttributeOnly) {
  const std::string original = FourContours(true).Build();
  const auto map = MapperMap::Open(TextBytes(original));
  map->WriteSymbol({1, 2}, 102000);
  std::string expected = Replaced(original, "<object type=\"1\" symbol=\"0\"><tags><t k=\"name\">b",
                                  "<object type=\"1\" symbol=\"1\"><tags><t k=\"name\">b");
  expected = Replaced(expected, "<object type=\"1\" symbol=\"0\"><coords count=\"2\"><coord x=\"0\" y=\"0\"/><coord x=\"3\"",
                      "<object type=\"1\" symbol=\"1\"><coords count=\"2\"><coord x=\"0\" y=\"0\"/><coord x=\"3\"");
  // (the history's copy of the third object comes later and is not changed)
  EXPECT_EQ(Text(map->Bytes()), expected);
  const ObjectsRead read = map->ReadObjects([](std::int32_t s) { return s == 102000; });
  ASSERT_EQ(read.Objects.size(), 2u);
  EXPECT_EQ(read.Objects[0].Key, 1);
  EXPECT_THROW(map->WriteSymbol({0}, 555000), std::invalid_argument);

  const std::string bare = Replaced(original, "<object type=\"1\" symbol=\"0\"><coords count=\"2\"><coord x=\"0\" y=\"0\"/><coord x=\"3\"",
                                    "<object type=\"1\"><coords count=\"2\"><coord x=\"0\" y=\"0\"/><coord x=\"3\"");
  const auto noSymbol = MapperMap::Open(TextBytes(bare));
  noSymbol->WriteSymbol({2}, 101000);
  EXPECT_EQ(Text(noSymbol->Bytes()), Replaced(bare, "<object type=\"1\"><coords count=\"2\"><coord x=\"0\" y=\"0\"/><coord x=\"3\"",
                                              "<object type=\"1\" symbol=\"0\"><coords count=\"2\"><coord x=\"0\" y=\"0\"/><coord x=\"3\""));
}

TEST(MapperWrite, MetresTextAndStartTags) {
  EXPECT_EQ(std::tuple(mapper::MetresText(3725), mapper::MetresText(3700), mapper::MetresText(-5),
                       mapper::MetresText(-10), mapper::MetresText(0)),
            std::tuple("372.5", "370", "-0.5", "-1", "0"));
  const std::string tag = "x<t a=\"1>2\" b='3'/>";
  const auto scanned = mapper::ScanStartTag(tag, 1);
  ASSERT_TRUE(scanned);
  EXPECT_TRUE(scanned->SelfClosing);
  EXPECT_EQ(scanned->End, static_cast<std::int64_t>(tag.size()) - 1);
  ASSERT_TRUE(scanned->Find("a"));
  EXPECT_EQ(tag.substr(scanned->Find("a")->ValueBegin, 3), "1>2");
  for (const char* bad : {"<t a=1>", "<t a=\"1>", "<t a>", "t>", "<t a=\"1\" /"})
    EXPECT_FALSE(mapper::ScanStartTag(bad, 0)) << bad;
}

}  // namespace
}  // namespace terrak

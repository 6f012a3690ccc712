// Today's formats through the program's own open path: OpenMapFile fills the model and the
// working copy, ReadObjects converts the objects into the model's pairs, heights and symbols go
// into the working copy as the format patches them, Save writes the map and the files beside it,
// and refused kinds leave everything as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "mainwindow/view_transform.h"
#include "mapfile/format_of_map.h"
#include "mapfile/convert_format_object.h"
#include "mapfile/map_formats.h"
#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "mapfile/mapper/mapper_map.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/open_format.h"
#include "platform/file_stream.h"
#include "map_files.h"
#include "mapbuild/mapper_build.h"
#include "mapbuild/ocad_build9.h"

namespace terrak {
namespace {

using namespace terrak::testing;

OpenResult OpenBytes(MapFiles& files, const std::string& name,
                     const std::vector<std::uint8_t>& bytes) {
  files.Map = files.Folder.File(name);
  return files.OpenBytes(bytes);
}

Ocad9MapBuilder Contours12(int version) {
  Ocad9MapBuilder b(version);
  b.ScaleParameters("\tm15000\tx592000\ty6639000\ta0\ti2033");
  b.AddSymbol({101000, 2, "Contour"});
  b.AddSymbol({103002, 2, "Form line"});
  b.AddSymbol({401000, 3, "Open land"});
  // Far off the paper's middle: beyond the 16 bits of the first reader's maps.
  b.AddObject({.Symbol = 101000,
               .Points = {CodedPoint::At(100000, -90000), CodedPoint::At(100100, -90000)},
               .Height = version == 9 ? 0 : 256000 * 25});
  b.AddObject({.Symbol = 103002, .Points = {CodedPoint::At(0, 0), CodedPoint::At(10, 10)}});
  b.AddObject({.Symbol = 401000, .Type = 3,
               .Points = {CodedPoint::At(-200000, 0), CodedPoint::At(0, 150000)}});
  return b;
}

TEST(FormatOpen, EveryOpenedMapCanDoWhatItsRegistryEntrySays) {
  MapperMapBuilder mapper;
  mapper.AddSymbol({.Id = 0, .Type = 2, .Code = "101", .Name = "Contour"});
  OcadMapBuilder ocad5(5), ocad7(7), ocad8(8);
  ocad5.Scale(10000);
  // The name of the format is printed for OCAD 8 on, never for OCAD 5 to 7.
  const std::vector<std::tuple<std::string, std::vector<std::uint8_t>, std::string>> maps = {
      {"a.ocd", ocad5.Build(), ""}, {"b.ocd", ocad7.Build(), ""},
      {"f.ocd", ocad8.Build(), "OCAD 8"}, {"c.ocd", Contours12(9).Build(), "OCAD 9"},
      {"d.ocd", Contours12(12).Build(), "OCAD 12"},
      {"e.omap", TextBytes(mapper.Build()), "OpenOrienteering Mapper XML"}};
  std::set<const MapFormatEntry*> entries;
  for (const auto& [name, bytes, formatName] : maps) {
    SCOPED_TRACE(name);
    MapFiles files;
    ASSERT_EQ(OpenBytes(files, name, bytes), OpenResult::Opened);
    EXPECT_EQ(FormatNameOf(files.Model), formatName);
    const MapFormatEntry* entry = RegistryEntryFor(RecogniseMapFile(bytes));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(files.Model.Capabilities(), entry->Capabilities);
    entries.insert(entry);
  }
  EXPECT_EQ(entries.size(), MapFormatRegistry().size());  // every entry met once
  EXPECT_EQ(NoMapCapabilities().CoordinateReach(), 32767);
}

TEST(FormatOpen, Ocad12FillsTheModelWithWideNumbersAndCoordinates) {
  MapFiles files;
  Ocad9MapBuilder b = Contours12(12);
  const std::vector<std::uint8_t> bytes = b.Build();
  ASSERT_EQ(OpenBytes(files, "map.ocd", bytes), OpenResult::Opened);
  EXPECT_EQ(ReadBytes(files.WorkingCopy), bytes);
  const MapModel& m = files.Model;
  EXPECT_EQ(FormatVersionOf(m), 12);
  EXPECT_EQ(std::tuple(m.SymbolNumberScale, m.MapScale), std::tuple(1000, 15000.0));
  EXPECT_TRUE(m.Georef.Known);
  EXPECT_EQ(m.Georef.EpsgCode, 32633);
  ASSERT_EQ(m.SymbolList.size(), 2u);  // the area symbol is left out, as for OCAD 5 to 8
  EXPECT_EQ(m.SymbolList[1].Symbol, 103002);
  EXPECT_EQ(m.SymbolList[1].Text, "103.2 Form line");
  EXPECT_EQ(SymbolNumberText(103002, 1000, 6), " 103.2");
  EXPECT_EQ(SymbolNumberText(101, 10, 6), "  10.1");
  // The view opens on the middle of every object of the map, at 0.5x.
  EXPECT_EQ(m.MapZoom, 5);
  EXPECT_EQ(m.MapOffsetX, ModelUnitsFromMicrometres((-2000000 + 1001000) / 2));

  files.Read({101000, 103002});
  ASSERT_EQ(m.MapObjects.size(), 2u);
  EXPECT_EQ(m.MapObjects[0].Height, 250);  // 25 m in 1/256 mm
  EXPECT_EQ(m.ObjectCoords[0].Points[0].At(), (TPair{ModelUnitsFromMicrometres(1000000),
                                                     ModelUnitsFromMicrometres(-900000)}));
  EXPECT_GT(m.MapObjects[0].MaxX, 32767);
  EXPECT_EQ(m.MapObjects[0].Key, b.Layout().Objects[0].EntryPos);
  EXPECT_EQ(m.MapMinX, ModelUnitsFromMicrometres(-2000000));  // the area widens the map

  // A selected number of the first reader's (10.1 = 101) is another symbol here.
  files.Read({101});
  EXPECT_TRUE(m.MapObjects.empty());
}

TEST(FormatOpen, HeightsAndSymbolsChangeTheWorkingCopyAsTheFormatPatchesIt) {
  MapFiles files;
  Ocad9MapBuilder b = Contours12(11);
  const std::vector<std::uint8_t> original = b.Build();
  ASSERT_EQ(OpenBytes(files, "map.ocd", original), OpenResult::Opened);
  files.Read({101000, 103002});
  files.Model.MapZoom = 2;
  WriteZoom(files.Model, files.WorkingCopy);
  WriteOffset(files.Model, files.WorkingCopy);
  EXPECT_FALSE(files.Model.MapModified);  // no view is kept in today's maps
  WriteTracedHeights(files.Model, files.WorkingCopy, {1}, 3725);
  WriteObjectSymbols(files.Model, files.WorkingCopy, {1}, 101000);
  EXPECT_TRUE(files.Model.MapModified);
  const std::vector<std::uint8_t> copy = ReadBytes(files.WorkingCopy);
  // Which bytes the format changes: Ocad9Write.AHeightPatchesExactlyItsObjectsHeightField and
  // ASymbolGoesIntoTheIndexEntryAndTheObject.
  EXPECT_EQ(copy, files.Model.Format->Bytes());
  EXPECT_NE(copy, original);
  EXPECT_EQ(files.Model.MapObjects[1].Symbol, 101000);
  ReadObjects(files.Model, files.WorkingCopy);
  EXPECT_EQ(files.Model.MapObjects[1].Height, 3725);
  EXPECT_EQ(ReadBytes(files.Map), original);  // the map waits for Save
  SaveMap(files.Model, files.WorkingCopy, files.Dialogs);
  EXPECT_EQ(ReadBytes(files.Map), copy);
}

TEST(FormatOpen, Ocad9HeightsLiveBesideTheMapAndSaveWritesThemThere) {
  MapFiles files;
  Ocad9MapBuilder b = Contours12(9);
  const std::vector<std::uint8_t> original = b.Build();
  ASSERT_EQ(OpenBytes(files, "old.ocd", original), OpenResult::Opened);
  files.Read({101000});
  WriteTracedHeights(files.Model, files.WorkingCopy, {0}, 1234);
  SaveMap(files.Model, files.WorkingCopy, files.Dialogs);
  EXPECT_EQ(ReadBytes(files.Map), original);
  ASSERT_TRUE(FileExists(files.Map + ".heights"));

  // Save As takes them along; opened again, the height is back.
  files.Model.MapFileName = files.Folder.File("copy.ocd");
  SaveMapAs(files.Model, files.WorkingCopy);
  MapFiles again;
  again.Model.MapFileName = files.Folder.File("copy.ocd");
  ASSERT_EQ(OpenMapFile(again.Model, again.WorkingCopy, again.Dialogs), OpenResult::Opened);
  again.Read({101000});
  EXPECT_EQ(again.Model.MapObjects[0].Height, 1234);
}

TEST(FormatOpen, MapperMapsReadTheirTagAndWriteIt) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101", .Name = "Contour"});
  b.AddSymbol({.Id = 1, .Type = 4, .Code = "401", .Name = "Open land"});
  b.AddObject({.Symbol = 0, .Tags = {{"ele", "250"}}, .Coords = {{0, 0}, {1000, -2000}}});
  b.AddObject({.Symbol = 0, .Tags = {{"name", "b"}}, .Coords = {{0, 0}, {2000, 2000}}});
  MapFiles files;
  const std::vector<std::uint8_t> original = TextBytes(b.Build());
  ASSERT_EQ(OpenBytes(files, "m.omap", original), OpenResult::Opened);
  ASSERT_EQ(files.Model.SymbolList.size(), 1u);
  EXPECT_EQ(files.Model.SymbolList[0].Text, "101 Contour");
  auto& map = dynamic_cast<mapper::MapperMap&>(*files.Model.Format);
  files.Read({101000});
  ASSERT_EQ(files.Model.MapObjects.size(), 2u);
  EXPECT_EQ(files.Model.MapObjects[0].Height, 2500);
  // (Mapper's y points down, the model's up:
  // MapperRead.CoordinatesAsTextWithBlanksOrElementsWithEveryFlag.)

  // A new length: the working copy is written anew, whole.
  WriteTracedHeights(files.Model, files.WorkingCopy, {0, 1}, 3125);
  const std::vector<std::uint8_t> copy = ReadBytes(files.WorkingCopy);
  EXPECT_EQ(copy, map.Bytes());
  const std::string text(copy.begin(), copy.end());
  EXPECT_NE(text.find("<t k=\"ele\">312.5</t>"), std::string::npos);
  EXPECT_NE(copy.size(), original.size());
}

// The extent of a map counts objects of every symbol, even a lone north-south line.
TEST(FormatOpen, AnUnselectedNorthSouthLineAloneStillGivesTheMapExtent) {
  Ocad9MapBuilder b(12);
  b.AddSymbol({101000, 2, "Contour"});
  b.AddSymbol({102000, 2, "Index contour"});
  b.AddObject({.Symbol = 102000, .Points = {CodedPoint::At(500, 0), CodedPoint::At(500, 900)}});
  MapFiles files;
  ASSERT_EQ(OpenBytes(files, "line.ocd", b.Build()), OpenResult::Opened);
  files.Read({101000});
  EXPECT_TRUE(files.Model.MapObjects.empty());
  EXPECT_EQ(files.Model.MapMinX, files.Model.MapMaxX);
  EXPECT_LT(files.Model.MapMinY, files.Model.MapMaxY);
}

// Each refusal names the file and what was wrong on its second line, and leaves the open map.
TEST(FormatOpen, ARefusalNamesTheFileAndWhatItIsOnTheNextLine) {
  MapFiles files;
  OcadMapBuilder six(6);
  six.AddSymbol(101, 2, "Contour");
  ASSERT_EQ(files.Open(six), OpenResult::Opened);
  const std::vector<std::uint8_t> workingCopy = ReadBytes(files.WorkingCopy);
  const std::string mapper = mapper::kNotMapperMessage;
  const std::string ocad = kNotOcadMessage;
  const auto utf16 = [](const std::string& text, bool mark) {
    std::vector<std::uint8_t> bytes;
    if (mark) bytes = {0xFF, 0xFE};
    for (char c : text) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), 0});
    return bytes;
  };
  const struct {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
    std::string FirstLine;
    std::string Reason;
  } cases[] = {
      {"map.omap", {0x1F, 0x8B, 8, 0, 0, 0}, mapper,
       "a gzip-compressed file, not a map: unpack it and open the map inside"},
      {"map.xmap", TextBytes("PK\x03\x04 map.omap"), mapper,
       "a zip archive, not a map: take the map out of it and open that"},
      {"map.OMAP", utf16("<?xml version=\"1.0\"?><map/>", true), mapper,
       "text in UTF-16, which Terrak does not read: Mapper saves its maps in UTF-8, so open the "
       "map in Mapper and save it again"},
      {"map.omap", utf16("<?xml version=\"1.0\"?><map/>", false), mapper,
       "text in UTF-16, which Terrak does not read: Mapper saves its maps in UTF-8, so open the "
       "map in Mapper and save it again"},
      {"map.ocd", {}, ocad, "the file is empty"},
      {"map.ocd", {0x1F, 0x8B, 8, 0}, ocad,
       "a gzip-compressed file, not a map: unpack it and open the map inside"},
      {"bad.omap", TextBytes("OMAP\x01\x02"),
       "This map is in the old binary format of OpenOrienteering Mapper, which Terrak cannot "
       "read; save it in Mapper as .omap or .xmap",
       ""},
      {"bad.omap", TextBytes("<?xml version=\"1.0\"?><map xmlns=\"http://openorienteering.org/"
                             "apps/mapper/xml/v2\" version=\"10\"></map>"),
       "This map was saved by OpenOrienteering Mapper in file version 10, which Terrak cannot read",
       ""},
      {"bad.omap", TextBytes("<?xml version=\"1.0\"?><kml/>"), mapper, ""},
      {"bad.omap", {0xAD, 0x0C, 0, 0, 0x0D, 0},
       "This map was saved by OCAD version 13, which Terrak cannot read", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Reason);
    files.Dialogs.Messages.clear();
    EXPECT_EQ(OpenBytes(files, c.Name, c.Bytes), OpenResult::NotOcad);
    ASSERT_EQ(files.Dialogs.Messages.size(), 1u);
    const std::string expected = c.FirstLine + "\n" + files.Map + ": " + c.Reason;
    EXPECT_EQ(files.Dialogs.Messages[0].Text.substr(0, expected.size()), expected);
    EXPECT_EQ(FormatVersionOf(files.Model), 6);
    EXPECT_EQ(ReadBytes(files.WorkingCopy), workingCopy);
  }
}

TEST(FormatConversion, WideCoordinatesStayWholeAndFlagsStayWithTheirPoints) {
  EXPECT_EQ(ModelUnitsFromMicrometres(1000), 57);        // 56.693
  EXPECT_EQ(ModelUnitsFromMicrometres(-1000), -57);
  EXPECT_EQ(ModelUnitsFromMicrometres(1'000'000'000), 56'693'000);  // 1 km of paper
  EXPECT_EQ(ModelUnitsFromMicrometres(std::int64_t{1} << 40), 2147483647);
  EXPECT_EQ(ModelUnitsFromMicrometres(-(std::int64_t{1} << 40)), -2147483647 - 1);
  // x values that OCAD 5 would use for its marker pairs are points like any other here.
  for (std::int32_t x : {-32768, -32767, -32766, -32765})
    EXPECT_EQ(ModelPairOf({static_cast<std::int32_t>(std::lround(x / 0.056693)), 0, 0}).X, x) << x;

  // A curve, a hole and their flags reach the model's points unchanged. (Heights beyond 16 bits
  // reach the model whole: HeightRange.TodaysFormatsHoldWhatTheirFieldHolds.)
  using namespace point_flag;
  const ModelElement e = ConvertFormatObject(
      {.Kind = ObjectKind::Area,
       .Points = {{0, 0, 0}, {1000, 0, kFirstControl}, {2000, 0, kSecondControl}, {3000, 0, 0},
                  {4000, 4000, kHoleStart}, {5000, 5000, kClose}}});
  EXPECT_EQ(e.Points, (std::vector<ModelPoint>{{0, 0, 0}, {57, 0, kFirstControl},
                                               {113, 0, kSecondControl}, {170, 0, 0},
                                               {227, 227, kHoleStart}, {283, 283, kClose}}));
  EXPECT_EQ(ConvertFormatObject({.Kind = ObjectKind::Text, .Points = {{0, 0, 0}}}).ObjectType, 4);
}

TEST(FormatOpen, TheViewCentreOfAWideMapIsNeitherWrappedNorClampedTo16Bits) {
  MapFiles files;
  Ocad9MapBuilder b = Contours12(12);
  ASSERT_EQ(OpenBytes(files, "map.ocd", b.Build()), OpenResult::Opened);
  MapWindowState view;
  files.Model.MapOffsetX = 100000;
  files.Model.MapOffsetY = -70000;
  SetUpView(view, files.Model, 500, 400);
  EXPECT_EQ(std::tuple(files.Model.MapOffsetX, files.Model.MapOffsetY), std::tuple(100000, -70000));
  EXPECT_EQ(view.VisibleWindow.Left, 100000 - 250 * view.UnitsPerPixel);
  EXPECT_EQ(WrapCentre(files.Model, 40000), 40000);
  EXPECT_EQ(WrapCentre(files.Model, std::int64_t{1} << 40), 1 << 30);
  // The first reader's maps keep the 16-bit wrap of their setup record.
  MapModel old;
  EXPECT_EQ(WrapCentre(old, 40000), 40000 - 65536);
}

}  // namespace
}  // namespace terrak

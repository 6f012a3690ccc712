// Undo Heights in every map format leaves the map byte for byte as it was, also where the
// height was held in a way the program would not write itself: an OCAD 5 to 7 field of 0 or
// below, an OCAD 10+ field between two tenths of a metre, a Mapper tag "90.0", a line of the
// OCAD 9 heights file that points at a moved object, a Mapper object that closed itself.
#include <gtest/gtest.h>

#include "mainwindow/file_commands.h"
#include "mainwindow/menu_commands.h"
#include "platform/file_stream.h"
#include "mapbuild/mapper_build.h"
#include "mapbuild/ocad_build9.h"
#include "mapbuild/ocad_builder.h"
#include "window_fixture.h"

namespace terrak {
namespace {

using namespace terrak::testing;

// Where two files part, for a short message: nothing when they are equal.
std::string Difference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  if (a == b) return {};
  std::size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  return std::to_string(a.size()) + " and " + std::to_string(b.size()) +
         " bytes, the first difference at " + std::to_string(at);
}

struct UndoWindow : WindowFixture {
  std::string MapFile;

  UndoWindow(const std::string& name, const std::vector<std::uint8_t>& bytes)
      : MapFile(Folder.File(name)) {
    WriteBytes(MapFile, bytes);
    SelectAllWhenAsked();
  }
  void Open() {
    Dialogs.FileAnswers.push_back(MapFile);
    MenuItemClick(Window, MenuItem::Openmap);
    MenuItemClick(Window, MenuItem::Addsymbols);
  }
  std::vector<std::uint8_t> WorkingCopy() const { return ReadBytes(App.Paths.WorkingCopy); }
  // The heights file Save would write beside the map (OCAD 9), empty when none.
  std::vector<std::uint8_t> SideFile() const {
    for (const SidecarFile& file : App.Model.Format ? App.Model.Format->Sidecars()
                                                    : std::vector<SidecarFile>{})
      return file.Bytes;
    return {};
  }
  void GiveHeight(const TracedObjectList& objects, const std::string& metres) {
    App.Window.TracedObjects = objects;
    App.Window.TraceExists = true;
    Dialogs.InputAnswers.push_back(metres);
    MenuItemClick(Window, MenuItem::Elevations);
  }
  // Two steps of heights over the objects, both undone: the map as it was opened.
  void ExpectUndoneByteForByte(const TracedObjectList& objects) {
    const std::vector<std::uint8_t> opened = WorkingCopy(), openedSide = SideFile();
    std::vector<std::pair<std::int32_t, bool>> heights;
    for (const TMapObject& o : App.Model.MapObjects) heights.emplace_back(o.Height, o.HasHeight);
    GiveHeight(objects, "123.4");
    GiveHeight({objects.front()}, "7.5");
    ASSERT_EQ(App.Heights.UndoSteps.size(), 2u);
    EXPECT_NE(WorkingCopy() == opened && SideFile() == openedSide, true) << "nothing written";
    MenuItemClick(Window, MenuItem::UndoHeights);
    MenuItemClick(Window, MenuItem::UndoHeights);
    EXPECT_EQ(Difference(WorkingCopy(), opened), "");
    const std::vector<std::uint8_t> side = SideFile();
    EXPECT_EQ(std::string(side.begin(), side.end()),
              std::string(openedSide.begin(), openedSide.end()));
    std::vector<std::pair<std::int32_t, bool>> after;
    for (const TMapObject& o : App.Model.MapObjects) after.emplace_back(o.Height, o.HasHeight);
    EXPECT_EQ(after, heights);
  }
};

std::vector<CodedPoint> Line6(std::int32_t y) {
  return {CodedPoint::At(0, y), CodedPoint::At(2000, y)};
}

TEST(UndoHeights, OcadFieldsOfNoHeightOrBelowZeroComeBackAsTheyWere) {
  for (int version : {5, 6, 7, 8}) {
    SCOPED_TRACE("OCAD " + std::to_string(version));
    OcadMapBuilder b(version);
    b.AddSymbol(1010, 2, "Contour");
    // The fields: none (0), below zero (not a height in 5 to 7), a height.
    for (std::int16_t field : {std::int16_t{0}, std::int16_t{-20}, std::int16_t{50}}) {
      if (version == 5)
        b.AddObject(Object5{.Symbol = 1010, .Height = field,
                            .Pairs = {{0, field * 10}, {1000, field * 10}}});
      else
        b.AddObject(Object6{.Symbol = 1010, .Height = field, .Points = Line6(field * 100)});
    }
    UndoWindow f("map.ocd", b.Build());
    f.Open();
    ASSERT_EQ(f.App.Model.MapObjects.size(), 3u);
    f.ExpectUndoneByteForByte({1, 0, 2});
  }
}

TEST(UndoHeights, OcadNineToTwentyEighteenPutBackTheFieldAndTheHeightsFile) {
  for (int version : {9, 10, 11, 12, 2018}) {
    SCOPED_TRACE("OCAD " + std::to_string(version));
    Ocad9MapBuilder b(version);
    b.AddSymbol({.Number = 101000, .Type = 2, .Description = "Contour"});
    // A field between two tenths of a metre (version 10: 12.34 m; later 1.0003 m).
    const std::int32_t odd = version == 10 ? 12345 : 256077;
    for (std::int32_t field : {0, odd, -7})
      b.AddObject({.Symbol = 101000, .Points = Line6(field / 100), .Height = version == 9 ? 0 : field});
    const std::vector<std::uint8_t> bytes = b.Build();
    UndoWindow f("map.ocd", bytes);
    if (version == 9) {
      // A height of the first object, and a line whose object has moved since: a change of
      // the second object's height drops it, its undo brings it back.
      const auto& objects = b.Layout().Objects;
      const std::string side = "terrak-heights 1\n" + std::to_string(objects[0].EntryPos) + " " +
                               std::to_string(objects[0].FilePos) + " 905\n" +
                               std::to_string(objects[1].EntryPos) + " 77 120\n";
      WriteBytes(f.MapFile + ".heights", TextBytes(side));
    }
    f.Open();
    ASSERT_EQ(f.App.Model.MapObjects.size(), 3u);
    f.ExpectUndoneByteForByte({1, 0, 2});
  }
}

TEST(UndoHeights, MapperTagsAndObjectsThatClosedThemselvesComeBackByteForByte) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101", .Name = "Contour"});
  const std::vector<MapperCoord> line{{0, 0}, {10000, 0}};
  b.AddObject({.Symbol = 0, .Tags = {{"ele", "90.0"}}, .Coords = line});  // not as written
  b.AddObject({.Symbol = 0, .Coords = line, .EmptyTagsElement = true});
  b.AddObject({.Symbol = 0, .Coords = line});
  b.AddObject({.Symbol = 0});
  b.AddObject({.Symbol = 0, .Tags = {{"x", "y"}}});
  std::string text = b.Build();
  // The last two objects without coordinates, as elements that close themselves.
  const std::string empty = "<object type=\"1\" symbol=\"0\"><coords count=\"0\"></coords></object>";
  const std::size_t first = text.find(empty);
  ASSERT_NE(first, std::string::npos);
  text.replace(first, empty.size(), "<object type=\"1\" symbol=\"0\"/>");
  const std::string tagged = "<tags><t k=\"x\">y</t></tags><coords count=\"0\"></coords></object>";
  const std::size_t second = text.find(tagged);
  ASSERT_NE(second, std::string::npos);
  text.replace(second, tagged.size(), "<tags><t k=\"x\">y</t></tags></object>");
  const std::size_t selfClosing = text.find("<object type=\"1\" symbol=\"0\"/>");

  UndoWindow f("map.omap", TextBytes(text));
  f.Open();
  ASSERT_EQ(f.App.Model.MapObjects.size(), 5u);
  // The height alone, then the object that closed itself: it opens for the tag and closes again.
  f.GiveHeight({3}, "12.5");
  const std::vector<std::uint8_t> written = f.WorkingCopy();
  const std::string opened =
      "<object type=\"1\" symbol=\"0\"><tags><t k=\"ele\">12.5</t></tags></object>";
  EXPECT_EQ(std::string(written.begin(), written.end()).substr(selfClosing, opened.size()), opened);
  MenuItemClick(f.Window, MenuItem::UndoHeights);
  EXPECT_EQ(Difference(f.WorkingCopy(), TextBytes(text)), "");
  f.ExpectUndoneByteForByte({0, 1, 2, 3, 4});
}

}  // namespace
}  // namespace terrak

// The main window with a Mapper map: the height tag is asked once, with the numeric tag keys and
// their counts, remembered in the settings file, and the contours that carry heights are
// selected at once, so the 3D view needs nothing more.
#include <gtest/gtest.h>

#include "mainwindow/file_commands.h"
#include "mainwindow/height_tag_choice.h"
#include "mainwindow/menu_commands.h"
#include "mapfile/settings_io.h"
#include "platform/file_stream.h"
#include "mapbuild/mapper_build.h"
#include "window_fixture.h"

namespace terrak {
namespace {

using namespace terrak::testing;

struct TagHost : FakeHost {
  std::vector<HeightTagQuestion> Asked;
  std::optional<std::size_t> Answer;
  std::optional<std::size_t> AskHeightTag(const HeightTagQuestion& question) override {
    Asked.push_back(question);
    return Answer;
  }
};

struct MapperWindow : WindowFixture {
  TagHost Tags;
  MapWindow TagWindow{App, Canvas, Dialogs, Tags};
  std::string Map = Folder.File("forest.omap");

  MapperWindow() {
    MapperMapBuilder b;
    b.AddSymbol({.Id = 0, .Type = 2, .Code = "101", .Name = "Contour"});
    b.AddSymbol({.Id = 1, .Type = 2, .Code = "506", .Name = "Path"});
    b.AddObject({.Symbol = 0, .Tags = {{"f1", "250"}, {"ele", "7"}}, .Coords = {{0, 0}, {1000, 0}}});
    b.AddObject({.Symbol = 0, .Tags = {{"f1", "255"}}, .Coords = {{0, 100}, {1000, 100}}});
    b.AddObject({.Symbol = 1, .Tags = {{"name", "old road"}}, .Coords = {{0, 0}, {0, 900}}});
    WriteBytes(Map, TextBytes(b.Build()));
  }
  void Open() {
    Dialogs.FileAnswers.push_back(Map);
    MenuItemClick(TagWindow, MenuItem::Openmap);
  }
  std::string Tag() const {
    return std::as_const(*App.Model.Format).HeightTags()->HeightTag();
  }
};

TEST(HeightTagChoice, AskedOnceWithTheKeysAndRememberedInTheSettingsFile) {
  MapperWindow f;
  f.Tags.Answer = 0;
  f.Open();
  ASSERT_EQ(f.Tags.Asked.size(), 1u);
  EXPECT_EQ(HeightTagRows(f.Tags.Asked[0]),
            (std::vector<std::string>{"f1 (2 objects)", "ele (1 object)"}));
  EXPECT_EQ(f.Tags.Asked[0].Proposed, 1u);  // the usual key is offered first
  EXPECT_EQ(f.Tag(), "f1");
  EXPECT_EQ(ReadText(f.App.Paths.SettingsFile).find("[HeightTags]\n" + f.Map + "=f1"), 0u)
      << ReadText(f.App.Paths.SettingsFile);

  // The contours carry heights in that tag: they are selected and read, the path is not.
  EXPECT_TRUE(f.App.Model.SymbolsSelected);
  ASSERT_EQ(f.App.Model.SelectedSymbols.size(), 1u);
  EXPECT_EQ(f.App.Model.SelectedSymbols[0].Symbol, 101000);
  ASSERT_EQ(f.App.Model.MapObjects.size(), 2u);
  EXPECT_EQ(f.App.Model.MapObjects[1].Height, 2550);

  // Opened again (a new run reads the settings): not asked, the remembered tag is used.
  f.Dialogs.MessageAnswers = {DialogButton::No};
  f.Open();
  EXPECT_EQ(std::tuple(f.Tags.Asked.size(), f.Tag()), std::tuple(1u, "f1"));
}

TEST(HeightTagChoice, CancelKeepsTheUsualKeyRemembersNothingAndSaysSo) {
  MapperWindow f;
  f.Open();
  ASSERT_EQ(f.Tags.Asked.size(), 1u);
  EXPECT_EQ(f.Tag(), "ele");
  EXPECT_FALSE(LookUpHeightTag(f.App.Settings, f.Map));
  EXPECT_EQ(f.Tags.StatusMessages,
            std::vector<std::string>{
                "Heights read from the tag \"ele\"; Edit > Choose Height Tag picks another"});
  // Only one of the two contours has "ele": no symbol is selected for the user.
  EXPECT_FALSE(f.App.Model.SymbolsSelected);

  // A name the settings file cannot hold as a key is used but not remembered.
  Settings settings;
  for (const std::string& odd : {f.Folder.File("a=b.omap"), std::string("#a.omap"),
                                 std::string(";a.omap"), std::string("[a].omap")}) {
    RememberHeightTag(settings, f.App.Paths.SettingsFile, odd, "f1");
    EXPECT_FALSE(FileExists(f.App.Paths.SettingsFile)) << odd;
    EXPECT_FALSE(LookUpHeightTag(settings, odd)) << odd;
  }
}

TEST(HeightTagChoice, OcadMapsAndMapsWithoutNumericTagsAreNotAsked) {
  MapperWindow f;
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101", .Name = "Contour"});
  b.AddObject({.Symbol = 0, .Tags = {{"name", "x"}}, .Coords = {{0, 0}, {1000, 0}}});
  WriteBytes(f.Map, TextBytes(b.Build()));
  f.Open();
  EXPECT_TRUE(f.Tags.Asked.empty());
  EXPECT_EQ(f.Tag(), "Elevation");
}

TEST(HeightTagChoice, WithoutAUsualKeyCancelSaysThereAreNoHeightsAndTheMenuChoosesLater) {
  MapperWindow f;
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101", .Name = "Contour"});
  b.AddObject({.Symbol = 0, .Tags = {{"hoehe", "250"}}, .Coords = {{0, 0}, {1000, 0}}});
  b.AddObject({.Symbol = 0, .Tags = {{"hoehe", "255.5"}}, .Coords = {{0, 100}, {1000, 100}}});
  WriteBytes(f.Map, TextBytes(b.Build()));
  EXPECT_FALSE(f.App.Menu.IsEnabled(MenuItem::ChooseHeightTag));
  f.Open();
  ASSERT_EQ(f.Tags.Asked.size(), 1u);
  EXPECT_EQ(f.Tags.LastStatusMessage(),
            "No height tag chosen: the contours have no heights; Edit > Choose Height Tag picks one");
  EXPECT_FALSE(f.App.Model.SymbolsSelected);
  ASSERT_TRUE(f.App.Menu.IsEnabled(MenuItem::ChooseHeightTag));

  // The menu asks again, offering the map's tag; Cancel there changes nothing.
  MenuItemClick(f.TagWindow, MenuItem::ChooseHeightTag);
  ASSERT_EQ(f.Tags.Asked.size(), 2u);
  EXPECT_EQ(HeightTagRows(f.Tags.Asked[1]), std::vector<std::string>{"hoehe (2 objects)"});
  EXPECT_EQ(f.Tag(), "Elevation");
  // OK: the heights come from that tag at once, the contours are selected and drawn, and the
  // choice is remembered for the next opening.
  f.Tags.Answer = 0;
  const int invalidations = f.Tags.Invalidations;
  MenuItemClick(f.TagWindow, MenuItem::ChooseHeightTag);
  EXPECT_EQ(f.Tag(), "hoehe");
  EXPECT_EQ(LookUpHeightTag(f.App.Settings, f.Map), "hoehe");
  EXPECT_TRUE(f.App.Model.SymbolsSelected);
  ASSERT_EQ(f.App.Model.MapObjects.size(), 2u);
  EXPECT_EQ(f.App.Model.MapObjects[1].Height, 2555);
  EXPECT_TRUE(f.App.Menu.IsEnabled(MenuItem::Redraw));
  EXPECT_EQ(f.Tags.Invalidations, invalidations + 1);
  EXPECT_EQ(f.Tags.LastStatusMessage(), "Heights read from the tag \"hoehe\"");

  // An OCAD map has no tags: the item is not usable with it.
  f.Dialogs.MessageAnswers = {DialogButton::No};
  f.Dialogs.FileAnswers.push_back(TERRAK_SOURCE_DIR "/samples/demo7.ocd");
  MenuItemClick(f.TagWindow, MenuItem::Openmap);
  EXPECT_FALSE(f.App.Menu.IsEnabled(MenuItem::ChooseHeightTag));
}

}  // namespace
}  // namespace terrak

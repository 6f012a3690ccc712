// Contour Settings: the roles kept per map as one line of the settings file, the dialog's rows
// and what its answer changes.
#include <gtest/gtest.h>

#include "mainwindow/contour_settings.h"
#include "mainwindow/menu_commands.h"
#include "mapfile/settings_file.h"
#include "window_fixture.h"

namespace terrak {
namespace {

using namespace terrak::testing;
using heights::ContourRole;
using heights::ContourRoles;

TEST(ContourSettings, RolesSurviveTheirTextADamagedOneIsRefusedAndAnAnswerKeepsTheOthers) {
  ContourRoles roles{.Contours = {101000, 101001}, .IndexContours = {102000}, .FormLines = {},
                     .SlopeLines = {-5}, .Interval = 2.5, .IndexEvery = 4};
  const std::string text = ContourRolesText(roles);
  EXPECT_EQ(text, "contours:101000,101001 index:102000 form: slope:-5 interval:2.5 every:4");
  EXPECT_EQ(ParseContourRolesText(text), roles);
  // A tenth of a millimetre more or less would be another interval.
  roles.Interval = 0.1 + 0.2;
  EXPECT_EQ(ParseContourRolesText(ContourRolesText(roles))->Interval, roles.Interval);

  for (const char* damaged : {"contours:101x", "interval:0", "interval:-5", "every:0",
                              "every:101", "interval:nan", "shapes:1", "contours 101"})
    EXPECT_FALSE(ParseContourRolesText(damaged)) << damaged;

  // The dialog's answer sets the shown symbols and keeps the others.
  MapModel model;
  model.SymbolList = {{101000, "101.0 Contour", ObjectKind::Line},
                      {103000, "103.0 Form line", ObjectKind::Line},
                      {506000, "506.0 Footpath", ObjectKind::Line}};
  model.SelectedSymbols = {{101000, kBlack}, {103000, kBlack}, {506000, kBlack}};
  // 101.1 is not selected, so not shown.
  const ContourRoles before{.Contours = {101000, 101001}, .IndexContours = {}, .FormLines = {103000}, .SlopeLines = {}};
  ContourSettingsQuestion question = ContourSettingsQuestionOf(model, before);
  ASSERT_EQ(question.Rows.size(), 3u);
  EXPECT_EQ(question.Rows[0], (ContourSettingsRow{101000, "101.0 Contour", ContourRole::Contour}));
  EXPECT_EQ(question.Rows[1].Role, ContourRole::FormLine);
  EXPECT_EQ(question.Rows[2].Role, ContourRole::None);

  question.Rows[1].Role = ContourRole::IndexContour;
  question.Rows[2].Role = ContourRole::SlopeLine;
  question.Interval = 2.0;
  const std::optional<ContourRoles> after = RolesFromAnswer(before, question);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->Contours, (std::vector<std::int32_t>{101001, 101000}));
  EXPECT_TRUE(after->FormLines.empty());
  EXPECT_EQ(std::tuple(after->IndexContours, after->SlopeLines, after->Interval),
            std::tuple(std::vector<std::int32_t>{103000}, std::vector<std::int32_t>{506000}, 2.0));

  question.Rows[0].Role = ContourRole::None;
  EXPECT_EQ(RolesFromAnswer(before, question)->Contours, std::vector<std::int32_t>{101001});
  question.Interval = 0;
  EXPECT_FALSE(RolesFromAnswer(before, question));
}

struct SettingsHost : FakeHost {
  std::vector<ContourSettingsQuestion> Asked;
  std::function<void(ContourSettingsQuestion&)> Answer;
  std::optional<ContourSettingsQuestion> AskContourSettings(
      const ContourSettingsQuestion& question) override {
    Asked.push_back(question);
    if (!Answer) return std::nullopt;
    ContourSettingsQuestion answer = question;
    Answer(answer);
    return answer;
  }
};

TEST(ContourSettings, TheChoiceIsRememberedForItsMapAloneAndCancelKeepsIt) {
  WindowFixture f;
  SettingsHost host;
  MapWindow w{f.App, f.Canvas, f.Dialogs, host};
  f.App.Model.SymbolNumberScale = 1000;
  f.App.Model.SymbolList = {{101000, "101 Contour", ObjectKind::Line},
                            {102000, "102 Index contour", ObjectKind::Line},
                            {104000, "104 Slope line", ObjectKind::Line}};
  f.App.Model.SelectedSymbols = {{101000, kBlack}, {102000, kBlack}, {104000, kBlack}};
  f.App.Model.MapFileName = f.App.Window.OpenMapName = "/maps/forest.ocd";

  // Nothing chosen yet: the orienteering numbers decide.
  MenuItemClick(w, MenuItem::ContourSettings);
  ASSERT_EQ(host.Asked.size(), 1u);
  EXPECT_EQ(std::tuple(host.Asked[0].Rows[1].Role, host.Asked[0].Rows[2].Role,
                       host.Asked[0].Interval, host.Asked[0].IndexEvery),
            std::tuple(ContourRole::IndexContour, ContourRole::SlopeLine, 5.0, 5));

  host.Answer = [](ContourSettingsQuestion& a) {
    a.Rows[1].Role = ContourRole::Contour;
    a.Interval = 2.5;
    a.IndexEvery = 4;
  };
  MenuItemClick(w, MenuItem::ContourSettings);
  const ContourRoles chosen = CurrentContourRoles(f.App);
  EXPECT_EQ(chosen.Contours, (std::vector<std::int32_t>{101000, 102000}));
  EXPECT_TRUE(chosen.IndexContours.empty());
  EXPECT_EQ(chosen.Interval, 2.5);
  // On disk at once, under the map's name.
  EXPECT_EQ(SettingsFile::Open(f.App.Paths.SettingsFile).ReadString("ContourRoles",
                                                                     "/maps/forest.ocd"),
            ContourRolesText(chosen));

  host.Answer = nullptr;  // Cancel
  MenuItemClick(w, MenuItem::ContourSettings);
  EXPECT_EQ(CurrentContourRoles(f.App), chosen);
  EXPECT_EQ(host.Asked.back().Interval, 2.5);

  f.App.Model.MapFileName = "/maps/other.ocd";
  EXPECT_EQ(CurrentContourRoles(f.App).IndexContours, std::vector<std::int32_t>{102000});
}

}  // namespace
}  // namespace terrak

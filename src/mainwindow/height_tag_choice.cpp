#include "mainwindow/height_tag_choice.h"

#include <algorithm>
#include <map>

#include "mainwindow/file_commands.h"
#include "mapfile/format_of_map.h"
#include "mapfile/map_format.h"
#include "mapfile/settings_io.h"

namespace terrak {

namespace {

bool HasKey(const HeightTagQuestion& question, const std::string& key) {
  return std::any_of(question.Keys.begin(), question.Keys.end(),
                     [&](const TagKeyCount& k) { return k.Key == key; });
}

// What a cancelled question leaves: heights from the map's usual tag, or none at all.
std::string CancelledTagMessage(const HeightTagQuestion& question, const std::string& tag) {
  if (HasKey(question, tag))
    return "Heights read from the tag \"" + tag + "\"; Edit > Choose Height Tag picks another";
  return "No height tag chosen: the contours have no heights; Edit > Choose Height Tag picks one";
}

void UseHeightTag(AppState& app, HeightTagChoice& map, const std::string& key) {
  map.SetHeightTag(key);
  RememberHeightTag(app.Settings, app.Paths.SettingsFile, app.Model.MapFileName, key);
}

}  // namespace

std::vector<std::string> HeightTagRows(const HeightTagQuestion& question) {
  std::vector<std::string> rows;
  for (const TagKeyCount& key : question.Keys)
    rows.push_back(key.Key + " (" + std::to_string(key.Objects) +
                   (key.Objects == 1 ? " object)" : " objects)"));
  return rows;
}

HeightTagQuestion HeightTagQuestionOf(const HeightTagChoice& map) {
  HeightTagQuestion question{map.HeightTagKeys(), 0};
  for (std::size_t i = 0; i < question.Keys.size(); ++i)
    if (question.Keys[i].Key == map.HeightTag()) question.Proposed = i;
  return question;
}

void ChooseHeightTagAtOpening(MapWindow& w) {
  AppState& app = w.App;
  HeightTagChoice* map = HeightTagsOf(app.Model);
  app.Menu.Enable(MenuItem::ChooseHeightTag, map != nullptr);
  if (!map) return;
  if (const std::optional<std::string> remembered =
          LookUpHeightTag(app.Settings, app.Model.MapFileName)) {
    map->SetHeightTag(*remembered);
    return;
  }
  const HeightTagQuestion question = HeightTagQuestionOf(*map);
  if (question.Keys.empty()) return;
  const std::optional<std::size_t> row = w.Host.AskHeightTag(question);
  if (!row || *row >= question.Keys.size()) {
    w.Host.ShowStatusMessage(CancelledTagMessage(question, map->HeightTag()));
    return;
  }
  UseHeightTag(app, *map, question.Keys[*row].Key);
}

void ChooseHeightTagClick(MapWindow& w) {
  AppState& app = w.App;
  HeightTagChoice* map = HeightTagsOf(app.Model);
  if (!map || !app.Window.MapOpen()) return;
  const HeightTagQuestion question = HeightTagQuestionOf(*map);
  if (question.Keys.empty()) {
    w.Host.ShowStatusMessage("No line of this map has a tag with a number to read heights from");
    return;
  }
  const std::optional<std::size_t> row = w.Host.AskHeightTag(question);
  if (!row || *row >= question.Keys.size()) return;
  const std::string key = question.Keys[*row].Key;
  UseHeightTag(app, *map, key);
  SelectContoursWithHeights(app);
  LoadSelectedObjects(w);
  w.Host.Invalidate();
  w.Host.ShowStatusMessage("Heights read from the tag \"" + key + "\"");
}

bool SelectContoursWithHeights(AppState& app) {
  MapModel& model = app.Model;
  if (!model.Capabilities().PicksContoursWithHeights) return false;
  const auto onMap = [&](const TSelectedSymbol& s) {
    return std::any_of(model.SymbolList.begin(), model.SymbolList.end(),
                       [&](const TmapSymbol& m) { return m.Symbol == s.Symbol; });
  };
  if (std::any_of(model.SelectedSymbols.begin(), model.SelectedSymbols.end(), onMap))
    return false;
  // Every object of each line symbol, with or without a height.
  std::map<std::int32_t, std::pair<int, int>> counts;  // symbol: objects, with a height
  const ObjectsRead read = model.Format->ReadObjects([&](std::int32_t symbol) {
    return std::any_of(model.SymbolList.begin(), model.SymbolList.end(), [&](const TmapSymbol& m) {
      return m.Symbol == symbol && m.Kind == ObjectKind::Line;
    });
  });
  for (const FormatObject& object : read.Objects) {
    if (object.Kind != ObjectKind::Line) continue;
    auto& [objects, withHeight] = counts[object.Symbol];
    ++objects;
    if (object.HasHeight) ++withHeight;
  }
  std::vector<TSelectedSymbol> chosen;
  for (const TmapSymbol& symbol : model.SymbolList) {
    const auto found = counts.find(symbol.Symbol);
    if (found == counts.end() || found->second.first != found->second.second) continue;
    const std::optional<Colour> colour = LookUpSymbolColour(app.Settings, symbol.Symbol);
    chosen.push_back({symbol.Symbol, colour.value_or(kBlack)});
  }
  if (chosen.empty()) return false;
  model.SelectedSymbols = std::move(chosen);
  model.SymbolsSelected = true;
  return true;
}

}  // namespace terrak

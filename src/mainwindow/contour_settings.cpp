#include "mainwindow/contour_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

#include "heights/model_heights.h"
#include "mapfile/settings_io.h"

namespace terrak {

namespace {

using heights::ContourRole;
using heights::ContourRoles;

struct RoleList {
  const char* Name;
  ContourRole Role;
  std::vector<std::int32_t> ContourRoles::*List;
};

constexpr RoleList kRoleLists[] = {
    {"contours", ContourRole::Contour, &ContourRoles::Contours},
    {"index", ContourRole::IndexContour, &ContourRoles::IndexContours},
    {"form", ContourRole::FormLine, &ContourRoles::FormLines},
    {"slope", ContourRole::SlopeLine, &ContourRoles::SlopeLines},
};

std::string NumberText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

template <typename T>
std::optional<T> ParseNumber(const std::string& text) {
  T value{};
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

bool ValidInterval(double interval) {
  return std::isfinite(interval) && interval > 0 && interval <= kMaxInterval;
}

bool ValidIndexEvery(std::int32_t every) { return every >= 1 && every <= kMaxIndexEvery; }

void RemoveSymbol(ContourRoles& roles, std::int32_t symbol) {
  for (const RoleList& list : kRoleLists) std::erase(roles.*list.List, symbol);
}

}  // namespace

std::string ContourRolesText(const ContourRoles& roles) {
  std::string text;
  for (const RoleList& list : kRoleLists) {
    text += list.Name;
    text += ':';
    const std::vector<std::int32_t>& symbols = roles.*list.List;
    for (std::size_t i = 0; i < symbols.size(); ++i) {
      if (i > 0) text += ',';
      text += std::to_string(symbols[i]);
    }
    text += ' ';
  }
  return text + "interval:" + NumberText(roles.Interval) +
         " every:" + std::to_string(roles.IndexEvery);
}

std::optional<ContourRoles> ParseContourRolesText(const std::string& text) {
  ContourRoles roles;
  std::istringstream words(text);
  std::string word;
  while (words >> word) {
    const std::size_t colon = word.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const std::string name = word.substr(0, colon), value = word.substr(colon + 1);
    if (name == "interval") {
      const std::optional<double> interval = ParseNumber<double>(value);
      if (!interval || !ValidInterval(*interval)) return std::nullopt;
      roles.Interval = *interval;
      continue;
    }
    if (name == "every") {
      const std::optional<std::int32_t> every = ParseNumber<std::int32_t>(value);
      if (!every || !ValidIndexEvery(*every)) return std::nullopt;
      roles.IndexEvery = *every;
      continue;
    }
    const auto list = std::find_if(std::begin(kRoleLists), std::end(kRoleLists),
                                   [&](const RoleList& l) { return name == l.Name; });
    if (list == std::end(kRoleLists)) return std::nullopt;
    std::istringstream numbers(value);
    std::string number;
    while (std::getline(numbers, number, ',')) {
      const std::optional<std::int32_t> symbol = ParseNumber<std::int32_t>(number);
      if (!symbol) return std::nullopt;
      (roles.*list->List).push_back(*symbol);
    }
  }
  return roles;
}

ContourRoles CurrentContourRoles(const AppState& app) {
  if (const std::optional<std::string> text =
          LookUpContourRolesText(app.Settings, app.Model.MapFileName))
    if (const std::optional<ContourRoles> roles = ParseContourRolesText(*text)) return *roles;
  return heights::DefaultContourRoles(app.Model);
}

ContourSettingsQuestion ContourSettingsQuestionOf(const MapModel& model,
                                                  const ContourRoles& roles) {
  ContourSettingsQuestion question;
  question.Interval = roles.Interval;
  question.IndexEvery = roles.IndexEvery;
  for (const TSelectedSymbol& selected : model.SelectedSymbols) {
    ContourSettingsRow row{selected.Symbol, std::to_string(selected.Symbol),
                           roles.RoleOf(selected.Symbol)};
    for (const TmapSymbol& symbol : model.SymbolList)
      if (symbol.Symbol == selected.Symbol) row.Text = symbol.Text;
    question.Rows.push_back(std::move(row));
  }
  return question;
}

std::optional<ContourRoles> RolesFromAnswer(const ContourRoles& before,
                                            const ContourSettingsQuestion& answer) {
  if (!ValidInterval(answer.Interval) || !ValidIndexEvery(answer.IndexEvery)) return std::nullopt;
  ContourRoles roles = before;
  roles.Interval = answer.Interval;
  roles.IndexEvery = answer.IndexEvery;
  for (const ContourSettingsRow& row : answer.Rows) {
    RemoveSymbol(roles, row.Symbol);
    for (const RoleList& list : kRoleLists)
      if (list.Role == row.Role) (roles.*list.List).push_back(row.Symbol);
  }
  return roles;
}

void ContourSettingsClick(MapWindow& w) {
  AppState& app = w.App;
  if (!app.Window.MapOpen()) return;
  const ContourRoles before = CurrentContourRoles(app);
  const std::optional<ContourSettingsQuestion> answer =
      w.Host.AskContourSettings(ContourSettingsQuestionOf(app.Model, before));
  if (!answer) return;
  const std::optional<ContourRoles> roles = RolesFromAnswer(before, *answer);
  if (!roles) {
    w.Host.ShowStatusMessage("The contour interval must lie above 0 and up to 1000 m, an index "
                             "contour come every 1st to 100th level; nothing was changed.");
    return;
  }
  RememberContourRolesText(app.Settings, app.Paths.SettingsFile, app.Model.MapFileName,
                           ContourRolesText(*roles));
}

}  // namespace terrak

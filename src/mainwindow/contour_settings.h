#pragma once
// Contour Settings: which of the selected symbols are contours, index contours, form lines and
// slope lines, the interval and how often an index contour comes. Kept per map in the settings
// file; a map without a choice gets the roles its orienteering symbol numbers give.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/contour_settings_question.h"
#include "mainwindow/map_window.h"

namespace terrak {

inline constexpr double kMaxInterval = 1000.0;
inline constexpr std::int32_t kMaxIndexEvery = 100;

// The roles as one line of the settings file ("contours:101000,101001 index:102000 form:
// slope: interval:5 every:5"), and back; nothing for a damaged line.
std::string ContourRolesText(const heights::ContourRoles& roles);
std::optional<heights::ContourRoles> ParseContourRolesText(const std::string& text);

// The roles of the open map: as remembered for it, else its defaults.
heights::ContourRoles CurrentContourRoles(const AppState& app);

// The dialog's rows: every selected symbol of the open map with the role roles give it.
ContourSettingsQuestion ContourSettingsQuestionOf(const MapModel& model,
                                                  const heights::ContourRoles& roles);
// The roles after the dialog: the rows' roles for the selected symbols, the roles of symbols not
// shown kept as they were. Nothing when interval or index every are out of range.
std::optional<heights::ContourRoles> RolesFromAnswer(const heights::ContourRoles& before,
                                                     const ContourSettingsQuestion& answer);

// Edit > Contour Settings: asks, then remembers the answer for the map.
void ContourSettingsClick(MapWindow& w);

}  // namespace terrak

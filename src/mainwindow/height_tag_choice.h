#pragma once
// Which tag of a Mapper map holds the contours' heights: remembered for the map in the settings
// file, or asked when the map is opened (the numeric tag keys on line objects, with how many
// objects carry each), the usual keys proposed first.
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/map_window.h"
#include "mapfile/map_format.h"

namespace terrak {

struct HeightTagQuestion {
  std::vector<TagKeyCount> Keys;  // most carried first
  std::size_t Proposed = 0;               // the row offered first
};

inline constexpr const char* kHeightTagCaption = "Heights of the contours";
inline constexpr const char* kHeightTagPrompt = "Tag holding heights in metres:";

// "f321610 (103 objects)", one row per key.
std::vector<std::string> HeightTagRows(const HeightTagQuestion& question);

// The question for a map: the proposed row is the map's default tag when it has it.
HeightTagQuestion HeightTagQuestionOf(const HeightTagChoice& map);

// At opening: a Mapper map reads its heights from the remembered tag, or asks the user when the
// map has numeric tags and none was remembered; the answer is remembered. Cancel leaves the tag
// the map was read with (the first usual key it has, else "Elevation") and says in the status
// bar what that means. "Choose Height Tag" is usable for Mapper maps only.
void ChooseHeightTagAtOpening(MapWindow& w);

// "Choose Height Tag": asks again which tag holds the heights, remembers the answer and reads
// the objects again with their heights from that tag.
void ChooseHeightTagClick(MapWindow& w);

// A map of today's formats opened without any of its symbols selected: the line symbols whose
// every object carries a height (the contours) are selected, so the 3D view can be opened at
// once. Returns whether it selected any.
bool SelectContoursWithHeights(AppState& app);

}  // namespace terrak

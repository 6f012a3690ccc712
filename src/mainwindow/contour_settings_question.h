#pragma once
// What the Contour Settings dialog shows and answers: the selected symbols with their roles,
// the interval and how often an index contour comes.
#include <cstdint>
#include <string>
#include <vector>

#include "heights/contour_roles.h"

namespace terrak {

inline constexpr const char* kContourSettingsCaption = "Contour Settings";

// One selected symbol in the dialog.
struct ContourSettingsRow {
  std::int32_t Symbol = 0;
  std::string Text;  // as the symbol list shows it
  heights::ContourRole Role = heights::ContourRole::None;
  friend bool operator==(const ContourSettingsRow&, const ContourSettingsRow&) = default;
};

struct ContourSettingsQuestion {
  std::vector<ContourSettingsRow> Rows;
  double Interval = heights::kDefaultInterval;
  std::int32_t IndexEvery = heights::kDefaultIndexEvery;
};

}  // namespace terrak

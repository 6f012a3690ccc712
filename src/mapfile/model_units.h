#pragma once
// The model's unit of paper, 1/1440 inch, in micrometres: what turns the model's coordinates
// into those of the map's drawing.
namespace terrak {

inline constexpr double kPaperMicrometresPerModelUnit = 25400.0 / 1440.0;

}  // namespace terrak

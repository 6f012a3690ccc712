#include "grid/height_base.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <set>

#include "common/numtext.h"

namespace terrak {

namespace {

constexpr std::int64_t kLowestCell = 1;
constexpr std::int64_t kHighestCell = std::numeric_limits<std::int16_t>::max();

bool IsPainted(const MapModel& model, std::size_t i) {
  const TMapObject& object = model.MapObjects[i];
  if (!object.HasHeight || i >= model.ObjectCoords.size()) return false;
  if (!IsDrawnAsLine(model.ObjectCoords[i].Kind)) return false;
  return std::any_of(model.SelectedSymbols.begin(), model.SelectedSymbols.end(),
                     [&](const TSelectedSymbol& s) { return s.Symbol == object.Symbol; });
}

std::string Metres(std::int64_t tenths) {
  return FormatFixed(static_cast<double>(tenths) / 10.0, 0, 1) + " m";
}

}  // namespace

HeightBaseChoice ChooseHeightBase(const MapModel& model) {
  std::set<std::int64_t> levels;
  for (std::size_t i = 0; i < model.MapObjects.size(); ++i)
    if (IsPainted(model, i)) levels.insert(model.MapObjects[i].Height);
  HeightBaseChoice choice;
  if (levels.empty()) return choice;
  choice.Lowest = *levels.begin();
  choice.Highest = *levels.rbegin();
  for (auto level = levels.begin(); std::next(level) != levels.end(); ++level)
    choice.Step = std::max(choice.Step, *std::next(level) - *level);

  const std::int64_t span = choice.Highest - choice.Lowest;
  const bool heldAsTheyAre = choice.Lowest >= kLowestCell && choice.Highest <= kHighestCell;
  const bool roomAround = choice.Lowest - choice.Step >= kLowestCell &&
                          choice.Highest + choice.Step <= kHighestCell;
  // Where a base could not give the extrapolation its room either, the heights stay as they are.
  if (heldAsTheyAre && (roomAround || span + 2 * choice.Step > kMaxGridHeightSpan)) return choice;
  if (span > kMaxGridHeightSpan) {
    choice.Fits = false;
    return choice;
  }
  // The lowest height goes half the spare room above the lowest cell value. An even base keeps
  // the rounding of halves to even as it would be with the heights as they are.
  const std::int64_t spare = kMaxGridHeightSpan - span;
  std::int64_t base = choice.Lowest - kLowestCell - spare / 2;
  if (base % 2 != 0 && spare > 0) base += spare / 2 > 0 ? 1 : -1;
  base = std::clamp<std::int64_t>(base, std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max());
  // Only heights of a quarter of a million kilometres could be pushed out by the clamp.
  if (choice.Lowest - base < kLowestCell || choice.Highest - base > kHighestCell) {
    choice.Fits = false;
    return choice;
  }
  choice.Base = static_cast<std::int32_t>(base);
  return choice;
}

std::string HeightSpanTooLargeMessage(const HeightBaseChoice& choice) {
  return "The heights of the selected contours span " + Metres(choice.Highest - choice.Lowest) +
         ", from " + Metres(choice.Lowest) + " to " + Metres(choice.Highest) +
         "; the terrain grid holds at most " + Metres(kMaxGridHeightSpan) +
         " between its lowest and highest height, so no grid can be built. Select fewer "
         "contours, or check their heights";
}

}  // namespace terrak

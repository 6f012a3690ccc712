#include "viewer/export_choices.h"

#include <cmath>


namespace terrak {
namespace {

bool InRange(double value, const ChoiceRange& range) {
  return std::isfinite(value) && value >= range.Min && value <= range.Max;
}

std::string RangeText(const ChoiceRange& range) {
  const auto number = [](double v) {
    std::string text = std::to_string(v);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
  };
  return number(range.Min) + " and " + number(range.Max);
}

}  // namespace

std::optional<std::string> CheckExportChoices(ExportKind kind, const ExportChoices& c) {
  if (kind == ExportKind::Dem) {
    if (c.DemFormat.empty()) return "Choose a raster format for the DEM";
    return std::nullopt;
  }
  if (!InRange(c.Interval, kExportIntervalRange))
    return "The grid interval must lie between " + RangeText(kExportIntervalRange);
  if (!InRange(c.Exaggeration, kExaggerationRange))
    return "The vertical exaggeration must lie between " + RangeText(kExaggerationRange);
  if (kind == ExportKind::Glb) return std::nullopt;
  if (!InRange(c.PrintWidthMm, kPrintWidthRange))
    return "The print width must lie between " + RangeText(kPrintWidthRange) + " mm";
  if (!InRange(c.BaseMm, kBaseRange))
    return "The base must lie between " + RangeText(kBaseRange) + " mm thick";
  return std::nullopt;
}

}  // namespace terrak

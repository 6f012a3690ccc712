#include "heights/dem_heights.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "heights/derive_heights.h"
#include "heights/metres_text.h"
#include "heights/polyline.h"

namespace terrak::heights {

namespace {

double Median(std::vector<double> values) {
  const std::size_t half = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(half), values.end());
  const double upper = values[half];
  if (values.size() % 2 == 1) return upper;
  const double lower = *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(half));
  return (lower + upper) / 2;
}

// The nearest height of the role's levels to metres.
double Snap(double metres, ContourRole role, const ContourRoles& roles) {
  const double interval = roles.Interval;
  if (role == ContourRole::FormLine) return (std::floor(metres / interval) + 0.5) * interval;
  const bool index = roles.UsesIndexLevels();
  if (role == ContourRole::IndexContour && index) {
    const double step = interval * roles.IndexEvery;
    return std::round(metres / step) * step;
  }
  const double level = std::round(metres / interval);
  if (!index || std::fmod(std::fabs(level), roles.IndexEvery) != 0) return level * interval;
  // A contour that is no index contour takes the nearer of the levels beside the index level.
  return (metres >= level * interval ? level + 1 : level - 1) * interval;
}

}  // namespace

DemRun HeightsFromDem(const HeightMap& map, const ContourRoles& roles, const Georeferencing& georef,
                      DemSource& dem, const std::string& demName, const DemSettings& settings) {
  DemRun run;
  run.Result.Objects.assign(map.Objects.size(), {});
  const auto keepAll = [&](std::string message) {
    run.Message = std::move(message);
    for (std::size_t k = 0; k < map.Objects.size(); ++k)
      if (CarriesHeight(map.Objects[k].Role))
        run.Result.Objects[k] = {map.Objects[k].Height.Has ? HeightState::Known : HeightState::None,
                                 map.Objects[k].Height, ""};
    return run;
  };
  if (!georef.Known) return keepAll(kNoGeoreferencingMessage);
  if (!(roles.Interval > 0)) return keepAll("The contour interval must be more than 0 m.");

  // Every object's samples in one request.
  const double spacing = settings.SpacingMm * (map.MetresPerPaperMm > 0 ? map.MetresPerPaperMm : 10);
  std::vector<Georeferencing::Point> points;
  std::vector<std::size_t> first(map.Objects.size() + 1, 0);
  for (std::size_t k = 0; k < map.Objects.size(); ++k) {
    first[k] = points.size();
    const HeightObject& o = map.Objects[k];
    if (!CarriesHeight(o.Role)) continue;
    const double length = LineLength(o.Points);
    const auto count = static_cast<std::size_t>(std::clamp<double>(
        std::round(length / spacing), settings.LeastSamples, settings.MostSamples));
    std::vector<LineSample> samples = SampleLine(o.Points, count);
    if (samples.empty() && !o.Points.empty()) samples.push_back({o.Points.front(), {1, 0}, 0});
    for (const LineSample& s : samples) points.push_back(georef.ToProjected(s.At.X, s.At.Y));
  }
  first[map.Objects.size()] = points.size();
  std::vector<double> heights;
  try {
    heights = dem.Sample(points);
  } catch (const DemError& e) {
    return keepAll(e.what());
  }
  heights.resize(points.size(), std::nan(""));
  if (!points.empty() && std::none_of(heights.begin(), heights.end(),
                                      [](double h) { return std::isfinite(h); }))
    return keepAll("The DEM " + demName + " does not cover the map. Nothing was changed.");

  const double half = roles.Interval / 2;
  for (std::size_t k = 0; k < map.Objects.size(); ++k) {
    const HeightObject& o = map.Objects[k];
    if (!CarriesHeight(o.Role)) continue;
    ObjectHeight& r = run.Result.Objects[k];
    std::vector<double> inside;
    for (std::size_t i = first[k]; i < first[k + 1]; ++i)
      if (std::isfinite(heights[i])) inside.push_back(heights[i]);
    const std::size_t total = first[k + 1] - first[k];
    if (total == 0 || inside.size() * 2 < total) {
      r = {HeightState::Conflict, o.Height, "lies outside the DEM"};
      continue;
    }
    const double median = Median(inside);
    const double level = Snap(median, o.Role, roles);
    const auto near = std::count_if(inside.begin(), inside.end(),
                                    [&](double h) { return std::fabs(h - level) <= half; });
    const std::string said = "the DEM gives " + MetresText(median) + " (median of " +
                             std::to_string(inside.size()) + " samples)";
    if (std::fabs(median - level) > half) {
      r = {HeightState::Conflict, o.Height,
           said + ", more than half an interval from " + MetresText(level)};
      continue;
    }
    if (static_cast<std::size_t>(near) * 2 < inside.size()) {
      r = {HeightState::Conflict, o.Height,
           said + ", but most samples lie more than half an interval from " + MetresText(level)};
      continue;
    }
    if (o.Height.Has && std::fabs(o.Height.Metres - level) > 0.005) {
      r = {HeightState::Conflict, o.Height,
           said + ": " + MetresText(level) + ", the map " + MetresText(o.Height.Metres)};
      continue;
    }
    if (o.Height.Has) {
      r = {HeightState::Known, o.Height, said + ", as the map has it"};
      continue;
    }
    r = {HeightState::Dem, Metres(level), said};
  }
  return run;
}

}  // namespace terrak::heights

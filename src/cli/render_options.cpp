#include "cli/render_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "cli/arguments.h"

namespace terrak::cli {

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), text.end() - static_cast<std::ptrdiff_t>(tail.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

std::optional<std::int32_t> Side(const std::string& text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 1 || value > kLargestRenderSide) return std::nullopt;
  return value;
}

std::optional<std::vector<double>> Numbers(const std::string& text) {
  std::vector<double> numbers;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos
                                                                           : comma - start);
    double value = 0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (item.empty() || error != std::errc() || end != item.data() + item.size() ||
        !std::isfinite(value))
      return std::nullopt;
    numbers.push_back(value);
    if (comma == std::string::npos) return numbers;
    start = comma + 1;
  }
}

std::optional<ViewpointIndex> PresetNamed(const std::string& name) {
  static const std::pair<const char*, ViewpointIndex> kNames[] = {
      {"N", kNorthView},      {"S", kSouthView},      {"E", kEastView},       {"W", kWestView},
      {"NE", kNorthEastView}, {"NW", kNorthWestView}, {"SE", kSouthEastView}, {"SW", kSouthWestView}};
  for (const auto& [text, index] : kNames)
    if (name == text) return index;
  return std::nullopt;
}

}  // namespace

std::variant<RenderOptions, std::string> ParseRenderOptions(const std::vector<std::string>& args) {
  RenderOptions o;
  bool symbolsGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--symbols" && hasValue) {
      const auto symbols = ParseSymbolList(args[++i]);
      if (!symbols) return std::string("--symbols wants symbol numbers like 101,102");
      o.Symbols = *symbols;
      symbolsGiven = true;
    } else if (a == "--out" && hasValue) {
      o.Out = args[++i];
    } else if (a == "--size" && hasValue) {
      const std::string& size = args[++i];
      const std::size_t x = size.find('x');
      const auto w = x == std::string::npos ? std::nullopt : Side(size.substr(0, x));
      const auto h = x == std::string::npos ? std::nullopt : Side(size.substr(x + 1));
      if (!w || !h) return std::string("--size wants WxH, each side 1 to 10000 pixels");
      o.Width = *w;
      o.Height = *h;
    } else if (a == "--view" && hasValue) {
      const std::string& view = args[++i];
      if (const auto preset = PresetNamed(view)) {
        o.Preset = *preset;
      } else if (const auto n = Numbers(view); n && n->size() == 5) {
        o.View = TViewPoint{(*n)[0], (*n)[1], (*n)[2], (*n)[3], (*n)[4], 0, 0, 0};
      } else {
        return std::string("--view wants N, S, E, W, NE, NW, SE, SW or x,y,z,bearing,incline");
      }
    } else if (a == "--contours") {
      o.Contours = true;
    } else if (a == "--no-zbuffer") {
      o.NoZBuffer = true;
    } else if (a == "--no-bitmap") {
      o.NoBitmap = true;
    } else if (a == "--raytrace") {
      o.RayTrace = true;
    } else if (o.Input.empty() && a.rfind("--", 0) != 0) {
      o.Input = a;
    } else {
      return "unknown or incomplete argument \"" + a + "\"";
    }
  }
  if (o.Input.empty()) return std::string("no map or 3D map file given");
  if (o.Out.empty()) return std::string("--out PICTURE is required");
  o.Map3dFile = EndsWithNoCase(o.Input, ".o3d");
  o.Png = EndsWithNoCase(o.Out, ".png");
  if (o.Map3dFile && o.Contours) return std::string("a 3D map file holds no contours to draw");
  if (!o.Map3dFile && !symbolsGiven) return std::string("a map needs --symbols N,N,...");
  if (o.Contours && o.RayTrace) return std::string("--contours and --raytrace exclude each other");
  return o;
}

}  // namespace terrak::cli

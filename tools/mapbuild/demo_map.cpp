#include "mapbuild/demo_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "common/rounding.h"
#include "mapbuild/contour_tracer.h"

namespace terrak::testing {
namespace {

constexpr double kLargestModelValue = 32000;  // keeps clear of the marker values near -32768

// Colour numbers of the colour table, and line styles of the symbols.
constexpr std::int16_t kBlack = 0, kBrown = 1, kBlue = 2, kWhite = 3;
constexpr std::int16_t kRoundEnds = 1, kMitreJoins = 4;

// The title's text box, in ems of its font from the anchor on the baseline: as high as the
// font above it, a quarter of it below, about half an em for each character.
constexpr double kTitleAscent = 1.0, kTitleDescent = 0.25, kTitleCharacterWidth = 0.55;
constexpr double kPaperMetresPerPoint = 25.4 / 72 / 1000;

// A forest outline: a wavy ring around a centre, kept inside the frame.
std::vector<GroundPoint> Blob(const DemoMapOptions& o, double cx, double cy, double radius,
                              double phase) {
  std::vector<GroundPoint> ring;
  for (int k = 0; k < 48; ++k) {
    const double a = 2 * std::numbers::pi * k / 48;
    const double r =
        radius * (1 + 0.18 * std::sin(3 * a + phase) + 0.08 * std::sin(5 * a + 2 * phase));
    ring.push_back({std::clamp(cx + r * std::cos(a), 2.0, o.Width - 2),
                    std::clamp(cy + r * std::sin(a), 2.0, o.Depth - 2)});
  }
  ring.push_back(ring.front());
  return ring;
}

std::vector<GroundPoint> Circle(double cx, double cy, double radius, int vertices) {
  std::vector<GroundPoint> ring;
  for (int k = 0; k < vertices; ++k) {
    const double a = 2 * std::numbers::pi * k / vertices;
    ring.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
  }
  ring.push_back(ring.front());
  return ring;
}

double LineLength(const std::vector<GroundPoint>& line) {
  double length = 0;
  for (std::size_t k = 1; k < line.size(); ++k)
    length += std::hypot(line[k].X - line[k - 1].X, line[k].Y - line[k - 1].Y);
  return length;
}

void AddForests(DemoMap& map) {
  const DemoMapOptions& o = map.Options;
  const double size = std::min(o.Width, o.Depth);
  // Fixed fractions of the map: the seed moves the terrain, the vegetation stays recognisable.
  const double spots[3][3] = {{0.28, 0.7, 0.27}, {0.72, 0.3, 0.24}, {0.8, 0.8, 0.14}};
  for (int k = 0; k < 3; ++k) {
    const double cx = o.Width * spots[k][0], cy = o.Depth * spots[k][1];
    DemoObject forest{
        kDemoForest, 3, 0, {Blob(o, cx, cy, size * spots[k][2], 0.7 * k + o.Seed)}, {}};
    if (k == 0) forest.Parts.push_back(Circle(cx, cy, size * 0.06, 24));  // a clearing
    map.Objects.push_back(std::move(forest));
  }
}

void AddContours(DemoMap& map) {
  const DemoMapOptions& o = map.Options;
  // A fine lattice: a metre apart on small maps, wider on large ones to bound the work.
  const double step = std::max(1.0, std::sqrt(o.Width * o.Depth / 4e6));
  const HeightSamples samples = SampleHeights(
      [&](double x, double y) { return TerrainHeight(map.Terrain, x, y); }, o.Width, o.Depth, step);
  double lowest = 1e9, highest = -1e9;
  for (std::int64_t i = 0; i < samples.Values.Columns(); ++i)
    for (std::int64_t j = 0; j < samples.Values.Rows(); ++j) {
      lowest = std::min(lowest, samples.Values(i, j));
      highest = std::max(highest, samples.Values(i, j));
    }
  int lineNumber = 0;
  for (auto k = static_cast<std::int64_t>(std::ceil(lowest / o.Interval));
       static_cast<double>(k) * o.Interval <= highest; ++k) {
    const double level = static_cast<double>(k) * o.Interval;
    const double indexRatio = level / o.IndexInterval;
    const bool index = std::fabs(indexRatio - std::round(indexRatio)) < 1e-9;
    for (const std::vector<GroundPoint>& traced : TraceLevel(samples, level)) {
      const std::vector<GroundPoint> line = Simplify(traced, 0.25 * step);
      if (LineLength(line) < 2 * step) continue;
      // Every ninth line is left for the user to give a height.
      const bool withHeight = lineNumber++ % 9 != 4;
      const auto height = static_cast<std::int16_t>(withHeight ? RoundToInt(level * 10) : 0);
      for (std::vector<GroundPoint>& piece : SplitLine(line, o.MaxPoints))
        map.Objects.push_back(
            {index ? kDemoIndexContour : kDemoContour, 2, height, {std::move(piece)}, {}});
    }
  }
}

// Parts after the first are holes: version 5 marks them with a marker pair before their first
// point, versions 6/7 with a flag on that point.
Object5 Element5(const DemoObject& object, const GroundPoint& centre, double scale) {
  Object5 element{.Symbol = object.Symbol,
                  .ObjectType = object.ObjectType,
                  .Height = object.Height,
                  .Text = object.Text};
  for (std::size_t part = 0; part < object.Parts.size(); ++part) {
    if (part > 0) element.Pairs.push_back({kMarkNewPart, kMarkNewPart});
    for (const GroundPoint& p : object.Parts[part])
      element.Pairs.push_back({static_cast<std::int16_t>(ModelUnits(p.X - centre.X, scale)),
                               static_cast<std::int16_t>(ModelUnits(p.Y - centre.Y, scale))});
  }
  return element;
}

// The points of a text object as OCAD stores them: the anchor, then the corners of the text box
// (lower left, lower right, upper right, upper left).
std::vector<std::vector<GroundPoint>> TextParts(const DemoObject& object, double emMetres) {
  const GroundPoint anchor = object.Parts.at(0).at(0);
  const double width = emMetres * kTitleCharacterWidth * static_cast<double>(object.Text.size());
  const double bottom = anchor.Y - emMetres * kTitleDescent;
  const double top = anchor.Y + emMetres * kTitleAscent;
  return {{anchor,
           {anchor.X, bottom},
           {anchor.X + width, bottom},
           {anchor.X + width, top},
           {anchor.X, top}}};
}

// The title's font size in 0.1 pt: the symbol's own, or smaller so that the text box stays
// inside the frame (and the map's extent stays the frame's).
std::int16_t TitleFontSize(const DemoMap& map, double scale) {
  double fits = kDemoTitleFontSize;
  for (const DemoObject& title : map.Objects) {
    if (title.ObjectType != 4) continue;
    const GroundPoint anchor = title.Parts.at(0).at(0);
    const double roomUp = (map.Options.Depth - anchor.Y) / kTitleAscent;
    const double roomRight = (map.Options.Width - anchor.X) /
                             (kTitleCharacterWidth * static_cast<double>(title.Text.size()));
    fits = std::min(fits,
                    std::floor(10 * std::min(roomUp, roomRight) / (kPaperMetresPerPoint * scale)));
  }
  return static_cast<std::int16_t>(std::max(1.0, fits));
}

Object6 Stored6(const DemoObject& object, const GroundPoint& centre, double scale,
                double titleEmMetres) {
  Object6 stored{.Symbol = object.Symbol,
                 .ObjectType = static_cast<std::uint16_t>(object.ObjectType),
                 .Height = object.Height,
                 .Text = object.Text};
  std::vector<std::vector<GroundPoint>> textParts;
  if (object.ObjectType == 4) {
    stored.TextGap = 0;
    textParts = TextParts(object, titleEmMetres);
  }
  const std::vector<std::vector<GroundPoint>>& parts = textParts.empty() ? object.Parts : textParts;
  for (std::size_t part = 0; part < parts.size(); ++part) {
    for (std::size_t k = 0; k < parts[part].size(); ++k) {
      const GroundPoint& p = parts[part][k];
      const CodedPoint point =
          CodedPoint::At(static_cast<std::int32_t>(Hundredths(p.X - centre.X, scale)),
                         static_cast<std::int32_t>(Hundredths(p.Y - centre.Y, scale)));
      stored.Points.push_back(part > 0 && k == 0 ? point.NewPart() : point);
    }
  }
  return stored;
}

}  // namespace

std::int64_t ModelUnits(double metres, double scale) { return RoundToInt(metres * 56693 / scale); }
std::int64_t Hundredths(double metres, double scale) { return RoundToInt(metres * 100000 / scale); }

DemoMap MakeDemoMap(const DemoMapOptions& options) {
  if (!(options.Width >= 10) || !(options.Depth >= 10) || !(options.Interval > 0) ||
      !(options.IndexInterval > 0) || options.MaxPoints < 2)
    throw std::invalid_argument("demo map: size of at least 10 m and a positive interval needed");
  DemoMap map;
  map.Options = options;
  map.Terrain = MakeDemoTerrain(options.Width, options.Depth, options.Seed);
  // The colours of the map image, the first drawn on top.
  map.Colours = {{kBlack, "Black", 0, 0, 0, 100},
                 {kBrown, "Brown", 0, 48, 83, 23},
                 {kBlue, "Blue", 100, 30, 0, 10},
                 {kWhite, "White", 0, 0, 0, 0}};
  auto line = [](std::int16_t colour, std::int16_t width, std::int16_t style) {
    return SymbolDrawing{.Colour = colour, .LineWidth = width, .LineStyle = style};
  };
  auto area = [](std::int16_t colour) { return SymbolDrawing{.Colour = colour}; };
  map.Symbols = {
      {kDemoContour, 2, "Contour", 0, line(kBrown, kDemoContourWidth, kRoundEnds)},
      {kDemoIndexContour, 2, "Index contour", 0, line(kBrown, kDemoIndexContourWidth, kRoundEnds)},
      {kDemoLake, 3, "Lake", 0, area(kBlue)},
      {kDemoForest, 3, "Forest", 0, area(kWhite)},
      {kDemoFrame, 2, "Map frame", 0, line(kBlack, kDemoFrameWidth, kMitreJoins)},
      {kDemoTitle, 4, "Map title", 0,
       SymbolDrawing{.Colour = kBlack, .FontSize = kDemoTitleFontSize, .Font = "Arial"}}};
  AddForests(map);
  map.Objects.push_back({kDemoLake, 3, 0, {LakeShore(map.Terrain)}, {}});
  AddContours(map);
  const double w = options.Width, d = options.Depth;
  map.Objects.push_back({kDemoFrame, 2, 0, {{{0, 0}, {w, 0}, {w, d}, {0, d}, {0, 0}}}, {}});
  map.Objects.push_back({kDemoTitle, 4, 0, {{{w * 0.04, d * 0.94}}}, "Terrak demo map"});
  return map;
}

bool DemoMapFits(double width, double depth, double scale) {
  return scale > 0 &&
         static_cast<double>(ModelUnits(std::max(width, depth) / 2, scale)) <= kLargestModelValue;
}

OcadMapBuilder DemoMapBuilder(const DemoMap& map, int version, double scale) {
  if (!DemoMapFits(map.Options.Width, map.Options.Depth, scale))
    throw std::invalid_argument(
        "demo map: the map does not fit the 16-bit model coordinates at this scale");
  const GroundPoint centre{map.Options.Width / 2, map.Options.Depth / 2};
  OcadMapBuilder builder(version);
  builder.Scale(scale);
  // Open at 2x, where a 500 m demo map fills the program's first window.
  builder.Zoom(3);
  if (version == 5) {
    for (const SymbolSpec& symbol : map.Symbols)
      builder.AddSymbol({symbol.Number, symbol.ObjectType, symbol.Description, 0});
    for (const DemoObject& object : map.Objects) builder.AddObject(Element5(object, centre, scale));
    return builder;
  }
  // As OCAD saves them, the setup record comes last; it is as long as the version 8 record, so
  // that readers which take that layout for every version find the scale in it.
  builder.SetupLast(true).SetupSize(kSetup8Size);
  for (const ColourSpec& colour : map.Colours) builder.AddColour(colour);
  const std::int16_t fontSize = TitleFontSize(map, scale);
  for (SymbolSpec symbol : map.Symbols) {
    if (symbol.ObjectType == 4 && symbol.Drawing) symbol.Drawing->FontSize = fontSize;
    builder.AddSymbol(symbol);
  }
  const double emMetres = fontSize / 10.0 * kPaperMetresPerPoint * scale;
  for (const DemoObject& object : map.Objects)
    builder.AddObject(Stored6(object, centre, scale, emMetres));
  return builder;
}

}  // namespace terrak::testing

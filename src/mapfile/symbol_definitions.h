#pragma once
// How a map draws itself, in a form that belongs to no format: the colour table in its drawing
// order and every symbol's drawing definition, read by each format's own reader. Lengths are
// 1/1000 mm of paper and angles radians counterclockwise, as in the neutral objects
// (map_format.h); coordinates inside symbols are relative to the symbol's centre, y upwards.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "mapfile/map_format.h"

namespace terrak {

// A colour of the map. The table's order is the drawing order: the first colour lies on top of
// all others, the last one at the bottom.
struct MapColour {
  std::string Name;
  std::uint8_t Red = 0, Green = 0, Blue = 0;  // as the screen shows it
  float Opacity = 1.0f;
  float Cyan = 0, Magenta = 0, Yellow = 0, Black = 0;  // the print mix, 0 to 1
  bool Spot = false;    // a spot colour, printed with its own ink
  bool Hidden = false;  // not drawn
};

// Screen colour of a print mix as map programs show it: each ink takes its share of the light
// the white paper gives back (0.56 magenta and 0.18 black leave 0.44 x 0.82 of the green).
void SetScreenColourFromMix(MapColour& colour);

// A colour of the table by its place in it; none when negative.
using ColourRef = std::int32_t;
inline constexpr ColourRef kNoColour = -1;

enum class CapStyle : std::uint8_t { Flat, Round, Square, Pointed };
enum class JoinStyle : std::uint8_t { Bevel, Miter, Round };
// Where symbols along a dashed line go.
enum class MidSymbolPlacement : std::uint8_t { CentreOfDash, CentreOfDashGroup, CentreOfGap };

struct PointDefinition;
struct SymbolDefinition;

// One of the two lines along the sides of a line symbol (the walls of a road, a double line).
struct LineBorder {
  ColourRef Colour = kNoColour;
  std::int32_t Width = 0;
  std::int32_t Shift = 0;  // from the main line's edge to the border's centre line
  bool Dashed = false;
  std::int32_t DashLength = 2000;
  std::int32_t BreakLength = 1000;
};

struct LineDefinition {
  ColourRef Colour = kNoColour;
  std::int32_t Width = 0;
  CapStyle Cap = CapStyle::Flat;
  JoinStyle Join = JoinStyle::Miter;
  // Lengths kept free of the line at its ends; a pointed cap narrows over them.
  std::int32_t StartOffset = 0, EndOffset = 0;

  bool Dashed = false;
  std::int32_t DashLength = 4000, BreakLength = 1000;
  std::int32_t DashesInGroup = 1, InGroupBreakLength = 500;
  bool HalfOuterDashes = false;  // the first and last dash are half as long

  // Point symbols along the line: mid symbols every segment (or on the dashes), at the start
  // and end of the line and at its dash and corner points.
  std::shared_ptr<const PointDefinition> MidSymbol, StartSymbol, EndSymbol, DashSymbol;
  std::int32_t MidSymbolsPerSpot = 1;
  std::int32_t MidSymbolDistance = 0;  // between the symbols of one spot
  MidSymbolPlacement MidPlacement = MidSymbolPlacement::CentreOfDash;
  std::int32_t SegmentLength = 4000;  // between spots of an undashed line
  std::int32_t EndLength = 0;         // from the line's ends to the first and last spot
  bool ShowAtLeastOneSymbol = true;
  bool SuppressDashSymbolAtEnds = false;
  bool ScaleDashSymbol = true;  // dash symbols grow with the corner's miter

  bool HasBorders = false;
  LineBorder LeftBorder, RightBorder;
};

struct FillPattern {
  enum class Kind : std::uint8_t { Lines, Points };
  // How point patterns meet the area's edge: cut by it, or whole symbols chosen by a rule.
  enum class Edge : std::uint8_t { Clip, WhollyInside, CentreInside, PartlyInside };
  Kind Type = Kind::Lines;
  double Angle = 0;
  bool Rotatable = false;  // turned with the object's pattern rotation
  std::int32_t LineSpacing = 5000;
  std::int32_t LineOffset = 0;
  std::int32_t OffsetAlongLine = 0;
  ColourRef LineColour = kNoColour;  // line patterns
  std::int32_t LineWidth = 200;
  std::int32_t PointDistance = 5000;  // point patterns
  std::shared_ptr<const PointDefinition> Point;
  Edge AtEdge = Edge::Clip;
};

struct AreaDefinition {
  ColourRef Colour = kNoColour;
  std::vector<FillPattern> Patterns;
};

// A line, area or point drawn as part of a point symbol, on points relative to its centre.
struct PointElement {
  std::shared_ptr<const SymbolDefinition> Symbol;
  std::vector<FormatPoint> Points;
};

struct PointDefinition {
  bool Rotatable = false;
  std::int32_t InnerRadius = 0;  // a dot of this radius
  ColourRef InnerColour = kNoColour;
  std::int32_t OuterWidth = 0;   // a ring of this width around the dot
  ColourRef OuterColour = kNoColour;
  std::vector<PointElement> Elements;
};

enum class TextHAlign : std::uint8_t { Left, Centre, Right };
enum class TextVAlign : std::uint8_t { Baseline, Top, Centre, Bottom };

struct TextDefinition {
  std::string FontFamily = "Arial";
  std::int32_t FontSize = 4000;  // the em height
  bool Bold = false, Italic = false, Underline = false;
  bool Kerning = false;  // letter pairs moved closer as the font says
  ColourRef Colour = kNoColour;
  double LineSpacing = 1.0;          // times the font's own line spacing
  std::int32_t AbsoluteLineSpacing = 0;  // from baseline to baseline, when not zero
  std::int32_t ParagraphSpacing = 0;
  double CharacterSpacing = 0;       // added after each letter, in widths of a space
  enum class Framing : std::uint8_t { None, Line, Shadow };
  Framing FramingMode = Framing::None;
  ColourRef FramingColour = kNoColour;
  std::int32_t FramingHalfWidth = 0;
  std::int32_t ShadowX = 0, ShadowY = 0;  // y upwards
  bool LineBelow = false;
  ColourRef LineBelowColour = kNoColour;
  std::int32_t LineBelowWidth = 0, LineBelowDistance = 0;
};

// Several symbols drawn on the same object.
struct CombinedDefinition {
  std::vector<std::shared_ptr<const SymbolDefinition>> Parts;
};

struct SymbolDefinition {
  std::int32_t Number = 0;  // the model's number, as in FormatSymbol
  bool Hidden = false;      // objects of a hidden symbol are not drawn
  bool Protected = false;
  std::variant<PointDefinition, LineDefinition, AreaDefinition, TextDefinition, CombinedDefinition>
      Drawing;
};

// How an object is placed beyond its points.
struct ObjectPlacement {
  double Rotation = 0;  // point symbols, texts and rotatable area patterns
  TextHAlign HAlign = TextHAlign::Left;
  TextVAlign VAlign = TextVAlign::Baseline;
  // A text in a box: the box's centre and size; zero size for a text at one point.
  FormatPoint BoxCentre;
  std::int32_t BoxWidth = 0, BoxHeight = 0;
  FormatPoint PatternOrigin;  // rotatable area patterns start here
};

struct SymbolDefinitions {
  std::vector<MapColour> Colours;  // in drawing order, the topmost first
  std::vector<std::shared_ptr<const SymbolDefinition>> Symbols;  // in file order
  // The objects that are placed otherwise than the default, by FormatObject::Key.
  std::unordered_map<std::int64_t, ObjectPlacement> Placements;
  // What the reader found damaged or could not take as defined; such symbols are drawn plainly.
  std::vector<std::string> Notes;
};

}  // namespace terrak

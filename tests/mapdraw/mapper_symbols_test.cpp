// Mapper's symbol definitions read into the neutral form: colours in their drawing order with
// the screen colour Mapper keeps (or the one of the print mix), each kind of symbol with its
// options, combined symbols by id and private parts, a circle of parts cut, and how objects are
// placed.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "mapfile/mapper/mapper_map.h"
#include "mapfile/symbol_definitions.h"

namespace terrak {
namespace {

constexpr const char* kMap = R"(<?xml version="1.0" encoding="UTF-8"?>
<map xmlns="http://openorienteering.org/apps/mapper/xml/v2" version="9">
<georeferencing scale="10000"><projected_crs id="Local"/></georeferencing>
<colors count="3">
<color priority="0" name="Black" c="0" m="0" y="0" k="1" opacity="1"><rgb r="0" g="0" b="0"/></color>
<color priority="1" name="Brown" c="0" m="0.56" y="1" k="0.18" opacity="0.5"><rgb r="0.82" g="0.361" b="0"/></color>
<color priority="2" name="Yellow" c="0" m="0.27" y="0.79" k="0" opacity="1"/>
</colors>
<barrier version="6" required="0.6.0">
<symbols count="6">
<symbol type="2" id="0" code="101" name="Contour"><line_symbol color="1" line_width="140" join_style="2" cap_style="1" dashed="true" dash_length="2000" break_length="500" dashes_in_group="2" in_group_break_length="250" half_outer_dashes="true"><borders><border color="0" width="100" shift="50"/></borders></line_symbol></symbol>
<symbol type="4" id="1" code="401" name="Open"><area_symbol inner_color="2" patterns="1"><pattern type="2" angle="0.785398" no_clipping="2" rotatable="true" line_spacing="675" line_offset="10" offset_along_line="20" point_distance="700"><symbol type="1" code=""><point_symbol inner_radius="135" inner_color="0" outer_width="0" outer_color="-1" elements="0"/></symbol></pattern></area_symbol></symbol>
<symbol type="1" id="2" code="112" name="Knoll" is_hidden="true"><point_symbol rotatable="true" inner_radius="375" inner_color="7" outer_width="100" outer_color="0" elements="1"><element><symbol type="2" code=""><line_symbol color="0" line_width="210"/></symbol><object type="1"><coords count="2">0 0;0 -750;</coords></object></element></point_symbol></symbol>
<symbol type="8" id="3" code="999" name="Text"><text_symbol><font family="Arial" size="3114" bold="true"/><text color="0" line_spacing="1.5"/><framing color="2" mode="2" shadow_x_offset="200" shadow_y_offset="300"/></text_symbol></symbol>
<symbol type="16" id="4" code="501" name="Road"><combined_symbol parts="3"><part symbol="0"/><part private="true"><symbol type="2" code="501.1"><line_symbol color="2" line_width="700"/></symbol></part><part symbol="5"/></combined_symbol></symbol>
<symbol type="16" id="5" code="502" name="Loop"><combined_symbol parts="1"><part symbol="4"/></combined_symbol></symbol>
</symbols>
<parts count="1"><part name="default"><objects count="3">
<object type="0" symbol="2" rotation="0.5"><coords count="1">100 200;</coords></object>
<object type="4" symbol="3" h_align="2" v_align="1" rotation="0.25"><coords count="1">1000 -2000;</coords><size width="5000" height="3000"/><text>Hi</text></object>
<object type="1" symbol="1"><coords count="4">0 0;1000 0;1000 1000;0 0 18;</coords><pattern rotation="0.3"><coord x="100" y="-200"/></pattern></object>
</objects></part></parts>
</barrier>
</map>
)";

SymbolDefinitions Read() {
  const std::string text = kMap;
  return mapper::MapperMap::Open({text.begin(), text.end()})->ReadSymbolDefinitions();
}

const SymbolDefinition& Symbol(const SymbolDefinitions& d, std::int32_t number) {
  for (const auto& s : d.Symbols)
    if (s->Number == number) return *s;
  throw std::logic_error("no symbol " + std::to_string(number));
}

TEST(MapperSymbols, ColoursKeepTheirOrderAndScreenColourAndEachKindItsOptions) {
  const SymbolDefinitions d = Read();
  ASSERT_EQ(d.Colours.size(), 3u);
  EXPECT_EQ(d.Colours[0].Name, "Black");
  const MapColour &brown = d.Colours[1], &yellow = d.Colours[2];
  EXPECT_EQ(std::tie(brown.Red, brown.Green, brown.Blue), std::tuple(209, 92, 0));
  EXPECT_FLOAT_EQ(brown.Opacity, 0.5f);
  // Without a screen colour, the print mix gives it: 1 - 0.27 of the green, 1 - 0.79 of the blue.
  EXPECT_EQ(std::tie(yellow.Red, yellow.Green, yellow.Blue), std::tuple(255, 186, 54));

  const auto& line = std::get<LineDefinition>(Symbol(d, 101000).Drawing);
  EXPECT_EQ(std::tie(line.Colour, line.Width, line.DashesInGroup, line.InGroupBreakLength),
            std::tuple(1, 140, 2, 250));
  EXPECT_TRUE(line.Cap == CapStyle::Round && line.Join == JoinStyle::Round);
  EXPECT_TRUE(line.Dashed && line.HalfOuterDashes && line.HasBorders);
  // One border given: both sides alike.
  EXPECT_EQ(std::tie(line.RightBorder.Width, line.RightBorder.Shift, line.RightBorder.Colour),
            std::tuple(100, 50, 0));

  const auto& area = std::get<AreaDefinition>(Symbol(d, 401000).Drawing);
  EXPECT_EQ(area.Colour, 2);
  ASSERT_EQ(area.Patterns.size(), 1u);
  const FillPattern& pattern = area.Patterns[0];
  EXPECT_TRUE(pattern.Type == FillPattern::Kind::Points && pattern.Rotatable &&
              pattern.AtEdge == FillPattern::Edge::CentreInside);
  EXPECT_NEAR(pattern.Angle, 0.785398, 1e-9);
  EXPECT_EQ(std::tie(pattern.LineSpacing, pattern.LineOffset, pattern.OffsetAlongLine,
                     pattern.PointDistance),
            std::tuple(675, 10, 20, 700));
  ASSERT_TRUE(pattern.Point);
  EXPECT_EQ(pattern.Point->InnerRadius, 135);

  const SymbolDefinition& knoll = Symbol(d, 112000);
  const auto& point = std::get<PointDefinition>(knoll.Drawing);
  EXPECT_TRUE(knoll.Hidden && point.Rotatable);
  EXPECT_EQ(point.InnerColour, kNoColour);  // colour 7 is not in the table: named in the notes
  EXPECT_FALSE(d.Notes.empty());
  EXPECT_EQ(point.OuterWidth, 100);
  ASSERT_EQ(point.Elements.size(), 1u);
  ASSERT_EQ(point.Elements[0].Points.size(), 2u);
  EXPECT_EQ(point.Elements[0].Points[1].Y, 750);  // Mapper's y points down
  EXPECT_EQ(std::get<LineDefinition>(point.Elements[0].Symbol->Drawing).Width, 210);

  const auto& text = std::get<TextDefinition>(Symbol(d, 999000).Drawing);
  EXPECT_EQ(text.FontFamily, "Arial");
  EXPECT_TRUE(text.Bold && text.FramingMode == TextDefinition::Framing::Shadow);
  EXPECT_DOUBLE_EQ(text.LineSpacing, 1.5);
  EXPECT_EQ(std::tie(text.FontSize, text.FramingColour, text.ShadowX, text.ShadowY),
            std::tuple(3114, 2, 200, -300));
}

TEST(MapperSymbols, CombinedSymbolsTakePartsByIdAndCutCirclesAndObjectsKeepTheirPlacement) {
  const SymbolDefinitions d = Read();
  const auto& road = std::get<CombinedDefinition>(Symbol(d, 501000).Drawing);
  // The contour by id, the private line, and the loop, whose way back to the road is cut.
  ASSERT_EQ(road.Parts.size(), 3u);
  EXPECT_EQ(road.Parts[0]->Number, 101000);
  EXPECT_EQ(std::get<LineDefinition>(road.Parts[1]->Drawing).Width, 700);
  EXPECT_EQ(road.Parts[2]->Number, 502000);
  EXPECT_TRUE(std::get<CombinedDefinition>(road.Parts[2]->Drawing).Parts.empty());
  bool named = false;
  for (const std::string& note : d.Notes) named = named || note.find("contains itself") != std::string::npos;
  EXPECT_TRUE(named);

  // Objects keep their rotation, alignment, box and pattern origin.
  ASSERT_EQ(d.Placements.count(0), 1u);
  EXPECT_DOUBLE_EQ(d.Placements.at(0).Rotation, 0.5);
  const ObjectPlacement& text = d.Placements.at(1);
  EXPECT_TRUE(text.HAlign == TextHAlign::Right && text.VAlign == TextVAlign::Top);
  EXPECT_DOUBLE_EQ(text.Rotation, 0.25);
  EXPECT_EQ(std::tie(text.BoxWidth, text.BoxHeight, text.BoxCentre.X, text.BoxCentre.Y),
            std::tuple(5000, 3000, 1000, 2000));
  const ObjectPlacement& area = d.Placements.at(2);
  EXPECT_DOUBLE_EQ(area.Rotation, 0.3);
  EXPECT_EQ(std::tie(area.PatternOrigin.X, area.PatternOrigin.Y), std::tuple(100, 200));
}

}  // namespace
}  // namespace terrak

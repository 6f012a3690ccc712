// The whole map into a picture: colours in the map's order whatever the objects' order, hidden
// objects and symbols left out, objects of undefined symbols counted, lines of one pen merged,
// area patterns clipped to their area, and the extent the picture covers; then painted by the
// image module's Qt painter into pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

#include "mapdraw/map_drawing.h"
#include "mapdraw/picture_frame.h"
#include "platform/picture_painter.h"

namespace terrak::mapdraw {
namespace {

std::shared_ptr<SymbolDefinition> Make(std::int32_t number, auto drawing, bool hidden = false) {
  return std::make_shared<SymbolDefinition>(
      SymbolDefinition{.Number = number, .Hidden = hidden, .Drawing = std::move(drawing)});
}

MapColour Ink(const char* name, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return {.Name = name, .Red = r, .Green = g, .Blue = b};
}

LineDefinition Pen(ColourRef colour, std::int32_t width) {
  return {.Colour = colour, .Width = width};
}

// A rotatable point: a tick 0.5 mm long pointing east.
std::shared_ptr<PointDefinition> Tick(ColourRef colour) {
  return std::make_shared<PointDefinition>(PointDefinition{
      .Rotatable = true, .Elements = {{Make(0, Pen(colour, 100)), {{0, 0, 0}, {500, 0, 0}}}}});
}

FormatObject Square(std::int32_t symbol, std::int32_t x, std::int32_t y, std::int32_t side,
                    std::int64_t key) {
  return {.Key = key, .Symbol = symbol, .Kind = ObjectKind::Area,
          .Points = {{x, y, 0}, {x + side, y, 0}, {x + side, y + side, 0}, {x, y + side, 0},
                     {x, y, 0}}};
}

FormatObject Line(std::int32_t symbol, std::vector<FormatPoint> points, std::int64_t key) {
  return {.Key = key, .Symbol = symbol, .Points = std::move(points)};
}

// Red (on top) and blue areas, a 1 mm black line, a hidden symbol, a hatched area.
SymbolDefinitions Definitions() {
  SymbolDefinitions d;
  d.Colours = {Ink("Red", 255, 0, 0), Ink("Black", 0, 0, 0), Ink("Blue", 0, 0, 255)};
  d.Symbols.push_back(Make(1, AreaDefinition{0, {}}));
  d.Symbols.push_back(Make(2, AreaDefinition{2, {}}));
  const LineDefinition line = Pen(1, 1000);
  d.Symbols.push_back(Make(3, line));
  d.Symbols.push_back(Make(4, line, true));
  const FillPattern hatch{.LineSpacing = 1000, .LineColour = 1, .LineWidth = 200};
  d.Symbols.push_back(Make(5, AreaDefinition{kNoColour, {hatch}}));
  return d;
}

TEST(MapDrawing, ColoursGoInTheMapsOrderAndHiddenThingsStayOut) {
  SymbolDefinitions d = Definitions();
  d.Colours[2].Opacity = 0.5f;
  std::vector<FormatObject> objects{Square(1, 0, 0, 10000, 1), Square(2, 5000, 5000, 10000, 2),
                                    Line(3, {{0, 20000, 0}, {20000, 20000, 0}}, 3),
                                    Line(3, {{0, 22000, 0}, {20000, 22000, 0}}, 4),
                                    Line(4, {{0, 24000, 0}, {20000, 24000, 0}}, 5),
                                    Line(77, {{0, 26000, 0}, {20000, 26000, 0}}, 6)};
  objects.push_back(objects[0]);
  objects.back().Hidden = true;
  // A colour the map hides leaves nothing of its own in the picture.
  d.Colours.push_back({.Name = "Hidden green", .Green = 255, .Hidden = true});
  d.Symbols.push_back(Make(6, AreaDefinition{3, {}}));
  objects.push_back(Square(6, 0, 0, 10000, 7));
  const MapPicture drawn = DrawMap(d, objects, {});
  EXPECT_EQ(std::tie(drawn.DrawnObjects, drawn.HiddenObjects, drawn.UndefinedObjects),
            std::tuple(5u, 2u, 1u));
  // Blue (the table's last colour) first, then the black lines as one item, red on top.
  const std::vector<PictureItem>& items = drawn.Picture.Items;
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(std::tuple(items[0].Rgb, items[1].Type, items[1].PartCount, items[2].Rgb),
            std::tuple(MakeColour(0, 0, 255), PictureItem::Kind::Stroke, 2u,
                       MakeColour(255, 0, 0)));
  EXPECT_EQ(std::tuple(items[0].Alpha, items[2].Alpha), std::tuple(128, 255));  // half, rounded
  // The painter passes over items whose bounds miss the view: the blue square's own, and both
  // black lines' grown by the pen's width.
  for (const auto& [item, want] : {std::pair{&items[0], PictureBox{5000, 5000, 15000, 15000}},
                                   {&items[1], PictureBox{-1000, 19000, 21000, 23000}}})
    EXPECT_EQ(std::tie(item->Bounds.MinX, item->Bounds.MinY, item->Bounds.MaxX, item->Bounds.MaxY),
              std::tie(want.MinX, want.MinY, want.MaxX, want.MaxY));
  // The extent takes in the lines' half width.
  EXPECT_DOUBLE_EQ(drawn.Extent.MinX, -500);
  EXPECT_DOUBLE_EQ(drawn.Extent.MaxY, 22500);
}

TEST(MapDrawing, HatchingIsClippedToItsAreaAndCannotFloodThePicture) {
  const MapPicture drawn = DrawMap(Definitions(), {Square(5, 0, 0, 10000, 1)}, {});
  ASSERT_EQ(drawn.Picture.Items.size(), 1u);
  const PictureItem& hatched = drawn.Picture.Items[0];
  EXPECT_GE(hatched.Clip, 0);
  EXPECT_EQ(drawn.Picture.Clips.size(), 1u);
  // Horizontal lines 1 mm apart across the 10 mm square (and its edges).
  EXPECT_GE(hatched.PartCount, 10u);
  EXPECT_LE(hatched.PartCount, 12u);

  // A rotatable hatching turns with its object: an eighth turn counterclockwise runs its lines
  // to the north-east.
  SymbolDefinitions d = Definitions();
  FillPattern hatch = std::get<AreaDefinition>(d.Symbols.back()->Drawing).Patterns[0];
  hatch.Rotatable = true;
  d.Symbols.back() = Make(5, AreaDefinition{kNoColour, {hatch}});
  d.Placements[1] = {.Rotation = std::numbers::pi / 4};
  const MapPicture rotated = DrawMap(d, {Square(5, 0, 0, 10000, 1)}, {});
  ASSERT_EQ(rotated.Picture.Items.size(), 1u);
  const PicturePart& first = rotated.Picture.Parts.at(rotated.Picture.Items[0].FirstPart);
  ASSERT_EQ(first.Count, 2u);
  const auto& from = rotated.Picture.Points[first.First];
  const auto& to = rotated.Picture.Points[first.First + 1];
  EXPECT_NEAR(to.Y - from.Y, to.X - from.X, 1e-3);

  // A hatching a micrometre apart over a 10 m square cannot flood the picture: it is left out,
  // its fill stays.
  const FillPattern dense{
      .Type = FillPattern::Kind::Lines, .LineSpacing = 1, .LineColour = 1, .LineWidth = 1};
  d.Symbols.push_back(Make(6, AreaDefinition{0, {dense, dense}}));
  const MapPicture flooded = DrawMap(d, {Square(6, 0, 0, 10000000, 1)}, {});
  ASSERT_EQ(flooded.Picture.Items.size(), 1u);
  EXPECT_EQ(flooded.Picture.Items[0].Type, PictureItem::Kind::Fill);
  EXPECT_FALSE(flooded.Truncated);
}

TEST(MapDrawing, PointsTurnWithTheObjectAndTextsKeepTheirPlacement) {
  SymbolDefinitions d = Definitions();
  d.Symbols.push_back(Make(7, PointDefinition{.Rotatable = true,
                                              .Elements = {{Make(0, Pen(1, 100)),
                                                            {{0, 0, 0}, {1000, 0, 0}}}}}));
  d.Symbols.push_back(Make(8, TextDefinition{.FontSize = 3000, .Colour = 1,
                                             .FramingMode = TextDefinition::Framing::Line,
                                             .FramingColour = 1, .FramingHalfWidth = 150}));
  FormatObject dot = Line(7, {{5000, 5000, 0}}, 10);
  FormatObject label = Line(8, {{100, 200, 0}}, 11);
  label.Text = "\r\nTwo\r\nlines";
  d.Placements[10] = {.Rotation = std::numbers::pi / 2};
  d.Placements[11] = {.HAlign = TextHAlign::Centre, .VAlign = TextVAlign::Top};
  const MapPicture drawn = DrawMap(d, {dot, label}, {});
  ASSERT_EQ(drawn.Picture.Items.size(), 3u);
  // The framing line is stroked along the letters' outlines at its whole width, under them.
  EXPECT_EQ(std::tuple(drawn.Picture.Items[1].Type, drawn.Picture.Items[1].Width),
            std::tuple(PictureItem::Kind::TextOutline, 300.0f));
  const PicturePart& stroke = drawn.Picture.Parts.at(drawn.Picture.Items[0].FirstPart);
  ASSERT_EQ(stroke.Count, 2u);
  // A quarter turn counterclockwise: the tick points north.
  EXPECT_NEAR(drawn.Picture.Points[stroke.First + 1].X, 5000, 1e-3);
  EXPECT_NEAR(drawn.Picture.Points[stroke.First + 1].Y, 6000, 1e-3);
  ASSERT_EQ(drawn.Picture.Texts.size(), 2u);
  const PictureText& set = drawn.Picture.Texts[1];
  EXPECT_EQ(set.Text, "Two\nlines");  // OCAD's leading line break and carriage returns go
  EXPECT_EQ(set.Anchor.X, 100);
  EXPECT_EQ(std::tie(set.Size, set.HAlign, set.VAlign),
            std::tuple(3000, TextAnchorH::Centre, TextAnchorV::Top));
  // Measured, the letters' box widens the extent by half the framing line; unmeasured, the
  // guess does (below). The tick reaches 1050 around (5000, 5000).
  const Box measured = DrawnExtent(drawn, {{0, 0, 1000, 1000}, {0, 0, 1000, 1000}});
  EXPECT_EQ(std::tie(measured.MinX, measured.MinY, measured.MaxX, measured.MaxY),
            std::tuple(-150.0, -150.0, 6050.0, 6050.0));
  EXPECT_EQ(DrawnExtent(drawn, {}).MinX, drawn.GuessedTexts.MinX);

  // Without the font two lines, the longer of five letters, are guessed 0.6 em a letter and
  // 1.2 em a line (9000 by 7200) on the side of the anchor (100, 200) they align to; in a box,
  // around its centre; turned, anywhere within their diagonal.
  const double r = std::hypot(9000, 7200);
  label.Text = "Two\r\nlines";
  for (const auto& [placement, want] :
       {std::pair{ObjectPlacement{.HAlign = TextHAlign::Right, .VAlign = TextVAlign::Bottom},
                  Box{-8900, 200, 100, 7400}},
        {{.HAlign = TextHAlign::Centre, .VAlign = TextVAlign::Top}, Box{-4400, -7000, 4600, 200}},
        {{.VAlign = TextVAlign::Centre}, Box{100, -3400, 9100, 3800}},
        {{}, Box{100, -4000, 9100, 3200}},
        {{.BoxCentre = {1000, 2000, 0}, .BoxWidth = 20000, .BoxHeight = 1000},
         Box{-9000, -1600, 11000, 5600}},
        {{.Rotation = 0.5}, Box{100 - r, 200 - r, 100 + r, 200 + r}}}) {
    d.Placements[11] = placement;
    const Box guessed = DrawMap(d, {label}, {}).GuessedTexts;
    EXPECT_EQ(std::tie(guessed.MinX, guessed.MinY, guessed.MaxX, guessed.MaxY),
              std::tie(want.MinX, want.MinY, want.MaxX, want.MaxY));
  }
}

TEST(MapDrawing, OffsetsShortenALineAtEachEndAndALineTooShortForThemGoes) {
  SymbolDefinitions d = Definitions();
  d.Symbols.push_back(
      Make(7, LineDefinition{.Colour = 1, .Width = 100, .StartOffset = 1000, .EndOffset = 3000}));
  const MapPicture drawn = DrawMap(d, {Line(7, {{0, 0, 0}, {10000, 0, 0}}, 10)}, {});
  ASSERT_EQ(drawn.Picture.Items.size(), 1u);
  const PicturePart& stroke = drawn.Picture.Parts.at(drawn.Picture.Items[0].FirstPart);
  ASSERT_EQ(stroke.Count, 2u);
  EXPECT_NEAR(drawn.Picture.Points[stroke.First].X, 1000, 1e-3);
  EXPECT_NEAR(drawn.Picture.Points[stroke.First + 1].X, 7000, 1e-3);
  EXPECT_TRUE(DrawMap(d, {Line(7, {{0, 0, 0}, {3500, 0, 0}}, 10)}, {}).Picture.Items.empty());
  // A point symbol among a combined symbol's parts stands on the object's first point.
  const PointDefinition dot{.InnerRadius = 300, .InnerColour = 1};
  d.Symbols.push_back(Make(8, CombinedDefinition{{Make(0, dot)}}));
  const MapPicture placed = DrawMap(d, {Line(8, {{2000, 0, 0}, {10000, 0, 0}}, 11)}, {});
  ASSERT_EQ(placed.Picture.Items.size(), 1u);
  EXPECT_NEAR(placed.Picture.Items[0].Bounds.MinX + placed.Picture.Items[0].Bounds.MaxX, 4000, 1);
  // Around a corner the shortened line keeps the corner.
  const MapPicture bent = DrawMap(d, {Line(7, {{0, 0, 0}, {10000, 0, 0}, {10000, 10000, 0}}, 10)}, {});
  ASSERT_EQ(bent.Picture.Items.size(), 1u);
  const PicturePart& around = bent.Picture.Parts.at(bent.Picture.Items[0].FirstPart);
  ASSERT_EQ(around.Count, 3u);
  EXPECT_NEAR(bent.Picture.Points[around.First + 1].X, 10000, 1e-3);
  EXPECT_NEAR(bent.Picture.Points[around.First + 1].Y, 0, 1e-3);
  EXPECT_NEAR(bent.Picture.Points[around.First + 2].Y, 7000, 1e-3);
}

// The items of one colour and kind.
std::vector<const PictureItem*> ItemsOf(const MapPicture& drawn, Colour rgb, PictureItem::Kind type) {
  std::vector<const PictureItem*> found;
  for (const PictureItem& item : drawn.Picture.Items)
    if (item.Rgb == rgb && item.Type == type) found.push_back(&item);
  return found;
}

TEST(MapDrawing, BordersKeepTheirSidesAndAPointedEndNarrowsToItsTip) {
  // An eastbound line 1 mm wide: its red left border runs north of it, its blue right one south.
  SymbolDefinitions d = Definitions();
  // The right one's 4 mm dashes and 2 mm gaps: two dashes fill the 10 mm.
  d.Symbols.push_back(Make(7, LineDefinition{.Colour = 1, .Width = 1000, .Cap = CapStyle::Pointed,
                                             .StartOffset = 2000, .HasBorders = true,
                                             .LeftBorder = {0, 100, 0},
                                             .RightBorder = {2, 300, 0, true, 4000, 2000}}));
  const MapPicture drawn = DrawMap(d, {Line(7, {{0, 0, 0}, {10000, 0, 0}}, 10)}, {});
  // The extent reaches the wider (right) border's outer edge: 500 + 150.
  EXPECT_EQ(std::tuple(drawn.Extent.MinY, drawn.Extent.MaxX), std::tuple(-650.0, 10650.0));
  // The solid one runs with the line past its pointed start; the dashed one along the whole.
  for (const auto& [rgb, y, from, to] : {std::tuple{MakeColour(255, 0, 0), 500.0, 2000.0, 10000.0},
                                         {MakeColour(0, 0, 255), -500.0, 0.0, 4000.0}}) {
    const auto borders = ItemsOf(drawn, rgb, PictureItem::Kind::Stroke);
    ASSERT_EQ(borders.size(), 1u);
    EXPECT_EQ(borders[0]->PartCount, y > 0 ? 1u : 2u);
    const PicturePart& border = drawn.Picture.Parts.at(borders[0]->FirstPart);
    ASSERT_EQ(border.Count, 2u);
    const auto& start = drawn.Picture.Points[border.First];
    EXPECT_NEAR(start.Y, y, 1e-3);
    EXPECT_NEAR(start.X, from, 1e-3);
    EXPECT_NEAR(drawn.Picture.Points[border.First + 1].X, to, 1e-3);
  }
  // The start's 2 mm are a point: no width at the line's start, the whole width where it ends.
  const auto caps = ItemsOf(drawn, MakeColour(0, 0, 0), PictureItem::Kind::FillUnion);
  ASSERT_EQ(caps.size(), 1u);
  const PicturePart& cap = drawn.Picture.Parts.at(caps[0]->FirstPart);
  for (std::uint32_t i = 0; i < cap.Count; ++i) {
    const auto& p = drawn.Picture.Points[cap.First + i];
    EXPECT_NEAR(std::abs(p.Y), 500 * p.X / 2000, 1e-3) << "point " << i;
  }
}

TEST(MapDrawing, EndAndDashPointSymbolsSitOnTheirVerticesFacingAlongTheLine) {
  // Ticks 0.5 mm long pointing along the line: red at its start, blue at its end, black on
  // the corner's dash point, turned halfway and grown with the miter (by the square root of 2).
  SymbolDefinitions d = Definitions();
  d.Symbols.push_back(Make(
      7, LineDefinition{.StartSymbol = Tick(0), .EndSymbol = Tick(2), .DashSymbol = Tick(1)}));
  const MapPicture drawn = DrawMap(
      d, {Line(7, {{0, 0, 0}, {10000, 0, point_flag::kDash}, {10000, 10000, 0}}, 10)}, {});
  for (const auto& [rgb, from, to] :
       {std::tuple{MakeColour(255, 0, 0), Vec2{0, 0}, Vec2{500, 0}},
        {MakeColour(0, 0, 0), Vec2{10000, 0}, Vec2{10500, 500}},
        {MakeColour(0, 0, 255), Vec2{10000, 10000}, Vec2{10000, 10500}}}) {
    const auto ticks = ItemsOf(drawn, rgb, PictureItem::Kind::Stroke);
    ASSERT_EQ(ticks.size(), 1u);
    const PicturePart& part = drawn.Picture.Parts.at(ticks[0]->FirstPart);
    ASSERT_EQ(part.Count, 2u);
    for (const auto& [p, expected] : {std::pair{drawn.Picture.Points[part.First], from},
                                      {drawn.Picture.Points[part.First + 1], to}}) {
      EXPECT_NEAR(p.X, expected.X, 1e-3) << rgb;
      EXPECT_NEAR(p.Y, expected.Y, 1e-3) << rgb;
    }
  }
  // The extent allows the dash point twice its reach (550), as the miter may grow it.
  EXPECT_EQ(std::tuple(drawn.Extent.MinX, drawn.Extent.MaxY), std::tuple(-1100.0, 11100.0));
}

TEST(MapDrawing, PatternPointsTurnOnlyWithARotatablePatternAndShadowsFallByTheirOffset) {
  SymbolDefinitions d = Definitions();
  FillPattern points{.Type = FillPattern::Kind::Points, .LineSpacing = 2000, .PointDistance = 2000,
                     .Point = Tick(1), .AtEdge = FillPattern::Edge::CentreInside};
  d.Symbols.push_back(Make(7, AreaDefinition{kNoColour, {points}}));
  points.Rotatable = true;
  d.Symbols.push_back(Make(8, AreaDefinition{kNoColour, {points}}));
  d.Placements[1] = {.Rotation = std::numbers::pi / 2};
  for (const auto& [symbol, turns] : {std::pair{7, false}, {8, true}}) {
    const MapPicture drawn = DrawMap(d, {Square(symbol, 0, 0, 10000, 1)}, {});
    ASSERT_EQ(drawn.Picture.Items.size(), 1u);
    const PictureItem& ticks = drawn.Picture.Items[0];
    ASSERT_GT(ticks.PartCount, 4u);
    for (std::uint32_t i = 0; i < ticks.PartCount; ++i) {
      const PicturePart& part = drawn.Picture.Parts[ticks.FirstPart + i];
      const auto& from = drawn.Picture.Points[part.First];
      const auto& to = drawn.Picture.Points[part.First + 1];
      EXPECT_NEAR(to.X - from.X, turns ? 0 : 500, 1e-3) << symbol;
      EXPECT_NEAR(to.Y - from.Y, turns ? 500 : 0, 1e-3) << symbol;
    }
  }

  // At the edge of a triangle with a slanting side (x + y < 11 mm) the rule picks the points:
  // centres inside, the whole reach (550) inside, or any of it.
  d.Symbols.resize(d.Symbols.size() - 2);
  for (const auto& [edge, count] : {std::pair{FillPattern::Edge::CentreInside, 10u},
                                    {FillPattern::Edge::WhollyInside, 6u},
                                    {FillPattern::Edge::PartlyInside, 15u}}) {
    points.AtEdge = edge;
    points.Rotatable = false;
    d.Symbols.push_back(Make(7, AreaDefinition{kNoColour, {points}}));
    FormatObject triangle = Line(7, {{1000, 1000, 0}, {10000, 1000, 0}, {1000, 10000, 0}, {1000, 1000, 0}}, 2);
    triangle.Kind = ObjectKind::Area;
    const MapPicture drawn = DrawMap(d, {triangle}, {});
    ASSERT_EQ(drawn.Picture.Items.size(), 1u);
    EXPECT_EQ(drawn.Picture.Items[0].PartCount, count) << static_cast<int>(edge);
    d.Symbols.pop_back();
  }

  d.Symbols.push_back(Make(9, TextDefinition{.Colour = 1,
                                             .FramingMode = TextDefinition::Framing::Shadow,
                                             .FramingColour = 0, .ShadowX = 30, .ShadowY = -40}));
  FormatObject label = Line(9, {{100, 200, 0}}, 11);
  label.Text = "Shadow";
  const MapPicture shaded = DrawMap(d, {label}, {});
  ASSERT_EQ(shaded.Picture.Texts.size(), 2u);
  std::vector<std::pair<float, float>> anchors;
  for (const PictureText& set : shaded.Picture.Texts) anchors.emplace_back(set.Anchor.X, set.Anchor.Y);
  std::sort(anchors.begin(), anchors.end());
  EXPECT_EQ(anchors, (std::vector<std::pair<float, float>>{{100, 200}, {130, 160}}));
}

TEST(MapDrawing, APointsRingLiesOutsideItsDot) {
  // A ring 200 wide around a dot of radius 500 covers 500 to 700: its pen runs along 600.
  SymbolDefinitions d = Definitions();
  d.Symbols.push_back(
      Make(7, PointDefinition{.InnerRadius = 500, .OuterWidth = 200, .OuterColour = 1}));
  const MapPicture drawn = DrawMap(d, {Line(7, {{5000, 5000, 0}}, 10)}, {});
  ASSERT_EQ(drawn.Picture.Items.size(), 1u);
  EXPECT_EQ(drawn.Picture.Items[0].Width, 200);
  const PicturePart& ring = drawn.Picture.Parts.at(drawn.Picture.Items[0].FirstPart);
  ASSERT_GT(ring.Count, 8u);
  for (std::uint32_t i = 0; i < ring.Count; ++i) {
    const auto& p = drawn.Picture.Points[ring.First + i];
    EXPECT_NEAR(std::hypot(p.X - 5000, p.Y - 5000), 600, 2) << "point " << i;
  }
  // The drawing's extent takes in the ring's outer edge.
  EXPECT_EQ(std::tuple(drawn.Extent.MinX, drawn.Extent.MaxY), std::tuple(4300.0, 5700.0));
}

TEST(PictureFrame, WholePixelsOnTheGridOfThePapersOrigin) {
  Box extent;
  extent.Add({-1234, -10});
  extent.Add({98765, 5050});
  // 254 dpi: 100 micrometres a pixel; every side goes out to the next whole pixel.
  const PictureFrame frame = FrameFor(extent, 254);
  EXPECT_DOUBLE_EQ(frame.View.Left, -1300);
  EXPECT_DOUBLE_EQ(frame.View.Top, 5100);
  EXPECT_EQ(std::tuple(frame.View.Width, frame.View.Height), std::tuple(1001, 52));
  EXPECT_FALSE(frame.TooLarge);
  EXPECT_TRUE(FrameFor(extent, 254 * 200).TooLarge);
  // One pixel wide: 16384 pixels tall is the tallest picture.
  for (const auto& [height, tooLarge] : {std::pair{16384, false}, {16385, true}}) {
    const PictureFrame tall = FrameFor(Box{0, 0, 100, height * 100.0}, 254);
    EXPECT_EQ(std::tuple(tall.TooLarge, tall.View.Height),
              std::tuple(tooLarge, tooLarge ? 0 : height));
  }
}

#ifdef TERRAK_IMAGE_MODULE_PATH
TEST(PicturePainting, TheModulesPainterDrawsTheColoursInOrder) {
  const SymbolDefinitions d = Definitions();
  const MapPicture drawn =
      DrawMap(d, {Square(1, 0, 0, 10000, 1), Square(2, 5000, 5000, 10000, 2),
                  Line(3, {{0, 20050, 0}, {20000, 20050, 0}}, 3)},
              {});
  // 100 micrometres a pixel.
  const PictureView view{.Left = 0, .Top = 25000, .PixelsPerMicrometre = 0.01, .Width = 200,
                         .Height = 250};
  const std::unique_ptr<PicturePainter> painter =
      MakeModulePicturePainter({TERRAK_IMAGE_MODULE_PATH});
  std::vector<Colour> pixels;
  painter->Paint(drawn.Picture, view, pixels);
  ASSERT_EQ(pixels.size(), 200u * 250u);
  auto at = [&](double x, double y) {
    return pixels[static_cast<std::size_t>((25000 - y) / 100) * 200 + static_cast<std::size_t>(x / 100)];
  };
  EXPECT_EQ(at(2550, 2550), MakeColour(255, 0, 0));    // red alone
  EXPECT_EQ(at(7550, 7550), MakeColour(255, 0, 0));    // red over blue
  EXPECT_EQ(at(12550, 12550), MakeColour(0, 0, 255));  // blue alone
  EXPECT_EQ(at(18050, 20050), MakeColour(0, 0, 0));    // on the line
  EXPECT_EQ(at(18050, 21550), kWhite);
  // Antialiased: the line's edges (half a pixel off the grid) are grey.
  const Colour edge = at(10050, 20560);
  EXPECT_NE(edge, kWhite);
  EXPECT_NE(edge, MakeColour(0, 0, 0));
}

TEST(PicturePainting, TextsTurnCounterclockwiseAndLieOnTheSideOfTheirAnchorTheyAlignTo) {
  SymbolDefinitions d = Definitions();
  d.Symbols.push_back(Make(7, TextDefinition{.FontSize = 3000, .Colour = 1}));
  std::vector<FormatObject> labels;
  const std::pair<TextHAlign, TextVAlign> aligns[] = {
      {TextHAlign::Left, TextVAlign::Baseline}, {TextHAlign::Right, TextVAlign::Top},
      {TextHAlign::Centre, TextVAlign::Bottom}, {TextHAlign::Left, TextVAlign::Baseline}};
  for (std::size_t i = 0; i < 4; ++i) {
    labels.push_back(Line(7, {{10000, 10000, 0}}, 20 + std::int64_t(i)));
    labels.back().Text = "Wood";
    d.Placements[20 + std::int64_t(i)] = {.Rotation = i == 3 ? std::numbers::pi / 2 : 0.0,
                                          .HAlign = aligns[i].first, .VAlign = aligns[i].second};
  }
  const MapPicture drawn = DrawMap(d, labels, {});
  const std::vector<PictureBox> boxes =
      MakeModulePicturePainter({TERRAK_IMAGE_MODULE_PATH})->TextBounds(drawn.Picture);
  ASSERT_EQ(boxes.size(), 4u);
  const PictureBox& left = boxes[0];  // east of the anchor, standing on it
  EXPECT_NEAR(left.MinX, 10000, 400);
  EXPECT_GT(left.MaxX, 13000);
  EXPECT_GT(left.MaxY, 11500);
  EXPECT_GT(left.MinY, 9900);
  const PictureBox& right = boxes[1];  // west of it, hanging below it
  EXPECT_NEAR(right.MaxX, 10000, 400);
  EXPECT_LT(right.MaxY, 10100);
  const PictureBox& centre = boxes[2];  // either side, above it
  EXPECT_NEAR(centre.MinX + centre.MaxX, 20000, 400);
  EXPECT_NEAR(centre.MinY, 10000, 400);
  const PictureBox& turned = boxes[3];  // a quarter turn counterclockwise: north, west of it
  EXPECT_NEAR(turned.MinY, 10000, 400);
  EXPECT_GT(turned.MaxY, 13000);
  EXPECT_LT(turned.MaxX, 10100);
  EXPECT_LT(turned.MinX, 8500);
}
#endif

}  // namespace
}  // namespace terrak::mapdraw

// OCAD symbol records decoded into the neutral form for versions 8, 11 and 12: a line with a
// dash pattern, a double line and a framing; an area with cross hatching, shifted rows of a
// structure and a border; point symbols whose circles count their diameter differently up to
// version 8; a text symbol; and records cut short.
#include <gtest/gtest.h>

#include <numbers>
#include <tuple>

#include "common/bytes.h"
#include "mapfile/ocad_symbol_records.h"

namespace terrak::ocad {
namespace {

// Colour numbers 3, 5, 6, 7 are the table's places 0 to 3.
const ColourNumbers kColours{{3, 0}, {5, 1}, {6, 2}, {7, 3}};

struct RecordBuilder {
  SymbolRecordLayout Layout;
  std::vector<std::uint8_t> Bytes;
  RecordBuilder(int version, std::int32_t number, int type, std::size_t size = 1200)
      : Layout(SymbolRecordLayoutOf(version)), Bytes(size, 0) {
    if (Layout.WideNumber) {
      PutI32(Bytes.data(), static_cast<std::int32_t>(size));
      PutI32(Bytes.data() + 4, number);
      Bytes[8] = static_cast<std::uint8_t>(type);
    } else {
      PutU16(Bytes.data(), static_cast<std::uint16_t>(size));
      PutI16(Bytes.data() + 2, static_cast<std::int16_t>(number));
      PutU16(Bytes.data() + 4, static_cast<std::uint16_t>(type));
    }
  }
  void U16(std::int64_t own, std::uint16_t v) { PutU16(Bytes.data() + Layout.CommonSize + own, v); }
  // Fields of two bytes at their offsets into the symbol's own part.
  void U16s(std::initializer_list<std::pair<std::int64_t, std::uint16_t>> fields) {
    for (const auto& [own, v] : fields) U16(own, v);
  }
  void U8(std::int64_t own, std::uint8_t v) { Bytes[static_cast<std::size_t>(Layout.CommonSize + own)] = v; }
  void I32(std::int64_t own, std::int32_t v) { PutI32(Bytes.data() + Layout.CommonSize + own, v); }
  DecodedSymbol Decode(std::vector<std::string>& notes) const {
    return DecodeSymbolRecord(Bytes, Layout, kColours, notes);
  }
};

TEST(OcadSymbolRecords, ALineWithDashesDoubleLineAndFramingBecomesThreeLines) {
  RecordBuilder b(11, 501000, 2);
  // Colour 3, 0.35 mm wide, miter joins and flat ends, dashes of 3 mm with gaps of 0.5 mm.
  b.U16s({{0, 3}, {2, 35}, {4, 4}, {10, 300}, {14, 50}});
  // A continuous double line with its fill of 0.4 mm in colour 5, borders of 0.1 mm in 6.
  b.U16s({{26, 1}, {28, 1}, {30, 5}, {32, 6}, {34, 6}, {36, 40}, {38, 10}, {40, 10}});
  b.U16s({{58, 7}, {60, 60}, {62, 1}});  // framing: colour 7, 0.6 mm, round
  std::vector<std::string> notes;
  const DecodedSymbol decoded = b.Decode(notes);
  EXPECT_EQ(decoded.Symbol->Number, 501000);
  const auto& parts = std::get<CombinedDefinition>(decoded.Symbol->Drawing).Parts;
  ASSERT_EQ(parts.size(), 3u);
  const auto& main = std::get<LineDefinition>(parts[0]->Drawing);
  EXPECT_EQ(std::tie(main.Colour, main.Width, main.DashLength, main.BreakLength),
            std::tuple(0, 350, 3000, 500));
  EXPECT_TRUE(main.Join == JoinStyle::Miter && main.Dashed);
  const auto& framing = std::get<LineDefinition>(parts[1]->Drawing);
  EXPECT_EQ(std::tie(framing.Width, framing.Colour), std::tuple(600, 3));
  EXPECT_EQ(framing.Cap, CapStyle::Round);
  const auto& doubled = std::get<LineDefinition>(parts[2]->Drawing);
  EXPECT_EQ(std::tie(doubled.Width, doubled.Colour), std::tuple(400, 1));
  ASSERT_TRUE(doubled.HasBorders);
  // The borders lie outside the fill, touching it.
  EXPECT_EQ(
      std::tie(doubled.LeftBorder.Width, doubled.LeftBorder.Shift, doubled.RightBorder.Colour),
      std::tuple(100, 50, 2));
  EXPECT_FALSE(doubled.LeftBorder.Dashed);
  EXPECT_TRUE(notes.empty());
}

TEST(OcadSymbolRecords, AreasHatchStructureAndBorderByVersion) {
  // Version 12: the structure fields grew by four bytes, moving the elements.
  RecordBuilder b(12, 406000, 3);
  b.I32(0, 501000);  // border symbol
  // Fill colour 3; cross hatching in colour 5, 0.1 mm lines 0.5 mm apart at 45 and 135 degrees.
  b.U16s({{4 + 0, 3}, {4 + 2, 2}, {4 + 4, 5}, {4 + 6, 10}, {4 + 8, 50}, {4 + 10, 450},
          {4 + 12, 1350}});
  b.U8(4 + 14, 1);   // fill on
  b.U8(4 + 15, 1);   // border on
  b.U8(4 + 16, 2);   // shifted rows
  b.U16s({{4 + 18, 100}, {4 + 20, 80}});
  // One element: a dot without coordinates.
  b.U16s({{34, 2}, {36 + 0, 4}, {36 + 4, 3}, {36 + 8, 20}});
  std::vector<std::string> notes;
  std::vector<DecodedSymbol> symbols{b.Decode(notes)};
  EXPECT_EQ(symbols[0].BorderSymbol, 501000);
  const auto& area = std::get<AreaDefinition>(symbols[0].Symbol->Drawing);
  EXPECT_EQ(area.Colour, 0);
  ASSERT_EQ(area.Patterns.size(), 4u);
  EXPECT_NEAR(area.Patterns[0].Angle, std::numbers::pi / 4, 1e-12);
  EXPECT_NEAR(area.Patterns[1].Angle, 3 * std::numbers::pi / 4, 1e-12);
  // From version 9 on the hatch spacing is centre to centre; every other row of the structure
  // is shifted by half a width.
  EXPECT_EQ(std::tie(area.Patterns[0].LineSpacing, area.Patterns[0].LineWidth,
                     area.Patterns[2].LineSpacing, area.Patterns[3].LineOffset,
                     area.Patterns[3].OffsetAlongLine),
            std::tuple(500, 100, 1600, 800, 500));
  ASSERT_TRUE(area.Patterns[3].Point);
  ASSERT_EQ(area.Patterns[3].Point->Elements.size(), 1u);
  EXPECT_EQ(std::get<PointDefinition>(area.Patterns[3].Point->Elements[0].Symbol->Drawing).InnerRadius, 100);

  // The border line joins the area.
  RecordBuilder line(12, 501000, 2);
  line.U16(2, 20);
  symbols.push_back(line.Decode(notes));
  AttachAreaBorders(symbols, notes);
  const auto& combined = std::get<CombinedDefinition>(symbols[0].Symbol->Drawing);
  ASSERT_EQ(combined.Parts.size(), 2u);
  EXPECT_EQ(std::get<LineDefinition>(combined.Parts[1]->Drawing).Width, 200);

  // Up to version 8 the hatch distance is the gap between the lines.
  RecordBuilder old(8, 406, 3);
  old.U16s({{2, 1}, {4 + 2, 1}, {4 + 6, 10}, {4 + 8, 50}});  // fill on, hatching
  const DecodedSymbol oldSymbol = old.Decode(notes);
  const auto& oldArea = std::get<AreaDefinition>(oldSymbol.Symbol->Drawing);
  ASSERT_EQ(oldArea.Patterns.size(), 1u);
  EXPECT_EQ(oldArea.Patterns[0].LineSpacing, 600);
}

TEST(OcadSymbolRecords, CirclesCountTheirDiameterDifferentlyUpToVersion8) {
  for (const int version : {8, 9}) {
    RecordBuilder b(version, version == 8 ? 112 : 112000, 1);
    // A circle element and its coordinate: line width 0.1 mm, diameter 1 mm.
    b.U16s({{0, 2 + 1}, {4 + 0, 3}, {4 + 4, 3}, {4 + 6, 10}, {4 + 8, 100}, {4 + 10, 1}});
    PutI32(b.Bytes.data() + b.Layout.CommonSize + 4 + 16, 50 << 8);  // x 0.5 mm
    std::vector<std::string> notes;
    const DecodedSymbol decoded = b.Decode(notes);
    const auto& point = std::get<PointDefinition>(decoded.Symbol->Drawing);
    ASSERT_EQ(point.Elements.size(), 1u);
    EXPECT_EQ(point.Elements[0].Points.at(0).X, 500);
    const auto& circle = std::get<PointDefinition>(point.Elements[0].Symbol->Drawing);
    EXPECT_EQ(circle.OuterWidth, 100);
    // Version 8: 1 mm across the ring's outside; 9: across its centre line.
    EXPECT_EQ(circle.InnerRadius, version == 8 ? 400 : 450);
  }
}

TEST(OcadSymbolRecords, TextSymbolsTextsInABoxAndDamagedRecords) {
  RecordBuilder b(8, 990, 4);
  const std::string font = "Arial";
  b.Bytes[348] = static_cast<std::uint8_t>(font.size());
  std::copy(font.begin(), font.end(), b.Bytes.begin() + 349);
  b.U16s({{32, 7}, {34, 60}, {36, 700}, {44, 1}, {46, 150}});  // colour 7, 6 pt bold, centred, 150 %
  std::vector<std::string> notes;
  const DecodedSymbol decoded = b.Decode(notes);
  const auto& text = std::get<TextDefinition>(decoded.Symbol->Drawing);
  EXPECT_EQ(text.FontFamily, "Arial");
  // 6 pt is 2.117 mm.
  EXPECT_EQ(std::tie(text.FontSize, text.Colour, text.AbsoluteLineSpacing),
            std::tuple(2117, 3, 3176));
  EXPECT_TRUE(text.Bold && decoded.HAlign == TextHAlign::Centre);

  // A line symbol cut off after its width, its colour not in the table: drawn plainly, named.
  RecordBuilder cut(11, 101000, 2, 796 + 4);
  cut.U16s({{0, 99}, {2, 14}});
  notes.clear();
  const DecodedSymbol plain = cut.Decode(notes);
  const auto& line = std::get<LineDefinition>(plain.Symbol->Drawing);
  EXPECT_EQ(std::tuple(line.Width, line.Colour), std::tuple(140, kNoColour));
  EXPECT_FALSE(notes.empty());
  // Nothing at all, or a type the program does not know: a hidden symbol, no crash.
  notes.clear();
  EXPECT_TRUE(DecodeSymbolRecord({}, SymbolRecordLayoutOf(12), kColours, notes).Symbol->Hidden);
  EXPECT_FALSE(notes.empty());

  // A text in a box is centred in it, turned with it, and keeps its alignment.
  DecodedSymbol symbol;
  symbol.HAlign = TextHAlign::Right;
  const std::vector<FormatPoint> corners{{0, 0, 0}, {4000, 0, 0}, {4000, 2000, 0}, {0, 2000, 0}};
  const ObjectPlacement boxed = PlacementOf(&symbol, ObjectKind::Text, 900, corners);
  EXPECT_NEAR(boxed.Rotation, std::numbers::pi / 2, 1e-12);
  EXPECT_EQ(std::tie(boxed.BoxCentre.X, boxed.BoxCentre.Y, boxed.BoxWidth, boxed.BoxHeight),
            std::tuple(2000, 1000, 4000, 2000));
  EXPECT_TRUE(boxed.HAlign == TextHAlign::Right && boxed.VAlign == TextVAlign::Top);
  EXPECT_NEAR(PlacementOf(nullptr, ObjectKind::Point, -900, {}).Rotation, 1.5 * std::numbers::pi,
              1e-12);
}

}  // namespace
}  // namespace terrak::ocad

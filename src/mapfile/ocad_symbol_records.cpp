#include "mapfile/ocad_symbol_records.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/bytes.h"
#include "mapfile/text_encoding.h"

namespace terrak::ocad {

namespace {

// Symbol types.
constexpr int kPointType = 1;
constexpr int kLineType = 2;
constexpr int kAreaType = 3;
constexpr int kTextType = 4;
constexpr int kRectangleType8 = 5;
constexpr int kLineTextType = 6;
constexpr int kRectangleType9 = 7;

constexpr std::uint8_t kRotatableFlag = 1;
constexpr std::uint8_t kProtectedStatus = 1;
constexpr std::uint8_t kHiddenStatus = 2;

// Point symbol elements: a 16-byte head (type, flags, colour, line width, diameter, number of
// coordinates), then the coordinates, all counted in 8-byte units.
constexpr int kLineElement = 1;
constexpr int kAreaElement = 2;
constexpr int kCircleElement = 3;
constexpr int kDotElement = 4;

// Line symbols' own fields.
constexpr std::int64_t kLineColour = 0, kLineWidth = 2, kLineStyle = 4, kDistFromStart = 6,
                       kDistFromEnd = 8, kMainLength = 10, kEndLength = 12, kMainGap = 14,
                       kSecGap = 16, kPrimSymbols = 22, kPrimSymbolDist = 24, kDoubleMode = 26,
                       kDoubleFlags = 28, kDoubleColour = 30, kDoubleLeftColour = 32,
                       kDoubleRightColour = 34, kDoubleWidth = 36, kDoubleLeftWidth = 38,
                       kDoubleRightWidth = 40, kDoubleLength = 42, kDoubleGap = 44,
                       kFramingColour = 58, kFramingWidth = 60, kFramingStyle = 62,
                       kPrimarySize = 64, kSecondarySize = 66, kCornerSize = 68, kStartSize = 70,
                       kEndSize = 72, kLineElements = 76;
// Area symbols' own fields, from their common part (4 bytes into the type's fields).
constexpr std::int64_t kAreaCommon = 4;
constexpr std::int64_t kFillColour = 0, kHatchMode = 2, kHatchColour = 4, kHatchWidth = 6,
                       kHatchDist = 8, kHatchAngle1 = 10, kHatchAngle2 = 12, kFillOn9 = 14,
                       kBorderOn9 = 15, kStructureMode = 16, kStructureWidth = 18,
                       kStructureHeight = 20, kStructureAngle = 22;
// Text symbols' own fields.
constexpr std::int64_t kFontName = 0, kTextColour = 32, kFontSize = 34, kFontWeight = 36,
                       kFontItalic = 38, kCharSpacing = 40, kAlignment = 44, kLineSpacing = 46,
                       kParaSpacing = 48, kLineBelowOn = 184, kLineBelowColour = 186,
                       kLineBelowWidth = 188, kLineBelowOffset = 190, kFramingMode = 194,
                       kTextFramingColour = 228, kTextFramingWidth = 230, kShadowX = 236,
                       kShadowY = 238;

// Line styles: join and cap.
struct LineStyle {
  JoinStyle Join;
  CapStyle Cap;
};

// The bytes of one record; fields beyond its end read as zero.
class Record {
 public:
  explicit Record(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
  bool Holds(std::int64_t at, std::int64_t size) const {
    return at >= 0 && size >= 0 && at <= Size() && size <= Size() - at;
  }
  std::uint8_t U8(std::int64_t at) const { return Holds(at, 1) ? bytes_[Index(at)] : 0; }
  std::uint16_t U16(std::int64_t at) const {
    return Holds(at, 2) ? GetU16(bytes_.data() + at) : 0;
  }
  std::int16_t I16(std::int64_t at) const { return static_cast<std::int16_t>(U16(at)); }
  std::int32_t I32(std::int64_t at) const {
    return Holds(at, 4) ? GetI32(bytes_.data() + at) : 0;
  }
  // A length byte and up to 31 characters.
  std::string Pascal31(std::int64_t at, bool utf8) const {
    if (!Holds(at, 1)) return {};
    const std::int64_t length =
        std::min<std::int64_t>({U8(at), 31, Size() - at - 1});
    const std::string raw(reinterpret_cast<const char*>(bytes_.data() + at + 1),
                          static_cast<std::size_t>(length));
    return utf8 ? ValidUtf8(raw) : Windows1252ToUtf8(raw);
  }

 private:
  static std::size_t Index(std::int64_t at) { return static_cast<std::size_t>(at); }
  std::span<const std::uint8_t> bytes_;
};

// Context of one record's decoding.
struct Decoder {
  const Record& Bytes;
  const SymbolRecordLayout& Layout;
  const ColourNumbers& Colours;
  std::vector<std::string>& Notes;
  std::string Name;  // "symbol 103.2", for the notes

  std::int64_t Own(std::int64_t field) const { return Layout.CommonSize + field; }

  ColourRef Colour(int number) const {
    const auto found = Colours.find(number);
    if (found != Colours.end()) return found->second;
    Notes.push_back(Name + " names colour " + std::to_string(number) +
                    ", which the colour table lacks");
    return kNoColour;
  }
  // A length of 0.01 mm in 1/1000 mm.
  static std::int32_t Length(std::int32_t hundredths) { return 10 * hundredths; }
};

std::int32_t ClampedHundredths(std::int32_t value) {
  return std::clamp<std::int32_t>(value, -200'000'000, 200'000'000);
}

FormatPoint DecodePoint(std::int32_t x, std::int32_t y) {
  return {ClampedHundredths(x >> 8) * 10, ClampedHundredths(y >> 8) * 10,
          static_cast<std::uint32_t>(x & 0xFF) | (static_cast<std::uint32_t>(y & 0xFF) << 8)};
}

LineStyle LineStyleOf(std::uint16_t style, Decoder& d) {
  switch (style) {
    case 0:
      return {JoinStyle::Bevel, CapStyle::Flat};
    case 1:
      return {JoinStyle::Round, CapStyle::Round};
    case 2:
      return {JoinStyle::Bevel, CapStyle::Pointed};
    case 3:
      return {JoinStyle::Round, CapStyle::Pointed};
    case 4:
      return {JoinStyle::Miter, CapStyle::Flat};
    case 6:
      return {JoinStyle::Miter, CapStyle::Pointed};
    default:
      d.Notes.push_back(d.Name + " has line style " + std::to_string(style) +
                        ", drawn with flat ends");
      return {JoinStyle::Bevel, CapStyle::Flat};
  }
}

std::shared_ptr<SymbolDefinition> WrapSymbol(auto drawing) {
  auto symbol = std::make_shared<SymbolDefinition>();
  symbol->Drawing = std::move(drawing);
  return symbol;
}

// The elements of a point symbol: units 8-byte units from at. Dots and circles become small
// point symbols placed on their coordinate; lines and areas keep their coordinates.
std::shared_ptr<PointDefinition> DecodeElements(const Decoder& d, std::int64_t at,
                                                std::int64_t units) {
  auto point = std::make_shared<PointDefinition>();
  point->Rotatable = true;
  const std::int64_t end = at + 8 * std::max<std::int64_t>(units, 0);
  for (std::int64_t pos = at; pos + 16 <= end && d.Bytes.Holds(pos, 16);) {
    const int type = d.Bytes.U16(pos);
    const std::uint16_t flags = d.Bytes.U16(pos + 2);
    const int colour = d.Bytes.U16(pos + 4);
    const std::int32_t lineWidth = d.Bytes.I16(pos + 6);
    const std::int32_t diameter = d.Bytes.I16(pos + 8);
    const std::int64_t count = d.Bytes.U16(pos + 10);
    const std::int64_t coords = pos + 16;
    pos = coords + 8 * count;
    if (pos > end || !d.Bytes.Holds(coords, 8 * count)) {
      d.Notes.push_back(d.Name + " has a symbol element that runs past its record");
      break;
    }
    std::vector<FormatPoint> points;
    points.reserve(static_cast<std::size_t>(count));
    for (std::int64_t k = 0; k < count; ++k)
      points.push_back(DecodePoint(d.Bytes.I32(coords + 8 * k), d.Bytes.I32(coords + 8 * k + 4)));
    PointElement element;
    switch (type) {
      case kDotElement: {
        if (diameter <= 0) continue;
        PointDefinition dot;
        dot.InnerRadius = Decoder::Length(diameter) / 2;
        dot.InnerColour = d.Colour(colour);
        element.Symbol = WrapSymbol(std::move(dot));
        element.Points = {points.empty() ? FormatPoint{} : points.front()};
        break;
      }
      case kCircleElement: {
        // Up to version 8 the diameter is the ring's outer one, later its centre line's.
        const std::int32_t radius =
            d.Layout.Version <= 8 ? diameter / 2 - lineWidth : (diameter - lineWidth) / 2;
        if (radius <= 0 || lineWidth <= 0) continue;
        PointDefinition circle;
        circle.InnerRadius = Decoder::Length(radius);
        circle.OuterWidth = Decoder::Length(lineWidth);
        circle.OuterColour = d.Colour(colour);
        element.Symbol = WrapSymbol(std::move(circle));
        element.Points = {points.empty() ? FormatPoint{} : points.front()};
        break;
      }
      case kLineElement: {
        if (lineWidth <= 0) continue;
        LineDefinition line;
        line.Width = Decoder::Length(lineWidth);
        line.Colour = d.Colour(colour);
        line.Cap = flags == 1 ? CapStyle::Round : CapStyle::Flat;
        line.Join = flags == 1 ? JoinStyle::Round : flags == 4 ? JoinStyle::Miter : JoinStyle::Bevel;
        element.Symbol = WrapSymbol(std::move(line));
        element.Points = std::move(points);
        break;
      }
      case kAreaElement: {
        AreaDefinition area;
        area.Colour = d.Colour(colour);
        element.Symbol = WrapSymbol(std::move(area));
        element.Points = std::move(points);
        break;
      }
      default:
        d.Notes.push_back(d.Name + " has a symbol element of unknown type " + std::to_string(type));
        continue;
    }
    point->Elements.push_back(std::move(element));
  }
  return point;
}

bool IsEmpty(const PointDefinition& point) {
  return point.Elements.empty() && (point.InnerColour < 0 || point.InnerRadius <= 0) &&
         (point.OuterColour < 0 || point.OuterWidth <= 0);
}

// The main line: width, ends, dashes or the spacing of its symbols.
LineDefinition MainLine(Decoder& d) {
  const Record& r = d.Bytes;
  LineDefinition line;
  line.Width = Decoder::Length(r.U16(d.Own(kLineWidth)));
  line.Colour = line.Width > 0 ? d.Colour(r.U16(d.Own(kLineColour))) : kNoColour;
  const LineStyle style = LineStyleOf(r.U16(d.Own(kLineStyle)), d);
  line.Join = style.Join;
  line.Cap = style.Cap;
  if (line.Cap == CapStyle::Pointed) {
    // One length for both ends; OCAD draws pointed ends with round joins.
    const std::int32_t length =
        (r.I16(d.Own(kDistFromStart)) + r.I16(d.Own(kDistFromEnd))) / 2;
    line.StartOffset = line.EndOffset = std::max(0, Decoder::Length(length));
    line.Join = JoinStyle::Round;
  }
  const std::int32_t mainLength = r.I16(d.Own(kMainLength));
  const std::int32_t endLength = r.I16(d.Own(kEndLength));
  const std::int32_t mainGap = r.I16(d.Own(kMainGap));
  const std::int32_t secGap = r.I16(d.Own(kSecGap));
  if (mainGap > 0 || secGap > 0) {
    if (mainLength <= 0) {
      d.Notes.push_back(d.Name + " has gaps but no dash length, drawn solid");
    } else if (secGap > 0 && mainGap <= 0) {
      // Only the short gap: dashes separated by it.
      line.Dashed = true;
      line.DashLength = Decoder::Length(mainLength - secGap);
      line.BreakLength = Decoder::Length(secGap);
    } else {
      line.Dashed = true;
      line.DashLength = Decoder::Length(mainLength);
      line.BreakLength = Decoder::Length(mainGap);
      if (endLength > 0 && endLength != mainLength && 4 * endLength <= 3 * mainLength)
        line.HalfOuterDashes = true;
      if (secGap > 0) {
        // The short gap splits each dash in two.
        line.DashesInGroup = 2;
        line.InGroupBreakLength = Decoder::Length(secGap);
        line.DashLength = (line.DashLength - line.InGroupBreakLength) / 2;
      }
    }
    line.DashLength = std::max(line.DashLength, 0);
  } else {
    line.SegmentLength = Decoder::Length(mainLength);
    line.EndLength = Decoder::Length(endLength);
  }
  return line;
}

// The symbols along the line: primary (or secondary) symbols as mid symbols, corner, start and
// end symbols, each a run of elements after the line's fields.
void LinePointSymbols(Decoder& d, LineDefinition& line) {
  const Record& r = d.Bytes;
  const std::int64_t primary = r.U16(d.Own(kPrimarySize));
  const std::int64_t secondary = r.U16(d.Own(kSecondarySize));
  const std::int64_t corner = r.U16(d.Own(kCornerSize));
  const std::int64_t start = r.U16(d.Own(kStartSize));
  const std::int64_t end = r.U16(d.Own(kEndSize));
  const bool gapsSwapped = r.I16(d.Own(kSecGap)) > 0 && r.I16(d.Own(kMainGap)) <= 0 &&
                           r.I16(d.Own(kMainLength)) > 0;
  std::int64_t at = d.Own(kLineElements);
  if (primary > 0) {
    line.MidPlacement =
        gapsSwapped ? MidSymbolPlacement::CentreOfDashGroup : MidSymbolPlacement::CentreOfGap;
    line.MidSymbolsPerSpot = r.I16(d.Own(kPrimSymbols));
    line.MidSymbolDistance = Decoder::Length(r.I16(d.Own(kPrimSymbolDist)));
    line.MidSymbol = DecodeElements(d, at, primary);
    if (secondary > 0) d.Notes.push_back(d.Name + ": its secondary symbol is left out");
  } else if (secondary > 0) {
    line.MidPlacement =
        gapsSwapped ? MidSymbolPlacement::CentreOfGap : MidSymbolPlacement::CentreOfDashGroup;
    line.MidSymbolsPerSpot = 1;
    line.MidSymbol = DecodeElements(d, at, secondary);
  }
  line.ShowAtLeastOneSymbol = true;
  at += 8 * (primary + secondary);
  if (corner > 0) line.DashSymbol = DecodeElements(d, at, corner);
  at += 8 * corner;
  if (start > 0) line.StartSymbol = DecodeElements(d, at, start);
  at += 8 * start;
  if (end > 0) line.EndSymbol = DecodeElements(d, at, end);
  if (line.StartSymbol && line.EndSymbol) line.SuppressDashSymbolAtEnds = true;
}

bool HasMidSymbol(const LineDefinition& line) {
  return line.MidSymbol && !IsEmpty(*line.MidSymbol);
}

// The framing: a wider line below the main one (OCAD 7 on).
LineDefinition FramingLine(Decoder& d) {
  const Record& r = d.Bytes;
  LineDefinition framing;
  framing.Width = Decoder::Length(r.I16(d.Own(kFramingWidth)));
  framing.Colour = d.Colour(r.U16(d.Own(kFramingColour)));
  const std::uint16_t style = r.U16(d.Own(kFramingStyle));
  if (style == 1) {
    framing.Join = JoinStyle::Round;
    framing.Cap = CapStyle::Round;
  } else {
    framing.Join = style == 4 ? JoinStyle::Miter : JoinStyle::Bevel;
    framing.Cap = CapStyle::Flat;
  }
  return framing;
}

// The double line: a fill between two borders, each of its own colour and width, the borders
// (and the fill) possibly dashed.
LineDefinition DoubleLine(Decoder& d) {
  const Record& r = d.Bytes;
  const std::uint16_t mode = r.U16(d.Own(kDoubleMode));
  LineDefinition line;
  line.Width = Decoder::Length(r.I16(d.Own(kDoubleWidth)));
  line.Colour = line.Width > 0 && (r.U16(d.Own(kDoubleFlags)) & 1)
                    ? d.Colour(r.U16(d.Own(kDoubleColour)))
                    : kNoColour;
  line.Cap = CapStyle::Flat;
  line.Join = JoinStyle::Miter;
  line.HasBorders = true;
  LineBorder& left = line.LeftBorder;
  LineBorder& right = line.RightBorder;
  left.Width = Decoder::Length(r.I16(d.Own(kDoubleLeftWidth)));
  left.Colour = left.Width > 0 ? d.Colour(r.U16(d.Own(kDoubleLeftColour))) : kNoColour;
  left.Shift = left.Width / 2;
  right.Width = Decoder::Length(r.I16(d.Own(kDoubleRightWidth)));
  right.Colour = right.Width > 0 ? d.Colour(r.U16(d.Own(kDoubleRightColour))) : kNoColour;
  right.Shift = right.Width / 2;
  const std::int32_t gap = Decoder::Length(r.I16(d.Own(kDoubleGap)));
  const std::int32_t length = Decoder::Length(r.I16(d.Own(kDoubleLength)));
  if (gap > 0 && mode != 1) {
    left.Dashed = true;
    left.DashLength = length;
    left.BreakLength = gap;
    if (mode != 2) {
      right.Dashed = true;
      right.DashLength = length;
      right.BreakLength = gap;
      if (mode == 4) {
        line.Dashed = true;
        line.DashLength = length;
        line.BreakLength = gap;
      }
    }
  }
  return line;
}

std::shared_ptr<SymbolDefinition> DecodeLine(Decoder& d) {
  const Record& r = d.Bytes;
  LineDefinition main = MainLine(d);
  LinePointSymbols(d, main);
  const bool mainDrawn = (main.Width > 0 && main.Colour >= 0) || HasMidSymbol(main);
  std::vector<LineDefinition> parts;
  if (d.Layout.Version >= 7 && r.I16(d.Own(kFramingWidth)) > 0) {
    LineDefinition framing = FramingLine(d);
    if (mainDrawn) {
      parts.push_back(std::move(framing));
    } else {
      // A framing alone takes the main line's place, with its symbols.
      framing.MidSymbol = main.MidSymbol;
      framing.StartSymbol = main.StartSymbol;
      framing.EndSymbol = main.EndSymbol;
      framing.DashSymbol = main.DashSymbol;
      framing.MidSymbolsPerSpot = main.MidSymbolsPerSpot;
      framing.MidSymbolDistance = main.MidSymbolDistance;
      framing.MidPlacement = main.MidPlacement;
      framing.SegmentLength = main.SegmentLength;
      framing.EndLength = main.EndLength;
      framing.SuppressDashSymbolAtEnds = main.SuppressDashSymbolAtEnds;
      main = std::move(framing);
    }
  }
  if (r.U16(d.Own(kDoubleMode)) != 0) {
    LineDefinition doubled = DoubleLine(d);
    if (main.Dashed || (main.Width > 0 && main.Colour >= 0) || HasMidSymbol(main))
      parts.push_back(std::move(doubled));
    else
      main = std::move(doubled);
  }
  if (parts.empty()) return WrapSymbol(std::move(main));
  CombinedDefinition combined;
  combined.Parts.push_back(WrapSymbol(std::move(main)));
  for (LineDefinition& part : parts) combined.Parts.push_back(WrapSymbol(std::move(part)));
  return WrapSymbol(std::move(combined));
}

std::shared_ptr<SymbolDefinition> DecodeArea(Decoder& d, std::int32_t& borderSymbol) {
  const Record& r = d.Bytes;
  const std::int64_t common = d.Own(kAreaCommon);
  const bool version9 = d.Layout.Version >= 9;
  const bool fillOn = version9 ? r.U8(common + kFillOn9) != 0 : r.U16(d.Own(2)) != 0;
  AreaDefinition area;
  area.Colour = fillOn ? d.Colour(r.U16(common + kFillColour)) : kNoColour;
  const std::uint16_t hatchMode = r.U16(common + kHatchMode);
  if (hatchMode != 0) {
    FillPattern hatch;
    hatch.Type = FillPattern::Kind::Lines;
    hatch.Angle = AngleFromTenths(r.I16(common + kHatchAngle1));
    hatch.Rotatable = true;
    hatch.LineWidth = Decoder::Length(r.U16(common + kHatchWidth));
    hatch.LineSpacing = Decoder::Length(r.U16(common + kHatchDist));
    // Up to version 8 the distance is the gap between the lines.
    if (!version9) hatch.LineSpacing += hatch.LineWidth;
    hatch.LineColour = hatch.LineWidth > 0 ? d.Colour(r.U16(common + kHatchColour)) : kNoColour;
    area.Patterns.push_back(hatch);
    if (hatchMode == 2) {
      hatch.Angle = AngleFromTenths(r.I16(common + kHatchAngle2));
      area.Patterns.push_back(hatch);
    }
  }
  const std::uint8_t structure = r.U8(common + kStructureMode);
  if (structure != 0) {
    FillPattern pattern;
    pattern.Type = FillPattern::Kind::Points;
    pattern.Angle = AngleFromTenths(r.I16(common + kStructureAngle));
    pattern.Rotatable = true;
    pattern.PointDistance = Decoder::Length(r.U16(common + kStructureWidth));
    pattern.LineSpacing = Decoder::Length(r.U16(common + kStructureHeight));
    const std::int64_t elements = d.Own(d.Layout.AreaElementsAt);
    pattern.Point = DecodeElements(d, elements, r.U16(elements - 2));
    if (structure == 2) {
      // Shifted rows: every other row moves by half a width.
      pattern.LineSpacing *= 2;
      area.Patterns.push_back(pattern);
      pattern.LineOffset = pattern.LineSpacing / 2;
      pattern.OffsetAlongLine = pattern.PointDistance / 2;
    }
    area.Patterns.push_back(pattern);
  }
  if (version9 && r.U8(common + kBorderOn9) != 0) borderSymbol = r.I32(d.Own(0));
  return WrapSymbol(std::move(area));
}

std::shared_ptr<SymbolDefinition> DecodeText(Decoder& d, DecodedSymbol& out) {
  const Record& r = d.Bytes;
  TextDefinition text;
  text.FontFamily = r.Pascal31(d.Own(kFontName), d.Layout.WideTexts);
  text.Colour = d.Colour(r.U16(d.Own(kTextColour)));
  // Font size in 0.1 pt (1/720 inch).
  text.FontSize = static_cast<std::int32_t>(std::lround(r.U16(d.Own(kFontSize)) * 25400.0 / 720.0));
  text.Bold = r.U16(d.Own(kFontWeight)) >= 550;
  text.Italic = r.U8(d.Own(kFontItalic)) != 0;
  text.CharacterSpacing = r.I16(d.Own(kCharSpacing)) / 100.0;
  const std::uint16_t alignment = r.U16(d.Own(kAlignment));
  switch (alignment & 3) {
    case 0:
      out.HAlign = TextHAlign::Left;
      break;
    case 2:
      out.HAlign = TextHAlign::Right;
      break;
    default:  // centred, and justified drawn centred
      out.HAlign = TextHAlign::Centre;
  }
  switch (alignment & 0x0C) {
    case 0x04:
      out.VAlign = TextVAlign::Centre;
      break;
    case 0x08:
      out.VAlign = TextVAlign::Top;
      break;
    default:
      out.VAlign = TextVAlign::Baseline;
  }
  // Line spacing in percent of the font size.
  text.LineSpacing = 0;
  text.AbsoluteLineSpacing = static_cast<std::int32_t>(
      std::lround(text.FontSize * (r.U16(d.Own(kLineSpacing)) / 100.0)));
  text.ParagraphSpacing = Decoder::Length(r.I16(d.Own(kParaSpacing)));
  if (r.U16(d.Own(kLineBelowOn)) != 0) {
    text.LineBelow = true;
    text.LineBelowWidth = Decoder::Length(r.U16(d.Own(kLineBelowWidth)));
    text.LineBelowColour =
        text.LineBelowWidth > 0 ? d.Colour(r.U16(d.Own(kLineBelowColour))) : kNoColour;
    text.LineBelowDistance = Decoder::Length(r.U16(d.Own(kLineBelowOffset)));
  }
  switch (r.U8(d.Own(kFramingMode))) {
    case 1:
      text.FramingMode = TextDefinition::Framing::Shadow;
      text.FramingColour = d.Colour(r.U16(d.Own(kTextFramingColour)));
      text.ShadowX = Decoder::Length(r.I16(d.Own(kShadowX)));
      text.ShadowY = Decoder::Length(r.I16(d.Own(kShadowY)));
      break;
    case 2:
      text.FramingMode = TextDefinition::Framing::Line;
      text.FramingColour = d.Colour(r.U16(d.Own(kTextFramingColour)));
      text.FramingHalfWidth = Decoder::Length(r.U16(d.Own(kTextFramingWidth)));
      break;
    case 0:
      break;
    default:
      d.Notes.push_back(d.Name + ": its rectangle framing is left out");
  }
  return WrapSymbol(std::move(text));
}

// A rectangle symbol draws its objects' outline with round corners and ends.
std::shared_ptr<SymbolDefinition> DecodeRectangle(Decoder& d) {
  LineDefinition line;
  line.Width = Decoder::Length(d.Bytes.U16(d.Own(2)));
  line.Colour = line.Width > 0 ? d.Colour(d.Bytes.U16(d.Own(0))) : kNoColour;
  line.Cap = CapStyle::Round;
  line.Join = JoinStyle::Round;
  return WrapSymbol(std::move(line));
}

std::string SymbolName(std::int32_t number, const SymbolRecordLayout& layout) {
  const int factor = layout.WideNumber ? 1000 : 10;
  return "symbol " + std::to_string(number / factor) + "." + std::to_string(std::abs(number % factor));
}

}  // namespace

SymbolRecordLayout SymbolRecordLayoutOf(int version) {
  SymbolRecordLayout layout;
  layout.Version = version;
  if (version <= 8) return layout;
  layout.WideNumber = true;
  layout.CommonSize = version <= 10 ? 572 : 796;
  layout.WideTexts = version >= 11;
  // Version 12 added four bytes to the area's structure fields.
  layout.AreaElementsAt = version >= 12 ? 36 : 32;
  return layout;
}

double AngleFromTenths(std::int32_t tenths) {
  const std::int32_t wrapped = ((tenths % 3600) + 3600) % 3600;
  return wrapped * std::numbers::pi / 1800.0;
}

DecodedSymbol DecodeSymbolRecord(std::span<const std::uint8_t> bytes,
                                 const SymbolRecordLayout& layout, const ColourNumbers& colours,
                                 std::vector<std::string>& notes) {
  const Record record(bytes);
  const std::int32_t number = layout.WideNumber ? record.I32(4) : record.I16(2);
  const int type = layout.WideNumber ? record.U8(8) : record.U16(4);
  const std::uint8_t flags = layout.WideNumber ? record.U8(9) : record.U8(7);
  const std::uint8_t status = record.U8(11);
  Decoder d{record, layout, colours, notes, SymbolName(number, layout)};
  DecodedSymbol out;
  const bool lineText8 = !layout.WideNumber && type == kLineType && record.U8(6) == 1;
  if (record.Size() < layout.CommonSize) notes.push_back(d.Name + " ends within its common part");
  switch (lineText8 ? kLineTextType : type) {
    case kPointType: {
      auto point = DecodeElements(d, d.Own(4), record.U16(d.Own(0)));
      point->Rotatable = (flags & kRotatableFlag) != 0;
      out.Symbol = WrapSymbol(std::move(*point));
      break;
    }
    case kLineType:
      out.Symbol = DecodeLine(d);
      break;
    case kAreaType:
      out.Symbol = DecodeArea(d, out.BorderSymbol);
      break;
    case kTextType:
      out.Symbol = DecodeText(d, out);
      break;
    case kRectangleType8:
    case kRectangleType9:
      out.Symbol = DecodeRectangle(d);
      break;
    case kLineTextType:
      // Text along a line is not drawn; its symbol stays hidden.
      out.Symbol = DecodeText(d, out);
      out.Symbol->Hidden = true;
      notes.push_back(d.Name + " is a text along a line, which is not drawn");
      break;
    default:
      notes.push_back(d.Name + " has unknown type " + std::to_string(type) + ", not drawn");
      out.Symbol = WrapSymbol(PointDefinition{});
      out.Symbol->Hidden = true;
  }
  out.Symbol->Number = number;
  out.Symbol->Protected = out.Symbol->Protected || (status & kProtectedStatus) != 0;
  out.Symbol->Hidden = out.Symbol->Hidden || (status & kHiddenStatus) != 0;
  return out;
}

void AttachAreaBorders(std::vector<DecodedSymbol>& symbols, std::vector<std::string>& notes) {
  std::map<std::int32_t, std::shared_ptr<const SymbolDefinition>> byNumber;
  for (const DecodedSymbol& s : symbols) byNumber.emplace(s.Symbol->Number, s.Symbol);
  for (DecodedSymbol& s : symbols) {
    if (s.BorderSymbol == 0) continue;
    const auto border = byNumber.find(s.BorderSymbol);
    if (border == byNumber.end() || s.BorderSymbol == s.Symbol->Number ||
        !std::holds_alternative<LineDefinition>(border->second->Drawing)) {
      notes.push_back("the border of " + SymbolName(s.Symbol->Number, SymbolRecordLayoutOf(9)) +
                      " is no line symbol of the map and is left out");
      continue;
    }
    auto combined = std::make_shared<SymbolDefinition>();
    combined->Number = s.Symbol->Number;
    combined->Hidden = s.Symbol->Hidden;
    combined->Protected = s.Symbol->Protected;
    auto area = std::make_shared<SymbolDefinition>(*s.Symbol);
    area->Hidden = false;
    combined->Drawing = CombinedDefinition{{area, border->second}};
    s.Symbol = std::move(combined);
  }
}

ObjectPlacement PlacementOf(const DecodedSymbol* symbol, ObjectKind kind,
                            std::int32_t angleTenths, const std::vector<FormatPoint>& points) {
  ObjectPlacement placement;
  placement.Rotation = AngleFromTenths(angleTenths);
  if (kind != ObjectKind::Text || symbol == nullptr) return placement;
  placement.HAlign = symbol->HAlign;
  placement.VAlign = symbol->VAlign;
  if (points.size() == 4) {
    // A text in a box: lower left, lower right, upper right, upper left.
    const FormatPoint& lowerLeft = points[0];
    const FormatPoint& upperRight = points[2];
    const FormatPoint& upperLeft = points[3];
    placement.BoxCentre = {static_cast<std::int32_t>((std::int64_t{lowerLeft.X} + upperRight.X) / 2),
                           static_cast<std::int32_t>((std::int64_t{lowerLeft.Y} + upperRight.Y) / 2),
                           0};
    placement.BoxWidth = static_cast<std::int32_t>(std::lround(
        std::hypot(double(upperRight.X) - upperLeft.X, double(upperRight.Y) - upperLeft.Y)));
    placement.BoxHeight = static_cast<std::int32_t>(std::lround(
        std::hypot(double(lowerLeft.X) - upperLeft.X, double(lowerLeft.Y) - upperLeft.Y)));
    placement.VAlign = TextVAlign::Top;
  }
  return placement;
}

}  // namespace terrak::ocad

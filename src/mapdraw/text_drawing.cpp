// Text symbols: the text in its font, size and colour at its anchor (or in its box), with the
// framing line or shadow in the framing colour below it. The platform's painter sets the
// letters; lines are laid out horizontally.
#include <algorithm>

#include "mapdraw/symbol_drawing.h"

namespace terrak::mapdraw {

namespace {

// OCAD keeps a line break before a text and "\r\n" between its lines; Mapper plain "\n".
std::string LinesOf(std::string text) {
  if (text.rfind("\r\n", 0) == 0) text.erase(0, 2);
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

TextAnchorH AnchorH(TextHAlign align) {
  switch (align) {
    case TextHAlign::Centre:
      return TextAnchorH::Centre;
    case TextHAlign::Right:
      return TextAnchorH::Right;
    default:
      return TextAnchorH::Left;
  }
}

TextAnchorV AnchorV(TextVAlign align) {
  switch (align) {
    case TextVAlign::Top:
      return TextAnchorV::Top;
    case TextVAlign::Centre:
      return TextAnchorV::Centre;
    case TextVAlign::Bottom:
      return TextAnchorV::Bottom;
    default:
      return TextAnchorV::Baseline;
  }
}

}  // namespace

void DrawTextSymbol(const TextDefinition& text, const std::vector<FlaggedPoint>& points,
                    const std::string& content, const ObjectPlacement& placement,
                    DrawContext& context) {
  if (points.empty() || text.FontSize <= 0) return;
  PictureText set;
  set.Text = LinesOf(content);
  if (set.Text.empty()) return;
  set.Family = text.FontFamily;
  set.Size = static_cast<float>(text.FontSize);
  set.Bold = text.Bold;
  set.Italic = text.Italic;
  set.Underline = text.Underline;
  set.Kerning = text.Kerning;
  const bool boxed = placement.BoxWidth > 0 && placement.BoxHeight > 0;
  const Vec2 anchor = boxed ? Vec2{double(placement.BoxCentre.X), double(placement.BoxCentre.Y)}
                            : points.front().Pos;
  set.Anchor = {static_cast<float>(anchor.X), static_cast<float>(anchor.Y)};
  set.Rotation = static_cast<float>(placement.Rotation);
  set.LineSpacing = static_cast<float>(text.LineSpacing);
  set.AbsoluteLineSpacing = static_cast<float>(text.AbsoluteLineSpacing);
  set.ParagraphSpacing = static_cast<float>(text.ParagraphSpacing);
  set.CharacterSpacing = static_cast<float>(text.CharacterSpacing);
  set.HAlign = AnchorH(placement.HAlign);
  set.VAlign = AnchorV(placement.VAlign);
  if (boxed) {
    set.BoxWidth = static_cast<float>(placement.BoxWidth);
    set.BoxHeight = static_cast<float>(placement.BoxHeight);
  }
  if (text.FramingColour >= 0) {
    if (text.FramingMode == TextDefinition::Framing::Line && text.FramingHalfWidth > 0) {
      context.Out.Text(text.FramingColour, set, 2.0 * text.FramingHalfWidth);
    } else if (text.FramingMode == TextDefinition::Framing::Shadow) {
      PictureText shadow = set;
      shadow.Anchor.X += static_cast<float>(text.ShadowX);
      shadow.Anchor.Y += static_cast<float>(text.ShadowY);
      context.Out.Text(text.FramingColour, std::move(shadow));
    }
  }
  if (text.Colour >= 0) context.Out.Text(text.Colour, std::move(set));
}

}  // namespace terrak::mapdraw

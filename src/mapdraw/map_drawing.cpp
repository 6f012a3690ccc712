#include "mapdraw/map_drawing.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "mapdraw/picture_builder.h"
#include "mapdraw/symbol_drawing.h"

namespace terrak::mapdraw {

namespace {

// Without the font's measures a text's letters are taken as this many ems wide.
constexpr double kGuessedLetterWidth = 0.6;

// How far a symbol's drawing reaches beyond the object's points.
double Reach(const SymbolDefinition& symbol, int depth) {
  if (depth > kDeepestSymbol) return 0;
  if (const auto* line = std::get_if<LineDefinition>(&symbol.Drawing)) {
    double reach = line->Width / 2.0;
    if (line->HasBorders)
      for (const LineBorder* b : {&line->LeftBorder, &line->RightBorder})
        reach = std::max(reach, line->Width / 2.0 + b->Shift + b->Width / 2.0);
    for (const auto* point : {line->StartSymbol.get(), line->MidSymbol.get(),
                              line->EndSymbol.get(), line->DashSymbol.get()})
      if (point) reach = std::max(reach, PointReach(*point) * (point == line->DashSymbol.get() ? 2 : 1));
    return reach;
  }
  if (const auto* point = std::get_if<PointDefinition>(&symbol.Drawing)) return PointReach(*point);
  if (const auto* combined = std::get_if<CombinedDefinition>(&symbol.Drawing)) {
    double reach = 0;
    for (const auto& part : combined->Parts)
      if (part) reach = std::max(reach, Reach(*part, depth + 1));
    return reach;
  }
  return 0;
}

Box TextBox(const TextDefinition& text, const FormatObject& object, const ObjectPlacement& placement) {
  Box box;
  const double em = text.FontSize;
  std::size_t lines = 1, longest = 0, current = 0;
  for (char c : object.Text) {
    if (c == '\n') {
      ++lines;
      current = 0;
    } else if (c != '\r' && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      longest = std::max(longest, ++current);
    }
  }
  const double width = std::max<double>(placement.BoxWidth, kGuessedLetterWidth * em * static_cast<double>(longest));
  const double height = std::max<double>(placement.BoxHeight, 1.2 * em * static_cast<double>(lines));
  Vec2 anchor = placement.BoxWidth > 0
                    ? Vec2{double(placement.BoxCentre.X), double(placement.BoxCentre.Y)}
                    : Vec2{double(object.Points.front().X), double(object.Points.front().Y)};
  double left = anchor.X;
  if (placement.BoxWidth > 0 || placement.HAlign == TextHAlign::Centre)
    left -= width / 2;
  else if (placement.HAlign == TextHAlign::Right)
    left -= width;
  double top = anchor.Y + em;
  if (placement.BoxHeight > 0 || placement.VAlign == TextVAlign::Centre)
    top = anchor.Y + height / 2;
  else if (placement.VAlign == TextVAlign::Top)
    top = anchor.Y;
  else if (placement.VAlign == TextVAlign::Bottom)
    top = anchor.Y + height;
  // A turned text may reach anywhere within its diagonal.
  if (placement.Rotation != 0) {
    const double r = std::hypot(width, height);
    box.Add(anchor + Vec2{-r, -r});
    box.Add(anchor + Vec2{r, r});
    return box;
  }
  box.Add({left, top - height});
  box.Add({left + width, top});
  return box;
}

struct ObjectDrawer {
  DrawContext& Context;

  void Draw(const SymbolDefinition& symbol, const FormatObject& object,
            const std::vector<FlaggedPoint>& points, const ObjectPlacement& placement) {
    if (const auto* point = std::get_if<PointDefinition>(&symbol.Drawing)) {
      DrawPointSymbol(*point, points.front().Pos, point->Rotatable ? placement.Rotation : 0, 1,
                      Context);
      return;
    }
    if (const auto* text = std::get_if<TextDefinition>(&symbol.Drawing)) {
      DrawTextSymbol(*text, points, object.Text, placement, Context);
      return;
    }
    DrawSymbolOnPath(symbol, BuildPathParts(points, Context.Tolerance), placement, Context);
  }
};

}  // namespace

void DrawSymbolOnPath(const SymbolDefinition& symbol, const std::vector<PathPart>& parts,
                      const ObjectPlacement& placement, DrawContext& context) {
  if (symbol.Hidden) return;
  if (const auto* line = std::get_if<LineDefinition>(&symbol.Drawing)) {
    DrawLineSymbol(*line, parts, context);
  } else if (const auto* area = std::get_if<AreaDefinition>(&symbol.Drawing)) {
    DrawAreaSymbol(*area, parts, placement, context);
  } else if (const auto* point = std::get_if<PointDefinition>(&symbol.Drawing)) {
    if (!parts.empty() && !parts.front().Vertices.empty())
      DrawPointSymbol(*point, parts.front().Vertices.front().Pos,
                      point->Rotatable ? placement.Rotation : 0, 1, context);
  } else if (const auto* combined = std::get_if<CombinedDefinition>(&symbol.Drawing)) {
    if (context.Depth >= kDeepestSymbol) return;
    ++context.Depth;
    for (const auto& part : combined->Parts)
      if (part) DrawSymbolOnPath(*part, parts, placement, context);
    --context.Depth;
  }
}

Box DrawnExtent(const MapPicture& drawn, const std::vector<PictureBox>& measuredTexts) {
  Box extent = drawn.Extent;
  if (measuredTexts.size() != drawn.Picture.Texts.size()) {
    extent.Include(drawn.GuessedTexts);
    return extent;
  }
  for (const PictureItem& item : drawn.Picture.Items) {
    if (item.Type != PictureItem::Kind::Text && item.Type != PictureItem::Kind::TextOutline)
      continue;
    const PictureBox& b = measuredTexts[item.TextIndex];
    extent.Include(Box{b.MinX, b.MinY, b.MaxX, b.MaxY}.Grown(item.Width / 2.0));
  }
  return extent;
}

double ToleranceFor(double pixelsPerMicrometre) {
  return pixelsPerMicrometre > 0 ? 0.1 / pixelsPerMicrometre : 2.0;
}

MapPicture DrawMap(const SymbolDefinitions& definitions, const std::vector<FormatObject>& objects,
                   const DrawOptions& options) {
  MapPicture result;
  PictureBuilder builder(definitions.Colours);
  DrawContext context{builder};
  context.Tolerance = options.Tolerance > 0 ? options.Tolerance : 2.0;
  std::unordered_map<std::int32_t, const SymbolDefinition*> symbols;
  std::unordered_map<const SymbolDefinition*, double> reach;
  for (const auto& symbol : definitions.Symbols) {
    if (!symbol) continue;
    symbols.emplace(symbol->Number, symbol.get());
    reach.emplace(symbol.get(), Reach(*symbol, 0));
  }
  ObjectDrawer drawer{context};
  const ObjectPlacement plain;
  std::vector<FlaggedPoint> points;
  for (const FormatObject& object : objects) {
    if (builder.Full()) {
      result.Truncated = true;
      break;
    }
    const auto found = symbols.find(object.Symbol);
    if (found == symbols.end()) {
      ++result.UndefinedObjects;
      continue;
    }
    const SymbolDefinition& symbol = *found->second;
    if (object.Hidden || symbol.Hidden) {
      ++result.HiddenObjects;
      continue;
    }
    if (object.Points.empty()) continue;
    const auto placed = definitions.Placements.find(object.Key);
    const ObjectPlacement& placement =
        placed == definitions.Placements.end() ? plain : placed->second;
    points.clear();
    Box box;
    for (const FormatPoint& p : object.Points) {
      points.push_back({{double(p.X), double(p.Y)}, p.Flags});
      box.Add(points.back().Pos);
    }
    drawer.Draw(symbol, object, points, placement);
    ++result.DrawnObjects;
    if (const auto* text = std::get_if<TextDefinition>(&symbol.Drawing))
      result.GuessedTexts.Include(TextBox(*text, object, placement));
    else
      result.Extent.Include(box.Grown(reach[&symbol]));
  }
  result.Truncated = result.Truncated || builder.Full();
  result.Picture = builder.Finish();
  return result;
}

}  // namespace terrak::mapdraw

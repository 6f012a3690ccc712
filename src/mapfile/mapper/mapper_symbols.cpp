// The drawing definitions of a Mapper map: <colors> (in drawing order, the first on top), each
// <symbol>'s line_symbol, area_symbol, point_symbol, text_symbol or combined_symbol (parts by
// id or private), and how the map's objects are placed (rotation, text alignment and box, the
// origin of area patterns). Attributes a symbol lacks take Mapper's defaults.
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "mapfile/mapper/mapper_coords.h"
#include "mapfile/mapper/mapper_document.h"
#include "mapfile/symbol_definitions.h"
#include "mapfile/text_encoding.h"

namespace terrak::mapper {

namespace {

// Symbols inside symbols (point elements, mid symbols, patterns) nest at most this deep.
constexpr int kDeepestNesting = 12;

double Number(const pugi::xml_node& node, const char* name, double otherwise) {
  return ParseNumber(node.attribute(name).value()).value_or(otherwise);
}

std::int32_t Length(const pugi::xml_node& node, const char* name, std::int32_t otherwise) {
  const double value = Number(node, name, otherwise);
  return static_cast<std::int32_t>(std::clamp(value, -2.0e8, 2.0e8));
}

bool Flag(const pugi::xml_node& node, const char* name, bool otherwise) {
  const pugi::xml_attribute attribute = node.attribute(name);
  if (!attribute) return otherwise;
  return std::string_view(attribute.value()) == "true";
}

pugi::xml_node Section(const pugi::xml_node& map, const char* name) {
  for (const pugi::xml_node& child : map.children()) {
    if (std::string_view(child.name()) == name) return child;
    if (std::string_view(child.name()) == "barrier")
      if (const pugi::xml_node inside = child.child(name)) return inside;
  }
  return {};
}

std::uint8_t Channel(double share) {
  return static_cast<std::uint8_t>(std::lround(255.0 * std::clamp(share, 0.0, 1.0)));
}

std::vector<MapColour> ReadColours(const pugi::xml_node& colours) {
  std::vector<MapColour> table;
  for (const pugi::xml_node& node : colours.children("color")) {
    MapColour colour;
    colour.Name = ValidUtf8(node.attribute("name").value());
    colour.Cyan = static_cast<float>(std::clamp(Number(node, "c", 0), 0.0, 1.0));
    colour.Magenta = static_cast<float>(std::clamp(Number(node, "m", 0), 0.0, 1.0));
    colour.Yellow = static_cast<float>(std::clamp(Number(node, "y", 0), 0.0, 1.0));
    colour.Black = static_cast<float>(std::clamp(Number(node, "k", 0), 0.0, 1.0));
    colour.Opacity = static_cast<float>(std::clamp(Number(node, "opacity", 1), 0.0, 1.0));
    colour.Spot = static_cast<bool>(node.child("spotcolors").child("namedcolor"));
    if (const pugi::xml_node rgb = node.child("rgb")) {
      colour.Red = Channel(Number(rgb, "r", 0));
      colour.Green = Channel(Number(rgb, "g", 0));
      colour.Blue = Channel(Number(rgb, "b", 0));
    } else {
      SetScreenColourFromMix(colour);
    }
    table.push_back(std::move(colour));
  }
  return table;
}

class SymbolReader {
 public:
  SymbolReader(const MapperMap::Document& doc, std::size_t colourCount,
               std::vector<std::string>& notes)
      : doc_(doc), colourCount_(colourCount), notes_(notes) {}

  void Index(const pugi::xml_node& section) {
    for (const pugi::xml_node& symbol : section.children("symbol"))
      if (const auto id = ParseInteger(symbol.attribute("id").value())) nodes_.emplace(*id, symbol);
  }

  // The map's symbol of this id, read once; null when the id names none or its parts run in
  // a circle.
  std::shared_ptr<const SymbolDefinition> ById(long long id, int depth) {
    if (const auto done = read_.find(id); done != read_.end()) return done->second;
    const auto node = nodes_.find(id);
    if (node == nodes_.end()) return nullptr;
    if (!inProgress_.insert(id).second || depth > kDeepestNesting) {
      notes_.push_back("symbol " + std::to_string(id) + " contains itself; that part is left out");
      return nullptr;
    }
    std::shared_ptr<SymbolDefinition> symbol = Read(node->second, depth);
    const auto number = doc_.NumberOfId.find(static_cast<int>(id));
    if (number != doc_.NumberOfId.end()) symbol->Number = number->second;
    inProgress_.erase(id);
    read_.emplace(id, symbol);
    return symbol;
  }

  // A symbol element and everything inside it.
  std::shared_ptr<SymbolDefinition> Read(const pugi::xml_node& node, int depth) {
    auto symbol = std::make_shared<SymbolDefinition>();
    symbol->Hidden = Flag(node, "is_hidden", false);
    symbol->Protected = Flag(node, "is_protected", false);
    if (depth > kDeepestNesting) {
      notes_.push_back("symbols nest too deeply; the innermost are left out");
      symbol->Hidden = true;
      return symbol;
    }
    switch (ParseInteger(node.attribute("type").value()).value_or(0)) {
      case 1:
        symbol->Drawing = Point(node.child("point_symbol"), depth);
        break;
      case 2:
        symbol->Drawing = Line(node.child("line_symbol"), depth);
        break;
      case 4:
        symbol->Drawing = Area(node.child("area_symbol"), depth);
        break;
      case 8:
        symbol->Drawing = Text(node.child("text_symbol"));
        break;
      case 16:
        symbol->Drawing = Combined(node.child("combined_symbol"), depth);
        break;
      default:
        notes_.push_back(std::string("symbol \"") + node.attribute("code").value() +
                         "\" has an unknown type and is not drawn");
        symbol->Hidden = true;
    }
    return symbol;
  }

 private:
  ColourRef Colour(const pugi::xml_node& node, const char* name) {
    const long long index = ParseInteger(node.attribute(name).value()).value_or(-1);
    if (index < 0) return kNoColour;
    if (static_cast<std::size_t>(index) >= colourCount_) {
      notes_.push_back("a symbol names colour " + std::to_string(index) +
                       ", which the colour table lacks");
      return kNoColour;
    }
    return static_cast<ColourRef>(index);
  }

  std::shared_ptr<const PointDefinition> InnerPoint(const pugi::xml_node& holder, int depth) {
    const pugi::xml_node inner = holder.child("symbol");
    if (!inner) return nullptr;
    std::shared_ptr<SymbolDefinition> symbol = Read(inner, depth + 1);
    if (const auto* point = std::get_if<PointDefinition>(&symbol->Drawing))
      return std::make_shared<PointDefinition>(*point);
    return nullptr;
  }

  PointDefinition Point(const pugi::xml_node& node, int depth) {
    PointDefinition point;
    point.Rotatable = Flag(node, "rotatable", false);
    point.InnerRadius = Length(node, "inner_radius", 1000);
    point.InnerColour = Colour(node, "inner_color");
    point.OuterWidth = Length(node, "outer_width", 0);
    point.OuterColour = Colour(node, "outer_color");
    for (const pugi::xml_node& element : node.children("element")) {
      const pugi::xml_node inner = element.child("symbol");
      const pugi::xml_node object = element.child("object");
      if (!inner || !object) continue;
      PointElement drawn;
      drawn.Symbol = Read(inner, depth + 1);
      drawn.Points = Coords(object.child("coords"));
      point.Elements.push_back(std::move(drawn));
    }
    return point;
  }

  LineBorder Border(const pugi::xml_node& node) {
    LineBorder border;
    border.Colour = Colour(node, "color");
    border.Width = Length(node, "width", 0);
    border.Shift = Length(node, "shift", 0);
    border.Dashed = Flag(node, "dashed", false);
    border.DashLength = Length(node, "dash_length", 2000);
    border.BreakLength = Length(node, "break_length", 1000);
    return border;
  }

  LineDefinition Line(const pugi::xml_node& node, int depth) {
    LineDefinition line;
    line.Colour = Colour(node, "color");
    line.Width = Length(node, "line_width", 0);
    line.Join = static_cast<JoinStyle>(
        std::clamp<long long>(ParseInteger(node.attribute("join_style").value()).value_or(1), 0, 2));
    line.Cap = static_cast<CapStyle>(
        std::clamp<long long>(ParseInteger(node.attribute("cap_style").value()).value_or(0), 0, 3));
    if (node.attribute("start_offset") || node.attribute("end_offset")) {
      line.StartOffset = Length(node, "start_offset", 0);
      line.EndOffset = Length(node, "end_offset", 0);
    } else if (line.Cap == CapStyle::Pointed) {
      line.StartOffset = line.EndOffset = Length(node, "pointed_cap_length", 0);
    }
    line.Dashed = Flag(node, "dashed", false);
    line.SegmentLength = Length(node, "segment_length", 4000);
    line.EndLength = Length(node, "end_length", 0);
    line.ShowAtLeastOneSymbol = Flag(node, "show_at_least_one_symbol", false);
    line.DashLength = Length(node, "dash_length", 4000);
    line.BreakLength = Length(node, "break_length", 1000);
    line.DashesInGroup = Length(node, "dashes_in_group", 1);
    line.InGroupBreakLength = Length(node, "in_group_break_length", 500);
    line.HalfOuterDashes = Flag(node, "half_outer_dashes", false);
    line.MidSymbolsPerSpot = Length(node, "mid_symbols_per_spot", 1);
    line.MidSymbolDistance = Length(node, "mid_symbol_distance", 0);
    line.MidPlacement = static_cast<MidSymbolPlacement>(std::clamp<long long>(
        ParseInteger(node.attribute("mid_symbol_placement").value()).value_or(0), 0, 2));
    line.SuppressDashSymbolAtEnds = Flag(node, "suppress_dash_symbol_at_ends", false);
    line.ScaleDashSymbol = Flag(node, "scale_dash_symbol", true);
    line.StartSymbol = InnerPoint(node.child("start_symbol"), depth);
    line.MidSymbol = InnerPoint(node.child("mid_symbol"), depth);
    line.EndSymbol = InnerPoint(node.child("end_symbol"), depth);
    line.DashSymbol = InnerPoint(node.child("dash_symbol"), depth);
    if (const pugi::xml_node borders = node.child("borders")) {
      const pugi::xml_node left = borders.child("border");
      if (left) {
        line.HasBorders = true;
        line.LeftBorder = Border(left);
        const pugi::xml_node right = left.next_sibling("border");
        line.RightBorder = right ? Border(right) : line.LeftBorder;
      }
    }
    return line;
  }

  AreaDefinition Area(const pugi::xml_node& node, int depth) {
    AreaDefinition area;
    area.Colour = Colour(node, "inner_color");
    for (const pugi::xml_node& p : node.children("pattern")) {
      FillPattern pattern;
      const long long type = ParseInteger(p.attribute("type").value()).value_or(1);
      pattern.Type = type == 2 ? FillPattern::Kind::Points : FillPattern::Kind::Lines;
      pattern.Angle = Number(p, "angle", 0);
      pattern.Rotatable = Flag(p, "rotatable", false);
      pattern.AtEdge = static_cast<FillPattern::Edge>(
          ParseInteger(p.attribute("no_clipping").value()).value_or(0) & 3);
      pattern.LineSpacing = Length(p, "line_spacing", 5000);
      pattern.LineOffset = Length(p, "line_offset", 0);
      pattern.OffsetAlongLine = Length(p, "offset_along_line", 0);
      pattern.LineColour = Colour(p, "color");
      pattern.LineWidth = Length(p, "line_width", 200);
      pattern.PointDistance = Length(p, "point_distance", 5000);
      if (pattern.Type == FillPattern::Kind::Points) pattern.Point = InnerPoint(p, depth);
      area.Patterns.push_back(std::move(pattern));
    }
    return area;
  }

  TextDefinition Text(const pugi::xml_node& node) {
    TextDefinition text;
    const pugi::xml_node font = node.child("font");
    text.FontFamily = font.attribute("family") ? ValidUtf8(font.attribute("family").value()) : "Arial";
    text.FontSize = Length(font, "size", 4000);
    text.Bold = Flag(font, "bold", false);
    text.Italic = Flag(font, "italic", false);
    text.Underline = Flag(font, "underline", false);
    const pugi::xml_node look = node.child("text");
    text.Colour = Colour(look, "color");
    text.LineSpacing = Number(look, "line_spacing", 1);
    text.ParagraphSpacing = Length(look, "paragraph_spacing", 0);
    text.CharacterSpacing = Number(look, "character_spacing", 0);
    text.Kerning = Flag(look, "kerning", false);
    if (const pugi::xml_node framing = node.child("framing")) {
      // Mapper's modes: 1 a line around the letters, 2 a shadow.
      const long long mode = ParseInteger(framing.attribute("mode").value()).value_or(1);
      text.FramingMode = mode == 2 ? TextDefinition::Framing::Shadow : TextDefinition::Framing::Line;
      text.FramingColour = Colour(framing, "color");
      text.FramingHalfWidth = Length(framing, "line_half_width", 200);
      text.ShadowX = Length(framing, "shadow_x_offset", 200);
      text.ShadowY = -Length(framing, "shadow_y_offset", 200);
    }
    if (const pugi::xml_node below = node.child("line_below")) {
      text.LineBelow = true;
      text.LineBelowColour = Colour(below, "color");
      text.LineBelowWidth = Length(below, "width", 0);
      text.LineBelowDistance = Length(below, "distance", 0);
    }
    return text;
  }

  CombinedDefinition Combined(const pugi::xml_node& node, int depth) {
    CombinedDefinition combined;
    for (const pugi::xml_node& part : node.children("part")) {
      std::shared_ptr<const SymbolDefinition> symbol;
      if (const pugi::xml_node inner = part.child("symbol"))
        symbol = Read(inner, depth + 1);
      else if (const auto id = ParseInteger(part.attribute("symbol").value()))
        symbol = ById(*id, depth + 1);
      if (symbol) combined.Parts.push_back(std::move(symbol));
    }
    return combined;
  }

  std::vector<FormatPoint> Coords(const pugi::xml_node& coords) {
    std::vector<MapperPoint> points;
    if (coords.child("coord")) {
      for (const pugi::xml_node& coord : coords.children("coord")) {
        const auto x = ParseInteger(coord.attribute("x").value());
        const auto y = ParseInteger(coord.attribute("y").value());
        if (!x || !y) return {};
        const long long flags = ParseInteger(coord.attribute("flags").value()).value_or(0);
        points.push_back({*x, *y, flags > 0 ? static_cast<std::uint32_t>(flags & 0xFF) : 0u});
      }
    } else if (std::optional<std::vector<MapperPoint>> parsed = ParseCoordsText(coords.child_value())) {
      points = std::move(*parsed);
    }
    return ToFormatPoints(points).value_or(std::vector<FormatPoint>{});
  }

  const MapperMap::Document& doc_;
  std::size_t colourCount_;
  std::vector<std::string>& notes_;
  std::map<long long, pugi::xml_node> nodes_;
  std::map<long long, std::shared_ptr<const SymbolDefinition>> read_;
  std::set<long long> inProgress_;
};

TextHAlign HAlignOf(long long value) {
  return value == 1 ? TextHAlign::Centre : value == 2 ? TextHAlign::Right : TextHAlign::Left;
}

TextVAlign VAlignOf(long long value) {
  switch (value) {
    case 1:
      return TextVAlign::Top;
    case 2:
      return TextVAlign::Centre;
    case 3:
      return TextVAlign::Bottom;
    default:
      return TextVAlign::Baseline;
  }
}

std::int32_t Micrometres(double value) {
  return static_cast<std::int32_t>(std::clamp(value, -2.0e9, 2.0e9));
}

}  // namespace

SymbolDefinitions MapperMap::ReadSymbolDefinitions() const {
  SymbolDefinitions definitions;
  const pugi::xml_node root = doc_->Xml.child("map");
  definitions.Colours = ReadColours(root.child("colors"));
  SymbolReader reader(*doc_, definitions.Colours.size(), definitions.Notes);
  const pugi::xml_node section = Section(root, "symbols");
  reader.Index(section);
  for (const pugi::xml_node& node : section.children("symbol")) {
    const auto id = ParseInteger(node.attribute("id").value());
    if (!id) continue;
    if (std::shared_ptr<const SymbolDefinition> symbol = reader.ById(*id, 0))
      definitions.Symbols.push_back(std::move(symbol));
  }

  for (std::size_t i = 0; i < doc_->ObjectNodes.size(); ++i) {
    const pugi::xml_node& node = doc_->ObjectNodes[i];
    const FormatObject& object = doc_->Objects[i];
    ObjectPlacement placement;
    bool placed = false;
    if (const pugi::xml_attribute rotation = node.attribute("rotation")) {
      placement.Rotation = ParseNumber(rotation.value()).value_or(0);
      placed = placement.Rotation != 0;
    }
    if (object.Kind == ObjectKind::Text) {
      placed = true;
      placement.HAlign = HAlignOf(ParseInteger(node.attribute("h_align").value()).value_or(1));
      placement.VAlign = VAlignOf(ParseInteger(node.attribute("v_align").value()).value_or(2));
      if (const pugi::xml_node size = node.child("size")) {
        placement.BoxWidth = Micrometres(Number(size, "width", 0));
        placement.BoxHeight = Micrometres(Number(size, "height", 0));
        if (!object.Points.empty()) placement.BoxCentre = object.Points.front();
      }
    }
    if (const pugi::xml_node pattern = node.child("pattern")) {
      const double rotation = Number(pattern, "rotation", 0);
      const pugi::xml_node origin = pattern.child("coord");
      const FormatPoint at{Micrometres(Number(origin, "x", 0)), -Micrometres(Number(origin, "y", 0)), 0};
      if (rotation != 0 || at.X != 0 || at.Y != 0) {
        placed = true;
        placement.Rotation = rotation;
        placement.PatternOrigin = at;
      }
    }
    if (placed) definitions.Placements.emplace(object.Key, placement);
  }
  return definitions;
}

}  // namespace terrak::mapper

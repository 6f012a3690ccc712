// Reading a Mapper document: the check at opening, the symbols, the objects of the map's parts,
// the tag keys that may hold heights, and the georeferencing.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "mapfile/mapper/mapper_coords.h"
#include "mapfile/mapper/mapper_document.h"
#include "mapfile/mapper/xml_text.h"
#include "mapfile/text_encoding.h"

namespace terrak::mapper {

namespace {

constexpr int kOldestVersion = 2;
constexpr int kNewestVersion = 9;
// Symbols whose code is not a number, or repeats an earlier code, are numbered from here on.
constexpr std::int32_t kUncodedSymbols = 2'000'000'000;

[[noreturn]] void Damaged(const std::string& detail) {
  throw MapFormatError(kNotMapperMessage, detail);
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

double NumberAttribute(const pugi::xml_node& node, const char* name, double otherwise) {
  return ParseNumber(node.attribute(name).value()).value_or(otherwise);
}

// The map's symbols or parts: under <map> in old files, under the first <barrier> that holds
// them in newer ones.
pugi::xml_node FindSection(const pugi::xml_node& map, const char* name) {
  for (const pugi::xml_node& child : map.children()) {
    if (std::string_view(child.name()) == name) return child;
    if (std::string_view(child.name()) == "barrier")
      if (const pugi::xml_node inside = child.child(name)) return inside;
  }
  return {};
}

// "103.2" is 103002 and "101" is 101000, as OCAD numbers them.
std::optional<std::int32_t> NumberOfCode(std::string_view code) {
  const std::size_t dot = code.find('.');
  const std::string_view main = code.substr(0, dot);
  const std::string_view sub = dot == std::string_view::npos ? "" : code.substr(dot + 1);
  const auto digits = [](std::string_view s) {
    return !s.empty() && s.size() <= 7 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(main) || (dot != std::string_view::npos && (!digits(sub) || sub.size() > 3)))
    return std::nullopt;
  const long long number = std::stoll(std::string(main)) * 1000 +
                           (sub.empty() ? 0 : std::stoll(std::string(sub)));
  if (number > kUncodedSymbols - 1) return std::nullopt;
  return static_cast<std::int32_t>(number);
}

// A tag's text as Mapper reads it: its text and CDATA sections joined, comments and processing
// instructions left out ("1<!-- c -->00" is 100). An element inside is a damaged file.
std::string TagText(const pugi::xml_node& tag) {
  std::string text;
  for (const pugi::xml_node& child : tag.children()) {
    if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata)
      Damaged("a tag that holds more than text");
    text += child.value();
  }
  return text;
}

ObjectKind KindOfType(long long type) {
  switch (type) {
    case 1:
      return ObjectKind::Point;
    case 4:
      return ObjectKind::Area;
    case 8:
      return ObjectKind::Text;
    default:  // 2 line, 16 combined (settled from its parts)
      return ObjectKind::Line;
  }
}

// A combined symbol counts as an area when one of its parts is an area.
ObjectKind CombinedKind(const pugi::xml_node& symbol, const std::map<int, long long>& typeOfId) {
  for (const pugi::xml_node& part : symbol.child("combined_symbol").children("part")) {
    long long type = 0;
    if (const pugi::xml_node inner = part.child("symbol")) {
      type = ParseInteger(inner.attribute("type").value()).value_or(0);
    } else if (const auto id = ParseInteger(part.attribute("symbol").value())) {
      const auto found = typeOfId.find(static_cast<int>(*id));
      if (found != typeOfId.end()) type = found->second;
    }
    if (type == 4) return ObjectKind::Area;
  }
  return ObjectKind::Line;
}

void ReadSymbolSection(const pugi::xml_node& section, MapperMap::Document& doc) {
  std::map<int, long long> typeOfId;
  std::vector<std::pair<int, pugi::xml_node>> symbols;
  for (const pugi::xml_node& symbol : section.children("symbol")) {
    const auto id = ParseInteger(symbol.attribute("id").value());
    if (!id || *id < 0 || *id > 100'000'000) Damaged("symbol without a usable id");
    if (!typeOfId.emplace(static_cast<int>(*id), ParseInteger(symbol.attribute("type").value()).value_or(0)).second)
      Damaged("two symbols with id " + std::to_string(*id));
    symbols.emplace_back(static_cast<int>(*id), symbol);
  }
  std::set<std::int32_t> used;
  for (const auto& [id, symbol] : symbols) {
    FormatSymbol info;
    info.Code = symbol.attribute("code").value();
    info.Description = ValidUtf8(symbol.attribute("name").value());
    const long long type = typeOfId[id];
    info.Kind = type == 16 ? CombinedKind(symbol, typeOfId) : KindOfType(type);
    std::optional<std::int32_t> number = NumberOfCode(info.Code);
    if (!number || used.count(*number)) {
      number = kUncodedSymbols + id;
      while (used.count(*number)) ++*number;
    }
    info.Number = *number;
    used.insert(info.Number);
    doc.NumberOfId[id] = info.Number;
    doc.IdOfNumber[info.Number] = id;
    doc.Symbols.push_back(std::move(info));
  }
}

std::vector<FormatPoint> ReadCoords(const pugi::xml_node& coords) {
  std::vector<MapperPoint> points;
  if (coords.child("coord")) {
    for (const pugi::xml_node& coord : coords.children("coord")) {
      const auto x = ParseInteger(coord.attribute("x").value());
      const auto y = ParseInteger(coord.attribute("y").value());
      const auto flags = ParseInteger(coord.attribute("flags").value());
      if (!x || !y) Damaged("coordinate without x or y");
      points.push_back({*x, *y, flags && *flags > 0 ? static_cast<std::uint32_t>(*flags & 0xFF) : 0u});
    }
  } else {
    std::optional<std::vector<MapperPoint>> parsed = ParseCoordsText(coords.child_value());
    if (!parsed) Damaged("coordinate text that is not a list of points");
    points = std::move(*parsed);
  }
  std::optional<std::vector<FormatPoint>> converted = ToFormatPoints(points);
  if (!converted) Damaged("coordinate beyond 32 bits");
  return std::move(*converted);
}

FormatExtent ExtentOf(const std::vector<FormatPoint>& points) {
  if (points.empty()) return {};
  FormatExtent e{points[0].X, points[0].Y, points[0].X, points[0].Y};
  for (const FormatPoint& p : points) {
    e.MinX = std::min(e.MinX, p.X);
    e.MinY = std::min(e.MinY, p.Y);
    e.MaxX = std::max(e.MaxX, p.X);
    e.MaxY = std::max(e.MaxY, p.Y);
  }
  return e;
}

void ReadObjectSection(const pugi::xml_node& parts, MapperMap::Document& doc) {
  std::map<std::int32_t, ObjectKind> kindOf;
  for (const FormatSymbol& symbol : doc.Symbols) kindOf[symbol.Number] = symbol.Kind;
  for (const pugi::xml_node& part : parts.children("part")) {
    for (const pugi::xml_node& node : part.child("objects").children("object")) {
      FormatObject object;
      object.Key = static_cast<std::int64_t>(doc.Objects.size());
      const long long type = ParseInteger(node.attribute("type").value()).value_or(-1);
      // Mapper refuses a symbol id that is no 32-bit number; one that names no symbol gives an
      // object without a symbol.
      const std::string_view symbolId = node.attribute("symbol").value();
      if (!symbolId.empty()) {
        const auto id = ParseInteger(symbolId);
        if (!id || *id < std::numeric_limits<std::int32_t>::min() ||
            *id > std::numeric_limits<std::int32_t>::max())
          Damaged("an object with the malformed symbol id \"" + std::string(symbolId) + "\"");
        const auto found = doc.NumberOfId.find(static_cast<int>(*id));
        if (found != doc.NumberOfId.end()) object.Symbol = found->second;
      }
      if (type == 0)
        object.Kind = ObjectKind::Point;
      else if (type == 4)
        object.Kind = ObjectKind::Text;
      else
        object.Kind = kindOf.count(object.Symbol) && kindOf[object.Symbol] == ObjectKind::Area
                          ? ObjectKind::Area
                          : ObjectKind::Line;
      // As Mapper reads tags: a key that comes again keeps its place and takes the later value.
      for (const pugi::xml_node& tag : node.child("tags").children("t")) {
        std::string key = tag.attribute("k").value();
        std::string value = TagText(tag);
        const auto same = std::find_if(object.Tags.begin(), object.Tags.end(),
                                       [&](const auto& kv) { return kv.first == key; });
        if (same != object.Tags.end())
          same->second = std::move(value);
        else
          object.Tags.emplace_back(std::move(key), std::move(value));
      }
      object.Points = ReadCoords(node.child("coords"));
      object.Extent = ExtentOf(object.Points);
      object.Text = ValidUtf8(node.child("text").child_value());
      doc.ObjectNodes.push_back(node);
      doc.IsPath.push_back(type == 1);
      doc.Objects.push_back(std::move(object));
    }
  }
}

void ReadGeoreferencing(const pugi::xml_node& node, FormatMapInfo& info) {
  info.Scale = NumberAttribute(node, "scale", 0.0);
  if (!(info.Scale > 0) || !std::isfinite(info.Scale)) Damaged("no map scale");
  const pugi::xml_node crs = node.child("projected_crs");
  const pugi::xml_node projected = crs.child("ref_point");
  const std::string id = crs.attribute("id").value();
  if (!projected || id == "Local") return;
  const double factor = NumberAttribute(node, "grid_scale_factor", 1.0);
  const double grivation = NumberAttribute(node, "grivation", 0.0);
  const double refX = NumberAttribute(projected, "x", 0.0);
  const double refY = NumberAttribute(projected, "y", 0.0);
  // Values that cannot be a place mean the map is not georeferenced.
  if (!IsPlausiblePlacement(refX, refY, grivation, factor)) return;
  // The paper's up points grivation degrees clockwise of grid north. Mapper's reference point on
  // the paper is in mm with y down; on the ground it lies at that times the scale, y up.
  Georeferencing g = GeoreferencingFromOffsetAngle(refX, refY, -grivation, factor);
  const pugi::xml_node paper = node.child("ref_point");
  const double groundX = NumberAttribute(paper, "x", 0.0) / 1000.0 * info.Scale;
  const double groundY = -NumberAttribute(paper, "y", 0.0) / 1000.0 * info.Scale;
  g.OriginEasting -= g.A * groundX + g.B * groundY;
  g.OriginNorthing -= g.C * groundX + g.D * groundY;
  if (!IsPlausiblePlacement(g.OriginEasting, g.OriginNorthing, grivation, factor)) return;
  g.CrsDefinition = Trimmed(crs.child("spec").child_value());
  const std::string parameter(Trimmed(crs.child("parameter").child_value()));
  if (id == "EPSG") {
    const auto code = ParseInteger(parameter);
    if (code && *code > 0 && *code < 1'000'000) g.EpsgCode = static_cast<int>(*code);
    g.CrsName = "EPSG:" + parameter;
  } else if (id == "UTM") {
    const auto zone = ParseInteger(parameter.substr(0, parameter.find(' ')));
    const bool south = parameter.find('S') != std::string::npos;
    if (zone && *zone >= 1 && *zone <= 60) {
      g.EpsgCode = static_cast<int>((south ? 32700 : 32600) + *zone);
      g.CrsName = "UTM " + std::to_string(*zone) + (south ? "S" : "N");
    }
  } else {
    g.CrsName = id;
  }
  DropGeographicCrs(g);
  info.Georef = std::move(g);
}

}  // namespace

pugi::xml_node HeightTagNode(const pugi::xml_node& object, const std::string& key) {
  pugi::xml_node last;
  for (const pugi::xml_node& tag : object.child("tags").children("t"))
    if (key == tag.attribute("k").value()) last = tag;
  return last;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = Trimmed(text);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<long long> ParseInteger(std::string_view text) {
  text = Trimmed(text);
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty())
    return std::nullopt;
  return value;
}

MapperMap::MapperMap() = default;
MapperMap::~MapperMap() = default;

std::unique_ptr<MapperMap> MapperMap::Open(std::vector<std::uint8_t> bytes) {
  std::unique_ptr<MapperMap> map(new MapperMap());
  map->bytes_ = std::move(bytes);
  map->Parse();
  map->heightTag_ = "Elevation";
  const std::vector<TagKeyCount> keys = map->HeightTagKeys();
  for (const char* preferred : kDefaultHeightTags) {
    if (std::any_of(keys.begin(), keys.end(),
                    [&](const TagKeyCount& k) { return k.Key == preferred; })) {
      map->heightTag_ = preferred;
      break;
    }
  }
  return map;
}

void MapperMap::Parse() {
  auto doc = std::make_unique<Document>();
  const pugi::xml_parse_result parsed =
      doc->Xml.load_buffer(bytes_.data(), bytes_.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!parsed)
    Damaged(std::string("XML: ") + parsed.description() + " at byte " +
            std::to_string(parsed.offset));
  if (const std::optional<std::string> fault = XmlFaultMapperRefuses(
          {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()}))
    Damaged("XML: " + *fault);
  const pugi::xml_node root = doc->Xml.child("map");
  if (!root || std::string_view(root.attribute("xmlns").value()) != kMapperNamespace)
    Damaged("no <map> of Mapper's namespace");
  const auto version = ParseInteger(root.attribute("version").value());
  if (!version || *version < kOldestVersion || *version > kNewestVersion)
    throw MapFormatError("This map was saved by OpenOrienteering Mapper in file version " +
                             std::string(root.attribute("version").value()) +
                             ", which Terrak cannot read",
                         "file version");
  FormatMapInfo info;
  info.FormatName = "OpenOrienteering Mapper XML";
  info.Version = static_cast<int>(*version);
  info.SymbolNumberScale = 1000;
  info.Capabilities.Heights = HeightPlace::Tag;
  ReadGeoreferencing(root.child("georeferencing"), info);
  ReadSymbolSection(FindSection(root, "symbols"), *doc);
  ReadObjectSection(FindSection(root, "parts"), *doc);
  if (doc_) doc->AddedWrappers = std::move(doc_->AddedWrappers);
  doc_ = std::move(doc);
  info_ = std::move(info);
}

std::vector<FormatSymbol> MapperMap::ReadSymbols() const { return doc_->Symbols; }

ObjectsRead MapperMap::ReadObjects(const std::function<bool(std::int32_t)>& wanted) const {
  ObjectsRead read;
  FormatExtent& map = read.MapExtent;
  for (const FormatObject& object : doc_->Objects) {
    if (!object.Points.empty()) {
      map.MinX = std::min(map.MinX, object.Extent.MinX);
      map.MinY = std::min(map.MinY, object.Extent.MinY);
      map.MaxX = std::max(map.MaxX, object.Extent.MaxX);
      map.MaxY = std::max(map.MaxY, object.Extent.MaxY);
    }
    if (!wanted(object.Symbol)) continue;
    FormatObject copy = object;
    for (const auto& [key, value] : object.Tags) {
      if (key != heightTag_) continue;
      // A tag that holds no number is no height; "0" is 0 m.
      if (const std::optional<double> metres = ParseNumber(value))
        if (const std::optional<std::int32_t> tenths = HeightTenthsFromMetres(*metres)) {
          copy.HeightTenths = *tenths;
          copy.HasHeight = true;
        }
      break;
    }
    read.Objects.push_back(std::move(copy));
  }
  return read;
}

std::vector<TagKeyCount> MapperMap::HeightTagKeys() const {
  std::map<std::string, int> counts;
  for (std::size_t i = 0; i < doc_->Objects.size(); ++i) {
    const FormatObject& object = doc_->Objects[i];
    if (!doc_->IsPath[i] || object.Kind != ObjectKind::Line) continue;
    std::set<std::string> keys;
    for (const auto& [key, value] : object.Tags)
      if (ParseNumber(value)) keys.insert(key);
    for (const std::string& key : keys) ++counts[key];
  }
  std::vector<TagKeyCount> keys;
  for (const auto& [key, count] : counts) keys.push_back({key, count});
  std::stable_sort(keys.begin(), keys.end(),
                   [](const TagKeyCount& a, const TagKeyCount& b) { return a.Objects > b.Objects; });
  return keys;
}

}  // namespace terrak::mapper

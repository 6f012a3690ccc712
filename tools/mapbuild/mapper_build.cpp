#include "mapbuild/mapper_build.h"

#include <algorithm>
#include <sstream>

namespace terrak::testing {

MapperMapBuilder& MapperMapBuilder::Version(int version) {
  version_ = version;
  return *this;
}
MapperMapBuilder& MapperMapBuilder::Scale(double scale) {
  scale_ = scale;
  return *this;
}
MapperMapBuilder& MapperMapBuilder::Georeferencing(std::string attributes, std::string children) {
  georefAttributes_ = std::move(attributes);
  georefChildren_ = std::move(children);
  return *this;
}
MapperMapBuilder& MapperMapBuilder::CoordElements(bool elements) {
  elements_ = elements;
  return *this;
}
MapperMapBuilder& MapperMapBuilder::InBarrier(bool barrier) {
  barrier_ = barrier;
  return *this;
}
MapperMapBuilder& MapperMapBuilder::History(bool history) {
  history_ = history;
  return *this;
}
MapperMapBuilder& MapperMapBuilder::AddSymbol(MapperSymbolSpec symbol) {
  symbols_.push_back(std::move(symbol));
  return *this;
}
MapperMapBuilder& MapperMapBuilder::AddObject(MapperObjectSpec object) {
  objects_.push_back(std::move(object));
  return *this;
}

std::string MapperMapBuilder::Object(const MapperObjectSpec& object) const {
  std::ostringstream out;
  out << "<object type=\"" << object.Type << "\" symbol=\"" << object.Symbol << "\">";
  if (!object.Tags.empty()) {
    out << "<tags>";
    for (const auto& [key, value] : object.Tags) out << "<t k=\"" << key << "\">" << value << "</t>";
    out << "</tags>";
  } else if (object.EmptyTagsElement) {
    out << "<tags/>";
  }
  out << "<coords count=\"" << object.Coords.size() << "\">";
  for (const MapperCoord& c : object.Coords) {
    if (elements_) {
      out << "<coord x=\"" << c.X << "\" y=\"" << c.Y << "\"";
      if (c.Flags) out << " flags=\"" << c.Flags << "\"";
      out << "/>";
    } else {
      out << c.X << ' ' << c.Y;
      if (c.Flags) out << ' ' << c.Flags;
      out << ';';
    }
  }
  out << "</coords>";
  if (object.Type == 4) out << "<text>" << object.Text << "</text>";
  out << "</object>\n";
  return out.str();
}

std::string MapperMapBuilder::Build() const {
  std::ostringstream out;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<map xmlns=\"http://openorienteering.org/apps/mapper/xml/v2\" version=\"" << version_
      << "\">\n<notes></notes>\n"
      << "<georeferencing scale=\"" << scale_ << "\"" << georefAttributes_ << ">"
      << georefChildren_ << "</georeferencing>\n<colors count=\"0\"/>\n";
  if (barrier_) out << "<barrier version=\"6\" required=\"0.6.0\">\n";
  out << "<symbols count=\"" << symbols_.size() << "\">\n";
  for (const MapperSymbolSpec& s : symbols_) {
    out << "<symbol type=\"" << s.Type << "\" id=\"" << s.Id << "\" code=\"" << s.Code
        << "\" name=\"" << s.Name << "\">";
    if (s.Type == 16) {
      out << "<combined_symbol parts=\"" << s.Parts.size() << "\">";
      for (int part : s.Parts) out << "<part symbol=\"" << part << "\"/>";
      out << "</combined_symbol>";
    }
    if (s.Type == 1) {
      out << "<point_symbol inner_radius=\"250\" elements=\"1\"><element><symbol type=\"2\" "
             "code=\"\"><line_symbol color=\"0\" line_width=\"100\"/></symbol>";
      MapperObjectSpec inner{.Type = 1, .Symbol = -1};
      for (const auto& [x, y] : s.InnerObject) inner.Coords.push_back({x, y, 0});
      out << Object(inner) << "</element></point_symbol>";
    }
    out << "</symbol>\n";
  }
  out << "</symbols>\n";
  int parts = 1;
  for (const MapperObjectSpec& o : objects_) parts = std::max(parts, o.Part + 1);
  out << "<parts count=\"" << parts << "\" current=\"0\">\n";
  for (int part = 0; part < parts; ++part) {
    out << "<part name=\"layer " << part << "\"><objects count=\"1\">\n";
    for (const MapperObjectSpec& o : objects_)
      if (o.Part == part) out << Object(o);
    out << "</objects></part>\n";
  }
  out << "</parts>\n<templates count=\"0\" first_front_template=\"0\"/>\n";
  if (barrier_) out << "</barrier>\n";
  if (history_) {
    out << "<barrier version=\"6\" required=\"0.6.0\">\n<undo>\n<step type=\"2\"><affected_objects "
           "part=\"0\"><ref object=\"0\"/></affected_objects><contained_objects count=\"1\">";
    for (const MapperObjectSpec& o : objects_) out << Object(o);
    out << "</contained_objects></step>\n</undo>\n<redo>\n<step type=\"1\"><contained_objects>";
    for (const MapperObjectSpec& o : objects_) out << Object(o);
    out << "</contained_objects></step>\n</redo>\n</barrier>\n";
  }
  out << "</map>\n";
  return out.str();
}

std::vector<std::uint8_t> TextBytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace terrak::testing

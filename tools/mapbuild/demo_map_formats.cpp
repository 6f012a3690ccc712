#include "mapbuild/demo_map_formats.h"

#include <cstdio>

#include "mapbuild/mapper_build.h"

namespace terrak::testing {

namespace {

GroundPoint Centre(const DemoMap& map) { return {map.Options.Width / 2, map.Options.Depth / 2}; }

std::uint8_t Type9(std::int16_t objectType) { return static_cast<std::uint8_t>(objectType); }

std::string MetresText(std::int16_t tenths) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", tenths / 10.0);
  return text;
}

}  // namespace

Ocad9MapBuilder DemoMapBuilder9(const DemoMap& map, int version, double scale) {
  const GroundPoint centre = Centre(map);
  Ocad9MapBuilder builder(version);
  char parameters[64];
  std::snprintf(parameters, sizeof parameters, "\tm%g", scale);
  builder.ScaleParameters(parameters);
  for (const SymbolSpec& symbol : map.Symbols)
    builder.AddSymbol({DemoSymbol9(symbol.Number), Type9(symbol.ObjectType), symbol.Description});
  const std::int64_t heightUnits = version == 10 ? 100 : 25600;  // per tenth of a metre
  for (const DemoObject& object : map.Objects) {
    Object9 stored{.Symbol = DemoSymbol9(object.Symbol), .Type = Type9(object.ObjectType),
                   .Text = object.Text};
    if (version != 9) stored.Height = static_cast<std::int32_t>(object.Height * heightUnits);
    for (std::size_t part = 0; part < object.Parts.size(); ++part)
      for (std::size_t k = 0; k < object.Parts[part].size(); ++k) {
        const GroundPoint& p = object.Parts[part][k];
        const CodedPoint point =
            CodedPoint::At(static_cast<std::int32_t>(Hundredths(p.X - centre.X, scale)),
                           static_cast<std::int32_t>(Hundredths(p.Y - centre.Y, scale)));
        stored.Points.push_back(part > 0 && k == 0 ? point.NewPart() : point);
      }
    builder.AddObject(stored);
  }
  return builder;
}

std::string DemoMapperXml(const DemoMap& map, double scale) {
  const GroundPoint centre = Centre(map);
  MapperMapBuilder builder;
  builder.Scale(scale);
  for (std::size_t i = 0; i < map.Symbols.size(); ++i) {
    const SymbolSpec& symbol = map.Symbols[i];
    const int type = symbol.ObjectType == 3 ? 4 : symbol.ObjectType == 4 ? 8 : symbol.ObjectType;
    builder.AddSymbol({.Id = static_cast<int>(i), .Type = type,
                       .Code = std::to_string(symbol.Number),  // "101": 101000
                       .Name = symbol.Description});
  }
  for (const DemoObject& object : map.Objects) {
    std::size_t symbol = 0;
    while (map.Symbols[symbol].Number != object.Symbol) ++symbol;
    MapperObjectSpec stored{.Type = object.ObjectType == 4 ? 4 : 1,
                            .Symbol = static_cast<int>(symbol),
                            .Text = object.Text};
    if (object.Height != 0) stored.Tags = {{"Elevation", MetresText(object.Height)}};
    for (std::size_t part = 0; part < object.Parts.size(); ++part) {
      // A part ends with a hole point when another part follows.
      if (part > 0) stored.Coords.back().Flags |= 16;
      for (const GroundPoint& p : object.Parts[part])
        stored.Coords.push_back({Hundredths(p.X - centre.X, scale) * 10,
                                 -Hundredths(p.Y - centre.Y, scale) * 10, 0});
    }
    builder.AddObject(stored);
  }
  return builder.Build();
}

}  // namespace terrak::testing

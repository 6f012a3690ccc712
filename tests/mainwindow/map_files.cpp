#include "mainwindow/map_files.h"

#include <stdexcept>

#include "common/rounding.h"
#include "mainwindow/screen_points.h"
#include "mainwindow/view_transform.h"

namespace terrak::testing {

namespace {

struct Line {
  std::int16_t Symbol;
  TPair From, To;
  std::int16_t Height;
};

constexpr Line kLines[] = {
    {kContour, {0, 800}, {800, 0}, 0},          {kContour, {800, 0}, {1600, 800}, 0},
    {kContour, {1600, 800}, {2400, 0}, 0},      {kIndexContour, {2400, 0}, {3200, 800}, 0},
    {kContour, {-1600, -800}, {-800, -1600}, 50},
};

// A version 6/7 position (0.01 mm) that converts back to the model value.
std::int32_t Position6(std::int32_t model) {
  return static_cast<std::int32_t>(RoundToInt(model / 0.56693));
}

}  // namespace

std::vector<std::uint8_t> BuildChainMap(OcadMapBuilder& builder) {
  builder.Zoom(4);
  builder.AddSymbol(kContour, 2, "Contour");
  builder.AddSymbol(kIndexContour, 2, "Index contour");
  builder.AddSymbol(kLake, 3, "Lake");
  for (const Line& line : kLines) {
    if (builder.Version() == 5) {
      builder.AddObject(Object5{.Symbol = line.Symbol, .Height = line.Height, .Pairs = {line.From, line.To}});
    } else {
      builder.AddObject(Object6{.Symbol = line.Symbol,
                                .Height = line.Height,
                                .Points = {CodedPoint::At(Position6(line.From.X), Position6(line.From.Y)),
                                           CodedPoint::At(Position6(line.To.X), Position6(line.To.Y))}});
    }
  }
  return builder.Build();
}

Point PressPointOf(AppState& app, std::size_t object) {
  const TMapObject& o = app.Model.MapObjects.at(object);
  const Point topLeft = MapToScreen(app.Window, app.Model, o.MinX, o.MaxY);
  const Point bottomRight = MapToScreen(app.Window, app.Model, o.MaxX, o.MinY);
  const Rect box{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
  app.Window.PointCount = 0;
  BuildScreenPoints(app.Window, app.Model, app.Model.ObjectCoords.at(object));
  for (std::int32_t i = 0; i < app.Window.PointCount; ++i)
    if (box.Contains(app.Window.ScreenPoints[static_cast<std::size_t>(i)]))
      return app.Window.ScreenPoints[static_cast<std::size_t>(i)];
  throw std::logic_error("no screen point of the object lies inside its box");
}

std::vector<std::size_t> DifferingBytes(const std::vector<std::uint8_t>& a,
                                        const std::vector<std::uint8_t>& b) {
  if (a.size() != b.size()) throw std::logic_error("files of different sizes");
  std::vector<std::size_t> differing;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) differing.push_back(i);
  return differing;
}

}  // namespace terrak::testing

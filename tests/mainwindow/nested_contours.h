#pragma once
// A small Mapper map of nested square contours for the heights commands: from the outside a
// contour at 90 m (tag "ele"), a contour, an index contour and a contour, none of them with a
// height, and a path across them. With 5 m and an index every 5th level the second gets 95 m,
// the index contour 100 m and the innermost 105 m, all three derived.
#include <functional>
#include <string>
#include <vector>

#include "mapbuild/mapper_build.h"
#include "mapfile/map_model.h"
#include "support/scripted_dialogs.h"

namespace terrak::testing {

// placed: the map lies in UTM 33N (EPSG 25833), its paper origin at 500 000 E, 6 000 000 N.
inline std::string NestedContoursMap(bool placed = false) {
  MapperMapBuilder b;
  if (placed)
    b.Georeferencing(" grid_scale_factor=\"1\"",
                     "<projected_crs id=\"EPSG\"><spec language=\"PROJ.4\">+init=epsg:25833"
                     "</spec><parameter>25833</parameter><ref_point x=\"500000\" "
                     "y=\"6000000\"/></projected_crs>");
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101", .Name = "Contour"});
  b.AddSymbol({.Id = 1, .Type = 2, .Code = "102", .Name = "Index contour"});
  b.AddSymbol({.Id = 2, .Type = 2, .Code = "507", .Name = "Path"});
  // Half sides in 1/1000 mm: at 1:10000 10 000 units are 100 m.
  const auto square = [](std::int64_t h) {
    return std::vector<MapperCoord>{{-h, -h}, {h, -h}, {h, h}, {-h, h}, {-h, -h}};
  };
  b.AddObject({.Symbol = 0, .Tags = {{"ele", "90"}}, .Coords = square(40000)});
  b.AddObject({.Symbol = 0, .Coords = square(30000)});
  b.AddObject({.Symbol = 1, .Coords = square(20000)});
  b.AddObject({.Symbol = 0, .Coords = square(10000)});
  b.AddObject({.Symbol = 2, .Coords = {{-50000, 500}, {50000, 500}}});
  return b.Build();
}

// Each object's height in metres, -1 for none.
inline std::vector<double> HeightsInMetres(const MapModel& model) {
  std::vector<double> metres;
  for (const TMapObject& o : model.MapObjects) metres.push_back(o.HasHeight ? o.Height / 10.0 : -1);
  return metres;
}

// Scripted answers, with a look at the window whenever a message is shown.
struct WatchedDialogs : ScriptedDialogs {
  std::function<void()> OnMessage = [] {};
  DialogButton Message(const std::string& text, MessageType type, unsigned buttons) override {
    OnMessage();
    return ScriptedDialogs::Message(text, type, buttons);
  }
};

}  // namespace terrak::testing

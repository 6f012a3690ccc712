#pragma once
// The whole map's drawing, kept between its uses: read and drawn from the map's file the first
// time it is asked for, and again only once the file has changed (an edit patches the file, so
// its size or time changes). The main window paints it under the selected symbols at every
// repaint; the grid construction drapes it over the terrain.
#include <cstdint>
#include <optional>
#include <string>

#include "mapdraw/map_drawing.h"

namespace terrak::mapdraw {

class WholeMapDrawing {
 public:
  // The drawing of fileName drawn finely enough for finestPixelsPerMicrometre; nullptr when the
  // map cannot be drawn, Problem() then says why. The same file unchanged (and no finer need)
  // gives the drawing kept.
  const MapPicture* For(const std::string& fileName, double finestPixelsPerMicrometre);
  // The problem of the last For that gave nothing, empty otherwise.
  const std::string& Problem() const { return problem_; }
  // Counts the drawings made: a picture painted from an older one is out of date.
  std::uint64_t Generation() const { return generation_; }
  void Forget();

 private:
  struct FileMark {
    std::string Name;
    std::int64_t Size = -1;
    std::int64_t ModifiedNs = 0;
    double Tolerance = 0;
    friend bool operator==(const FileMark&, const FileMark&) = default;
  };

  std::optional<FileMark> drawnFrom_;
  std::optional<MapPicture> drawing_;
  std::string problem_;
  std::uint64_t generation_ = 0;
};

}  // namespace terrak::mapdraw

#pragma once
// Sorting the cells of one strip of the fast wire mesh by what they draw, eight at a time, so
// that the cells of the far field (all three vertices within a pixel of each other, seen
// before but the first) cost one plot and little else.
#include <cstdint>

#include "viewer/mesh_rows.h"

namespace terrak {

enum CellKind : std::uint8_t {
  kEmptyCell = 0,     // nothing is drawn: the first or second vertex has no height, or no
                      // vertex the cell reaches is visible
  kFirstVertexCell = 1,  // the three vertices visible, each a pixel or less from the next, the
                         // second and third plotted by earlier cells: only the first is plotted
  kOtherCell = 2,     // everything else that draws
};

// The cells of strip m between lattice rows low and high (heights of the row before low in
// before, all 0 when m is the first strip), cells of them. Every array is read up to eight
// entries past the row's last vertex, heights also one before its first; kinds gets cells
// entries and up to eight more.
struct StripRows {
  const std::int16_t* Before;
  const std::int16_t* Low;
  const std::int16_t* High;
  const ProjectedRow& LowPoints;
  const ProjectedRow& HighPoints;
};
void ClassifyCells(const StripRows& rows, bool firstStrip, std::int64_t cells, std::uint8_t* kinds);

}  // namespace terrak

#include "viewer/mesh_cell_kinds.h"

#include <cstring>

#include "common/vector_clones.h"

namespace terrak {

namespace {

using Ints = std::int32_t __attribute__((vector_size(32)));
using Unsigned = std::uint32_t __attribute__((vector_size(32)));
using Shorts = std::int16_t __attribute__((vector_size(16)));
using Bytes = std::uint8_t __attribute__((vector_size(8)));

}  // namespace

TERRAK_VECTOR_CLONES
void ClassifyCells(const StripRows& rows, bool firstStrip, std::int64_t cells, std::uint8_t* kinds) {
  const Ints zero = {0, 0, 0, 0, 0, 0, 0, 0};
  const Ints lane = {0, 1, 2, 3, 4, 5, 6, 7};
  const Ints afterFirst = firstStrip ? zero : zero - 1;  // the row before low holds heights
  const std::int32_t* xa = rows.HighPoints.X.data();
  const std::int32_t* ya = rows.HighPoints.Y.data();
  const std::int32_t* xb = rows.LowPoints.X.data();
  const std::int32_t* yb = rows.LowPoints.Y.data();
  for (std::int64_t k = 0; k < cells; k += 8) {
    Shorts s;
    std::memcpy(&s, rows.Low + k, sizeof s);
    const Ints low = __builtin_convertvector(s, Ints);
    std::memcpy(&s, rows.Low + k + 1, sizeof s);
    const Ints lowNext = __builtin_convertvector(s, Ints);
    std::memcpy(&s, rows.Low + k - 1, sizeof s);
    const Ints lowLast = __builtin_convertvector(s, Ints);
    std::memcpy(&s, rows.High + k, sizeof s);
    const Ints high = __builtin_convertvector(s, Ints);
    std::memcpy(&s, rows.High + k - 1, sizeof s);
    const Ints highLast = __builtin_convertvector(s, Ints);
    std::memcpy(&s, rows.Before + k, sizeof s);
    const Ints before = __builtin_convertvector(s, Ints);
    std::memcpy(&s, rows.Before + k + 1, sizeof s);
    const Ints beforeNext = __builtin_convertvector(s, Ints);
    Ints ax, ay, bx, by, cx, cy;
    std::memcpy(&ax, xa + k, sizeof ax);
    std::memcpy(&ay, ya + k, sizeof ay);
    std::memcpy(&bx, xb + k, sizeof bx);
    std::memcpy(&by, yb + k, sizeof by);
    std::memcpy(&cx, xb + k + 1, sizeof cx);
    std::memcpy(&cy, yb + k + 1, sizeof cy);
    const Ints index = lane + static_cast<std::int32_t>(k);

    // A cell none of whose vertices is visible draws nothing either.
    const Ints hiddenA = ax == kHiddenX, hiddenB = bx == kHiddenX, hiddenC = cx == kHiddenX;
    const Ints third = lowNext != 0;
    const Ints drawn = (low != 0) & (high != 0) & ~(hiddenA & hiddenB & (hiddenC | ~third));
    const Ints visible = third & ~hiddenA & ~hiddenB & ~hiddenC;
    // Within a pixel: |difference| <= 1 in x and in y, as one unsigned comparison each.
    const Ints nearAB = ((Unsigned)ax - (Unsigned)bx + 1 <= 2) &
                        ((Unsigned)ay - (Unsigned)by + 1 <= 2);
    const Ints nearBC = ((Unsigned)bx - (Unsigned)cx + 1 <= 2) &
                        ((Unsigned)by - (Unsigned)cy + 1 <= 2);
    const Ints nearCA = ((Unsigned)cx - (Unsigned)ax + 1 <= 2) &
                        ((Unsigned)cy - (Unsigned)ay + 1 <= 2);
    // B was the last vertex of the cell before, or the first of the cell below; C the first of
    // the cell below and to the east.
    const Ints bSeen = ((index > 0) & (lowLast != 0) & (highLast != 0)) | (afterFirst & (before != 0));
    const Ints cSeen = afterFirst & (index + 1 < static_cast<std::int32_t>(cells)) & (beforeNext != 0);
    const Ints simple = drawn & visible & nearAB & nearBC & nearCA & bSeen & cSeen;
    // 2 where drawn, less 1 where simple: the kinds of CellKind.
    const Ints kind = (drawn & 2) + simple;
    const Bytes narrow = __builtin_convertvector(kind, Bytes);
    std::memcpy(kinds + k, &narrow, sizeof narrow);
  }
}

}  // namespace terrak

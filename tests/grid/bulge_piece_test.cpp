// The hull of a bulge's piece worked out from the chord and the offset of K: its control points
// are those de Casteljau's construction gives for the bulge's own control points, and every
// point of the piece, for every K between two offsets, lies within the box of the corners made
// with the lower and the higher offset.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "grid/bulge_piece.h"

namespace terrak {
namespace {

struct Point {
  double X, Y;
};

Point Lerp(Point p, Point q, double t) { return {p.X + t * (q.X - p.X), p.Y + t * (q.Y - p.Y)}; }

// The cubic's blossom at (u, v, w), de Casteljau with one parameter a level.
Point Blossom(const Point c[4], double u, double v, double w) {
  const Point a0 = Lerp(c[0], c[1], u), a1 = Lerp(c[1], c[2], u), a2 = Lerp(c[2], c[3], u);
  return Lerp(Lerp(a0, a1, v), Lerp(a1, a2, v), w);
}

Point Corner(const BulgePiece& piece, int i, Point p, Point d, Point v) {
  return {p.X + piece.S[i] * d.X + piece.H[i] * v.X, p.Y + piece.S[i] * d.Y + piece.H[i] * v.Y};
}

TEST(BulgePiece, CornersAreTheBlossomsAndBoundThePiecesOfEveryKBetween) {
  std::mt19937 random(17);
  const auto coordinate = [&] { return static_cast<double>(static_cast<int>(random() % 2001) - 1000); };
  const auto parameter = [&] { return static_cast<double>(random() % 4097) / 4096.0; };
  for (int round = 0; round < 2000; ++round) {
    const Point p{coordinate(), coordinate()}, n{coordinate(), coordinate()};
    const Point d{n.X - p.X, n.Y - p.Y};
    double a = parameter(), b = parameter();
    if (a > b) std::swap(a, b);
    if (round % 10 == 0) a = 0.0;
    if (round % 10 == 1) b = 1.0;
    const BulgePiece piece = BulgePieceOf(a, b);
    // Two offsets of K, and the box of the corners with the lower and with the higher.
    const Point v0{coordinate() / 4, coordinate() / 4}, v1{coordinate() / 4, coordinate() / 4};
    const Point low{std::min(v0.X, v1.X), std::min(v0.Y, v1.Y)}, high{std::max(v0.X, v1.X), std::max(v0.Y, v1.Y)};
    Point lo = Corner(piece, 0, p, d, low), hi = Corner(piece, 0, p, d, high);
    for (int i = 0; i < 4; ++i) {
      ASSERT_GE(piece.H[i], -1e-12);
      ASSERT_LE(piece.H[i], 1.0 + 1e-12);
      const Point cl = Corner(piece, i, p, d, low), ch = Corner(piece, i, p, d, high);
      lo = {std::min(lo.X, cl.X), std::min(lo.Y, cl.Y)};
      hi = {std::max(hi.X, ch.X), std::max(hi.Y, ch.Y)};
      // With one offset, the corner is the blossom of P, K, K + D, N.
      const Point k{p.X + v0.X, p.Y + v0.Y};
      const Point c[4] = {p, k, {k.X + d.X, k.Y + d.Y}, n};
      const double params[4][3] = {{a, a, a}, {a, a, b}, {a, b, b}, {b, b, b}};
      const Point blossom = Blossom(c, params[i][0], params[i][1], params[i][2]);
      const Point corner = Corner(piece, i, p, d, v0);
      ASSERT_NEAR(corner.X, blossom.X, 1e-9) << round << " corner " << i;
      ASSERT_NEAR(corner.Y, blossom.Y, 1e-9) << round << " corner " << i;
    }
    for (int j = 0; j <= 16; ++j) {
      const double t = a + (b - a) * j / 16.0, f = static_cast<double>(random() % 9) / 8.0;
      const Point v{v0.X + f * (v1.X - v0.X), v0.Y + f * (v1.Y - v0.Y)};
      const Point k{p.X + v.X, p.Y + v.Y};
      const Point c[4] = {p, k, {k.X + d.X, k.Y + d.Y}, n};
      const Point on = Blossom(c, t, t, t);
      ASSERT_GE(on.X, lo.X - 1e-9);
      ASSERT_LE(on.X, hi.X + 1e-9);
      ASSERT_GE(on.Y, lo.Y - 1e-9);
      ASSERT_LE(on.Y, hi.Y + 1e-9);
    }
  }
}

}  // namespace
}  // namespace terrak

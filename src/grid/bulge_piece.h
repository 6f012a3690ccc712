#pragma once
// The hull of a piece of a bulge's curve, worked out once for all bulges of a pair. A bulge with
// the control points P, K, K + D, N (D = N - P) is B(t) = P + s(t) D + h(t) V with V = K - P,
// s(t) = 3t^2 - 2t^3 and h(t) = 3t (1 - t), so the control points of its piece between the
// parameters a and b are P + s~ D + h~ V, with s~ and h~ the blossoms of s and h at (a, a, a),
// (a, a, b), (a, b, b) and (b, b, b): the same four pairs of factors for every bulge of a pair.

namespace terrak {

struct BulgePiece {
  double S[4];  // s~ of the four control points
  double H[4];  // h~, which lies in [0, 1] for 0 <= a <= b <= 1
};

inline BulgePiece BulgePieceOf(double a, double b) {
  // Blossoms: s~(u, v, w) = uv + vw + wu - 2uvw, h~(u, v, w) = u + v + w - (uv + vw + wu).
  const double aa = a * a, bb = b * b, ab = a * b;
  const double sums[4] = {3.0 * a, 2.0 * a + b, a + 2.0 * b, 3.0 * b};
  const double pairs[4] = {3.0 * aa, aa + 2.0 * ab, bb + 2.0 * ab, 3.0 * bb};
  const double products[4] = {aa * a, aa * b, a * bb, bb * b};
  BulgePiece piece;
  for (int i = 0; i < 4; ++i) {
    piece.S[i] = pairs[i] - 2.0 * products[i];
    piece.H[i] = sums[i] - pairs[i];
  }
  return piece;
}

}  // namespace terrak

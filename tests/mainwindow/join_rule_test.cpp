// The join rule of tracing, checked against a plain reading of it: passes over the objects in
// list order, each object of the picked symbol that is not at a chain end tested in turn (first
// point at end A, first at end B, last at end A, last at end B), until a pass joins nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "mainwindow/app_state.h"
#include "mainwindow/tracing.h"

namespace terrak {
namespace {

struct Piece {
  std::int16_t Symbol;
  TPair First, Last;
};

struct Joins {
  std::vector<std::int32_t> Objects;  // the joined objects in order, without the picked one
  bool EndedByItself = true;
  TPair EndA, EndB;
  std::int32_t EndAIndex = 0, EndBIndex = 0;
};

bool Near(TPair a, TPair b, int tolerance) {
  return std::abs(a.X - b.X) < tolerance && std::abs(a.Y - b.Y) < tolerance;
}

// The rule read literally, stopped after `bound` joins.
Joins ReadingOfTheRule(const std::vector<Piece>& pieces, std::size_t picked, int tolerance,
                       std::size_t bound) {
  const auto at = static_cast<std::int32_t>(picked);
  Joins r{.Objects = {}, .EndA = pieces[picked].First, .EndB = pieces[picked].Last, .EndAIndex = at, .EndBIndex = at};
  const std::int16_t symbol = pieces[picked].Symbol;
  for (bool joined = true; joined;) {
    joined = false;
    for (std::size_t j = 0; j < pieces.size(); ++j) {
      const auto index = static_cast<std::int32_t>(j);
      const Piece& p = pieces[j];
      if (p.Symbol != symbol || index == r.EndAIndex || index == r.EndBIndex) continue;
      if (Near(p.First, r.EndA, tolerance)) {
        r.EndA = p.Last, r.EndAIndex = index;
      } else if (Near(p.First, r.EndB, tolerance)) {
        r.EndB = p.Last, r.EndBIndex = index;
      } else if (Near(p.Last, r.EndA, tolerance)) {
        r.EndA = p.First, r.EndAIndex = index;
      } else if (Near(p.Last, r.EndB, tolerance)) {
        r.EndB = p.First, r.EndBIndex = index;
      } else {
        continue;
      }
      if (r.Objects.size() == bound) {
        r.EndedByItself = false;
        return r;
      }
      r.Objects.push_back(index);
      joined = true;
    }
  }
  return r;
}

// The program's trace from a pick of one piece, as the hit test leaves the chain.
Joins Traced(const std::vector<Piece>& pieces, std::size_t picked, int tolerance) {
  AppState app;
  for (const Piece& p : pieces) {
    app.Model.MapObjects.push_back({.Symbol = p.Symbol, .FirstPoint = p.First, .LastPoint = p.Last});
  }
  app.Settings.TraceTolerance = static_cast<std::int16_t>(tolerance);
  MapWindowState& view = app.Window;
  view.PickedSymbol = pieces[picked].Symbol;
  view.ChainEndA = pieces[picked].First;
  view.ChainEndB = pieces[picked].Last;
  view.ChainEndAIndex = view.ChainEndBIndex = static_cast<std::int32_t>(picked);
  view.TracedObjects = {static_cast<std::int32_t>(picked)};
  view.TraceExists = true;
  FollowJoins(app);
  EXPECT_EQ(view.TracedObjectCount, static_cast<std::int16_t>(view.TracedObjects.size()));
  return {.Objects = {view.TracedObjects.begin() + 1, view.TracedObjects.end()}, .EndA = view.ChainEndA,
          .EndB = view.ChainEndB, .EndAIndex = view.ChainEndAIndex, .EndBIndex = view.ChainEndBIndex};
}

// Random branched configurations: ends on a small lattice, sometimes moved a little, so that
// pieces meet in threes and fours, run on top of each other and close loops, and ends lie just
// within or just outside the tolerance.
std::vector<Piece> RandomPieces(std::mt19937& random) {
  const auto pick = [&random](unsigned n) { return static_cast<int>(random() % n); };
  const auto point = [&] {
    const int jitter = pick(3) == 0 ? pick(13) - 6 : 0;
    return TPair{static_cast<std::int16_t>(100 * pick(3) + jitter),
                 static_cast<std::int16_t>(100 * pick(3) - jitter)};
  };
  std::vector<Piece> pieces(static_cast<std::size_t>(3 + pick(6)));
  for (Piece& p : pieces) p = {static_cast<std::int16_t>(pick(5) == 0 ? 102 : 101), point(), point()};
  return pieces;
}

TEST(JoinRule, EqualsTheReadingOfTheRuleWhereverItEndsAndStaysFiniteWhereItDoesNot) {
  std::mt19937 random(20261206);
  constexpr std::size_t kBound = 300;
  int ended = 0, endless = 0, joinedTwice = 0;
  for (int n = 0; n < 6000; ++n) {
    const std::vector<Piece> pieces = RandomPieces(random);
    const std::size_t picked = random() % pieces.size();
    const int tolerance = std::array<int, 4>{0, 5, 10, 20}[random() % 4];
    const Joins expected = ReadingOfTheRule(pieces, picked, tolerance, kBound);
    const Joins actual = Traced(pieces, picked, tolerance);
    if (expected.EndedByItself) {
      ++ended;
      ASSERT_EQ(actual.Objects, expected.Objects) << "configuration " << n;
      ASSERT_EQ(actual.EndA, expected.EndA);
      ASSERT_EQ(actual.EndB, expected.EndB);
      std::vector<int> times(pieces.size());
      for (std::int32_t j : expected.Objects) times[static_cast<std::size_t>(j)]++;
      joinedTwice += *std::max_element(times.begin(), times.end()) > 1;
    } else {
      // Where the rule goes round for ever, the trace is the rule's beginning, up to the
      // first join that leads to a chain seen before.
      ++endless;
      ASSERT_LT(actual.Objects.size(), kBound) << "configuration " << n;
      ASSERT_TRUE(std::equal(actual.Objects.begin(), actual.Objects.end(), expected.Objects.begin()))
          << "configuration " << n;
    }
  }
  // The configurations reach every kind of ending.
  EXPECT_GT(ended, 3000);
  EXPECT_GT(endless, 100);
  EXPECT_GT(joinedTwice, 100);
}

}  // namespace
}  // namespace terrak

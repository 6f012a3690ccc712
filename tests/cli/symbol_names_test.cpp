// Symbols named on the command line as `info` prints them, found in the open map.
#include "cli/symbol_names.h"

#include <gtest/gtest.h>

#include "cli/arguments.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using cli::FindSymbols;
using cli::ParseSymbolList;

MapModel MapOf(std::int32_t scale, std::vector<TmapSymbol> symbols) {
  return {.SymbolNumberScale = scale, .SymbolList = std::move(symbols)};
}

// What the run says once the objects of the symbols were read (model holds them).
std::string Refusal(const std::vector<std::string>& items, const MapModel& model) {
  return testing::ThrownText<cli::SymbolNotFound>(
      [&] { cli::CheckSymbolsFound(items, FindSymbols(items, model), model); },
      &cli::SymbolNotFound::what, "found");
}

TEST(SymbolNames, OldMapsTakeTheShownNumberAndTheNumberBeforeIt) {
  const MapModel model = MapOf(10, {{101, "10.1 Contour", ObjectKind::Line},
                                    {102, "10.2 Index contour", ObjectKind::Line},
                                    {5, " 0.5 No Description Found", ObjectKind::Point}});
  EXPECT_EQ(FindSymbols({"101", "10.2", "0.5", "5"}, model),
            (std::vector<std::int32_t>{101, 102, 5, 5}));
  // Today's way of writing 101: the nearest are named, ten times off counting as near.
  EXPECT_EQ(Refusal({"101", "101.0"}, model),
            "the map has no symbol 101.0; the nearest it has: 10.1 Contour, 10.2 Index contour, "
            "0.5 No Description Found");
  // The list leaves area symbols out: one with objects is found by its number.
  MapModel areas = model;
  EXPECT_EQ(FindSymbols({"301", "30.1"}, areas), (std::vector<std::int32_t>{301, 301}));
  EXPECT_EQ(Refusal({"301"}, areas).rfind("the map has no symbol 301;", 0), 0u);
  areas.MapObjects.push_back(TMapObject{});
  areas.MapObjects.back().Symbol = 301;
  EXPECT_EQ(Refusal({"301", "30.1", "10.1"}, areas), "found");
}

TEST(SymbolNames, TodaysMapsTakeTheCodeWithOrWithoutItsDotAndListsAreDigitsAndDots) {
  const MapModel model = MapOf(1000, {{101000, "101 Contour", ObjectKind::Line},
                                      {103002, "103.2 Form line", ObjectKind::Line},
                                      {201030, "201.30 Cliff", ObjectKind::Line},
                                      {1000000007, "101.0.1 Special", ObjectKind::Line}});
  EXPECT_EQ(FindSymbols({"101", "101.0", "101.000", "101000", "103.2", "103.002", "201.30",
                         "201.030", "101.0.1", "1000000007"},
                        model),
            (std::vector<std::int32_t>{101000, 101000, 101000, 101000, 103002, 103002, 201030,
                                       201030, 1000000007, 1000000007}));
  EXPECT_EQ(Refusal({"10.1"}, model),
            "the map has no symbol 10.1; the nearest it has: 101 Contour, 101.0.1 Special, "
            "103.2 Form line");
  EXPECT_EQ(Refusal({"103.2000"}, model).rfind("the map has no symbol 103.2000;", 0), 0u);
  EXPECT_EQ(Refusal({"7"}, MapOf(1000, {})), "the map has no symbol 7");

  // Lists are numbers of digits and dots.
  EXPECT_EQ(*ParseSymbolList("101,10.1,103.002,1.2.3"),
            (std::vector<std::string>{"101", "10.1", "103.002", "1.2.3"}));
  for (const char* bad : {"", "101,", ",101", "103.", ".5", "1..2", "-1", "+1", "1 0", "10a",
                          "123456789012345678901234567890123"})
    EXPECT_FALSE(ParseSymbolList(bad)) << bad;
}

}  // namespace
}  // namespace terrak

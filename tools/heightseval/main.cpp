// terrak-heights-eval: how well the heights core derives heights on the evaluation set (maps
// traced from terrain that looks real) and on a real map, from one known contour each time, and
// how well it takes them from a DEM with noise. Prints a line per terrain and the totals.
//
//   terrak-heights-eval [--trials N] [--real-map FILE] [--gap-share F] [--gap-max METRES]
//                       [--pieces METRES]
//   terrak-heights-eval --details TERRAIN|real[,CHOICE] [--known-index yes] [--picture FILE.png]
//                       [--alternative OBJECT,METRES] [--real-map FILE]
//
// --details lists every object of one map (a terrain's number, or the real map) with its truth
// and result, the faces whose contours all lie at one true level and the lines with their faces;
// --picture draws the map coloured by result; --alternative lists the objects whose heights
// change when a second object is given the height named.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "heights/dem_heights.h"
#include "heights/derive_heights.h"
#include "heights/polyline.h"
#include "heights/topology.h"
#include "viewer/picture_output.h"
#include "heightseval/heights_eval.h"

namespace {

using namespace terrak;
using namespace terrak::testing;

void Print(const char* name, const EvalScore& s) {
  const auto share = [&](std::int32_t n) { return s.Objects ? 100.0 * n / s.Objects : 0.0; };
  std::printf("%-22s %6d objects  true height %6.2f %% (derived %6.2f %%, guessed %5.2f %%)"
              "  wrong %5.2f %% (guessed %5.2f %%)  without %5.2f %%\n",
              name, s.Objects, share(s.Correct), share(s.Correct - (s.Guessed - s.GuessedWrong)),
              share(s.Guessed - s.GuessedWrong), share(s.Wrong), share(s.GuessedWrong),
              share(s.Without));
}

EvalOptions gOptions;  // what the command line asks for the evaluation maps

EvalScore FromOneKnown(const EvalMap& eval, std::size_t trials, std::uint32_t seed,
                       bool index = false) {
  EvalScore total;
  for (std::int32_t known : KnownCandidates(eval, trials, seed, index)) {
    const heights::HeightMap map = WithOneKnown(eval, known);
    total += ScoreHeights(eval, heights::DeriveHeights(map, eval.Roles));
  }
  return total;
}

// Every object's truth and result, for one known object of one map.
// The map as a PNG picture: each object coloured by its result (the known one blue, wrong ones
// red, derived green, guessed orange, conflicts magenta, none grey), labelled with its number.
void Picture(const EvalMap& eval, const heights::HeightsResult& result, std::int32_t known,
             const std::string& file) {
  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  for (const heights::HeightObject& o : eval.Map.Objects)
    for (const heights::Point& p : o.Points) {
      minX = std::min(minX, p.X), minY = std::min(minY, p.Y);
      maxX = std::max(maxX, p.X), maxY = std::max(maxY, p.Y);
    }
  const double scale = 1800 / std::max(maxX - minX, maxY - minY);
  terrak::Picture picture;
  const auto width = static_cast<std::int32_t>((maxX - minX) * scale) + 20;
  const auto height = static_cast<std::int32_t>((maxY - minY) * scale) + 20;
  picture.Reset(width, height, kWhite);
  const auto plot = [&](double x, double y, Colour c) {
    const auto px = static_cast<std::int32_t>(x), py = static_cast<std::int32_t>(y);
    if (px >= 0 && py >= 0 && px < width && py < height) picture.At(px, py) = c;
  };
  const auto screen = [&](heights::Point p) {
    return heights::Point{10 + (p.X - minX) * scale, 10 + (maxY - p.Y) * scale};
  };
  static const char* kDigits[10] = {"111101101101111", "010110010010111", "111001111100111",
                                    "111001111001111", "101101111001001", "111100111001111",
                                    "111100111101111", "111001001001001", "111101111101111",
                                    "111101111001111"};
  for (std::size_t k = 0; k < eval.Map.Objects.size(); ++k) {
    const heights::HeightObject& o = eval.Map.Objects[k];
    if (o.Points.size() < 2) continue;
    const heights::ObjectHeight& r = result.Objects[k];
    const bool wrong = r.Height.Has && std::fabs(r.Height.Metres - eval.Truth[k].Metres) > 0.01;
    const Colour colour = static_cast<std::int32_t>(k) == known ? MakeColour(0, 0, 255)
                          : !heights::CarriesHeight(o.Role)     ? MakeColour(0, 0, 0)
                          : wrong                               ? MakeColour(255, 0, 0)
                          : r.State == heights::HeightState::Derived  ? MakeColour(0, 160, 0)
                          : r.State == heights::HeightState::Guessed  ? MakeColour(255, 150, 0)
                          : r.State == heights::HeightState::Conflict ? MakeColour(255, 0, 255)
                                                                       : MakeColour(150, 150, 150);
    for (std::size_t i = 1; i < o.Points.size(); ++i) {
      const heights::Point a = screen(o.Points[i - 1]), b = screen(o.Points[i]);
      const int steps = static_cast<int>(heights::Length(b - a)) + 1;
      for (int t = 0; t <= steps; ++t) {
        const heights::Point p = a + (b - a) * (static_cast<double>(t) / steps);
        plot(p.X, p.Y, colour);
        if (o.Role == heights::ContourRole::IndexContour) plot(p.X + 1, p.Y, colour);
      }
    }
    if (!heights::CarriesHeight(o.Role)) continue;
    const heights::Point m = screen(o.Points[o.Points.size() / 2]);
    const std::string label = std::to_string(k);
    for (std::size_t d = 0; d < label.size(); ++d)
      for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
          if (kDigits[label[d] - '0'][row * 3 + col] == '1')
            plot(m.X + 3 + static_cast<double>(d) * 4 + col, m.Y - 6 + row, colour);
  }
  const std::vector<std::uint8_t> png = EncodePng(picture);
  FILE* out = std::fopen(file.c_str(), "wb");
  std::fwrite(png.data(), 1, png.size(), out);
  std::fclose(out);
}

// Objects whose heights differ when object `other` is also given `metres` rather than its truth.
void Alternative(const EvalMap& eval, std::int32_t known, std::int32_t other, double metres) {
  heights::HeightMap a = WithOneKnown(eval, known), b = a;
  a.Objects[static_cast<std::size_t>(other)].Height = eval.Truth[static_cast<std::size_t>(other)];
  b.Objects[static_cast<std::size_t>(other)].Height = heights::Metres(metres);
  const heights::HeightsResult ra = heights::DeriveHeights(a, eval.Roles);
  const heights::HeightsResult rb = heights::DeriveHeights(b, eval.Roles);
  for (std::size_t k = 0; k < a.Objects.size(); ++k)
    if (!(ra.Objects[k].Height == rb.Objects[k].Height))
      std::printf("%4zu truth %6.1f: %6.1f %-8s | %6.1f %-8s\n", k, eval.Truth[k].Metres,
                  ra.Objects[k].Height.Metres, heights::StateName(ra.Objects[k].State),
                  rb.Objects[k].Height.Metres, heights::StateName(rb.Objects[k].State));
}

void Details(const EvalMap& eval, std::int32_t known, const std::string& picture) {
  const heights::HeightMap map = WithOneKnown(eval, known);
  const heights::Topology topology = heights::AnalyseTopology(map);
  const heights::HeightsResult result = heights::DeriveHeights(map, eval.Roles, topology);
  if (!picture.empty()) Picture(eval, result, known, picture);
  // Faces whose contours all lie at one true level, with two or more neighbouring faces.
  std::vector<std::vector<std::pair<std::int32_t, double>>> around(static_cast<std::size_t>(topology.Areas.Count));
  for (std::size_t k = 0; k < topology.Lines.size(); ++k) {
    const heights::Chain& chain = topology.Chains[static_cast<std::size_t>(topology.Lines[k])];
    const double truth = eval.Truth[static_cast<std::size_t>(chain.Pieces[0].Object)].Metres;
    const std::int32_t l = topology.Areas.OfSide[2 * k], r = topology.Areas.OfSide[2 * k + 1];
    around[static_cast<std::size_t>(l)].push_back({r, truth});
    around[static_cast<std::size_t>(r)].push_back({l, truth});
  }
  for (std::size_t f = 0; f < around.size(); ++f) {
    std::vector<std::int32_t> others;
    double lo = 1e9, hi = -1e9;
    for (const auto& [other, truth] : around[f]) {
      if (std::find(others.begin(), others.end(), other) == others.end()) others.push_back(other);
      lo = std::min(lo, truth), hi = std::max(hi, truth);
    }
    if (others.size() >= 2 && hi - lo < 0.1)
      std::printf("uniform face %zu (%s) at %.0f, %zu neighbours\n", f,
                  topology.Areas.ReachesEdge[f] ? "edge" : "inner", lo, others.size());
    if (hi - lo > 5.1) std::printf("face %zu spans %.0f to %.0f\n", f, lo, hi);
  }
  for (std::size_t k = 0; k < topology.Lines.size(); ++k) {
    const std::int32_t c = topology.Lines[k];
    const heights::Chain& chain = topology.Chains[static_cast<std::size_t>(c)];
    std::printf("line %zu chain %d objects", k, c);
    for (const heights::ChainPiece& p : chain.Pieces) std::printf(" %d", p.Object);
    std::printf("  faces L %d R %d ticks %d %d inside %d truth %.0f\n",
                topology.Areas.OfSide[2 * k], topology.Areas.OfSide[2 * k + 1],
                topology.Ticks[2 * k], topology.Ticks[2 * k + 1],
                topology.InsideSide[static_cast<std::size_t>(c)],
                eval.Truth[static_cast<std::size_t>(chain.Pieces[0].Object)].Metres);
  }
  std::printf("known object %d (%.1f m)\n", known, eval.Truth[static_cast<std::size_t>(known)].Metres);
  for (std::size_t k = 0; k < map.Objects.size(); ++k) {
    if (!heights::CarriesHeight(map.Objects[k].Role)) continue;
    const heights::ObjectHeight& r = result.Objects[k];
    const std::int32_t chain = topology.ChainOfObject[k];
    const bool wrong = r.Height.Has && std::fabs(r.Height.Metres - eval.Truth[k].Metres) > 0.01;
    std::printf("%4zu role %d chain %4d%s truth %6.1f  %-8s %6.1f %s %s\n", k,
                static_cast<int>(map.Objects[k].Role), chain,
                chain >= 0 && topology.Chains[static_cast<std::size_t>(chain)].Closed ? " closed" : "       ",
                eval.Truth[k].Metres, heights::StateName(r.State), r.Height.Metres,
                wrong ? "WRONG" : "     ", r.Reason.c_str());
  }
}

int Run(int argc, char** argv) {
  std::size_t trials = 8;
  std::string realMap, details, picture, alternative;
  bool knownIndex = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--trials") trials = std::stoul(argv[i + 1]);
    else if (flag == "--real-map") realMap = argv[i + 1];
    else if (flag == "--details") details = argv[i + 1];
    else if (flag == "--picture") picture = argv[i + 1];
    else if (flag == "--alternative") alternative = argv[i + 1];
    else if (flag == "--known-index") knownIndex = std::string(argv[i + 1]) == "yes";
    else if (flag == "--gap-share") gOptions.GapShare = std::stod(argv[i + 1]);
    else if (flag == "--gap-max") gOptions.GapMax = std::stod(argv[i + 1]);
    else if (flag == "--pieces") gOptions.PieceMax = 4 * (gOptions.PieceMin = std::stod(argv[i + 1]));
  }
  if (!details.empty()) {
    // "real", or the number of a terrain, then the choice of the known object.
    const std::size_t comma = details.find(',');
    const std::string which = details.substr(0, comma);
    const std::size_t choice = comma == std::string::npos ? 0 : std::stoul(details.substr(comma + 1));
    EvalMap eval;
    if (which == "real") {
      heights::ContourRoles roles;
      roles.Contours = {101000};
      roles.IndexContours = {102000};
      eval = LoadEvalMap(realMap, roles, "f321610");
    } else {
      eval = MakeEvalMap(EvalTerrains()[std::stoul(which)], gOptions);
    }
    const std::int32_t known = KnownCandidates(eval, choice + 1, 7, knownIndex)[choice];
    if (!alternative.empty()) {
      Alternative(eval, known, std::stoi(alternative),
                  std::stod(alternative.substr(alternative.find(',') + 1)));
      return 0;
    }
    Details(eval, known, picture);
    return 0;
  }
  std::printf("From one known contour (%zu choices of the known one per map):\n", trials);
  EvalScore all;
  for (const EvalTerrain& terrain : EvalTerrains()) {
    const EvalMap eval = MakeEvalMap(terrain, gOptions);
    const EvalScore s = FromOneKnown(eval, trials, 7);
    Print(terrain.Name.c_str(), s);
    all += s;
  }
  Print("all terrains", all);
  std::printf("From one known index contour:\n");
  EvalScore allIndex;
  for (const EvalTerrain& terrain : EvalTerrains()) {
    const EvalMap eval = MakeEvalMap(terrain, gOptions);
    const EvalScore s = FromOneKnown(eval, trials, 7, true);
    Print(terrain.Name.c_str(), s);
    allIndex += s;
  }
  Print("all terrains", allIndex);

  std::printf("From a DEM with +-1 m of noise:\n");
  EvalScore dem;
  for (const EvalTerrain& terrain : EvalTerrains()) {
    const EvalMap eval = MakeEvalMap(terrain, gOptions);
    NoisyDem source(terrain, 2, 1, 3);
    Georeferencing identity;
    identity.Known = true;
    const heights::DemRun run = heights::HeightsFromDem(eval.Map, eval.Roles, identity, source, "noisy");
    const EvalScore s = ScoreHeights(eval, run.Result);
    Print(terrain.Name.c_str(), s);
    dem += s;
  }
  Print("all terrains", dem);

  if (!realMap.empty()) {
    heights::ContourRoles roles;
    roles.Contours = {101000};
    roles.IndexContours = {102000};
    const EvalMap eval = LoadEvalMap(realMap, roles, "f321610");
    std::printf("The real map, from one known contour (%zu choices):\n", trials);
    const EvalScore s = FromOneKnown(eval, trials, 7);
    Print("domaine-mas-nau", s);
    const EvalScore si = FromOneKnown(eval, trials, 7, true);
    Print("  known index contour", si);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "terrak-heights-eval: %s\n", e.what());
    return 1;
  }
}

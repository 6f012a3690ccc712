#pragma once
// The command line of terrak-mapgen.
#include <cstdint>
#include <string>

namespace terrak::mapgen {

// --version omap: an OpenOrienteering Mapper map.
inline constexpr int kMapperVersion = -1;

struct MapgenOptions {
  int Version = 0;  // 5, 6, 7, 12 or kMapperVersion
  double Width = 0;   // metres east
  double Height = 0;  // metres north
  double Scale = 10000;
  double Interval = 5;
  std::uint32_t Seed = 1;
  int BmpBits = 24;
  double PixelsPerMetre = 1;
  std::string Out;         // the map, "*.ocd"
  std::string BitmapOut;   // beside it, same name with ".bmp"
  std::string HeightsCsv;  // empty: none
  bool Help = false;
};

extern const char* const kMapgenUsage;

// Throws std::invalid_argument with a message for the user on a bad command line.
MapgenOptions ParseMapgenOptions(int argc, const char* const* argv);

}  // namespace terrak::mapgen

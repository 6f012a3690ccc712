#include "mapgen_options.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string_view>

#include "mapbuild/demo_map.h"

namespace terrak::mapgen {

const char* const kMapgenUsage =
    "usage: terrak-mapgen --version 5|6|7|12|omap --width METRES --height METRES [--scale 10000]\n"
    "                     [--interval 5] [--seed N] [--bmp-bits 8|24] [--resolution PX_PER_M]\n"
    "                     [--heights-csv FILE] --out MAP.ocd|MAP.omap\n"
    "Writes a demo OCAD map (or, with --version omap, an OpenOrienteering Mapper map) of an\n"
    "analytic terrain and its map image MAP.bmp beside it.\n"
    "--heights-csv writes the terrain's height at every whole metre: one line per metre\n"
    "northwards from the southern edge, the heights from west to east separated by commas.\n";

namespace {

double Number(std::string_view flag, std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    throw std::invalid_argument(std::string(flag) + " needs a number, not \"" + std::string(text) +
                                "\"");
  return value;
}

bool EndsWith(const std::string& name, const std::string& extension) {
  if (name.size() <= extension.size()) return false;
  std::string tail = name.substr(name.size() - extension.size());
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == extension;
}

}  // namespace

MapgenOptions ParseMapgenOptions(int argc, const char* const* argv) {
  MapgenOptions o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    if (flag == "--help" || flag == "-h") {
      o.Help = true;
      return o;
    }
    if (i + 1 >= argc) throw std::invalid_argument(std::string(flag) + " needs a value");
    const std::string_view value = argv[++i];
    if (flag == "--version") {
      if (value == "omap") {
        o.Version = kMapperVersion;
        continue;
      }
      const double v = Number(flag, value);
      if (v != 5 && v != 6 && v != 7 && v != 12)
        throw std::invalid_argument("--version must be 5, 6 or 7, 12, or omap");
      o.Version = static_cast<int>(v);
    } else if (flag == "--width") {
      o.Width = Number(flag, value);
    } else if (flag == "--height") {
      o.Height = Number(flag, value);
    } else if (flag == "--scale") {
      o.Scale = Number(flag, value);
    } else if (flag == "--interval") {
      o.Interval = Number(flag, value);
    } else if (flag == "--seed") {
      const double seed = Number(flag, value);
      if (seed < 0 || seed > 4294967295.0 || seed != std::floor(seed))
        throw std::invalid_argument("--seed must be a whole number from 0 to 4294967295");
      o.Seed = static_cast<std::uint32_t>(seed);
    } else if (flag == "--bmp-bits") {
      const double bits = Number(flag, value);
      if (bits != 8 && bits != 24) throw std::invalid_argument("--bmp-bits must be 8 or 24");
      o.BmpBits = static_cast<int>(bits);
    } else if (flag == "--resolution") {
      o.PixelsPerMetre = Number(flag, value);
    } else if (flag == "--heights-csv") {
      o.HeightsCsv = value;
    } else if (flag == "--out") {
      o.Out = value;
    } else {
      throw std::invalid_argument("unknown option " + std::string(flag));
    }
  }
  if (o.Version == 0) throw std::invalid_argument("--version is required");
  if (o.Out.empty()) throw std::invalid_argument("--out is required");
  const std::string extension = o.Version == kMapperVersion ? ".omap" : ".ocd";
  if (!EndsWith(o.Out, extension))
    throw std::invalid_argument("--out must name a " + extension + " file");
  if (!(o.Width >= 10 && o.Width <= 100000) || !(o.Height >= 10 && o.Height <= 100000))
    throw std::invalid_argument("--width and --height must be from 10 to 100000 metres");
  if (!(o.Scale >= 100)) throw std::invalid_argument("--scale must be at least 100");
  if (!(o.Interval >= 0.1)) throw std::invalid_argument("--interval must be at least 0.1 metres");
  if (!(o.PixelsPerMetre > 0 && o.PixelsPerMetre <= 20))
    throw std::invalid_argument("--resolution must be above 0 and at most 20 pixels per metre");
  if (!terrak::testing::DemoMapFits(o.Width, o.Height, o.Scale))
    throw std::invalid_argument(
        "the map does not fit the 16-bit model coordinates at this scale: make it smaller or "
        "the scale larger");
  o.BitmapOut = o.Out.substr(0, o.Out.size() - extension.size()) + ".bmp";
  return o;
}

}  // namespace terrak::mapgen

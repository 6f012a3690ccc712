// Random bytes as the settings file: loading must survive them; what saving then writes must
// load without complaint to the same settings, and from then on save to the very same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>

#include "mapfile/settings_io.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

struct Loaded {
  terrak::Settings settings;
  terrak::MapModel model;
  terrak::testing::ScriptedDialogs dialogs;
};

void LoadAndSave(Loaded& loaded, const std::string& fileName) {
  terrak::LoadSettings(loaded.settings, loaded.model, fileName, loaded.dialogs);
  terrak::SaveSettings(loaded.settings, loaded.model, fileName);
}

auto Values(const Loaded& l) {
  const terrak::Settings& s = l.settings;
  return std::tie(s.TraceTolerance, s.HiliteColour, s.WithHeightColour, s.NoHeightColour,
                  s.Front3dColour, s.Back3dColour, s.ViewByHeight, s.HorizontalAngleOfView,
                  s.Smoothing, s.SmoothingPasses, s.GridInterval, s.ContourGap, s.ViewpointX,
                  s.ViewpointY, s.ViewpointZ, s.ViewpointBearing, s.ViewpointIncline,
                  l.model.MapFileName, l.model.SymbolsSelected);
}

bool SameSelection(const Loaded& a, const Loaded& b) {
  const auto& x = a.model.SelectedSymbols;
  const auto& y = b.model.SelectedSymbols;
  if (x.size() != y.size()) return false;
  for (std::size_t i = 0; i < x.size(); ++i)
    if (x[i].Symbol != y[i].Symbol || x[i].Colour != y[i].Colour) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One folder for the whole run, removed when the fuzzer exits.
  static const terrak::testing::TempFolder folder;
  const std::string fileName = folder.File("terrak50.ini");
  terrak::testing::WriteBytes(fileName, {data, data + size});

  Loaded first;
  LoadAndSave(first, fileName);
  Loaded second;
  LoadAndSave(second, fileName);
  if (!second.dialogs.Messages.empty()) __builtin_trap();
  if (Values(first) != Values(second) || !SameSelection(first, second)) __builtin_trap();

  // The first save may still move the erased selection section to the end; then it is settled.
  const std::string settled = terrak::testing::ReadText(fileName);
  Loaded third;
  LoadAndSave(third, fileName);
  if (terrak::testing::ReadText(fileName) != settled) __builtin_trap();
  return 0;
}

#include "mapfile/settings_io.h"

#include <cstdint>

#include "common/numtext.h"
#include "mapfile/settings_file.h"

namespace terrak {

namespace {

const std::string kFiles = "Files";
const std::string kSettings = "Settings";
const std::string kShowWholeMapKey = "ShowWholeMap";
const std::string kColors = "Colors";
const std::string k3dSettings = "3dsettings";
const std::string kSelectedSymbols = "SelectedSymbols";
const std::string kViewpoint = "Viewpoint";
const std::string kHeightTags = "HeightTags";
const std::string kContourRoles = "ContourRoles";

constexpr std::int64_t kMin16 = INT16_MIN, kMax16 = INT16_MAX;
constexpr std::int64_t kMin32 = INT32_MIN, kMax32 = INT32_MAX;

// A bad text can be anything; a dialog needs only enough of it to be recognised.
std::string Shortened(const std::string& text) {
  constexpr std::size_t kShown = 60;
  return text.size() <= kShown ? text : text.substr(0, kShown) + "...";
}

// Reads a colour key into colour. A text that is neither a name nor a number is reported and
// false returned: the loading ends there.
bool ReadColour(const SettingsFile& file, const std::string& section, const std::string& key,
                const std::string& defaultText, Colour& colour, UserDialogs& dialogs) {
  const std::string text = file.ReadString(section, key, defaultText);
  if (const std::optional<Colour> value = TextToColour(text)) {
    colour = *value;
    return true;
  }
  dialogs.Message("The colour \"" + Shortened(text) + "\" of key \"" + key + "\" in section [" +
                      section + "] of the settings file \"" + file.FileName() +
                      "\" is neither a colour name nor a number. This setting and the ones "
                      "after it keep their default values.",
                  MessageType::Error, static_cast<unsigned>(DialogButton::Ok));
  return false;
}

std::int16_t Read16(const SettingsFile& file, const std::string& section, const std::string& key,
                    std::int16_t defaultValue) {
  return static_cast<std::int16_t>(file.ReadInteger(section, key, defaultValue, kMin16, kMax16));
}

std::int32_t Read32(const SettingsFile& file, const std::string& section, const std::string& key,
                    std::int32_t defaultValue) {
  return static_cast<std::int32_t>(file.ReadInteger(section, key, defaultValue, kMin32, kMax32));
}

// The keys from Filename to incline, in their order. False when a colour ended the loading.
bool ReadScalarKeys(const SettingsFile& file, Settings& settings, MapModel& model,
                    std::int16_t& count, UserDialogs& dialogs) {
  model.MapFileName = file.ReadString(kFiles, "Filename", "nofile");
  settings.TraceTolerance = Read16(file, kSettings, "Tolerance", 10);
  if (!ReadColour(file, kColors, "hilite", "clblue", settings.HiliteColour, dialogs) ||
      !ReadColour(file, kColors, "withheight", "clgreen", settings.WithHeightColour, dialogs) ||
      !ReadColour(file, kColors, "noheight", "clred", settings.NoHeightColour, dialogs) ||
      !ReadColour(file, kColors, "Front3d", "clred", settings.Front3dColour, dialogs) ||
      !ReadColour(file, kColors, "Back3d", "clgray", settings.Back3dColour, dialogs))
    return false;
  settings.ViewByHeight = file.ReadBool(kSettings, "Toggleview", false);
  settings.HorizontalAngleOfView = Read16(file, k3dSettings, "haov", 60);
  count = Read16(file, kSelectedSymbols, "Symbolcount", 0);
  settings.Smoothing = Read32(file, k3dSettings, "Smoothing", 0);
  settings.SmoothingPasses = Read32(file, k3dSettings, "Smoothingpasses", 1);
  settings.GridInterval = Read32(file, k3dSettings, "GridInterval", 5);
  settings.ContourGap = Read32(file, k3dSettings, "Contourgap", 50);
  settings.ViewpointX = Read32(file, kViewpoint, "X", 0);
  settings.ViewpointY = Read32(file, kViewpoint, "Y", 0);
  settings.ViewpointZ = Read32(file, kViewpoint, "Z", 0);
  settings.ViewpointBearing = Read32(file, kViewpoint, "bearing", 0);
  settings.ViewpointIncline = Read32(file, kViewpoint, "incline", 0);
  return true;
}

void ReadSelectedSymbols(const SettingsFile& file, std::int16_t count, MapModel& model,
                         UserDialogs& dialogs) {
  for (int i = 0; i < count; ++i) {
    // A count larger than the keys present (edited by hand, or a key lost) would select symbol
    // 0 once for every missing key, and each save would write them all back.
    if (!file.ReadString(kSelectedSymbols, SelectedSymbolKey(i))) continue;
    const std::int32_t symbol = Read32(file, kSelectedSymbols, SelectedSymbolKey(i), 0);
    Colour colour = kBlack;
    if (!ReadColour(file, kColors, SymbolColourKey(symbol), "clblack", colour, dialogs)) return;
    model.SelectedSymbols.push_back({symbol, colour});
    // Only a symbol really read makes a selection.
    model.SymbolsSelected = true;
  }
}

// A profile line cannot hold a line break, nor blanks at either end of a value. Such a map name
// would come back as another name (or as keys of its own), so none is remembered instead.
std::string StorableFileName(const std::string& name) {
  const bool lineBreak = name.find_first_of("\r\n") != std::string::npos;
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  const bool blankEnds = !name.empty() && (isBlank(name.front()) || isBlank(name.back()));
  return lineBreak || blankEnds ? "nofile" : name;
}

// A map name as a key of [HeightTags]: besides the rule of Filename, a key cannot hold "=" nor
// begin like a section or a comment.
std::optional<std::string> HeightTagKey(const std::string& mapFile) {
  if (mapFile.empty() || StorableFileName(mapFile) != mapFile) return std::nullopt;
  if (mapFile.find('=') != std::string::npos || mapFile.front() == '[' || mapFile.front() == ';' ||
      mapFile.front() == '#')
    return std::nullopt;
  return mapFile;
}

}  // namespace

namespace {

// A text kept per map under its file name in section; nothing when none is kept.
std::optional<std::string> LookUpPerMap(const Settings& settings, const std::string& section,
                                        const std::string& mapFile) {
  const std::optional<std::string> key = HeightTagKey(mapFile);
  if (!settings.File || !key) return std::nullopt;
  std::optional<std::string> text = settings.File->ReadString(section, *key);
  if (text && text->empty()) return std::nullopt;
  return text;
}

// Keeps the text at once in the settings file on disk and in settings.File.
void RememberPerMap(Settings& settings, const std::string& settingsFile,
                    const std::string& section, const std::string& mapFile,
                    const std::string& text) {
  const std::optional<std::string> key = HeightTagKey(mapFile);
  if (!key || text.find_first_of("\r\n") != std::string::npos) return;
  SettingsFile file = SettingsFile::Open(settingsFile);
  file.WriteString(section, *key, text);
  file.Save();
  if (settings.File)
    settings.File->WriteString(section, *key, text);
  else
    settings.File = std::make_shared<SettingsFile>(std::move(file));
}

}  // namespace

std::optional<std::string> LookUpHeightTag(const Settings& settings, const std::string& mapFile) {
  return LookUpPerMap(settings, kHeightTags, mapFile);
}

void RememberHeightTag(Settings& settings, const std::string& settingsFile,
                       const std::string& mapFile, const std::string& tag) {
  RememberPerMap(settings, settingsFile, kHeightTags, mapFile, tag);
}

std::optional<std::string> LookUpContourRolesText(const Settings& settings,
                                                  const std::string& mapFile) {
  return LookUpPerMap(settings, kContourRoles, mapFile);
}

void RememberContourRolesText(Settings& settings, const std::string& settingsFile,
                              const std::string& mapFile, const std::string& text) {
  RememberPerMap(settings, settingsFile, kContourRoles, mapFile, text);
}

bool ShowWholeMapSetting(const Settings& settings) {
  return settings.File && settings.File->ReadBool(kSettings, kShowWholeMapKey, false);
}

void RememberShowWholeMap(Settings& settings, const std::string& settingsFile, bool shown) {
  SettingsFile file = SettingsFile::Open(settingsFile);
  file.WriteBool(kSettings, kShowWholeMapKey, shown);
  file.Save();
  if (settings.File)
    settings.File->WriteBool(kSettings, kShowWholeMapKey, shown);
  else
    settings.File = std::make_shared<SettingsFile>(std::move(file));
}

void LoadSettings(Settings& settings, MapModel& model, const std::string& settingsFile,
                  UserDialogs& dialogs) {
  auto file = std::make_shared<SettingsFile>(SettingsFile::Open(settingsFile));
  // Every key not reached keeps its default.
  settings = Settings{};
  settings.File = file;
  model.MapFileName = "nofile";
  model.SelectedSymbols.clear();
  model.SymbolsSelected = false;

  std::int16_t count = 0;
  if (!ReadScalarKeys(*file, settings, model, count, dialogs)) return;
  ReadSelectedSymbols(*file, count, model, dialogs);
}

void SaveSettings(Settings& settings, const MapModel& model, const std::string& settingsFile) {
  SettingsFile file = SettingsFile::Open(settingsFile);
  file.WriteString(kFiles, "Filename", StorableFileName(model.MapFileName));
  file.WriteInteger(kSettings, "Tolerance", settings.TraceTolerance);
  file.WriteString(kColors, "hilite", ColourToText(settings.HiliteColour));
  file.WriteString(kColors, "withheight", ColourToText(settings.WithHeightColour));
  file.WriteString(kColors, "noheight", ColourToText(settings.NoHeightColour));
  file.WriteString(kColors, "Front3d", ColourToText(settings.Front3dColour));
  file.WriteString(kColors, "Back3d", ColourToText(settings.Back3dColour));
  file.WriteBool(kSettings, "Toggleview", settings.ViewByHeight);
  file.WriteInteger(k3dSettings, "haov", settings.HorizontalAngleOfView);
  file.WriteInteger(k3dSettings, "smoothing", settings.Smoothing);
  file.WriteInteger(k3dSettings, "smoothingpasses", settings.SmoothingPasses);
  file.WriteInteger(k3dSettings, "GridInterval", settings.GridInterval);
  file.WriteInteger(k3dSettings, "Contourgap", settings.ContourGap);

  // Index keys of a longer earlier selection must not linger; colour keys stay, so a symbol
  // selected again later gets its colour back.
  file.EraseSection(kSelectedSymbols);
  file.WriteInteger(kSelectedSymbols, "Symbolcount",
                    static_cast<std::int64_t>(model.SelectedSymbols.size()));

  file.WriteInteger(kViewpoint, "X", settings.ViewpointX);
  file.WriteInteger(kViewpoint, "Y", settings.ViewpointY);
  file.WriteInteger(kViewpoint, "Z", settings.ViewpointZ);
  file.WriteInteger(kViewpoint, "bearing", settings.ViewpointBearing);
  file.WriteInteger(kViewpoint, "incline", settings.ViewpointIncline);

  for (std::size_t i = 0; i < model.SelectedSymbols.size(); ++i) {
    const TSelectedSymbol& selected = model.SelectedSymbols[i];
    file.WriteInteger(kSelectedSymbols, SelectedSymbolKey(static_cast<int>(i)), selected.Symbol);
    file.WriteString(kColors, SymbolColourKey(selected.Symbol), ColourToText(selected.Colour));
  }

  file.Save();
  settings.File = std::make_shared<SettingsFile>(std::move(file));
}

std::string SelectedSymbolKey(int index) { return "Symbol" + FormatInt(index, 3); }

// The sign is part of the number's text, so a negative number never shares a key.
std::string SymbolColourKey(int symbolNumber) { return "Symbol" + FormatInt(symbolNumber, 4); }

std::optional<Colour> LookUpSymbolColour(const Settings& settings, int symbolNumber) {
  if (!settings.File) return kBlack;
  return TextToColour(settings.File->ReadString(kColors, SymbolColourKey(symbolNumber), "clblack"));
}

}  // namespace terrak

#pragma once
// Loading and saving "terrak50.ini", and the colour-name encoding of its colour values.
#include <optional>
#include <string>

#include "mapfile/map_model.h"
#include "mapfile/settings.h"
#include "platform/user_dialogs.h"

namespace terrak {

// Reads every key in order into settings and model (MapFileName, SelectedSymbols,
// SymbolsSelected). A colour text that is neither a name nor a number is reported through
// dialogs; the keys from there on keep their defaults. A missing file gives the defaults; one
// that exists but cannot be read raises FileError. settings.File keeps the file's contents.
void LoadSettings(Settings& settings, MapModel& model, const std::string& settingsFile,
                  UserDialogs& dialogs);
// Writes the settings into the file as it is on disk, keeping the keys it does not write, all at
// once through a temporary file (FileError when that fails). settings.File then holds the saved
// contents, so colours looked up later are the ones just saved.
void SaveSettings(Settings& settings, const MapModel& model, const std::string& settingsFile);

// "clBlue" for 0xFF0000, "$00123456" for a value without a name.
std::string ColourToText(Colour colour);
// A colour name (any letter case) or an integer in decimal, "$" or "0x" hexadecimal.
std::optional<Colour> TextToColour(const std::string& text);

// The tag that holds heights in a Mapper map, as remembered under the map's file name in
// [HeightTags]; nothing when none was chosen for it.
std::optional<std::string> LookUpHeightTag(const Settings& settings, const std::string& mapFile);
// Remembers the choice at once in the settings file on disk (and in settings.File). A map name
// the file cannot hold as a key is not remembered. FileError when the file cannot be written.
void RememberHeightTag(Settings& settings, const std::string& settingsFile,
                       const std::string& mapFile, const std::string& tag);

// The contour roles chosen for a map (as text), remembered like the height tag in
// [ContourRoles].
std::optional<std::string> LookUpContourRolesText(const Settings& settings,
                                                  const std::string& mapFile);
void RememberContourRolesText(Settings& settings, const std::string& settingsFile,
                              const std::string& mapFile, const std::string& text);

// View > Show Whole Map as the loaded settings file has it ([Settings] ShowWholeMap, off by
// default), and remembered at once in the file on disk (and in settings.File): a choice of view,
// not a change of the map, so it does not wait for Save. FileError when the file cannot be
// written.
bool ShowWholeMapSetting(const Settings& settings);
void RememberShowWholeMap(Settings& settings, const std::string& settingsFile, bool shown);

// The per-symbol keys: "Symbol" + index right-aligned in 3, "Symbol" + number in 4.
std::string SelectedSymbolKey(int index);
std::string SymbolColourKey(int symbolNumber);

// The colour stored for a symbol in the loaded settings file (default clBlack); nothing when
// the stored text is not a colour.
std::optional<Colour> LookUpSymbolColour(const Settings& settings, int symbolNumber);

}  // namespace terrak

#pragma once
// A save that was killed while it overwrote a map in place (a map with several names, or in a
// folder Terrak may not write) leaves the complete new contents beside it. Before the map is
// opened again the user hears of it and chooses: finish that save, discard it, or open nothing.
#include <string>

#include "platform/user_dialogs.h"

namespace terrak {

// The question for file, whose complete new contents were kept in copy.
std::string InterruptedSaveQuestion(const std::string& file, const std::string& copy);

// Asks about every interrupted save of the map mapFileName and the files saved with it (copies
// aside are looked for in asideFolder as well). Yes finishes the save, No removes the kept
// contents and leaves the file as it is; both return true, so the map is opened. Cancel keeps
// both as they are and returns false: nothing is opened.
bool OfferToFinishInterruptedSaves(const std::string& mapFileName, const std::string& asideFolder,
                                   UserDialogs& dialogs);

}  // namespace terrak

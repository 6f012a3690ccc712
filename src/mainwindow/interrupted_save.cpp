#include "mainwindow/interrupted_save.h"

#include <unistd.h>

#include <optional>
#include <vector>

#include "mapfile/map_formats.h"
#include "platform/safe_file_writer.h"

namespace terrak {

std::string InterruptedSaveQuestion(const std::string& file, const std::string& copy) {
  return "The last save of \"" + file + "\" was interrupted, so it may be incomplete. Its complete "
         "new contents were kept in \"" + copy + "\".\n\nFinish that save now? No deletes the "
         "kept contents and leaves the file as it is; Cancel leaves both and opens nothing.";
}

bool OfferToFinishInterruptedSaves(const std::string& mapFileName, const std::string& asideFolder,
                                   UserDialogs& dialogs) {
  std::vector<std::string> files = SideFilesOf(mapFileName);
  files.push_back(mapFileName);
  for (const std::string& file : files) {
    const std::optional<std::string> copy = FindUnfinishedSave(file, asideFolder);
    if (!copy) continue;
    switch (dialogs.Message(InterruptedSaveQuestion(file, *copy), MessageType::Warning,
                            DialogButton::Yes | DialogButton::No | DialogButton::Cancel)) {
      case DialogButton::Yes: {
        BusyCursor busy(dialogs);
        FinishUnfinishedSave(file, *copy, {asideFolder});
        break;
      }
      case DialogButton::No:
        ::unlink(copy->c_str());
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace terrak

// Opening a map: a file of a format of the registry opens through that format, any other is
// refused with the program's message, naming the file and what it is.
#include "mapfile/map_formats.h"
#include "mapfile/ocad_file.h"
#include "mapfile/open_format.h"
#include "mapfile/ocad_format_error.h"
#include "platform/safe_file_writer.h"

namespace terrak {

namespace {

// Enough of the file's start to tell its format.
constexpr std::size_t kRecogniseBytes = 64;

// Temporaries that a run killed while saving or opening left behind.
void RemoveLeftovers(const std::string& mapFileName, const std::string& workingCopy) {
  RemoveStaleSaveTemporary(mapFileName);
  RemoveStaleSaveTemporary(workingCopy);
  RemoveStaleTemporary(workingCopy + ".new");  // the name earlier versions used
}

}  // namespace

OpenResult OpenMapFile(MapModel& model, const std::string& workingCopy, UserDialogs& dialogs) {
  if (!FileExists(model.MapFileName)) {
    dialogs.Message(kMissingMapMessage, MessageType::Information,
                    static_cast<unsigned>(DialogButton::Ok));
    return OpenResult::Missing;
  }
  RemoveLeftovers(model.MapFileName, workingCopy);
  // Other readers may read the map at the same time (the command-line tool beside the
  // program); nobody may write it while it is read.
  const FileStream map(model.MapFileName, FileMode::ReadDenyWrite);
  std::uint8_t first[kRecogniseBytes] = {};
  const std::size_t got = map.ReadSome(0, first, sizeof first);
  const MapFileFormat format = RecogniseMapFile({first, got});
  if (RegistryEntryFor(format)) return OpenFormatMapFile(model, map, workingCopy, dialogs);
  dialogs.Message(RefusalText(RefusalMessage(format, model.MapFileName), model.MapFileName,
                              DescribeUnopenedFile({first, got}, map.Size())),
                  MessageType::Information, static_cast<unsigned>(DialogButton::Ok));
  return OpenResult::NotOcad;
}

}  // namespace terrak

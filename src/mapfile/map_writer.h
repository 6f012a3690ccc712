#pragma once
// Changes written into the working copy at once, patching records in place, and Save/Save As.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "mapfile/map_format.h"
#include "mapfile/map_model.h"
#include "platform/safe_file_writer.h"
#include "platform/user_dialogs.h"

namespace terrak {

// Indices into MapObjects of the traced objects.
using TracedObjectList = std::vector<std::int32_t>;

// Gives every traced object the height newHeight (tenths of a metre; 0 is 0 m where the map's
// format holds it and "no height" in OCAD 5 to 7). The caller checks first that the format holds
// the height (HeightNotHeldMessage); one beyond its field throws std::out_of_range.
void WriteTracedHeights(MapModel& model, const std::string& workingCopy,
                        const TracedObjectList& traced, std::int32_t newHeight);
// Takes the height of every traced object away.
void ClearTracedHeights(MapModel& model, const std::string& workingCopy,
                        const TracedObjectList& traced);
// The heights of some objects as they are now, in the model and byte for byte in the map (the
// height field, the heights file's lines, the height tag's text), for undo.
struct HeightsBefore {
  struct ModelHeight {
    std::int32_t Index = 0;
    std::int32_t Height = 0;
    bool HasHeight = false;
  };
  std::vector<ModelHeight> Model;
  std::shared_ptr<const KeptHeights> Format;
};
HeightsBefore KeepObjectHeights(const MapModel& model, const std::string& workingCopy,
                                const TracedObjectList& objects);
// Puts the kept heights back, whatever heights were written to those objects since.
void RestoreObjectHeights(MapModel& model, const std::string& workingCopy,
                          const HeightsBefore& before);
// Takes the height of every loaded object away.
void ClearAllHeights(MapModel& model, const std::string& workingCopy, UserDialogs& dialogs);
// Gives every traced object the symbol number symbol (index and object), in memory and file.
void WriteObjectSymbols(MapModel& model, const std::string& workingCopy,
                        const TracedObjectList& traced, std::int32_t symbol);
void WriteZoom(MapModel& model, const std::string& workingCopy);
void WriteOffset(MapModel& model, const std::string& workingCopy);

// Copies the working copy over model.MapFileName, which must exist and be writable. When the
// file is no longer what was opened or last saved (another program changed it), the user is
// asked first; No raises SaveDeclined and the file stays as it is. Files saved with the map
// (OCAD 9's heights) get the same question, and are refused when read-only or when a symbolic
// link has taken their place since; nothing is written before every check has passed.
// Afterwards model.OpenedFile describes the saved file. options.AsideFolder takes the complete copy when the map's folder
// is not writable and the map is overwritten in place.
void SaveMap(MapModel& model, const std::string& workingCopy, UserDialogs& dialogs,
             const SafeWriteOptions& options = {});
// Copies the working copy into model.MapFileName, creating it when missing (the file dialog has
// asked before an existing file is replaced). A file saved with the map is refused when it is
// read-only or a symbolic link at the new name.
void SaveMapAs(MapModel& model, const std::string& workingCopy,
               const SafeWriteOptions& options = {});

// The question before Save replaces a map that another program has changed.
std::string ChangedOnDiskQuestion(const std::string& fileName);
// The same for a file saved with the map (OCAD 9's heights).
std::string SideFileChangedQuestion(const std::string& fileName);

// Save ended because the user chose to keep another program's changes to the map.
class SaveDeclined : public std::runtime_error {
 public:
  explicit SaveDeclined(const std::string& fileName);
};

inline constexpr const char* kReadOnlyMapReason =
    "it is read-only; Save As can save the map under another name";

}  // namespace terrak

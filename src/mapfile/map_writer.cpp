// Changes written into the working copy as the map's format patches its bytes (positioned
// writes while no patch changes the length), and the model updated with them.
#include "mapfile/map_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "mapfile/map_format.h"
#include "platform/file_stream.h"

namespace terrak {

namespace {

constexpr const char* kClearingHeightsMessage = "Clearing all height values";

const TMapObject& ObjectAt(const MapModel& model, std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= model.MapObjects.size())
    throw std::out_of_range("traced object index out of range");
  return model.MapObjects[static_cast<std::size_t>(index)];
}

// A format's change follows into the working copy: positioned writes while no patch changes the
// length, else the working copy is replaced whole by the format's bytes.
void FollowInWorkingCopy(const MapModel& model, const std::string& workingCopy,
                         const std::vector<BytePatch>& patches) {
  if (patches.empty()) return;
  const bool inPlace = std::all_of(patches.begin(), patches.end(), [](const BytePatch& p) {
    return p.Length == static_cast<std::int64_t>(p.Bytes.size());
  });
  if (!inPlace) {
    ReplaceFileAtomically(workingCopy, model.Format->Bytes());
    return;
  }
  FileStream stream(workingCopy, FileMode::ReadWriteExclusive);
  for (const BytePatch& patch : patches)
    stream.Write(patch.Position, patch.Bytes.data(), patch.Bytes.size());
  stream.Close();
}

std::vector<std::int64_t> KeysOf(const MapModel& model, const TracedObjectList& objects) {
  std::vector<std::int64_t> keys;
  for (std::int32_t index : objects) keys.push_back(ObjectAt(model, index).Key);
  return keys;
}

void SetModelHeight(MapModel& model, std::int32_t index, std::int32_t height, bool hasHeight) {
  TMapObject& object = model.MapObjects[static_cast<std::size_t>(index)];
  TObjectCoords& coords = model.ObjectCoords[static_cast<std::size_t>(index)];
  object.Height = coords.Height = height;
  object.HasHeight = coords.HasHeight = hasHeight;
}

// Every object's height goes into the map as its format keeps it, then into the model as the
// format reads it back (OCAD 5 to 7 read 0 m as "no height").
void WriteHeights(MapModel& model, const std::string& workingCopy,
                  const TracedObjectList& objects, std::optional<std::int32_t> height) {
  if (!model.Format) return;
  std::vector<HeightWrite> heights;
  for (std::int64_t key : KeysOf(model, objects)) heights.push_back({key, height});
  FollowInWorkingCopy(model, workingCopy, model.Format->WriteHeights(heights));
  const auto [kept, hasHeight] = model.Format->HeightAsKept(height);
  for (std::int32_t index : objects) SetModelHeight(model, index, kept, hasHeight);
  model.MapModified = true;
}

// The view follows into the map only for a format that keeps it.
void FollowView(MapModel& model, const std::string& workingCopy,
                const std::vector<BytePatch>& patches) {
  if (!model.Format || !model.Capabilities().KeepsView) return;
  FollowInWorkingCopy(model, workingCopy, patches);
  model.MapModified = true;
}

std::vector<SidecarFile> SidecarsOf(const MapModel& model) {
  return model.Format ? model.Format->Sidecars() : std::vector<SidecarFile>{};
}

// Writes the working copy as the new contents of the map and remembers what was written.
void CopyWorkingCopyTo(MapModel& model, const std::string& workingCopy,
                       const std::vector<SidecarFile>& sidecars, const SafeWriteOptions& options) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(workingCopy);
  // Files kept beside the map (OCAD 9's heights) go first: should one fail, the map itself is
  // still as it was, never newer than its heights.
  for (const SidecarFile& sidecar : sidecars) {
    const std::string name = model.MapFileName + sidecar.Suffix;
    ReplaceFileAtomically(name, sidecar.Bytes, options);
    model.Format->SidecarSaved(sidecar.Suffix, SideFileWritten(name, sidecar.Bytes));
  }
  ReplaceFileAtomically(model.MapFileName, bytes, options);
  const FileStream written(model.MapFileName, FileMode::ReadDenyWrite);
  model.OpenedFile = StampOf(bytes, written.Descriptor());
}

// A map file without write permission was made read-only on purpose: Save does not replace it.
void RefuseReadOnlyMap(const std::string& fileName) {
  const std::string file = ResolveLinks(fileName);
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) return;  // the writer tells what is wrong
  if ((info.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0)
    throw FileError(fileName, kReadOnlyMapReason);
}

// Another program may have written the map since it was opened (another copy of this one with
// its own working copy, or a map editor). Its changes are lost only when the user says so.
void AskBeforeOverwritingChanges(const MapModel& model, UserDialogs& dialogs) {
  if (!model.OpenedFile.Known) return;
  if (SameContents(ReadStamp(model.MapFileName), model.OpenedFile)) return;
  if (dialogs.Message(ChangedOnDiskQuestion(model.MapFileName), MessageType::Warning,
                      DialogButton::Yes | DialogButton::No) != DialogButton::Yes)
    throw SaveDeclined(model.MapFileName);
}

// The same for the files beside the map.
void AskBeforeOverwritingSideFiles(const MapModel& model, const std::vector<SidecarFile>& sidecars,
                                   UserDialogs& dialogs) {
  for (const SidecarFile& sidecar : sidecars) {
    const std::string name = model.MapFileName + sidecar.Suffix;
    if (!SideFileChanged(name, sidecar.Known)) continue;
    if (dialogs.Message(SideFileChangedQuestion(name), MessageType::Warning,
                        DialogButton::Yes | DialogButton::No) != DialogButton::Yes)
      throw SaveDeclined(name);
  }
}

}  // namespace

void WriteTracedHeights(MapModel& model, const std::string& workingCopy,
                        const TracedObjectList& traced, std::int32_t newHeight) {
  WriteHeights(model, workingCopy, traced, newHeight);
}

void ClearTracedHeights(MapModel& model, const std::string& workingCopy,
                        const TracedObjectList& traced) {
  WriteHeights(model, workingCopy, traced, std::nullopt);
}

HeightsBefore KeepObjectHeights(const MapModel& model, const std::string& /*workingCopy*/,
                                const TracedObjectList& objects) {
  HeightsBefore before;
  for (std::int32_t index : objects) {
    const TMapObject& object = ObjectAt(model, index);
    before.Model.push_back({index, object.Height, object.HasHeight});
  }
  if (model.Format) before.Format = model.Format->KeepHeights(KeysOf(model, objects));
  return before;
}

void RestoreObjectHeights(MapModel& model, const std::string& workingCopy,
                          const HeightsBefore& before) {
  if (before.Format)
    FollowInWorkingCopy(model, workingCopy, model.Format->RestoreHeights(*before.Format));
  for (auto kept = before.Model.rbegin(); kept != before.Model.rend(); ++kept)
    SetModelHeight(model, kept->Index, kept->Height, kept->HasHeight);
  model.MapModified = true;
}

void ClearAllHeights(MapModel& model, const std::string& workingCopy, UserDialogs& dialogs) {
  dialogs.Message(kClearingHeightsMessage, MessageType::Information,
                  static_cast<unsigned>(DialogButton::Ok));
  TracedObjectList all(model.MapObjects.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::int32_t>(i);
  WriteHeights(model, workingCopy, all, std::nullopt);
}

void WriteObjectSymbols(MapModel& model, const std::string& workingCopy,
                        const TracedObjectList& traced, std::int32_t symbol) {
  if (!model.Format) return;
  FollowInWorkingCopy(model, workingCopy, model.Format->WriteSymbol(KeysOf(model, traced), symbol));
  for (std::int32_t index : traced) {
    model.MapObjects[static_cast<std::size_t>(index)].Symbol = symbol;
    model.ObjectCoords[static_cast<std::size_t>(index)].Symbol = symbol;
  }
  model.MapModified = true;
}

void WriteZoom(MapModel& model, const std::string& workingCopy) {
  if (model.Format) FollowView(model, workingCopy, model.Format->WriteZoom(model.MapZoom));
}

void WriteOffset(MapModel& model, const std::string& workingCopy) {
  if (model.Format)
    FollowView(model, workingCopy, model.Format->WriteOffset(model.MapOffsetX, model.MapOffsetY));
}

std::string ChangedOnDiskQuestion(const std::string& fileName) {
  return "The map file \"" + fileName +
         "\" has been changed by another program since Terrak opened it. Saving now replaces "
         "those changes with this map. Save anyway?";
}

std::string SideFileChangedQuestion(const std::string& fileName) {
  return "The file \"" + fileName +
         "\", which Terrak saves with the map, has been changed by another program since Terrak "
         "opened the map. Saving now replaces those changes with this map's. Save anyway?";
}

SaveDeclined::SaveDeclined(const std::string& fileName)
    : std::runtime_error("The map was not saved, so \"" + fileName +
                         "\" keeps the other program's changes. Save As can save this map "
                         "under another name.") {}

void SaveMap(MapModel& model, const std::string& workingCopy, UserDialogs& dialogs,
             const SafeWriteOptions& options) {
  if (!FileExists(model.MapFileName))
    throw FileError(model.MapFileName, "the map file no longer exists");
  RefuseReadOnlyMap(model.MapFileName);
  const std::vector<SidecarFile> sidecars = SidecarsOf(model);
  for (const SidecarFile& sidecar : sidecars)
    RefuseUnsafeSideFile(model.MapFileName + sidecar.Suffix, &sidecar.Known);
  AskBeforeOverwritingChanges(model, dialogs);
  AskBeforeOverwritingSideFiles(model, sidecars, dialogs);
  CopyWorkingCopyTo(model, workingCopy, sidecars, options);
}

void SaveMapAs(MapModel& model, const std::string& workingCopy, const SafeWriteOptions& options) {
  const std::vector<SidecarFile> sidecars = SidecarsOf(model);
  for (const SidecarFile& sidecar : sidecars)
    RefuseUnsafeSideFile(model.MapFileName + sidecar.Suffix, nullptr);
  CopyWorkingCopyTo(model, workingCopy, sidecars, options);
}

}  // namespace terrak

// Changes patched into the working copy: each write reads a whole record, changes only the
// named fields and writes the record back at the same place, so no record moves and the file
// length never changes. The model is updated with the file, object by object.
#include "mapfile/map_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <optional>

#include "common/bytes.h"
#include "common/wrap16.h"
#include "mapfile/height_field.h"
#include "mapfile/map_format.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/ocad_layout.h"
#include "mapfile/ocad_records.h"
#include "platform/file_stream.h"

namespace terrak {

namespace {

constexpr const char* kClearingHeightsMessage = "Clearing all height values";

struct ObjectRecord {
  std::int64_t Position;  // byte position of the object in the file
  std::vector<std::uint8_t> Bytes;
};

// The object of a map object as the index in the file now describes it.
ObjectRecord ReadObjectRecord(const MapModel& model, const ocad::RecordReader& reader,
                              const TMapObject& object) {
  if (model.OcadVersion == 5) {
    const std::vector<std::uint8_t> index = reader.Read(
        static_cast<std::int64_t>(ocad::kIndexRecord5Size) * object.Slot, ocad::kIndexRecord5Size,
        "index record");
    const ocad::IndexRecord5 record = ocad::DecodeIndexRecord5(index.data());
    return {ocad::Object5Position(model.DataStart(), record.Position),
            ocad::ReadElement5(reader, model.DataStart(), record.Position, record.Length)};
  }
  if (object.Slot < 0 || object.Slot >= ocad::kBlockEntries)
    throw OcadFormatError("index entry out of its block");
  const std::vector<std::uint8_t> block =
      reader.Read(object.IndexBlockPos, ocad::kIndexBlockSize, "index block");
  const ocad::IndexEntry6 entry =
      ocad::DecodeIndexEntry6(block.data(), object.Slot, model.OcadVersion);
  return {entry.Position, ocad::ReadObject6(reader, entry, model.OcadVersion)};
}

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

void WriteFormatHeights(MapModel& model, const std::string& workingCopy,
                        const TracedObjectList& objects, std::optional<std::int32_t> height) {
  std::vector<HeightWrite> heights;
  for (std::int64_t key : KeysOf(model, objects)) heights.push_back({key, height});
  FollowInWorkingCopy(model, workingCopy, model.Format->WriteHeights(heights));
  for (std::int32_t index : objects)
    SetModelHeight(model, index, height.value_or(0), height.has_value());
  model.MapModified = true;
}

// The first reader's formats: OCAD 5's 16-bit field and the 32-bit field of OCAD 6 to 8 (6 and
// 7 sign-extend a 16-bit height, 0 meaning none; OCAD 8 holds any, see height_field.h).
void WriteHeights(MapModel& model, const std::string& workingCopy,
                  const TracedObjectList& objects, std::optional<std::int32_t> height) {
  if (model.Format) {
    WriteFormatHeights(model, workingCopy, objects, height);
    return;
  }
  const bool wide = model.OcadVersion == 8;
  const std::int32_t field = wide ? Ocad8HeightField(height) : height.value_or(0);
  if (!wide && (field < std::numeric_limits<std::int16_t>::min() ||
                field > std::numeric_limits<std::int16_t>::max()))
    throw std::out_of_range("a height beyond the 16 bits of the map's height field");
  FileStream stream(workingCopy, FileMode::ReadWriteExclusive);
  const ocad::RecordReader reader(stream);
  for (std::int32_t index : objects) {
    ObjectRecord record = ReadObjectRecord(model, reader, ObjectAt(model, index));
    if (model.OcadVersion == 5)
      PutI16(record.Bytes.data() + 10, static_cast<std::int16_t>(field));
    else
      PutI32(record.Bytes.data() + 12, field);
    stream.Write(record.Position, record.Bytes.data(), record.Bytes.size());
    SetModelHeight(model, index, field == kOcad8ZeroMetres ? 0 : field,
                   wide ? height.has_value() : HeightFieldHoldsHeight5To7(field));
  }
  model.MapModified = true;
  stream.Close();
}

// The setup record as it lies in the working copy: 160 bytes for version 5; for versions 6/7
// the bytes that were there at opening (the record may end the file).
struct SetupRecord {
  std::int64_t Position;
  std::vector<std::uint8_t> Bytes;
};

SetupRecord ReadSetup(const MapModel& model, const ocad::RecordReader& reader) {
  if (model.OcadVersion == 5)
    return {model.DataStart(), reader.Read(model.DataStart(), kSetup5Size, "setup record")};
  return {model.SetupPos(),
          reader.Read(model.SetupPos(), static_cast<std::int64_t>(model.Setup6.size()),
                      "setup record")};
}

template <typename Patch>
void PatchSetup(MapModel& model, const std::string& workingCopy, Patch patch) {
  FileStream stream(workingCopy, FileMode::ReadWriteExclusive);
  SetupRecord setup = ReadSetup(model, ocad::RecordReader(stream));
  patch(setup.Bytes);
  stream.Write(setup.Position, setup.Bytes.data(), setup.Bytes.size());
  if (model.OcadVersion == 5)
    std::copy(setup.Bytes.begin(), setup.Bytes.end(), model.Setup5.begin());
  else
    model.Setup6 = setup.Bytes;
  model.MapModified = true;
  stream.Close();
}

// Fields that lie beyond the bytes present are not written: the file never grows.
bool Fits(const std::vector<std::uint8_t>& record, std::size_t offset, std::size_t size) {
  return offset + size <= record.size();
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

HeightsBefore KeepObjectHeights(const MapModel& model, const std::string& workingCopy,
                                const TracedObjectList& objects) {
  HeightsBefore before;
  for (std::int32_t index : objects) {
    const TMapObject& object = ObjectAt(model, index);
    before.Model.push_back({index, object.Height, object.HasHeight});
  }
  if (model.Format) {
    before.Format = model.Format->KeepHeights(KeysOf(model, objects));
    return before;
  }
  FileStream stream(workingCopy, FileMode::ReadDenyWrite);
  const ocad::RecordReader reader(stream);
  const bool narrow = model.OcadVersion == 5;
  const std::size_t offset = narrow ? 10 : 12, size = narrow ? 2 : 4;
  for (std::int32_t index : objects) {
    const ObjectRecord record = ReadObjectRecord(model, reader, ObjectAt(model, index));
    if (record.Bytes.size() < offset + size) throw OcadFormatError("object record too short");
    const auto field = record.Bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    before.Fields.push_back({record.Position + static_cast<std::int64_t>(offset),
                             {field, field + static_cast<std::ptrdiff_t>(size)}});
  }
  return before;
}

void RestoreObjectHeights(MapModel& model, const std::string& workingCopy,
                          const HeightsBefore& before) {
  if (before.Format) {
    FollowInWorkingCopy(model, workingCopy, model.Format->RestoreHeights(*before.Format));
  } else if (!before.Fields.empty()) {
    FileStream stream(workingCopy, FileMode::ReadWriteExclusive);
    // Last first, so an object kept twice ends as it was first.
    for (auto field = before.Fields.rbegin(); field != before.Fields.rend(); ++field)
      stream.Write(field->Position, field->Bytes.data(), field->Bytes.size());
    stream.Close();
  }
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
  if (model.Format) {
    FollowInWorkingCopy(model, workingCopy, model.Format->WriteSymbol(KeysOf(model, traced), symbol));
    for (std::int32_t index : traced) {
      model.MapObjects[static_cast<std::size_t>(index)].Symbol = symbol;
      model.ObjectCoords[static_cast<std::size_t>(index)].Symbol = symbol;
    }
    model.MapModified = true;
    return;
  }
  FileStream stream(workingCopy, FileMode::ReadWriteExclusive);
  const ocad::RecordReader reader(stream);
  for (std::int32_t index : traced) {
    const TMapObject& object = ObjectAt(model, index);
    if (model.OcadVersion == 5) {
      const std::int64_t indexPos = static_cast<std::int64_t>(ocad::kIndexRecord5Size) * object.Slot;
      std::vector<std::uint8_t> record = reader.Read(indexPos, ocad::kIndexRecord5Size, "index record");
      PutI16(record.data() + 16, static_cast<std::int16_t>(symbol));
      stream.Write(indexPos, record.data(), record.size());
      std::vector<std::uint8_t> element =
          ocad::ReadElement5(reader, model.DataStart(), object.Pos, object.Len);
      PutI16(element.data(), static_cast<std::int16_t>(symbol));
      stream.Write(ocad::Object5Position(model.DataStart(), object.Pos), element.data(),
                   element.size());
    } else {
      if (object.Slot < 0 || object.Slot >= ocad::kBlockEntries)
        throw OcadFormatError("index entry out of its block");
      std::vector<std::uint8_t> block =
          reader.Read(object.IndexBlockPos, ocad::kIndexBlockSize, "index block");
      PutI16(block.data() + ocad::IndexEntryOffset(object.Slot) + 22,
             static_cast<std::int16_t>(symbol));
      stream.Write(object.IndexBlockPos, block.data(), block.size());
      const ocad::IndexEntry6 entry =
          ocad::DecodeIndexEntry6(block.data(), object.Slot, model.OcadVersion);
      std::vector<std::uint8_t> bytes = ocad::ReadObject6(reader, entry, model.OcadVersion);
      PutI16(bytes.data(), static_cast<std::int16_t>(symbol));
      stream.Write(entry.Position, bytes.data(), bytes.size());
    }
    model.MapObjects[static_cast<std::size_t>(index)].Symbol = symbol;
    model.ObjectCoords[static_cast<std::size_t>(index)].Symbol = symbol;
  }
  model.MapModified = true;
  stream.Close();
}

void WriteZoom(MapModel& model, const std::string& workingCopy) {
  if (model.Format) return;  // today's maps keep no view of Terrak's: they stay as they were
  PatchSetup(model, workingCopy, [&](std::vector<std::uint8_t>& setup) {
    if (model.OcadVersion == 5)
      PutI16(setup.data() + ocad::kSetup5ZoomOffset, model.MapZoom);
    else if (Fits(setup, ocad::kSetup6ZoomOffset, 8))
      PutDouble(setup.data() + ocad::kSetup6ZoomOffset, model.MapZoom);
  });
}

void WriteOffset(MapModel& model, const std::string& workingCopy) {
  if (model.Format) return;
  PatchSetup(model, workingCopy, [&](std::vector<std::uint8_t>& setup) {
    if (model.OcadVersion == 5) {
      PutI16(setup.data() + ocad::kSetup5OffsetXOffset, Wrap16(model.MapOffsetX));
      PutI16(setup.data() + ocad::kSetup5OffsetYOffset, Wrap16(model.MapOffsetY));
    } else {
      PutI32(setup.data() + 0, ModelToCoord6(model.MapOffsetX));
      PutI32(setup.data() + 4, ModelToCoord6(model.MapOffsetY));
    }
  });
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

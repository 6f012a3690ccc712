#pragma once
// Writing a whole file so that a crash, a kill or a full disk never leaves it half written. The
// new contents go to a temporary file of the program's own first; only when all of it is on the
// disk does it take the target's place.
//
// The target is the file a name finally leads to: through symbolic links the file they point at
// is written, and the link stays. A target that is no regular file (a folder, a device, a fifo)
// is refused. The new file keeps the target's owner and mode. Where renaming would not keep
// them, or would split a file that has several names (hard links), or where the target's folder
// is not writable, the file is overwritten in place instead, from a complete copy made first.
// That copy is kept under its own name while the target is overwritten, so a kill half-way
// leaves the complete new contents for the next opening to finish the save with.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace terrak {

class FileStream;

struct SafeWriteOptions {
  // Where the complete copy goes when the target's folder is not writable and the target is
  // therefore overwritten in place. Empty: such a target is refused, naming its folder.
  std::string AsideFolder;
};

// The program's own temporary file for a target: the target's name with this appended. It is
// made new for each write (never one that is there already), so what it holds is never complete
// until it has taken the target's place.
inline constexpr const char* kSaveTemporarySuffix = ".terrak-save.tmp";
// The complete new contents of a target that is being overwritten in place: only a kill or a
// failure while the target is overwritten leaves it behind.
inline constexpr const char* kCompleteCopySuffix = ".terrak-complete.tmp";

// The names of the program's two files for a target whose links are followed: beside it, or
// in asideFolder when that is given (there with a mark of the target's whole path, so that maps
// of the same name in different folders do not meet). A name too long for the folder is cut and
// marked with a hash of the whole name, so every name fits (255 bytes on most systems).
struct SaveFileNames {
  std::string Temporary;
  std::string Complete;
};
SaveFileNames SaveFileNamesFor(const std::string& resolvedTarget,
                               const std::string& asideFolder = "");

class SafeFileWriter {
 public:
  // Resolves the target and opens the temporary; throws FileError when the target cannot be
  // written safely (with the reason: no regular file, a folder that is not writable, ...).
  explicit SafeFileWriter(const std::string& target, const SafeWriteOptions& options = {});
  // Without Commit the temporary is removed and the target stays as it was.
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Adds bytes to the new contents (FileError when they cannot be written, e.g. a full disk).
  void Append(const void* data, std::size_t size);
  // Puts the new contents in the target's place.
  void Commit();

  // The file that is written: the target with its links followed.
  const std::string& ResolvedTarget() const { return resolved_; }

 private:
  void RenameOverTarget();
  void OverwriteInPlace();
  void KeepCompleteCopy();
  bool KeepsOwnerAndMode();

  std::string target_;    // as the caller named it, for messages
  std::string resolved_;  // the file finally written
  std::string temporary_;
  std::string complete_;  // the complete copy's name while the target is overwritten in place
  bool targetExists_ = false;
  bool inPlace_ = false;  // decided at opening: the folder is not writable
  unsigned targetMode_ = 0;
  unsigned targetOwner_ = 0;
  unsigned targetGroup_ = 0;
  unsigned long targetLinks_ = 0;
  std::int64_t size_ = 0;
  bool committed_ = false;
  bool keepTemporary_ = false;  // it holds the only complete copy after a failed overwrite
  std::unique_ptr<FileStream> stream_;
};

// Writes data as the new contents of target through a SafeFileWriter.
void ReplaceFileAtomically(const std::string& target, const std::vector<std::uint8_t>& data,
                           const SafeWriteOptions& options = {});

// The file that fileName finally names, following symbolic links (relative ones from the link's
// folder). A name that leads nowhere yet is returned as far as it was followed.
std::string ResolveLinks(const std::string& fileName);

// Removes the program's own temporary file at path, left by a run that was killed, unless it is
// no regular file or a running program still holds it.
void RemoveStaleTemporary(const std::string& path);
// The same for the temporary of a target (see kSaveTemporarySuffix). A complete copy is never
// removed here: see FindUnfinishedSave.
void RemoveStaleSaveTemporary(const std::string& target);

// The complete copy that a save of target left when it was killed or failed while it overwrote
// target in place (beside target, or in asideFolder when given), while it differs from target.
// One that target already equals (the kill came after the last byte) is removed. Nothing when
// there is none, or while a running save still holds it.
std::optional<std::string> FindUnfinishedSave(const std::string& target,
                                              const std::string& asideFolder = "");
// Ends an interrupted save: target gets the complete copy's contents, written safely as any
// save, and the copy goes.
void FinishUnfinishedSave(const std::string& target, const std::string& completeCopy,
                          const SafeWriteOptions& options = {});

}  // namespace terrak

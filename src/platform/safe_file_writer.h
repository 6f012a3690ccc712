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
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace terrak {

class FileStream;

struct SafeWriteOptions {
  // Where the complete copy goes when the target's folder is not writable and the target is
  // therefore overwritten in place. Empty: such a target is refused, naming its folder.
  std::string AsideFolder;
};

// The program's own temporary file for a target: the target's name with this appended.
inline constexpr const char* kSaveTemporarySuffix = ".terrak-save.tmp";

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
  bool KeepsOwnerAndMode();

  std::string target_;    // as the caller named it, for messages
  std::string resolved_;  // the file finally written
  std::string temporary_;
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
// The same for the temporary of a target (see kSaveTemporarySuffix).
void RemoveStaleSaveTemporary(const std::string& target);

}  // namespace terrak

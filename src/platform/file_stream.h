#pragma once
// Positioned reads and writes of whole records on one open file. Every file the program touches
// goes through this class; it is opened for one operation and closed at its end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_error.h"
#include "platform/safe_file_writer.h"  // ReplaceFileAtomically, for callers that write whole files

namespace terrak {

enum class FileMode {
  ReadExclusive,       // read; no other opener may hold the file (flock exclusive)
  ReadDenyWrite,       // read; others may read too, nobody may write (flock shared)
  ReadWriteExclusive,  // read and write an existing file, exclusively
  CreateExclusive,     // create or empty the file, then read and write it exclusively
  WriteExistingExclusive,  // write into an existing file without emptying it, exclusively
  // A new file of the program's own (0600): refused when anything is at the name already (a
  // file, a second name of another file, a symbolic link), so nothing else is ever written.
  CreateScratchExclusive,
};

class FileStream {
 public:
  FileStream(const std::string& fileName, FileMode mode);
  ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  FileStream(FileStream&& other) noexcept;
  FileStream& operator=(FileStream&& other) noexcept;

  const std::string& FileName() const { return fileName_; }
  // The open descriptor, for the file-system calls this class does not wrap.
  int Descriptor() const { return fd_; }
  std::int64_t Size() const;

  // Reads up to size bytes at position; returns how many were read (fewer only at the end).
  std::size_t ReadSome(std::int64_t position, void* buffer, std::size_t size) const;
  // Reads exactly size bytes at position or throws FileError.
  void ReadExact(std::int64_t position, void* buffer, std::size_t size) const;
  std::vector<std::uint8_t> ReadExact(std::int64_t position, std::size_t size) const;
  // Writes all size bytes at position or throws FileError.
  void Write(std::int64_t position, const void* buffer, std::size_t size);
  void Truncate(std::int64_t size);
  // Forces written data to the disk.
  void Sync();
  void Close();

 private:
  [[noreturn]] void Fail(const std::string& what) const;
  std::string fileName_;
  int fd_ = -1;
};

bool FileExists(const std::string& fileName);

// The whole content of a file, read through a deny-write stream.
std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName);

// Why a file of this kind (st_mode) cannot be used as a file: "it is a fifo (a named pipe), not a
// file" and the like.
std::string NotAFileReason(unsigned mode);
// Throws FileError unless fileName names a regular file (through links); for readers that open
// the file by name elsewhere, such as an image loader, which would wait forever on a fifo.
void RequireRegularFile(const std::string& fileName);

}  // namespace terrak

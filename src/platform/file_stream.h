#pragma once
// Positioned reads and writes of whole records on one open file. Every file the program touches
// goes through this class; it is opened for one operation and closed at its end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_error.h"

namespace terrak {

enum class FileMode {
  ReadExclusive,       // read; no other opener may hold the file (flock exclusive)
  ReadDenyWrite,       // read; others may read too, nobody may write (flock shared)
  ReadWriteExclusive,  // read and write an existing file, exclusively
  CreateExclusive,     // create or empty the file, then read and write it exclusively
  WriteExistingExclusive,  // write into an existing file without emptying it, exclusively
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

// Writes data to a temporary file beside target, flushes it to disk and renames it over target,
// so a crash or a full disk never leaves a half-written target.
void ReplaceFileAtomically(const std::string& target, const std::vector<std::uint8_t>& data);

}  // namespace terrak

#include "platform/file_stream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace terrak {

namespace {

std::string SystemReason(int error) { return std::strerror(error); }

int OpenFlags(FileMode mode) {
  switch (mode) {
    case FileMode::ReadExclusive:
    case FileMode::ReadDenyWrite:
      return O_RDONLY;
    case FileMode::ReadWriteExclusive:
    case FileMode::WriteExistingExclusive:
      return O_RDWR;
    case FileMode::CreateExclusive:
      return O_RDWR | O_CREAT;
    case FileMode::CreateScratchExclusive:
      return O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
  }
  return O_RDONLY;
}

}  // namespace

std::string NotAFileReason(unsigned mode) {
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISFIFO(mode)) return "it is a fifo (a named pipe), not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
  if (S_ISSOCK(mode)) return "it is a socket, not a file";
  return "it is not a regular file";
}

void RequireRegularFile(const std::string& fileName) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0)
    throw FileError(fileName, "cannot open it (" + SystemReason(errno) + ")");
  if (!S_ISREG(info.st_mode)) throw FileError(fileName, NotAFileReason(info.st_mode));
}

FileStream::FileStream(const std::string& fileName, FileMode mode) : fileName_(fileName) {
  // Without O_NONBLOCK, opening a fifo for reading waits for a writer that may never come.
  const mode_t permissions = mode == FileMode::CreateScratchExclusive ? 0600 : 0644;
  fd_ = ::open(fileName.c_str(), OpenFlags(mode) | O_CLOEXEC | O_NONBLOCK, permissions);
  if (fd_ < 0) Fail("cannot open it (" + SystemReason(errno) + ")");
  struct stat info {};
  const bool examined = ::fstat(fd_, &info) == 0;
  if (!examined || !S_ISREG(info.st_mode)) {
    const std::string reason = examined ? NotAFileReason(info.st_mode)
                                        : "cannot examine it (" + SystemReason(errno) + ")";
    ::close(fd_);
    fd_ = -1;
    Fail(reason);
  }
  // Only a regular file is left here, where O_NONBLOCK has no effect; it is cleared all the same.
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  const int lock = mode == FileMode::ReadDenyWrite ? LOCK_SH : LOCK_EX;
  if (::flock(fd_, lock | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    if (error == EWOULDBLOCK) Fail("it is in use by another program");
    Fail("cannot lock it (" + SystemReason(error) + ")");
  }
  // The lock is taken before emptying, so a file in use by someone else is never emptied.
  if ((mode == FileMode::CreateExclusive || mode == FileMode::CreateScratchExclusive) &&
      ::ftruncate(fd_, 0) != 0) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    Fail("cannot empty it (" + SystemReason(error) + ")");
  }
}

FileStream::~FileStream() {
  if (fd_ >= 0) ::close(fd_);
}

FileStream::FileStream(FileStream&& other) noexcept
    : fileName_(std::move(other.fileName_)), fd_(std::exchange(other.fd_, -1)) {}

FileStream& FileStream::operator=(FileStream&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fileName_ = std::move(other.fileName_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

void FileStream::Fail(const std::string& what) const { throw FileError(fileName_, what); }

std::int64_t FileStream::Size() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) Fail("cannot read its size (" + SystemReason(errno) + ")");
  return static_cast<std::int64_t>(info.st_size);
}

std::size_t FileStream::ReadSome(std::int64_t position, void* buffer, std::size_t size) const {
  if (position < 0) Fail("read before the start of the file");
  auto* out = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd_, out + done, size - done,
                                static_cast<off_t>(position + static_cast<std::int64_t>(done)));
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("read error (" + SystemReason(errno) + ")");
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void FileStream::ReadExact(std::int64_t position, void* buffer, std::size_t size) const {
  if (ReadSome(position, buffer, size) != size) Fail("read beyond the end of the file");
}

std::vector<std::uint8_t> FileStream::ReadExact(std::int64_t position, std::size_t size) const {
  std::vector<std::uint8_t> bytes(size);
  ReadExact(position, bytes.data(), size);
  return bytes;
}

void FileStream::Write(std::int64_t position, const void* buffer, std::size_t size) {
  if (position < 0) Fail("write before the start of the file");
  const auto* in = static_cast<const unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t put = ::pwrite(fd_, in + done, size - done,
                                 static_cast<off_t>(position + static_cast<std::int64_t>(done)));
    if (put < 0) {
      if (errno == EINTR) continue;
      Fail("write error (" + SystemReason(errno) + ")");
    }
    done += static_cast<std::size_t>(put);
  }
}

void FileStream::Truncate(std::int64_t size) {
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
    Fail("cannot set its length (" + SystemReason(errno) + ")");
}

void FileStream::Sync() {
  if (::fsync(fd_) != 0) Fail("cannot flush it to disk (" + SystemReason(errno) + ")");
}

void FileStream::Close() {
  if (fd_ >= 0) {
    const int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) Fail("cannot close it (" + SystemReason(errno) + ")");
  }
}

bool FileExists(const std::string& fileName) {
  struct stat info {};
  return ::stat(fileName.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName) {
  FileStream stream(fileName, FileMode::ReadDenyWrite);
  const std::int64_t size = stream.Size();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  bytes.resize(stream.ReadSome(0, bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace terrak

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
  }
  return O_RDONLY;
}

}  // namespace

FileStream::FileStream(const std::string& fileName, FileMode mode) : fileName_(fileName) {
  fd_ = ::open(fileName.c_str(), OpenFlags(mode) | O_CLOEXEC, 0644);
  if (fd_ < 0) Fail("cannot open it (" + SystemReason(errno) + ")");
  struct stat info {};
  if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    Fail("it is a folder, not a file");
  }
  const int lock = mode == FileMode::ReadDenyWrite ? LOCK_SH : LOCK_EX;
  if (::flock(fd_, lock | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    if (error == EWOULDBLOCK) Fail("it is in use by another program");
    Fail("cannot lock it (" + SystemReason(error) + ")");
  }
  // The lock is taken before emptying, so a file in use by someone else is never emptied.
  if (mode == FileMode::CreateExclusive && ::ftruncate(fd_, 0) != 0) {
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

void ReplaceFileAtomically(const std::string& target, const std::vector<std::uint8_t>& data) {
  const std::string temporary = target + ".terrak-save.tmp";
  struct stat targetInfo {};
  const bool targetExists = ::stat(target.c_str(), &targetInfo) == 0;
  {
    FileStream out(temporary, FileMode::CreateExclusive);
    try {
      // The new file keeps the permissions of the file it replaces.
      if (targetExists) ::chmod(temporary.c_str(), targetInfo.st_mode & 07777);
      out.Write(0, data.data(), data.size());
      out.Sync();
      out.Close();
    } catch (...) {
      ::unlink(temporary.c_str());
      throw;
    }
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    throw FileError(target, "cannot replace it (" + SystemReason(error) + ")");
  }
  // Make the rename itself durable.
  const std::string::size_type slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    ::fsync(folderFd);
    ::close(folderFd);
  }
}

}  // namespace terrak

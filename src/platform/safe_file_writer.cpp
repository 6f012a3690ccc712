#include "platform/safe_file_writer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file_error.h"
#include "platform/file_stream.h"

namespace terrak {

namespace {

namespace fs = std::filesystem;

// As many links as the system itself follows before it gives up.
constexpr int kMostLinksFollowed = 40;
constexpr std::size_t kCopyChunk = 1 << 20;

std::string SystemReason(int error) { return std::strerror(error); }

std::string FolderOf(const std::string& fileName) {
  const fs::path folder = fs::path(fileName).parent_path();
  return folder.empty() ? "." : folder.string();
}

// A descriptor closed on every way out.
class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

void SyncFolder(const std::string& folder) {
  const ScopedFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.Get() >= 0) ::fsync(fd.Get());
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0644 & ~mask;
}

// Writes all of size bytes at position, or returns the system's error.
int WriteAll(int fd, const std::uint8_t* data, std::size_t size, off_t position) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t put =
        ::pwrite(fd, data + done, size - done, position + static_cast<off_t>(done));
    if (put < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(put);
  }
  return 0;
}

}  // namespace

std::string ResolveLinks(const std::string& fileName) {
  fs::path path = fileName;
  for (int followed = 0; followed <= kMostLinksFollowed; ++followed) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return path.string();
    const fs::path next = fs::read_symlink(path, error);
    if (error) throw FileError(fileName, "cannot follow its link (" + error.message() + ")");
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  throw FileError(fileName, "its links lead round in a circle");
}

SafeFileWriter::SafeFileWriter(const std::string& target, const SafeWriteOptions& options)
    : target_(target), resolved_(ResolveLinks(target)) {
  struct stat info {};
  targetExists_ = ::lstat(resolved_.c_str(), &info) == 0;
  if (targetExists_) {
    if (!S_ISREG(info.st_mode)) throw FileError(target_, NotAFileReason(info.st_mode));
    targetMode_ = info.st_mode & 07777;
    targetOwner_ = info.st_uid;
    targetGroup_ = info.st_gid;
    targetLinks_ = info.st_nlink;
  }
  const std::string folder = FolderOf(resolved_);
  if (::access(folder.c_str(), W_OK | X_OK) == 0) {
    temporary_ = resolved_ + kSaveTemporarySuffix;
  } else {
    if (errno == ENOENT) throw FileError(target_, "its folder \"" + folder + "\" does not exist");
    const std::string reason = SystemReason(errno);
    const std::string notWritable = "its folder \"" + folder + "\" is not writable (" + reason + ")";
    if (!targetExists_) throw FileError(target_, notWritable + ", so it cannot be made there");
    if (options.AsideFolder.empty())
      throw FileError(target_, notWritable + ", so it cannot be replaced safely");
    std::error_code error;
    fs::create_directories(options.AsideFolder, error);
    if (error)
      throw FileError(options.AsideFolder, "cannot create the folder (" + error.message() + ")");
    temporary_ = (fs::path(options.AsideFolder) / fs::path(resolved_).filename()).string() +
                 kSaveTemporarySuffix;
    inPlace_ = true;
  }
  stream_ = std::make_unique<FileStream>(temporary_, FileMode::CreateScratchExclusive);
}

SafeFileWriter::~SafeFileWriter() {
  stream_.reset();
  if (!committed_ && !keepTemporary_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void SafeFileWriter::Append(const void* data, std::size_t size) {
  stream_->Write(size_, data, size);
  size_ += static_cast<std::int64_t>(size);
}

void SafeFileWriter::Commit() {
  stream_->Sync();
  if (!inPlace_ && (!targetExists_ || (targetLinks_ == 1 && KeepsOwnerAndMode())))
    RenameOverTarget();
  else
    OverwriteInPlace();
  committed_ = true;
}

// Gives the temporary the target's owner and mode; false when the owner cannot be given (only
// the superuser may give a file away), so renaming would change it.
bool SafeFileWriter::KeepsOwnerAndMode() {
  const int fd = stream_->Descriptor();
  struct stat info {};
  if (::fstat(fd, &info) != 0) return false;
  if ((info.st_uid != targetOwner_ || info.st_gid != targetGroup_) &&
      ::fchown(fd, targetOwner_, targetGroup_) != 0)
    return false;
  // After the owner: changing the owner clears the set-user and set-group bits.
  return ::fchmod(fd, targetMode_) == 0;
}

void SafeFileWriter::RenameOverTarget() {
  const int fd = stream_->Descriptor();
  if (!targetExists_ && ::fchmod(fd, NewFileMode()) != 0)
    throw FileError(temporary_, "cannot set its permissions (" + SystemReason(errno) + ")");
  // Another program that holds the target open for writing (or deny-write) keeps it.
  const ScopedFd old(targetExists_ ? ::open(resolved_.c_str(), O_RDONLY | O_CLOEXEC |
                                                                     O_NONBLOCK | O_NOFOLLOW)
                                     : -1);
  if (old.Get() >= 0 && ::flock(old.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    throw FileError(target_, "it is in use by another program");
  stream_->Close();
  if (::rename(temporary_.c_str(), resolved_.c_str()) != 0)
    throw FileError(target_, "cannot replace it (" + SystemReason(errno) + ")");
  SyncFolder(FolderOf(resolved_));
}

void SafeFileWriter::OverwriteInPlace() {
  int fd = ::open(resolved_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  if (fd < 0 && errno == EACCES && targetOwner_ == ::geteuid() &&
      ::chmod(resolved_.c_str(), targetMode_ | S_IWUSR) == 0) {
    // A read-only file of one's own, which the caller chose to replace: writable for as long
    // as it takes to open it.
    fd = ::open(resolved_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    ::chmod(resolved_.c_str(), targetMode_);
  }
  if (fd < 0) throw FileError(target_, "cannot open it (" + SystemReason(errno) + ")");
  const ScopedFd target(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    throw FileError(target_, "it is no longer a regular file");
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    throw FileError(target_, "it is in use by another program");
  // Claiming the space first means a full disk is found before the first byte changes.
  if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size_)) != 0 &&
      (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
    throw FileError(target_, "there is not enough space to write it (" + SystemReason(errno) +
                                 "); it was left as it was");
  const auto failed = [this](const std::string& what, int error) {
    keepTemporary_ = true;
    return FileError(target_, what + " (" + SystemReason(error) +
                                  "); it may be incomplete now: the complete new contents are "
                                  "kept in \"" + temporary_ + "\"");
  };
  std::vector<std::uint8_t> chunk(kCopyChunk);
  for (std::int64_t position = 0; position < size_;) {
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::int64_t>(size_ - position, kCopyChunk));
    stream_->ReadExact(position, chunk.data(), wanted);
    if (const int error = WriteAll(fd, chunk.data(), wanted, static_cast<off_t>(position)))
      throw failed("write error", error);
    position += static_cast<std::int64_t>(wanted);
  }
  if (::ftruncate(fd, static_cast<off_t>(size_)) != 0) throw failed("cannot set its length", errno);
  if (::fsync(fd) != 0) throw failed("cannot flush it to disk", errno);
  stream_.reset();
  ::unlink(temporary_.c_str());
}

void ReplaceFileAtomically(const std::string& target, const std::vector<std::uint8_t>& data,
                           const SafeWriteOptions& options) {
  SafeFileWriter writer(target, options);
  writer.Append(data.data(), data.size());
  writer.Commit();
}

void RemoveStaleTemporary(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  const ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
  // A save in progress holds its temporary locked; a killed one's lock went with it.
  if (fd.Get() >= 0 && ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
}

void RemoveStaleSaveTemporary(const std::string& target) {
  RemoveStaleTemporary(ResolveLinks(target) + kSaveTemporarySuffix);
}

}  // namespace terrak

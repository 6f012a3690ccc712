#include "platform/safe_file_writer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/file_error.h"
#include "platform/file_stream.h"

namespace terrak {

namespace {

namespace fs = std::filesystem;

// As many links as the system itself follows before it gives up.
constexpr int kMostLinksFollowed = 40;
constexpr std::size_t kCopyChunk = 1 << 20;
// The longest file name most systems take, where the folder does not say.
constexpr long kUsualNameMax = 255;

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

// FNV-1a: the same mark for the same name in every run and every build.
std::string NameMark(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char mark[17];
  std::snprintf(mark, sizeof mark, "%016llx", static_cast<unsigned long long>(hash));
  return mark;
}

std::size_t NameMax(const std::string& folder) {
  const long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  return static_cast<std::size_t>(max > 0 ? max : kUsualNameMax);
}

// The whole path of a file, so the same file gives the same mark whichever way it was named.
std::string WholePath(const std::string& fileName) {
  std::error_code error;
  const fs::path absolute = fs::absolute(fileName, error);
  if (error) return fileName;
  const fs::path whole = fs::weakly_canonical(absolute, error);
  return error ? absolute.string() : whole.string();
}

// At most size bytes of text, not cutting a UTF-8 character in two.
std::string Utf8Prefix(const std::string& text, std::size_t size) {
  if (size >= text.size()) return text;
  while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) --size;
  return text.substr(0, size);
}

// Makes way for a new temporary at path: a temporary that a killed run left (or anything else
// put there: a link, a second name of some other file) is removed, never written into. One that
// a running save holds stays, and the write is refused.
void ClearTheWay(const std::string& path, const std::string& target) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return;
  if (S_ISREG(info.st_mode)) {
    const ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (fd.Get() >= 0 && ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
      throw FileError(target, "it is in use by another program");
  }
  if (::unlink(path.c_str()) != 0 && errno != ENOENT)
    throw FileError(target, "the file \"" + path + "\" is in the way of its temporary and cannot "
                            "be removed (" + SystemReason(errno) + ")");
}

// Whether the open file fd holds exactly what the file fileName holds.
bool SameContents(int fd, const std::string& fileName) {
  const ScopedFd other(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat mine {}, theirs {};
  if (other.Get() < 0 || ::fstat(fd, &mine) != 0 || ::fstat(other.Get(), &theirs) != 0 ||
      !S_ISREG(theirs.st_mode) || mine.st_size != theirs.st_size)
    return false;
  std::vector<std::uint8_t> a(kCopyChunk), b(kCopyChunk);
  for (off_t position = 0; position < mine.st_size;) {
    const ssize_t gotA = ::pread(fd, a.data(), a.size(), position);
    const ssize_t gotB = ::pread(other.Get(), b.data(), b.size(), position);
    if (gotA <= 0 || gotA != gotB ||
        !std::equal(a.begin(), a.begin() + gotA, b.begin()))
      return false;
    position += gotA;
  }
  return true;
}

}  // namespace

SaveFileNames SaveFileNamesFor(const std::string& resolvedTarget, const std::string& asideFolder) {
  const fs::path target(resolvedTarget);
  std::string base = target.filename().string();
  fs::path folder = target.parent_path();
  if (!asideFolder.empty()) {
    folder = asideFolder;
    base += '.';
    base += NameMark(WholePath(resolvedTarget));
  }
  const std::size_t longest =
      std::max(std::strlen(kSaveTemporarySuffix), std::strlen(kCompleteCopySuffix));
  const std::size_t nameMax = NameMax(folder.empty() ? "." : folder.string());
  if (base.size() + longest > nameMax) {
    std::string mark(1, '.');
    mark += NameMark(base);
    const std::size_t room = nameMax > longest + mark.size() ? nameMax - longest - mark.size() : 0;
    base = Utf8Prefix(base, room) + mark;
  }
  const std::string stem = (folder / base).string();
  return {stem + kSaveTemporarySuffix, stem + kCompleteCopySuffix};
}

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
  SaveFileNames names;
  if (::access(folder.c_str(), W_OK | X_OK) == 0) {
    names = SaveFileNamesFor(resolved_);
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
    names = SaveFileNamesFor(resolved_, options.AsideFolder);
    inPlace_ = true;
  }
  ClearTheWay(names.Temporary, target_);
  // Made new (O_EXCL): a file put at this name since is refused, never written into.
  stream_ = std::make_unique<FileStream>(names.Temporary, FileMode::CreateScratchExclusive);
  temporary_ = names.Temporary;
  complete_ = names.Complete;
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
  KeepCompleteCopy();
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
  // Removed while still held, so no other run takes it for an interrupted save's copy.
  ::unlink(temporary_.c_str());
  stream_.reset();
}

// From here on the target may be half old, half new until the last byte: the complete new
// contents get a name of their own, which the next opening finds should the program be killed.
void SafeFileWriter::KeepCompleteCopy() {
  if (::rename(temporary_.c_str(), complete_.c_str()) != 0)
    throw FileError(target_, "cannot keep its new contents as \"" + complete_ + "\" (" +
                                 SystemReason(errno) + "); it was left as it was");
  temporary_ = complete_;
  keepTemporary_ = true;  // until the target is whole again
  SyncFolder(FolderOf(complete_));
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
  RemoveStaleTemporary(SaveFileNamesFor(ResolveLinks(target)).Temporary);
}

std::optional<std::string> FindUnfinishedSave(const std::string& target,
                                              const std::string& asideFolder) {
  std::string resolved;
  try {
    resolved = ResolveLinks(target);
  } catch (const FileError&) {
    return std::nullopt;  // links in a circle: opening says so
  }
  std::vector<std::string> copies{SaveFileNamesFor(resolved).Complete};
  if (!asideFolder.empty()) copies.push_back(SaveFileNamesFor(resolved, asideFolder).Complete);
  for (const std::string& copy : copies) {
    struct stat info {};
    if (::lstat(copy.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    const ScopedFd fd(::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    // A running save holds its copy locked until the target is whole.
    if (fd.Get() < 0 || ::flock(fd.Get(), LOCK_SH | LOCK_NB) != 0) continue;
    if (SameContents(fd.Get(), resolved)) {
      ::unlink(copy.c_str());
      continue;
    }
    return copy;
  }
  return std::nullopt;
}

void FinishUnfinishedSave(const std::string& target, const std::string& completeCopy,
                          const SafeWriteOptions& options) {
  ReplaceFileAtomically(target, ReadWholeFile(completeCopy), options);
  // Written in place, the writer's own copy had this name and is gone already.
  if (::unlink(completeCopy.c_str()) != 0 && errno != ENOENT)
    throw FileError(completeCopy, "the save is finished, but this copy cannot be removed (" +
                                      SystemReason(errno) + ")");
}

}  // namespace terrak

#include "cli/scratch_folder.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/file_error.h"

namespace terrak::cli {

namespace {

constexpr std::string_view kPrefix = "terrak-cli-";
constexpr std::size_t kUniqueLength = 6;  // the XXXXXX that mkdtemp fills

// The process id in a scratch folder's name, or nothing when the name is not one.
std::optional<pid_t> OwnerProcess(const std::string& name) {
  if (name.size() < kPrefix.size() + 2 + kUniqueLength || name.compare(0, kPrefix.size(), kPrefix) != 0)
    return std::nullopt;
  const std::size_t dash = name.size() - kUniqueLength - 1;
  if (name[dash] != '-') return std::nullopt;
  for (std::size_t i = dash + 1; i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return std::nullopt;
  pid_t pid = 0;
  const char* first = name.data() + kPrefix.size();
  const char* last = name.data() + dash;
  const auto [end, error] = std::from_chars(first, last, pid);
  if (first == last || error != std::errc() || end != last || pid <= 0) return std::nullopt;
  return pid;
}

bool ProcessIsGone(pid_t pid) { return ::kill(pid, 0) == -1 && errno == ESRCH; }

}  // namespace

int RemoveStaleScratchFolders(const std::string& parent) {
  int removed = 0;
  std::error_code error;
  for (std::filesystem::directory_iterator it(parent, error), end; !error && it != end;
       it.increment(error)) {
    const std::filesystem::directory_entry& entry = *it;
    const std::string name = entry.path().filename().string();
    const std::optional<pid_t> pid = OwnerProcess(name);
    if (!pid || *pid == ::getpid()) continue;
    struct stat info {};
    if (::lstat(entry.path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid())
      continue;
    if (!ProcessIsGone(*pid)) continue;
    std::error_code ignored;
    if (std::filesystem::remove_all(entry.path(), ignored) > 0 && !ignored) ++removed;
  }
  return removed;
}

ScratchFolder::ScratchFolder(const std::string& parent, ScratchRegistry* registry)
    : registry_(registry) {
  RemoveStaleScratchFolders(parent);
  std::string pattern =
      parent + "/" + std::string(kPrefix) + std::to_string(::getpid()) + "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    throw FileError(pattern, std::string("cannot make a scratch folder (") +
                                 std::strerror(errno) + ")");
  path_ = pattern;
  if (registry_ != nullptr) registry_->Add(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  // Forgotten only once gone, so a signal in between still finds it.
  if (registry_ != nullptr) registry_->Forget(path_);
}

}  // namespace terrak::cli

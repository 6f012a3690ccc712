#include "cli/scratch_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/file_error.h"

namespace terrak::cli {

ScratchFolder::ScratchFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/terrak-cli-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    throw FileError(pattern, std::string("cannot make a scratch folder (") +
                                 std::strerror(errno) + ")");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace terrak::cli

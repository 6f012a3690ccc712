#include "platform/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace terrak {

bool IsReadOnlyFile(const std::string& fileName) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  const mode_t anyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
  return (info.st_mode & anyWrite) == 0 ||
         ::faccessat(AT_FDCWD, fileName.c_str(), W_OK, AT_EACCESS) != 0;
}

std::string ReplaceReadOnlyQuestion(const std::string& fileName) {
  return "The file " + fileName + " is read-only. Replace it anyway?";
}

bool MayReplaceFile(UserDialogs& dialogs, const std::string& fileName) {
  if (!IsReadOnlyFile(fileName)) return true;
  return dialogs.Message(ReplaceReadOnlyQuestion(fileName), MessageType::Warning,
                         DialogButton::Yes | DialogButton::No) == DialogButton::Yes;
}

}  // namespace terrak

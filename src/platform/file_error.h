#pragma once
// A file that cannot be opened, read or written. The message names the file and the system's
// reason; one top-level handler shows it to the user.
#include <stdexcept>
#include <string>

namespace terrak {

class FileError : public std::runtime_error {
 public:
  FileError(const std::string& fileName, const std::string& reason)
      : std::runtime_error("Cannot use file \"" + fileName + "\": " + reason),
        fileName_(fileName),
        reason_(reason) {}
  const std::string& FileName() const { return fileName_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string fileName_;
  std::string reason_;
};

}  // namespace terrak

#include "platform/file_identity.h"

#include <sys/stat.h>

#include <filesystem>

#include "platform/file_error.h"
#include "platform/safe_file_writer.h"

namespace terrak {

namespace {

namespace fs = std::filesystem;

// The place a name leads to, spelled one way only.
std::string PlaceOf(const std::string& fileName) {
  std::string followed = fileName;
  try {
    followed = ResolveLinks(fileName);
  } catch (const FileError&) {
    // Links in a circle lead to no place: the name stands for itself.
  }
  std::error_code error;
  const fs::path absolute = fs::absolute(followed, error);
  if (error) return followed;
  const fs::path place = fs::weakly_canonical(absolute, error);
  return error ? absolute.lexically_normal().string() : place.string();
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  struct stat infoA {}, infoB {};
  const bool aExists = ::stat(a.c_str(), &infoA) == 0;
  const bool bExists = ::stat(b.c_str(), &infoB) == 0;
  if (aExists && bExists) return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
  if (aExists != bExists) return false;
  return PlaceOf(a) == PlaceOf(b);
}

}  // namespace terrak

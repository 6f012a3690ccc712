#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace terrak::testing {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "terrak-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

SystemPaths TempFolder::Paths() const {
  return {.WorkingCopy = File(kWorkingCopyName), .SettingsFile = File(kSettingsFileName),
          .ExportFolder = path_, .CacheFolder = path_, .SamplesFolder = path_};
}

std::vector<std::uint8_t> ReadBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + fileName);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + fileName);
}

std::string ReadText(const std::string& fileName) {
  const std::vector<std::uint8_t> bytes = ReadBytes(fileName);
  return {bytes.begin(), bytes.end()};
}

void WriteText(const std::string& fileName, const std::string& text) {
  WriteBytes(fileName, {text.begin(), text.end()});
}

}  // namespace terrak::testing

#include "mapfile/settings_file.h"

#include <SimpleIni.h>

#include <filesystem>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "mapfile/ini_integer.h"
#include "platform/file_error.h"
#include "platform/file_stream.h"
#include "platform/safe_file_writer.h"

namespace terrak {

namespace {

// A settings file is a few kilobytes; anything this large is something else, and reading it
// whole would only exhaust memory.
constexpr std::int64_t kLargestSettingsFile = 16 * 1024 * 1024;

constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";

bool HasLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

// The text as the profile parser gets it. The parser ends at a NUL byte, and so does this. A
// line that opens a section without closing it confuses the parser: it takes the next key's line
// for part of a section name with a line break in it, and every save then writes that name back
// a line longer. The parser means to skip such a line, so it is removed here.
std::string WithoutBrokenSectionLines(const std::string& text) {
  std::string_view whole(text.c_str());
  std::string kept;
  kept.reserve(whole.size());
  // The byte order mark is not part of the first line.
  if (whole.starts_with(kUtf8Signature)) {
    kept.append(kUtf8Signature);
    whole.remove_prefix(kUtf8Signature.size());
  }
  std::size_t start = 0;
  while (start < whole.size()) {
    std::size_t end = whole.find_first_of("\r\n", start);
    end = end == std::string_view::npos ? whole.size() : end + 1;
    const std::string_view line = whole.substr(start, end - start);
    const std::size_t first = line.find_first_not_of(" \t");
    const bool broken = first != std::string_view::npos && line[first] == '[' &&
                        line.find(']', first) == std::string_view::npos;
    if (!broken) kept.append(line);
    start = end;
  }
  return kept;
}

void CreateFolderOf(const std::string& fileName) {
  const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
  if (folder.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw FileError(fileName, "cannot create its folder (" + error.message() + ")");
}

bool HasOneEntrySpeltAs(const CSimpleIniA& ini, const std::string& section,
                        const std::string& key) {
  const CSimpleIniA::TKeyVal* keys = ini.GetSection(section.c_str());
  if (keys == nullptr) return false;
  const auto [first, last] = keys->equal_range(CSimpleIniA::Entry(key.c_str()));
  return first != last && std::next(first) == last && key == first->first.pItem;
}

}  // namespace

struct SettingsFile::Profile {
  Profile() {
    ini.SetUnicode(false);
    ini.SetSpaces(false);
    // Duplicate keys are kept as they are; reading takes the first, as profile files do.
    ini.SetMultiKey(true);
  }
  CSimpleIniA ini;
  bool utf8Signature = false;  // the file began with a UTF-8 byte order mark
};

SettingsFile::SettingsFile(std::string fileName)
    : fileName_(std::move(fileName)), profile_(std::make_unique<Profile>()) {}
SettingsFile::~SettingsFile() = default;
SettingsFile::SettingsFile(SettingsFile&&) noexcept = default;
SettingsFile& SettingsFile::operator=(SettingsFile&&) noexcept = default;

SettingsFile SettingsFile::Open(const std::string& fileName) {
  SettingsFile file(fileName);
  RemoveStaleSaveTemporary(fileName);
  std::error_code error;
  if (std::filesystem::status(fileName, error).type() == std::filesystem::file_type::not_found)
    return file;
  const FileStream stream(fileName, FileMode::ReadDenyWrite);
  const std::int64_t size = stream.Size();
  if (size > kLargestSettingsFile)
    throw FileError(fileName, "it is too large to be a settings file");
  std::string text(static_cast<std::size_t>(size), '\0');
  text.resize(stream.ReadSome(0, text.data(), text.size()));
  file.Parse(text);
  return file;
}

void SettingsFile::Parse(const std::string& text) {
  const std::string parsed = WithoutBrokenSectionLines(text);
  if (profile_->ini.LoadData(parsed.data(), parsed.size()) < 0)
    throw FileError(fileName_, "its contents cannot be read");
  // Loading switches to UTF-8 only when it met the byte order mark.
  profile_->utf8Signature = profile_->ini.IsUnicode();
}

std::optional<std::string> SettingsFile::ReadString(const std::string& section,
                                                    const std::string& key) const {
  const char* value = profile_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& defaultText) const {
  return ReadString(section, key).value_or(defaultText);
}

std::int64_t SettingsFile::ReadInteger(const std::string& section, const std::string& key,
                                       std::int64_t defaultValue, std::int64_t low,
                                       std::int64_t high) const {
  const std::optional<std::string> text = ReadString(section, key);
  if (!text) return defaultValue;
  const std::optional<std::int64_t> value = ParseIniInteger(*text);
  if (!value || *value < low || *value > high) return defaultValue;
  return *value;
}

bool SettingsFile::ReadBool(const std::string& section, const std::string& key,
                            bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0, INT32_MIN, INT32_MAX) != 0;
}

void SettingsFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
    throw std::invalid_argument("a settings line cannot hold a line break");
  CSimpleIniA& ini = profile_->ini;
  SI_Error result;
  if (HasOneEntrySpeltAs(ini, section, key)) {
    // Changed where it stands. Replacing would remove and add it again, and each removal scans
    // every text written so far, which makes saving a long selection quadratic.
    ini.SetMultiKey(false);
    result = ini.SetValue(section.c_str(), key.c_str(), value.c_str());
    ini.SetMultiKey(true);
  } else {
    // Duplicates and other spellings all give way to the one entry spelt as given.
    result = ini.SetValue(section.c_str(), key.c_str(), value.c_str(), nullptr, true);
  }
  if (result < 0) throw std::bad_alloc();
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key,
                                std::int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void SettingsFile::EraseSection(const std::string& section) {
  profile_->ini.Delete(section.c_str(), nullptr);
}

std::string SettingsFile::Text() const {
  std::string text;
  if (profile_->ini.Save(text, profile_->utf8Signature) < 0) throw std::bad_alloc();
  return text;
}

void SettingsFile::Save() const {
  const std::string text = Text();
  // A symbolic link stays a link: the file it leads to gets the text.
  CreateFolderOf(ResolveLinks(fileName_));
  ReplaceFileAtomically(fileName_, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace terrak

#pragma once
// The settings file "terrak50.ini" held in memory: sections of "key=value" lines, section and
// key names matched without regard to letter case. Lines the program does not know are kept as
// they are, so saving never drops someone else's settings.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace terrak {

class SettingsFile {
 public:
  // An empty file of that name; nothing is read.
  explicit SettingsFile(std::string fileName);
  ~SettingsFile();
  SettingsFile(SettingsFile&&) noexcept;
  SettingsFile& operator=(SettingsFile&&) noexcept;
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  // Reads the file. A missing file reads as an empty one; a file that exists but cannot be read
  // raises FileError.
  static SettingsFile Open(const std::string& fileName);

  const std::string& FileName() const { return fileName_; }

  // The text of the key, or nothing when it is missing (the first one when it occurs twice).
  std::optional<std::string> ReadString(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultText) const;
  // The key's integer when its text is one and lies in [low, high]; otherwise defaultValue.
  std::int64_t ReadInteger(const std::string& section, const std::string& key,
                           std::int64_t defaultValue, std::int64_t low, std::int64_t high) const;
  // True when the key's integer is not 0.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Sets the key to value, spelt as given, in place of every entry it had. Keys and values
  // cannot hold line breaks (std::invalid_argument).
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, std::int64_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  void EraseSection(const std::string& section);

  // The whole file as it is written.
  std::string Text() const;
  // Writes Text() over the file through a temporary file beside it, creating the folder when it
  // is missing. A symbolic link stays a link: its target is replaced. Raises FileError.
  void Save() const;

 private:
  struct Profile;
  void Parse(const std::string& text);

  std::string fileName_;
  std::unique_ptr<Profile> profile_;
};

}  // namespace terrak

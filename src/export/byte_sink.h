#pragma once
// Where an export that is written as it is made (the 3D models) puts its bytes: into memory, or
// through the program's safe writer into its target, so a large model never lies whole in memory.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/safe_file_writer.h"

namespace terrak {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(const void* data, std::size_t size) = 0;
};

class MemorySink final : public ByteSink {
 public:
  explicit MemorySink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  void Write(const void* data, std::size_t size) override {
    const auto* first = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), first, first + size);
  }

 private:
  std::vector<std::uint8_t>& bytes_;
};

// Gathers the bytes into blocks before they reach the safe writer. Without Commit the target
// stays as it was (a FileError or a cancelled export leaves no partial file).
class SafeFileSink final : public ByteSink {
 public:
  explicit SafeFileSink(const std::string& target) : writer_(target) { block_.reserve(kBlock); }
  void Write(const void* data, std::size_t size) override;
  void Commit();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  SafeFileWriter writer_;
  std::vector<std::uint8_t> block_;
};

}  // namespace terrak

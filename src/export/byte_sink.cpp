#include "export/byte_sink.h"

namespace terrak {

void SafeFileSink::Write(const void* data, std::size_t size) {
  if (block_.size() + size > kBlock) {
    writer_.Append(block_.data(), block_.size());
    block_.clear();
  }
  if (size >= kBlock) {
    writer_.Append(data, size);
    return;
  }
  const auto* first = static_cast<const std::uint8_t*>(data);
  block_.insert(block_.end(), first, first + size);
}

void SafeFileSink::Commit() {
  writer_.Append(block_.data(), block_.size());
  block_.clear();
  writer_.Commit();
}

}  // namespace terrak

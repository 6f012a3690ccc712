#include "mapfile/map_file_stamp.h"

#include <sys/stat.h>
#include <xxhash.h>

#include <new>

#include "platform/file_stream.h"

namespace terrak {

struct ContentHasher::State {
  XXH3_state_t* xxh = XXH3_createState();
  ~State() { XXH3_freeState(xxh); }
};

ContentHasher::ContentHasher() : state_(std::make_unique<State>()) {
  if (state_->xxh == nullptr) throw std::bad_alloc();
  XXH3_64bits_reset(state_->xxh);
}

ContentHasher::~ContentHasher() = default;

void ContentHasher::Add(const void* data, std::size_t size) {
  XXH3_64bits_update(state_->xxh, data, size);
}

std::uint64_t ContentHasher::Value() const { return XXH3_64bits_digest(state_->xxh); }

bool SameContents(const MapFileStamp& a, const MapFileStamp& b) {
  return a.Size == b.Size && a.ContentHash == b.ContentHash;
}

std::int64_t ModifiedTimeNs(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return 0;
  return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

MapFileStamp StampOf(const std::vector<std::uint8_t>& bytes, int fd) {
  ContentHasher hash;
  hash.Add(bytes.data(), bytes.size());
  return {true, static_cast<std::int64_t>(bytes.size()), ModifiedTimeNs(fd), hash.Value()};
}

MapFileStamp ReadStamp(const std::string& fileName) {
  const FileStream stream(fileName, FileMode::ReadDenyWrite);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
  bytes.resize(stream.ReadSome(0, bytes.data(), bytes.size()));
  return StampOf(bytes, stream.Descriptor());
}

}  // namespace terrak

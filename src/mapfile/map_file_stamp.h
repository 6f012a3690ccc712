#pragma once
// What the map file was like when it was opened or last saved, so that Save can tell whether
// another program has changed it since.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace terrak {

struct MapFileStamp {
  bool Known = false;  // false until a map was opened or saved
  std::int64_t Size = 0;
  std::int64_t ModifiedNs = 0;  // the file's modification time, in nanoseconds
  std::uint64_t ContentHash = 0;
};

// Size and hash decide: a file touched without a change of content keeps what was opened, so
// overwriting it loses nothing. The time is kept to name the change in messages and tests.
bool SameContents(const MapFileStamp& a, const MapFileStamp& b);

// A hash of contents fed piece by piece (xxHash's 64-bit XXH3).
class ContentHasher {
 public:
  ContentHasher();
  ~ContentHasher();
  ContentHasher(const ContentHasher&) = delete;
  ContentHasher& operator=(const ContentHasher&) = delete;
  void Add(const void* data, std::size_t size);
  std::uint64_t Value() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The stamp of a file whose whole contents are bytes, with the time of the open file fd.
MapFileStamp StampOf(const std::vector<std::uint8_t>& bytes, int fd);
// The stamp of the file as it is now (FileError when it cannot be read).
MapFileStamp ReadStamp(const std::string& fileName);
// The modification time of the open file fd in nanoseconds (0 when it cannot be had).
std::int64_t ModifiedTimeNs(int fd);

}  // namespace terrak

#include "common/zeroed_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace terrak {

namespace {

// Huge pages are 2 MiB where there are any; a block is aligned to that so its whole huge pages
// can be used.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t PageSize() {
  const long size = sysconf(_SC_PAGESIZE);
  return size > 0 ? static_cast<std::size_t>(size) : 4096;
}

std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
  return (bytes + unit - 1) / unit * unit;
}

}  // namespace

void* AllocateZeroed(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  if (bytes < kLargeZeroedBlock) {
    void* block = std::calloc(bytes, 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
  }
  const std::size_t length = RoundUp(bytes, PageSize());
  if (length > SIZE_MAX - kHugePage) throw std::bad_alloc();
  // Mapped with room to slide to a huge page boundary; the pages before and after go back.
  void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = RoundUp(start, kHugePage);
  if (aligned > start) munmap(mapped, aligned - start);
  const std::uintptr_t end = start + length + kHugePage;
  if (end > aligned + length)
    munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
  void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  madvise(block, length, MADV_HUGEPAGE);  // only a hint: refused where there are none
#endif
  return block;
}

void MakePresent(void* block, std::size_t bytes) noexcept {
  if (block == nullptr || bytes < kLargeZeroedBlock) return;  // calloc's memory is written
#ifdef MADV_POPULATE_WRITE
  if (madvise(block, RoundUp(bytes, PageSize()), MADV_POPULATE_WRITE) == 0) return;
#endif
  // Older systems: a write to every page, of the zero it holds.
  volatile auto* bytesOf = static_cast<volatile unsigned char*>(block);
  for (std::size_t at = 0; at < bytes; at += PageSize()) bytesOf[at] = 0;
}

void FreeZeroed(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  if (bytes < kLargeZeroedBlock)
    std::free(block);
  else
    munmap(block, RoundUp(bytes, PageSize()));
}

}  // namespace terrak

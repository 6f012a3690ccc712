#pragma once
// Memory for large arrays that start all zero (the height grid, the bitmap grid, bit tables).
// Large blocks come straight from the system as fresh pages: they are not written to be zeroed,
// a page is made only when first touched (and pages never written cost nothing), and they are
// offered to the kernel as huge pages, so a 32 MB grid is faulted in 16 times instead of 8192.
#include <cstddef>

namespace terrak {

// Blocks of at least this size are mapped as their own pages; smaller ones come from calloc.
inline constexpr std::size_t kLargeZeroedBlock = std::size_t{1} << 20;

// bytes zero bytes, aligned for any scalar type; nullptr for 0 bytes. Throws std::bad_alloc.
void* AllocateZeroed(std::size_t bytes);
// Gives back a block of AllocateZeroed, with the same size.
void FreeZeroed(void* block, std::size_t bytes) noexcept;
// Makes the pages of a block of AllocateZeroed present now, ahead of their first use, where the
// system can; the block stays all zero.
void MakePresent(void* block, std::size_t bytes) noexcept;

}  // namespace terrak

#include "grid/bit_lines.h"

#include <algorithm>
#include <bit>

namespace terrak {

void BitLines::Reset(const std::vector<std::int32_t>& first,
                     const std::vector<std::int32_t>& length) {
  first_ = first;
  length_ = length;
  lineWord_.resize(first.size());
  std::int64_t words = 0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    lineWord_[i] = words;
    words += (std::max(length[i], 0) + 63) / 64;
  }
  words_.assign(static_cast<std::size_t>(words), 0);
}

std::int32_t BitLines::First(std::int32_t line, std::int32_t lo, std::int32_t hi,
                             std::uint64_t flip) const {
  const std::int32_t base = first_[line];
  const std::int64_t from = std::max<std::int64_t>(lo - base, 0);
  const std::int64_t to = std::min<std::int64_t>(hi - base, length_[line] - 1);
  if (from > to) return -1;
  const std::uint64_t* words = words_.data() + lineWord_[line];
  std::int64_t w = from >> 6;
  const std::int64_t lastWord = to >> 6;
  std::uint64_t bits = (words[w] ^ flip) & (~std::uint64_t{0} << (from & 63));
  while (true) {
    if (w == lastWord) {
      const int top = static_cast<int>(to & 63);
      if (top < 63) bits &= (std::uint64_t{1} << (top + 1)) - 1;
      if (bits == 0) return -1;
      return static_cast<std::int32_t>((w << 6) + std::countr_zero(bits)) + base;
    }
    if (bits != 0) return static_cast<std::int32_t>((w << 6) + std::countr_zero(bits)) + base;
    bits = words[++w] ^ flip;
  }
}

std::int32_t BitLines::Last(std::int32_t line, std::int32_t lo, std::int32_t hi,
                            std::uint64_t flip) const {
  const std::int32_t base = first_[line];
  const std::int64_t from = std::max<std::int64_t>(lo - base, 0);
  const std::int64_t to = std::min<std::int64_t>(hi - base, length_[line] - 1);
  if (from > to) return -1;
  const std::uint64_t* words = words_.data() + lineWord_[line];
  std::int64_t w = to >> 6;
  const std::int64_t firstWord = from >> 6;
  const int top = static_cast<int>(to & 63);
  std::uint64_t bits = words[w] ^ flip;
  if (top < 63) bits &= (std::uint64_t{1} << (top + 1)) - 1;
  while (true) {
    if (w == firstWord) {
      bits &= ~std::uint64_t{0} << (from & 63);
      if (bits == 0) return -1;
      return static_cast<std::int32_t>((w << 6) + 63 - std::countl_zero(bits)) + base;
    }
    if (bits != 0) return static_cast<std::int32_t>((w << 6) + 63 - std::countl_zero(bits)) + base;
    bits = words[--w] ^ flip;
  }
}

}  // namespace terrak

#include "grid/bit_lines.h"

#include <algorithm>
#include <bit>

namespace terrak {

namespace {

constexpr std::uint64_t kAll = ~std::uint64_t{0};

// Bits from (including) bit on.
std::uint64_t From(std::int64_t bit) { return kAll << (bit & 63); }
// Bits up to (including) bit.
std::uint64_t UpTo(std::int64_t bit) {
  const int top = static_cast<int>(bit & 63);
  return top == 63 ? kAll : (std::uint64_t{1} << (top + 1)) - 1;
}

}  // namespace

void BitLines::Reset(const std::vector<std::int32_t>& first,
                     const std::vector<std::int32_t>& length) {
  first_ = first;
  length_ = length;
  lineWord_.resize(first.size());
  lineSummary_.resize(first.size());
  std::int64_t words = 0, summaries = 0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    lineWord_[i] = words;
    lineSummary_[i] = summaries;
    const std::int64_t lineWords = (std::max(length[i], 0) + 63) / 64;
    words += lineWords;
    summaries += (lineWords + 63) / 64;
  }
  words_ = ZeroedArray<std::uint64_t>(static_cast<std::size_t>(words));
  summary_ = ZeroedArray<std::uint64_t>(static_cast<std::size_t>(summaries));
}

bool BitLines::Cut(std::int32_t line, std::int32_t lo, std::int32_t hi, std::int64_t& from,
                   std::int64_t& to) const {
  from = std::max<std::int64_t>(lo - first_[line], 0);
  to = std::min<std::int64_t>(hi - first_[line], length_[line] - 1);
  return from <= to;
}

std::int64_t BitLines::NextWord(std::int32_t line, std::int64_t a, std::int64_t b) const {
  if (a > b) return -1;
  const std::uint64_t* s = summary_.data() + lineSummary_[line];
  std::int64_t w = a >> 6;
  std::uint64_t bits = s[w] & From(a);
  while (true) {
    if (w == b >> 6) bits &= UpTo(b);
    if (bits != 0) return (w << 6) + std::countr_zero(bits);
    if (w == b >> 6) return -1;
    bits = s[++w];
  }
}

std::int64_t BitLines::PreviousWord(std::int32_t line, std::int64_t a, std::int64_t b) const {
  if (a > b) return -1;
  const std::uint64_t* s = summary_.data() + lineSummary_[line];
  std::int64_t w = b >> 6;
  std::uint64_t bits = s[w] & UpTo(b);
  while (true) {
    if (w == a >> 6) bits &= From(a);
    if (bits != 0) return (w << 6) + 63 - std::countl_zero(bits);
    if (w == a >> 6) return -1;
    bits = s[--w];
  }
}

std::int32_t BitLines::FirstSet(std::int32_t line, std::int32_t lo, std::int32_t hi) const {
  std::int64_t from, to;
  if (!Cut(line, lo, hi, from, to)) return -1;
  const std::uint64_t* words = words_.data() + lineWord_[line];
  std::int64_t w = from >> 6;
  std::uint64_t bits = words[w] & From(from);
  if (w == to >> 6) bits &= UpTo(to);
  if (bits == 0) {
    w = NextWord(line, w + 1, to >> 6);
    if (w < 0) return -1;
    bits = words[w];
    if (w == to >> 6) bits &= UpTo(to);
    if (bits == 0) return -1;
  }
  return static_cast<std::int32_t>((w << 6) + std::countr_zero(bits)) + first_[line];
}

std::int32_t BitLines::LastSet(std::int32_t line, std::int32_t lo, std::int32_t hi) const {
  std::int64_t from, to;
  if (!Cut(line, lo, hi, from, to)) return -1;
  const std::uint64_t* words = words_.data() + lineWord_[line];
  std::int64_t w = to >> 6;
  std::uint64_t bits = words[w] & UpTo(to);
  if (w == from >> 6) bits &= From(from);
  if (bits == 0) {
    w = PreviousWord(line, from >> 6, w - 1);
    if (w < 0) return -1;
    bits = words[w];
    if (w == from >> 6) bits &= From(from);
    if (bits == 0) return -1;
  }
  return static_cast<std::int32_t>((w << 6) + 63 - std::countl_zero(bits)) + first_[line];
}

// Clear bits are searched word by word: the runs of set bits they end are short.
std::int32_t BitLines::FirstClear(std::int32_t line, std::int32_t lo, std::int32_t hi) const {
  std::int64_t from, to;
  if (!Cut(line, lo, hi, from, to)) return -1;
  const std::uint64_t* words = words_.data() + lineWord_[line];
  std::int64_t w = from >> 6;
  std::uint64_t bits = ~words[w] & From(from);
  while (true) {
    if (w == to >> 6) bits &= UpTo(to);
    if (bits != 0) return static_cast<std::int32_t>((w << 6) + std::countr_zero(bits)) + first_[line];
    if (w == to >> 6) return -1;
    bits = ~words[++w];
  }
}

std::int32_t BitLines::LastClear(std::int32_t line, std::int32_t lo, std::int32_t hi) const {
  std::int64_t from, to;
  if (!Cut(line, lo, hi, from, to)) return -1;
  const std::uint64_t* words = words_.data() + lineWord_[line];
  std::int64_t w = to >> 6;
  std::uint64_t bits = ~words[w] & UpTo(to);
  while (true) {
    if (w == from >> 6) bits &= From(from);
    if (bits != 0) return static_cast<std::int32_t>((w << 6) + 63 - std::countl_zero(bits)) + first_[line];
    if (w == from >> 6) return -1;
    bits = ~words[--w];
  }
}

}  // namespace terrak

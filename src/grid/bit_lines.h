#pragma once
// A set of bit lines, one bit per cell along each line (a column, a row or a diagonal of the
// grid), each line starting on a word boundary, with searches for the next set or clear bit. A
// summary bit per word tells whether the word holds any set bit, so a search for a set bit
// passes over long empty stretches 4096 positions at a time.
#include <bit>
#include <cstdint>
#include <vector>

#include "common/zeroed_array.h"

namespace terrak {

class BitLines {
 public:
  // Line i holds the positions first[i] .. first[i] + length[i] - 1.
  void Reset(const std::vector<std::int32_t>& first, const std::vector<std::int32_t>& length);

  bool Test(std::int32_t line, std::int32_t pos) const {
    const std::int64_t bit = pos - first_[line];
    return (words_[lineWord_[line] + (bit >> 6)] >> (bit & 63)) & 1u;
  }
  void Assign(std::int32_t line, std::int32_t pos, bool value) {
    const std::int64_t bit = pos - first_[line];
    std::uint64_t& word = words_[lineWord_[line] + (bit >> 6)];
    const std::uint64_t mask = std::uint64_t{1} << (bit & 63);
    word = value ? (word | mask) : (word & ~mask);
    const std::int64_t w = bit >> 6;
    std::uint64_t& summary = summary_[lineSummary_[line] + (w >> 6)];
    const std::uint64_t summaryMask = std::uint64_t{1} << (w & 63);
    summary = word != 0 ? (summary | summaryMask) : (summary & ~summaryMask);
  }

  // Sets bits (not none) in the line's word-th word (positions first + 64 word on).
  void SetInWord(std::int32_t line, std::int64_t word, std::uint64_t bits) {
    words_[lineWord_[line] + word] |= bits;
    summary_[lineSummary_[line] + (word >> 6)] |= std::uint64_t{1} << (word & 63);
  }

  // The first (last) position in lo .. hi whose bit is set (clear), or -1. The range is cut to
  // the line.
  std::int32_t FirstSet(std::int32_t line, std::int32_t lo, std::int32_t hi) const;
  std::int32_t FirstClear(std::int32_t line, std::int32_t lo, std::int32_t hi) const;
  std::int32_t LastSet(std::int32_t line, std::int32_t lo, std::int32_t hi) const;
  std::int32_t LastClear(std::int32_t line, std::int32_t lo, std::int32_t hi) const;

  // Calls visit(position) for every set position in lo .. hi, in order; visit must not change
  // the lines. Word by word, for walks over a whole line.
  template <typename Visit>
  void ForEachSet(std::int32_t line, std::int32_t lo, std::int32_t hi, Visit visit) const {
    std::int64_t from, to;
    if (!Cut(line, lo, hi, from, to)) return;
    const std::uint64_t* words = words_.data() + lineWord_[line];
    const std::int32_t first = first_[line];
    for (std::int64_t w = from >> 6; w <= to >> 6; ++w) {
      std::uint64_t bits = words[w];
      if (w == from >> 6) bits &= ~std::uint64_t{0} << (from & 63);
      if (w == to >> 6 && (to & 63) != 63) bits &= (std::uint64_t{1} << ((to & 63) + 1)) - 1;
      for (; bits != 0; bits &= bits - 1)
        visit(static_cast<std::int32_t>((w << 6) + std::countr_zero(bits)) + first);
    }
  }

 private:
  // The first (last) word of the line in a .. b holding a set bit, or -1.
  std::int64_t NextWord(std::int32_t line, std::int64_t a, std::int64_t b) const;
  std::int64_t PreviousWord(std::int32_t line, std::int64_t a, std::int64_t b) const;
  bool Cut(std::int32_t line, std::int32_t lo, std::int32_t hi, std::int64_t& from,
           std::int64_t& to) const;

  ZeroedArray<std::uint64_t> words_;
  ZeroedArray<std::uint64_t> summary_;
  std::vector<std::int64_t> lineWord_;
  std::vector<std::int64_t> lineSummary_;
  std::vector<std::int32_t> first_;
  std::vector<std::int32_t> length_;
};

}  // namespace terrak

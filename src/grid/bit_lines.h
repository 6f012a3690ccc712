#pragma once
// A set of bit lines, one bit per cell along each line (a column, a row or a diagonal of the
// grid), each line starting on a word boundary, with searches for the next set or clear bit. A
// summary bit per word tells whether the word holds any set bit, so a search for a set bit
// passes over long empty stretches 4096 positions at a time.
#include <cstdint>
#include <vector>

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

  // The first (last) position in lo .. hi whose bit is set (clear), or -1. The range is cut to
  // the line.
  std::int32_t FirstSet(std::int32_t line, std::int32_t lo, std::int32_t hi) const;
  std::int32_t FirstClear(std::int32_t line, std::int32_t lo, std::int32_t hi) const;
  std::int32_t LastSet(std::int32_t line, std::int32_t lo, std::int32_t hi) const;
  std::int32_t LastClear(std::int32_t line, std::int32_t lo, std::int32_t hi) const;

 private:
  // The first (last) word of the line in a .. b holding a set bit, or -1.
  std::int64_t NextWord(std::int32_t line, std::int64_t a, std::int64_t b) const;
  std::int64_t PreviousWord(std::int32_t line, std::int64_t a, std::int64_t b) const;
  bool Cut(std::int32_t line, std::int32_t lo, std::int32_t hi, std::int64_t& from,
           std::int64_t& to) const;

  std::vector<std::uint64_t> words_;
  std::vector<std::uint64_t> summary_;
  std::vector<std::int64_t> lineWord_;
  std::vector<std::int64_t> lineSummary_;
  std::vector<std::int32_t> first_;
  std::vector<std::int32_t> length_;
};

}  // namespace terrak

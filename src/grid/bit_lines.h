#pragma once
// A set of bit lines, one bit per cell along each line (a column, a row or a diagonal of the
// grid), each line starting on a word boundary, with searches for the next set or clear bit.
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
  }

  // The first (last) position in lo .. hi whose bit is set (clear), or -1. The range is cut to
  // the line.
  std::int32_t FirstSet(std::int32_t line, std::int32_t lo, std::int32_t hi) const {
    return First(line, lo, hi, 0);
  }
  std::int32_t FirstClear(std::int32_t line, std::int32_t lo, std::int32_t hi) const {
    return First(line, lo, hi, ~std::uint64_t{0});
  }
  std::int32_t LastSet(std::int32_t line, std::int32_t lo, std::int32_t hi) const {
    return Last(line, lo, hi, 0);
  }
  std::int32_t LastClear(std::int32_t line, std::int32_t lo, std::int32_t hi) const {
    return Last(line, lo, hi, ~std::uint64_t{0});
  }

 private:
  std::int32_t First(std::int32_t line, std::int32_t lo, std::int32_t hi, std::uint64_t flip) const;
  std::int32_t Last(std::int32_t line, std::int32_t lo, std::int32_t hi, std::uint64_t flip) const;

  std::vector<std::uint64_t> words_;
  std::vector<std::int64_t> lineWord_;
  std::vector<std::int32_t> first_;
  std::vector<std::int32_t> length_;
};

}  // namespace terrak

#include "terrain/map3d_rows.h"

#include <cassert>
#include <cstdint>

#include "common/bytes.h"
#include "common/wrap16.h"

namespace terrak {

namespace {

// Deltas beyond this are written as absolute values; 127 and 129 must stay free as codes.
constexpr int kLargestDelta = 125;
// A run of up to this many equal codes is cheaper written out than as a repeat code.
constexpr int kLongestPlainRun = 2;

void AppendI16(std::vector<std::uint8_t>& out, std::int16_t value) {
  std::uint8_t field[2];
  PutI16(field, value);
  out.insert(out.end(), field, field + 2);
}

// Writes a pending run of the code byte: as a repeat code when long, else byte by byte.
void FlushRun(std::vector<std::uint8_t>& out, std::uint8_t repeatCode, std::uint8_t runByte,
              int& pending) {
  if (pending > kLongestPlainRun) {
    out.push_back(repeatCode);
    AppendI16(out, Wrap16(pending));
  } else {
    out.insert(out.end(), static_cast<std::size_t>(pending), runByte);
  }
  pending = 0;
}

}  // namespace

bool ByteCursor::ReadByte(std::uint8_t& value) {
  if (bytes_.size() - position_ < 1) return false;
  value = bytes_[position_++];
  return true;
}

bool ByteCursor::ReadI16(std::int16_t& value) {
  if (bytes_.size() - position_ < 2) return false;
  value = GetI16(bytes_.data() + position_);
  position_ += 2;
  return true;
}

std::span<const std::uint8_t> ByteCursor::Take(std::size_t count) {
  if (bytes_.size() - position_ < count) return {};
  const std::span<const std::uint8_t> taken = bytes_.subspan(position_, count);
  position_ += count;
  return taken;
}

void EncodeHeightRow(std::span<const std::int16_t> row, std::vector<std::uint8_t>& out) {
  assert(!row.empty());
  out.push_back(kHeightAbsoluteCode);
  AppendI16(out, row[0]);
  std::int16_t previous = row[0];
  int pending = 0;
  // The delta byte of the run being counted; the absolute code means "no delta yet".
  std::uint8_t last = kHeightAbsoluteCode;
  for (std::size_t i = 1; i < row.size(); ++i) {
    const std::int16_t value = row[i];
    const std::int16_t delta = Wrap16(std::int64_t{value} - previous);
    previous = value;
    if (delta < -kLargestDelta || delta > kLargestDelta) {
      FlushRun(out, kHeightRepeatCode, last, pending);
      last = kHeightAbsoluteCode;
      out.push_back(kHeightAbsoluteCode);
      AppendI16(out, value);
    } else if (static_cast<std::uint8_t>(delta) == last) {
      ++pending;
    } else {
      FlushRun(out, kHeightRepeatCode, last, pending);
      last = static_cast<std::uint8_t>(delta);
      out.push_back(last);
    }
  }
  FlushRun(out, kHeightRepeatCode, last, pending);
}

void EncodeBitmapRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out) {
  assert(!row.empty());
  std::uint8_t current = row[0];
  assert(current != kBitmapRepeatCode);
  out.push_back(current);
  int pending = 0;
  for (std::size_t i = 1; i < row.size(); ++i) {
    const std::uint8_t cell = row[i];
    assert(cell != kBitmapRepeatCode);
    if (cell == current) {
      ++pending;
    } else {
      FlushRun(out, kBitmapRepeatCode, current, pending);
      current = cell;
      out.push_back(current);
    }
  }
  FlushRun(out, kBitmapRepeatCode, current, pending);
}

bool DecodeHeightRow(ByteCursor& in, std::span<std::int16_t> row, std::int8_t& lastDelta) {
  const std::size_t width = row.size();
  std::size_t i = 0;
  while (i < width) {
    std::uint8_t code = 0;
    if (!in.ReadByte(code)) return false;
    if (code == kHeightAbsoluteCode) {
      if (!in.ReadI16(row[i])) return false;
      ++i;
      continue;
    }
    if (i == 0) return false;  // deltas and repeats need a previous cell
    if (code == kHeightRepeatCode) {
      std::int16_t count = 0;
      if (!in.ReadI16(count)) return false;
      if (count <= 0) continue;
      if (static_cast<std::size_t>(count) > width - i) return false;
      for (const std::size_t end = i + static_cast<std::size_t>(count); i < end; ++i)
        row[i] = Wrap16(std::int64_t{row[i - 1]} + lastDelta);
      continue;
    }
    lastDelta = static_cast<std::int8_t>(code);
    row[i] = Wrap16(std::int64_t{row[i - 1]} + lastDelta);
    ++i;
  }
  return true;
}

bool DecodeBitmapRow(ByteCursor& in, std::span<std::uint8_t> row) {
  const std::size_t width = row.size();
  std::size_t i = 0;
  while (i < width) {
    std::uint8_t code = 0;
    if (!in.ReadByte(code)) return false;
    if (code != kBitmapRepeatCode) {
      row[i++] = code;
      continue;
    }
    if (i == 0) return false;  // a repeat needs a previous cell
    std::int16_t count = 0;
    if (!in.ReadI16(count)) return false;
    if (count <= 0) continue;
    if (static_cast<std::size_t>(count) > width - i) return false;
    for (const std::size_t end = i + static_cast<std::size_t>(count); i < end; ++i)
      row[i] = row[i - 1];
  }
  return true;
}

}  // namespace terrak

#include "grid/grid_exports.h"

#include <cstdint>

#include "common/numtext.h"
#include "platform/safe_file_writer.h"

namespace terrak {

namespace {

// Collects text and writes it to the file in large pieces. The previous export stays whole
// until the new one is complete.
class TextWriter {
 public:
  explicit TextWriter(const std::string& fileName) : file_(fileName) {}
  void Add(const std::string& text) {
    buffer_ += text;
    if (buffer_.size() >= kChunk) Flush();
  }
  void Finish() {
    Flush();
    file_.Commit();
  }

 private:
  static constexpr std::size_t kChunk = 1 << 20;
  void Flush() {
    file_.Append(buffer_.data(), buffer_.size());
    buffer_.clear();
  }
  SafeFileWriter file_;
  std::string buffer_;
};

// Appends value / 10 with one decimal, right-aligned in four characters: the same text as
// FormatFixed(value / 10.0, 4, 1) gives, without going through a double for each cell.
void AppendDecimetres(std::string& line, std::int64_t value) {
  char digits[24];
  int n = 0;
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
  digits[n++] = static_cast<char>('0' + magnitude % 10);
  digits[n++] = '.';
  magnitude /= 10;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[n++] = '-';
  for (int pad = n; pad < 4; ++pad) line += ' ';
  while (n > 0) line += digits[--n];
}

}  // namespace

void WritePointsFile(const std::string& fileName, const GridState& grid) {
  TextWriter out(fileName);
  const HeightGridType& g = grid.HeightGrid;
  for (std::int64_t y = 0; y < grid.GridHeight && y < g.Rows(); ++y)
    for (std::int64_t x = 0; x < grid.GridWidth && x < g.Columns(); ++x)
      if (g(x, y) > 0)
        out.Add(FormatInt(x) + "," + FormatInt(y) + "," +
                FormatInt(CellTenths(g(x, y), grid.HeightBase) / 10) + "\r\n");
  out.Finish();
}

void WriteMatrixFile(const std::string& fileName, const GridState& grid) {
  TextWriter out(fileName);
  const HeightGridType& g = grid.HeightGrid;
  // With the base 0 a cell is written as it is held: 0.0 empty, negative interpolated. With
  // another base 0 m and negative heights are heights like any other, so every cell is its true
  // height and an empty cell an empty field.
  const bool asHeld = grid.HeightBase == 0;
  std::string line;
  for (std::int64_t y = 0; y < grid.GridHeight && y < g.Rows(); ++y) {
    line.clear();
    for (std::int64_t x = 0; x < grid.GridWidth && x < g.Columns(); ++x) {
      const std::int16_t value = g(x, y);
      if (asHeld)
        AppendDecimetres(line, value);
      else if (value != 0)
        AppendDecimetres(line, CellTenths(value, grid.HeightBase));
      line += ',';
    }
    line += "end\r\n";
    out.Add(line);
  }
  out.Finish();
}

}  // namespace terrak

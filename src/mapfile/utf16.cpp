#include "mapfile/utf16.h"

#include "common/bytes.h"
#include "mapfile/text_encoding.h"

namespace terrak {

std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes) {
  constexpr char32_t kReplacement = 0xFFFD;
  const std::size_t units = bytes.size() / 2;
  const auto unitAt = [&](std::size_t i) -> char32_t { return GetU16(bytes.data() + 2 * i); };
  std::string out;
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t unit = unitAt(i);
    if (unit == 0) return out;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
      const char32_t low = unitAt(i + 1);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit);
  }
  // Half a unit left over: a text cut short, unless it is the zero that ends it.
  if (bytes.size() % 2 != 0 && bytes.back() != 0) AppendUtf8(out, kReplacement);
  return out;
}

}  // namespace terrak

#pragma once
// Texts stored as little-endian UTF-16 (OCAD 9 on: objects' texts; 11 on: symbol descriptions)
// turned into the program's UTF-8.
#include <cstdint>
#include <span>
#include <string>

namespace terrak {

// Reads the 16-bit units of bytes up to the first zero unit or, where the text lacks it, to the
// end. Unpaired surrogates, and an odd last byte other than zero (half a unit), become
// U+FFFD.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);

}  // namespace terrak

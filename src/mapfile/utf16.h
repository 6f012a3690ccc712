#pragma once
// Texts stored as little-endian UTF-16 (OCAD 10 and later) turned into the program's UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>

namespace terrak {

// Reads at most units 16-bit units at bytes, up to the first zero unit. Unpaired surrogates
// become U+FFFD.
std::string Utf16LeToUtf8(const std::uint8_t* bytes, std::size_t units);

}  // namespace terrak

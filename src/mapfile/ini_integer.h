#pragma once
// Integers as the settings file holds them: decimal with an optional sign, or hexadecimal after
// "$" or "0x". Anything else is not an integer, and the caller falls back to the key's default.
#include <cstdint>
#include <optional>
#include <string_view>

namespace terrak {

// The value of text, or nothing when text is not an integer. Hexadecimal holds at most 32 bits
// and is read as a signed 32-bit value, so "$FFFFFFFF" is -1 (a colour then keeps all its
// bits). Decimal values far beyond 32 bits are refused rather than overflowing.
std::optional<std::int64_t> ParseIniInteger(std::string_view text);

}  // namespace terrak

#pragma once
// The program's texts are UTF-8. OCAD stores names and descriptions in the Windows Western code
// page up to version 10 and in UTF-8 from 11 on; texts a file calls UTF-8 are checked, since a
// damaged file may hold any bytes.
#include <string>
#include <string_view>

namespace terrak {

// Appends the code point c (at most U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, char32_t c);

std::string Windows1252ToUtf8(std::string_view text);

// The text with every byte that does not belong to a well-formed UTF-8 sequence (a stray
// continuation byte, a sequence cut short, an overlong form, a surrogate, a code point beyond
// U+10FFFF) replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

}  // namespace terrak

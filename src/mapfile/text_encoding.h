#pragma once
// OCAD stores descriptions in the Windows Western code page; the program's texts are UTF-8.
#include <string>
#include <string_view>

namespace terrak {

std::string Windows1252ToUtf8(std::string_view text);

}  // namespace terrak

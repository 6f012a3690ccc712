#pragma once
// A height or a length in messages: one decimal, none when it is whole ("105 m", "102.5 m").
#include <cstdio>
#include <string>

namespace terrak::heights {

inline std::string MetresText(double metres) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", metres);
  std::string s = text;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s + " m";
}

}  // namespace terrak::heights

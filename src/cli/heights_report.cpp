#include "cli/heights_report.h"

#include <cstdio>

namespace terrak::cli {

namespace {

// A field in quotes when it holds a comma, a quote or a line end; quotes doubled.
std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string HeightText(const heights::HeightValue& height) {
  if (!height.Has) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", height.Metres);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

}  // namespace

std::string HeightsReport(const heights::HeightMap& map, const heights::HeightsResult& result) {
  std::string csv = "index,symbol,height,state,reason\n";
  for (std::size_t k = 0; k < map.Objects.size() && k < result.Objects.size(); ++k) {
    const heights::HeightObject& o = map.Objects[k];
    if (!heights::CarriesHeight(o.Role)) continue;
    const heights::ObjectHeight& r = result.Objects[k];
    csv += std::to_string(k) + ',' + std::to_string(o.Symbol) + ',' + HeightText(r.Height) + ',' +
           heights::StateName(r.State) + ',' + Field(r.Reason) + '\n';
  }
  return csv;
}

}  // namespace terrak::cli

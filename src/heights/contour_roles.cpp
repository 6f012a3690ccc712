#include "heights/contour_roles.h"

#include <algorithm>
#include <cctype>

namespace terrak::heights {

namespace {

bool Holds(const std::vector<std::int32_t>& symbols, std::int32_t symbol) {
  return std::find(symbols.begin(), symbols.end(), symbol) != symbols.end();
}

// The role an orienteering number's main part (101 to 104) stands for.
ContourRole RoleOfMainNumber(std::int64_t main) {
  switch (main) {
    case 101: return ContourRole::Contour;
    case 102: return ContourRole::IndexContour;
    case 103: return ContourRole::FormLine;
    case 104: return ContourRole::SlopeLine;
    default: return ContourRole::None;
  }
}

void Assign(ContourRoles& roles, ContourRole role, std::int32_t symbol) {
  switch (role) {
    case ContourRole::Contour: roles.Contours.push_back(symbol); break;
    case ContourRole::IndexContour: roles.IndexContours.push_back(symbol); break;
    case ContourRole::FormLine: roles.FormLines.push_back(symbol); break;
    case ContourRole::SlopeLine: roles.SlopeLines.push_back(symbol); break;
    case ContourRole::None: break;
  }
}

}  // namespace

ContourRole ContourRoles::RoleOf(std::int32_t symbol) const {
  if (Holds(Contours, symbol)) return ContourRole::Contour;
  if (Holds(IndexContours, symbol)) return ContourRole::IndexContour;
  if (Holds(FormLines, symbol)) return ContourRole::FormLine;
  if (Holds(SlopeLines, symbol)) return ContourRole::SlopeLine;
  return ContourRole::None;
}

std::vector<std::int32_t> ContourRoles::AllSymbols() const {
  std::vector<std::int32_t> all;
  for (const auto* list : {&Contours, &IndexContours, &FormLines, &SlopeLines})
    for (std::int32_t symbol : *list)
      if (!Holds(all, symbol)) all.push_back(symbol);
  return all;
}

ContourRoles DefaultContourRoles(const std::vector<RoleSymbol>& symbols,
                                 std::int32_t numberScale) {
  ContourRoles roles;
  if (numberScale <= 0) return roles;
  const auto namesSlopeLine = [](const std::string& text) {
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("slope line") != std::string::npos;
  };
  for (const RoleSymbol& s : symbols) {
    if (!s.Line || s.Number < 0) continue;
    ContourRole role = RoleOfMainNumber(s.Number / numberScale);
    if (namesSlopeLine(s.Text)) role = ContourRole::SlopeLine;
    else if (role == ContourRole::SlopeLine) role = ContourRole::None;
    Assign(roles, role, s.Number);
  }
  if (!roles.AllSymbols().empty() || numberScale != 10) return roles;
  // OCAD 5 to 8 maps numbered 10.1 to 10.4 (the demo maps): main number 10, sub-number 1 to 4.
  for (const RoleSymbol& s : symbols)
    if (s.Line && s.Number >= 101 && s.Number <= 104)
      Assign(roles, RoleOfMainNumber(s.Number), s.Number);
  return roles;
}

}  // namespace terrak::heights

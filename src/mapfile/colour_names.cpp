#include "mapfile/colour_names.h"

#include <array>
#include <cstdio>

#include "mapfile/ini_integer.h"
#include "mapfile/settings_io.h"

namespace terrak {

namespace {

constexpr Colour kSystemColour = 0xFF000000;

constexpr std::array<NamedColour, 52> kNamedColours{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", kSystemColour | 0x00},
    {"clBackground", kSystemColour | 0x01},
    {"clActiveCaption", kSystemColour | 0x02},
    {"clInactiveCaption", kSystemColour | 0x03},
    {"clMenu", kSystemColour | 0x04},
    {"clWindow", kSystemColour | 0x05},
    {"clWindowFrame", kSystemColour | 0x06},
    {"clMenuText", kSystemColour | 0x07},
    {"clWindowText", kSystemColour | 0x08},
    {"clCaptionText", kSystemColour | 0x09},
    {"clActiveBorder", kSystemColour | 0x0A},
    {"clInactiveBorder", kSystemColour | 0x0B},
    {"clAppWorkSpace", kSystemColour | 0x0C},
    {"clHighlight", kSystemColour | 0x0D},
    {"clHighlightText", kSystemColour | 0x0E},
    {"clBtnFace", kSystemColour | 0x0F},
    {"clBtnShadow", kSystemColour | 0x10},
    {"clGrayText", kSystemColour | 0x11},
    {"clBtnText", kSystemColour | 0x12},
    {"clInactiveCaptionText", kSystemColour | 0x13},
    {"clBtnHighlight", kSystemColour | 0x14},
    {"cl3DDkShadow", kSystemColour | 0x15},
    {"cl3DLight", kSystemColour | 0x16},
    {"clInfoText", kSystemColour | 0x17},
    {"clInfoBk", kSystemColour | 0x18},
    {"clHotLight", kSystemColour | 0x1A},
    {"clGradientActiveCaption", kSystemColour | 0x1B},
    {"clGradientInactiveCaption", kSystemColour | 0x1C},
    {"clMenuHighlight", kSystemColour | 0x1D},
    {"clMenuBar", kSystemColour | 0x1E},
}};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

}  // namespace

std::span<const NamedColour> NamedColours() { return kNamedColours; }

std::optional<std::string_view> ColourName(Colour value) {
  for (const NamedColour& named : kNamedColours)
    if (named.Value == value) return named.Name;
  return std::nullopt;
}

std::optional<Colour> ColourByName(std::string_view name) {
  for (const NamedColour& named : kNamedColours)
    if (EqualIgnoringCase(named.Name, name)) return named.Value;
  return std::nullopt;
}

std::string ColourToText(Colour colour) {
  if (const auto name = ColourName(colour)) return std::string(*name);
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(colour));
  return text;
}

std::optional<Colour> TextToColour(const std::string& text) {
  if (const auto named = ColourByName(text)) return named;
  const std::optional<std::int64_t> value = ParseIniInteger(text);
  // Any 32-bit pattern, whether written signed ("-1") or unsigned ("4294967295").
  if (!value || *value < -0x80000000LL || *value > 0xFFFFFFFFLL) return std::nullopt;
  return static_cast<Colour>(static_cast<std::uint32_t>(*value & 0xFFFFFFFF));
}

}  // namespace terrak

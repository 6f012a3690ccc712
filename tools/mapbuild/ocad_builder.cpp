#include "mapbuild/ocad_builder.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "common/bytes.h"
#include "common/rounding.h"

namespace terrak::testing {

OcadMapBuilder::OcadMapBuilder(int version) : version_(version) {
  if (version < 5 || version > 8)
    throw std::invalid_argument("OCAD map builder: version must be 5, 6, 7 or 8");
  setupSize_ = version == 8   ? kSetup8Size
               : version == 7 ? kSetup7DefaultSize
                              : kSetup6DefaultSize;
}

void OcadMapBuilder::RequireVersion5(const char* what) const {
  if (version_ != 5)
    throw std::invalid_argument(std::string("OCAD map builder: ") + what + " is for version 5");
}

void OcadMapBuilder::RequireVersion6(const char* what) const {
  if (version_ == 5)
    throw std::invalid_argument(std::string("OCAD map builder: ") + what +
                                " is for versions 6 to 8");
}

OcadMapBuilder& OcadMapBuilder::RealWorld(double x, double y, double angle) {
  RequireVersion6("a real-world position");
  realWorld_ = {x, y, angle};
  return *this;
}

OcadMapBuilder& OcadMapBuilder::AddString(std::int32_t type, std::string text) {
  if (version_ != 8) throw std::invalid_argument("OCAD map builder: strings are for version 8");
  strings_.push_back({type, std::move(text)});
  return *this;
}

OcadMapBuilder& OcadMapBuilder::Scale(double scale) {
  scale_ = scale;
  return *this;
}

OcadMapBuilder& OcadMapBuilder::Zoom(double zoom) {
  zoom_ = zoom;
  return *this;
}

OcadMapBuilder& OcadMapBuilder::Offset5(std::int16_t x, std::int16_t y) {
  RequireVersion5("a model-unit view offset");
  offsetX5_ = x;
  offsetY5_ = y;
  return *this;
}

OcadMapBuilder& OcadMapBuilder::Offset6(std::int32_t x, std::int32_t y) {
  RequireVersion6("a coded view offset");
  offsetX6_ = x;
  offsetY6_ = y;
  return *this;
}

OcadMapBuilder& OcadMapBuilder::SetupSize(std::int32_t bytes) {
  RequireVersion6("the setup record size");
  setupSize_ = bytes;
  return *this;
}

OcadMapBuilder& OcadMapBuilder::SetupLast(bool last) {
  RequireVersion6("a setup record at the end");
  setupLast_ = last;
  return *this;
}

OcadMapBuilder& OcadMapBuilder::AddColour(const ColourSpec& colour) {
  RequireVersion6("a colour table");
  if (!colours_) colours_.emplace();
  colours_->push_back(colour);
  return *this;
}

OcadMapBuilder& OcadMapBuilder::AddSymbol(const SymbolSpec& symbol) {
  if (symbol.Drawing) RequireVersion6("a symbol drawing");
  if (symbolBlocks_.back().size() == kBlockEntries) symbolBlocks_.emplace_back();
  symbolBlocks_.back().push_back({false, symbol});
  return *this;
}

OcadMapBuilder& OcadMapBuilder::AddSymbol(std::int16_t number, std::int16_t objectType,
                                          std::string description) {
  return AddSymbol(SymbolSpec{number, objectType, std::move(description), 0});
}

OcadMapBuilder& OcadMapBuilder::AddSymbolGap() {
  RequireVersion6("a symbol block gap");
  if (symbolBlocks_.back().size() == kBlockEntries) symbolBlocks_.emplace_back();
  symbolBlocks_.back().push_back({true, {}});
  return *this;
}

OcadMapBuilder& OcadMapBuilder::StartNewSymbolBlock() {
  RequireVersion6("a new symbol block");
  symbolBlocks_.emplace_back();
  return *this;
}

OcadMapBuilder& OcadMapBuilder::AddObject(Object5 object) {
  RequireVersion5("a model-element object");
  objects5_.push_back(std::move(object));
  indexBlocks_.back().push_back({false, objects5_.size() - 1});
  return *this;
}

OcadMapBuilder& OcadMapBuilder::AddObject(Object6 object) {
  RequireVersion6("a coded-coordinate object");
  if (indexBlocks_.back().size() == kBlockEntries) indexBlocks_.emplace_back();
  objects6_.push_back(std::move(object));
  indexBlocks_.back().push_back({false, objects6_.size() - 1});
  return *this;
}

OcadMapBuilder& OcadMapBuilder::AddEmptyEntry() {
  if (version_ != 5 && indexBlocks_.back().size() == kBlockEntries) indexBlocks_.emplace_back();
  indexBlocks_.back().push_back({true, 0});
  return *this;
}

OcadMapBuilder& OcadMapBuilder::StartNewIndexBlock() {
  RequireVersion6("a new index block");
  indexBlocks_.emplace_back();
  return *this;
}

std::vector<std::uint8_t> OcadMapBuilder::Build() {
  layout_ = OcadLayout{};
  return version_ == 5 ? Build5() : Build6();
}

std::vector<TPair> PackText5(const std::string& text) {
  const std::size_t pairs = text.size() / 4 + 1;
  std::vector<std::uint8_t> bytes(pairs * 4, 0);
  for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<std::uint8_t>(text[i]);
  std::vector<TPair> packed(pairs);
  for (std::size_t k = 0; k < pairs; ++k) {
    packed[k].X = GetI16(&bytes[4 * k]);
    packed[k].Y = GetI16(&bytes[4 * k + 2]);
  }
  return packed;
}

// Byte 0 holds the exponent biased by 129 (0 for zero); bytes 1..5 hold the 39 mantissa bits
// below the implicit leading 1, lowest byte first; the sign is the top bit of byte 5.
void PutReal6(std::uint8_t* bytes, double value) {
  for (int i = 0; i < 6; ++i) bytes[i] = 0;
  if (value == 0.0) return;
  if (!std::isfinite(value)) throw std::invalid_argument("real6: value is not finite");
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);  // in [0.5, 1)
  // |value| = 1.m * 2^(exponent - 1)
  double mantissa = RoundHalfEven((fraction * 2.0 - 1.0) * 549755813888.0);  // 2^39
  if (mantissa >= 549755813888.0) {
    mantissa = 0.0;
    ++exponent;
  }
  const int biased = exponent - 1 + 129;
  if (biased < 1 || biased > 255) throw std::invalid_argument("real6: value out of range");
  const auto bits = static_cast<std::uint64_t>(mantissa);
  bytes[0] = static_cast<std::uint8_t>(biased);
  for (int i = 0; i < 5; ++i) bytes[1 + i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF);
  if (value < 0) bytes[5] = static_cast<std::uint8_t>(bytes[5] | 0x80);
}

}  // namespace terrak::testing

#pragma once
// OCAD 9, 10, 11, 12 and 2018 maps: symbols and objects in 32-bit records, symbol numbers times
// 1000, the georeferencing in the scale parameter string, heights in the object record (from
// version 10 on) or in the heights file beside the map (version 9).
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "mapfile/map_format.h"
#include "mapfile/ocad9/height_sidecar.h"
#include "mapfile/ocad9/ocad9_layout.h"

namespace terrak::ocad9 {

class Ocad9Map final : public FormatMap {
 public:
  // Checks every record the program reads (MapFormatError when one is damaged or the version is
  // not one of these). sidecar: the bytes of the heights file beside a version 9 map, if any;
  // sidecarState: what lay at its name.
  static std::unique_ptr<Ocad9Map> Open(std::vector<std::uint8_t> bytes,
                                        const std::optional<std::vector<std::uint8_t>>& sidecar,
                                        const SideFileState& sidecarState = {});

  const FormatMapInfo& Info() const override { return info_; }
  std::vector<FormatSymbol> ReadSymbols() const override;
  ObjectsRead ReadObjects(const std::function<bool(std::int32_t)>& wanted) const override;
  std::vector<BytePatch> WriteHeights(const std::vector<HeightWrite>& heights) override;
  std::shared_ptr<const KeptHeights> KeepHeights(
      const std::vector<std::int64_t>& keys) const override;
  std::vector<BytePatch> RestoreHeights(const KeptHeights& kept) override;
  std::vector<BytePatch> WriteSymbol(const std::vector<std::int64_t>& keys,
                                     std::int32_t symbol) override;
  const std::vector<std::uint8_t>& Bytes() const override { return bytes_; }
  std::vector<SidecarFile> Sidecars() const override;
  void SidecarSaved(const std::string& suffix, const SideFileState& state) override;
  SymbolDefinitions ReadSymbolDefinitions() const override;  // ocad9_symbols.cpp

 private:
  struct Entry {
    std::int64_t EntryPos = 0;
    std::int64_t Position = 0;
    std::int64_t Size = 0;  // bytes the object's content takes, within its length
    std::int32_t Symbol = 0;
    bool Hidden = false;
    FormatExtent Box;
  };
  Ocad9Map() = default;
  void Check(const std::optional<std::vector<std::uint8_t>>& sidecar);
  const Entry& EntryOf(std::int64_t key) const;
  FormatObject Decode(const Entry& entry) const;
  // The height field's value for a height (0 for none); throws std::out_of_range beyond it.
  std::int32_t HeightField(std::optional<std::int32_t> tenths) const;

  std::vector<std::uint8_t> bytes_;
  FormatMapInfo info_;
  ObjectLayout layout_{};
  std::vector<std::int64_t> symbolRecords_;
  std::vector<Entry> entries_;  // objects not deleted, in index order
  std::unordered_map<std::int64_t, std::size_t> entryByPos_;
  SidecarHeights sidecar_;
  // Lines of the heights file whose object has moved or gone: they apply to nothing now, but
  // Save keeps them, as it keeps every byte it was not told to change.
  SidecarHeights staleSidecar_;
  bool hadSidecar_ = false;
  SideFileState sidecarState_;
};

// 0.01 mm with eight flag bits below, as OCAD 9 and later store a coordinate: the value in
// 1/1000 mm and the flags.
constexpr std::int32_t CodedToMicrometres(std::int32_t coded) { return (coded >> 8) * 10; }

}  // namespace terrak::ocad9

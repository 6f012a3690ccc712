#pragma once
// OCAD 5, 6, 7 and 8 maps as the program has always read them: 16-bit model coordinates with
// marker pairs, the view kept in the setup record, heights in each object's 16-bit (5 to 7) or
// 32-bit (8) field, and every write a patch of whole records at their places, so no record
// moves and the file length never changes.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "mapfile/map_format.h"
#include "mapfile/ocad_layout.h"
#include "mapfile/ocad_records.h"

namespace terrak::ocad6 {

class Ocad6Map final : public FormatMap {
 public:
  // Checks every record the program reads (so a damaged file is refused before anything
  // changes); throws MapFormatError with the program's message and what was wrong.
  static std::unique_ptr<Ocad6Map> Open(std::vector<std::uint8_t> bytes);

  const FormatMapInfo& Info() const override { return info_; }
  std::vector<FormatSymbol> ReadSymbols() const override;
  // Object keys: version 5, the index record's number; 6 to 8, the file position of the index
  // entry. Version 5's objects come without points (the program draws no OCAD 5 map).
  ObjectsRead ReadObjects(const std::function<bool(std::int32_t)>& wanted) const override;
  ModelObjects ReadModelObjects(const std::function<bool(std::int32_t)>& wanted) const override;
  // Versions 5 to 7 refuse a height beyond their 16-bit field (std::out_of_range) before
  // anything is written.
  std::vector<BytePatch> WriteHeights(const std::vector<HeightWrite>& heights) override;
  std::pair<std::int32_t, bool> HeightAsKept(std::optional<std::int32_t> height) const override;
  std::vector<BytePatch> WriteSymbol(const std::vector<std::int64_t>& keys,
                                     std::int32_t symbol) override;
  std::shared_ptr<const KeptHeights> KeepHeights(
      const std::vector<std::int64_t>& keys) const override;
  std::vector<BytePatch> RestoreHeights(const KeptHeights& kept) override;
  std::optional<StoredView> View() const override { return view_; }
  std::vector<BytePatch> WriteZoom(std::int16_t zoom) override;
  std::vector<BytePatch> WriteOffset(std::int32_t x, std::int32_t y) override;
  const std::vector<std::uint8_t>& Bytes() const override { return bytes_; }

 private:
  struct Record {
    std::int64_t Position = 0;
    std::vector<std::uint8_t> Bytes;
  };

  explicit Ocad6Map(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  void ReadAndCheck();
  ocad::RecordReader Reader() const { return ocad::RecordReader(bytes_); }
  // Version 5 data start P and symbol area S; versions 6 to 8 block and setup positions.
  std::int32_t DataStart() const;
  std::int32_t SymbolAreaPos() const;
  std::int32_t FirstSymbolBlockPos() const;
  std::int32_t FirstIndexBlockPos() const;
  std::int32_t SetupPos() const;
  // The object a key names, as the index in the bytes now describes it.
  Record ObjectRecord(std::int64_t key) const;
  Record SetupRecord() const;
  // Writes record into the bytes and returns it as a patch.
  BytePatch Put(const Record& record);

  std::vector<std::uint8_t> bytes_;
  int version_ = 0;
  std::array<std::uint8_t, ocad::kFileHeaderSize> header_{};
  std::array<std::uint8_t, ocad::kFileHeader6Size> header6_{};
  // The setup record's bytes in the file: 160 for version 5; for 6 to 8 at most 1112, fewer
  // when the record ends the file (fields beyond them read as zero and are never written).
  std::int64_t setupSize_ = 0;
  FormatMapInfo info_;
  StoredView view_;
};

}  // namespace terrak::ocad6

#include "mapfile/map_formats.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "common/bytes.h"
#include "mapfile/mapper/mapper_map.h"
#include "mapfile/ocad6/ocad6_drawing.h"
#include "mapfile/ocad6/ocad6_map.h"
#include "mapfile/ocad9/height_sidecar_file.h"
#include "mapfile/ocad9/ocad9_layout.h"
#include "mapfile/ocad9/ocad9_map.h"
#include "mapfile/ocad_format_error.h"
#include "platform/file_stream.h"

namespace terrak {

namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view text) {
  return bytes.size() >= text.size() &&
         std::equal(text.begin(), text.end(), bytes.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

}  // namespace

MapFileFormat RecogniseMapFile(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 6 && GetU16(bytes.data()) == 0x0CAD) {
    const int version = GetI16(bytes.data() + 4);
    if (version >= 5 && version <= 7) return {MapFileKind::Ocad5To7, version};
    if (version == 8) return {MapFileKind::Ocad8, version};
    if (ocad9::IsReadVersion(version)) return {MapFileKind::Ocad9On, version};
    return {MapFileKind::OcadOther, version};
  }
  if (StartsWith(bytes, "OMAP")) return {MapFileKind::MapperBinary, 0};
  std::span<const std::uint8_t> rest = bytes;
  if (StartsWith(rest, "\xEF\xBB\xBF")) rest = rest.subspan(3);
  while (!rest.empty() && (rest[0] == ' ' || rest[0] == '\t' || rest[0] == '\r' || rest[0] == '\n'))
    rest = rest.subspan(1);
  if (StartsWith(rest, "<?xml") || StartsWith(rest, "<map")) return {MapFileKind::MapperXml, 0};
  return {};
}

namespace {

bool EndsWithCaseFree(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() &&
         std::equal(tail.begin(), tail.end(), text.end() - static_cast<std::ptrdiff_t>(tail.size()),
                    [](char a, char b) {
                      return a == std::tolower(static_cast<unsigned char>(b));
                    });
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

}  // namespace

std::string DescribeUnopenedFile(std::span<const std::uint8_t> bytes, std::int64_t size) {
  if (size == 0) return "the file is empty";
  if (StartsWith(bytes, "\x1F\x8B"))
    return "a gzip-compressed file, not a map: unpack it and open the map inside";
  if (StartsWith(bytes, "PK\x03\x04") || StartsWith(bytes, "PK\x05\x06"))
    return "a zip archive, not a map: take the map out of it and open that";
  // UTF-16 by its byte order mark, or by an XML start with every other byte zero.
  if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF") ||
      StartsWith(bytes, std::string_view("<\0?\0", 4)) ||
      StartsWith(bytes, std::string_view("\0<\0?", 4)) ||
      StartsWith(bytes, std::string_view("<\0m\0", 4)))
    return "text in UTF-16, which Terrak does not read: Mapper saves its maps in UTF-8, so open "
           "the map in Mapper and save it again";
  if (bytes.size() >= 2 && GetU16(bytes.data()) == 0x0CAD)
    return "an OCAD mark, but too short to hold the OCAD version";
  const MapFileFormat format = RecogniseMapFile(bytes);
  if (format.Kind == MapFileKind::OcadOther)
    return "an OCAD map of version " + std::to_string(format.Version);
  if (format.Kind == MapFileKind::MapperBinary) return "a map in Mapper's old binary format";
  return "neither an OCAD map (which starts with the bytes AD 0C) nor a Mapper map (XML); it "
         "starts with " +
         HexBytes(bytes.first(std::min<std::size_t>(bytes.size(), 8)));
}

std::string RefusalText(const std::string& message, const std::string& fileName,
                        const std::string& reason) {
  return message + "\n" + fileName + ": " + reason;
}

std::string RefusalMessage(const MapFileFormat& format, const std::string& fileName) {
  const std::vector<MapFormatEntry>& registry = MapFormatRegistry();
  for (const MapFormatEntry& entry : registry)
    if (entry.Refusal != nullptr)
      if (std::string message = entry.Refusal(format); !message.empty()) return message;
  if (format.Kind != MapFileKind::Unknown) return {};
  for (const MapFormatEntry& entry : registry)
    for (const std::string& extension : entry.Extensions)
      if (EndsWithCaseFree(fileName, extension)) return entry.NotAMapMessage;
  // Named otherwise: the program's first message.
  return kNotOcadMessage;
}

namespace {

std::string OcadRefusal(const MapFileFormat& format) {
  if (format.Kind != MapFileKind::OcadOther) return {};
  return "This map was saved by OCAD version " + std::to_string(format.Version) +
         ", which Terrak cannot read";
}

std::string MapperRefusal(const MapFileFormat& format) {
  if (format.Kind != MapFileKind::MapperBinary) return {};
  return "This map is in the old binary format of OpenOrienteering Mapper, which Terrak cannot "
         "read; save it in Mapper as .omap or .xmap";
}

std::unique_ptr<FormatMap> OpenOcad9On(std::vector<std::uint8_t> bytes,
                                       const std::string& fileName) {
  const int version = RecogniseMapFile(bytes).Version;
  if (version != 9) return ocad9::Ocad9Map::Open(std::move(bytes), std::nullopt);
  const auto mapSize = static_cast<std::int64_t>(bytes.size());
  const std::string heightsFile = fileName + ocad9::kHeightSidecarSuffix;
  try {
    const ocad9::HeightSidecarRead sidecar = ocad9::ReadHeightSidecarFile(heightsFile, mapSize);
    return ocad9::Ocad9Map::Open(std::move(bytes), sidecar.Bytes, sidecar.State);
  } catch (const MapFormatError& error) {
    // A damaged line is one of the heights file's, not the map's.
    if (std::string_view(error.what()) != ocad9::kDamagedHeightsMessage) throw;
    throw MapFormatError(error.what(), error.Detail(), heightsFile);
  }
}

std::unique_ptr<FormatMap> OpenMapper(std::vector<std::uint8_t> bytes, const std::string&) {
  return mapper::MapperMap::Open(std::move(bytes));
}

std::unique_ptr<FormatMap> OpenOcad5To8(std::vector<std::uint8_t> bytes, const std::string&) {
  return ocad6::Ocad6Map::Open(std::move(bytes));
}

bool IsOcad(const MapFileFormat& f) {
  return f.Kind == MapFileKind::Ocad5To7 || f.Kind == MapFileKind::Ocad8 ||
         f.Kind == MapFileKind::Ocad9On;
}

}  // namespace

const std::vector<MapFormatEntry>& MapFormatRegistry() {
  constexpr const char* kOcad = "OCAD 5 to 12 or 2018";
  static const std::vector<MapFormatEntry> registry = {
      {.Name = "OCAD 5 to 8",
       .Family = kOcad,
       .Extensions = {".ocd"},
       .Capabilities = {.Heights = HeightPlace::InObject, .KeepsView = true, .Wraps16 = true,
                        .PicksContoursWithHeights = false},
       .Reads = [](const MapFileFormat& f) { return IsOcad(f) && f.Version >= 5 && f.Version <= 8; },
       .Open = OpenOcad5To8,
       .Refusal = OcadRefusal,
       .NotAMapMessage = kNotOcadMessage,
       .ReadDrawing = ocad6::ReadDrawingSource5To8},
      {.Name = "OCAD 9",
       .Family = kOcad,
       .Extensions = {".ocd"},
       .SideFileSuffixes = {ocad9::kHeightSidecarSuffix},
       .Capabilities = {.Heights = HeightPlace::SideFile},
       .Reads = [](const MapFileFormat& f) { return IsOcad(f) && f.Version == 9; },
       .Open = OpenOcad9On,
       .NotAMapMessage = kNotOcadMessage},
      {.Name = "OCAD 10 to 2018",
       .Family = kOcad,
       .Extensions = {".ocd"},
       .Capabilities = {.Heights = HeightPlace::InObject},
       .Reads = [](const MapFileFormat& f) { return IsOcad(f) && f.Version >= 10; },
       .Open = OpenOcad9On,
       .NotAMapMessage = kNotOcadMessage},
      {.Name = "OpenOrienteering Mapper XML",
       .Family = "OpenOrienteering Mapper",
       .Extensions = {".omap", ".xmap"},
       .Capabilities = {.Heights = HeightPlace::Tag},
       .Reads = [](const MapFileFormat& f) { return f.Kind == MapFileKind::MapperXml; },
       .Open = OpenMapper,
       .Refusal = MapperRefusal,
       .NotAMapMessage = mapper::kNotMapperMessage},
  };
  return registry;
}

const MapFormatEntry* RegistryEntryFor(const MapFileFormat& format) {
  for (const MapFormatEntry& entry : MapFormatRegistry())
    if (entry.Reads(format)) return &entry;
  return nullptr;
}

bool IsMapExtension(const std::string& extension) {
  for (const MapFormatEntry& entry : MapFormatRegistry())
    if (std::find(entry.Extensions.begin(), entry.Extensions.end(), extension) !=
        entry.Extensions.end())
      return true;
  return false;
}

std::string OpenMapFilter() {
  std::vector<std::string> listed;
  std::string filter = "Maps|";
  for (const MapFormatEntry& entry : MapFormatRegistry())
    for (const std::string& extension : entry.Extensions) {
      if (std::find(listed.begin(), listed.end(), extension) != listed.end()) continue;
      filter += (listed.empty() ? "*" : " *") + extension;
      listed.push_back(extension);
    }
  return filter;
}

std::string MapFormatsText() {
  // Each family with the extensions of its entries, each once.
  std::vector<std::pair<std::string, std::vector<std::string>>> families;
  for (const MapFormatEntry& entry : MapFormatRegistry()) {
    if (families.empty() || families.back().first != entry.Family)
      families.emplace_back(entry.Family, std::vector<std::string>{});
    std::vector<std::string>& extensions = families.back().second;
    for (const std::string& extension : entry.Extensions)
      if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end())
        extensions.push_back(extension);
  }
  std::string text;
  for (std::size_t i = 0; i < families.size(); ++i) {
    if (i > 0) text += i + 1 == families.size() ? ", or " : ", ";
    text += families[i].first + " (";
    for (std::size_t k = 0; k < families[i].second.size(); ++k)
      text += (k > 0 ? ", " : "") + families[i].second[k];
    text += ")";
  }
  return text;
}

FormatCapabilities NoMapCapabilities() { return MapFormatRegistry().front().Capabilities; }

std::unique_ptr<FormatMap> OpenFormatMap(std::vector<std::uint8_t> bytes,
                                         const std::string& fileName) {
  const MapFileFormat format = RecogniseMapFile(bytes);
  const MapFormatEntry* entry = RegistryEntryFor(format);
  if (!entry) throw MapFormatError(RefusalMessage(format), "not a map format");
  return entry->Open(std::move(bytes), fileName);
}

std::vector<std::string> SideFilesOf(const std::string& mapFileName) {
  std::vector<std::string> files;
  for (const MapFormatEntry& entry : MapFormatRegistry())
    for (const std::string& suffix : entry.SideFileSuffixes) files.push_back(mapFileName + suffix);
  return files;
}

}  // namespace terrak

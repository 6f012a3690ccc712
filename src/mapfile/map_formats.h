#pragma once
// The registry of the map formats the program opens: which format a file is in, told from its
// first bytes, each format's name, extensions and capabilities, and opening it as a FormatMap.
// A new format is one folder beside ocad9/ and mapper/ and one entry in the registry's table.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "mapfile/map_format.h"

namespace terrak {

enum class MapFileKind {
  Ocad5To7,       // the program's first reader
  Ocad8,          // read by the same reader as 6 and 7
  Ocad9On,        // OCAD 9, 10, 11, 12, 2018
  OcadOther,      // an OCAD file of a version the program does not read
  MapperXml,      // ".omap" / ".xmap"
  MapperBinary,   // Mapper's old binary format, not read
  Unknown,
};

struct MapFileFormat {
  MapFileKind Kind = MapFileKind::Unknown;
  int Version = 0;  // OCAD: the version at bytes 4-5
};

MapFileFormat RecogniseMapFile(std::span<const std::uint8_t> bytes);

// The program's message for a file it will not open, or empty when it opens the kind. A file of
// no known kind named with Mapper's extension (".omap", ".xmap") gets Mapper's message.
std::string RefusalMessage(const MapFileFormat& format, const std::string& fileName = {});

// What a file of a kind the program does not open is, from its first bytes and its size: "an
// empty file", "a gzip-compressed file", "XML text in UTF-16", ...
std::string DescribeUnopenedFile(std::span<const std::uint8_t> firstBytes, std::int64_t size);

// A refusal as the user sees it: the program's message, then on the next line the file and what
// was wrong with it.
std::string RefusalText(const std::string& message, const std::string& fileName,
                        const std::string& reason);

struct DrawingSource;  // drawing_source.h

// One format the program opens.
struct MapFormatEntry {
  const char* Name = "";                // "OCAD 9", "OpenOrienteering Mapper XML"
  // The formats as the user knows them, shared by the entries (next to each other) of one
  // program's files: "OCAD 5 to 12 or 2018".
  const char* Family = "";
  std::vector<std::string> Extensions{};  // lower case with the dot, the usual one first: ".ocd"
  // Appended to the map's name: files the format keeps beside the map, which Save writes.
  std::vector<std::string> SideFileSuffixes{};
  FormatCapabilities Capabilities;      // as the opened map's Info() gives them
  bool (*Reads)(const MapFileFormat& format) = nullptr;  // whether a recognised file is its
  std::unique_ptr<FormatMap> (*Open)(std::vector<std::uint8_t> bytes,
                                     const std::string& fileName) = nullptr;
  // The message for a file of this family that the program does not read (an OCAD version it
  // does not know, Mapper's old binary format); empty for others. Null: none.
  std::string (*Refusal)(const MapFileFormat& format) = nullptr;
  // The message for a file named with one of Extensions that is no map the program knows.
  const char* NotAMapMessage = "";
  // Reads the file for the map drawing in its own way; null: through Open.
  DrawingSource (*ReadDrawing)(std::vector<std::uint8_t> bytes) = nullptr;
};

// Every format the program opens, in the order the open dialog lists their extensions.
const std::vector<MapFormatEntry>& MapFormatRegistry();
// The entry that opens a file of this format; null for formats the program refuses.
const MapFormatEntry* RegistryEntryFor(const MapFileFormat& format);
// Whether a lower-case extension with its dot is one of a format's: ".ocd", ".omap".
bool IsMapExtension(const std::string& extension);
// The open dialog's filter: "Maps|" and every format's extensions, each once.
std::string OpenMapFilter();
// The formats by family with their extensions, for help texts: "OCAD 5 to 12 or 2018 (.ocd), or
// OpenOrienteering Mapper (.omap, .xmap)".
std::string MapFormatsText();
// What a map can do when none is open: the view wraps in 16 bits as OCAD 5 to 8 maps do.
FormatCapabilities NoMapCapabilities();

// Opens a map of any format of the registry. fileName finds the files kept beside the map
// (OCAD 9's heights). Throws MapFormatError with the program's message for any other kind and
// for damaged files.
std::unique_ptr<FormatMap> OpenFormatMap(std::vector<std::uint8_t> bytes,
                                         const std::string& fileName);

// The files that a map named mapFileName may keep beside it and that Save writes with it
// (every format's side files: OCAD 9's heights), whether they exist or not.
std::vector<std::string> SideFilesOf(const std::string& mapFileName);

}  // namespace terrak

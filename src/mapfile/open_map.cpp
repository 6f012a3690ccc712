// Opening a map: the acceptance check, a walk over every record the program will read (so a
// damaged file is refused before anything changes), the working copy, the symbol list.
#include <cmath>

#include "common/bytes.h"
#include "mapfile/map_formats.h"
#include "mapfile/ocad_file.h"
#include "mapfile/open_format.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/ocad_layout.h"
#include "mapfile/ocad_records.h"
#include "mapfile/setup_georeferencing.h"
#include "mapfile/symbol_list.h"
#include "platform/safe_file_writer.h"

namespace terrak {

namespace {

constexpr std::size_t kCopyBlockSize = 2048;
// Enough of the file's start to tell its format.
constexpr std::size_t kRecogniseBytes = 64;
// Enough of a version 6/7 setup record to hold the view offset and the map scale.
constexpr std::int64_t kSetup6MinimumSize = ocad::kSetup6ScaleOffset + 8;

void CheckScale(double scale) {
  if (!std::isfinite(scale) || scale <= 0) throw OcadFormatError("map scale is not a scale");
}

void CheckVersion5(const MapModel& opened, const ocad::RecordReader& reader) {
  const std::int32_t dataStart = opened.DataStart();
  reader.Read(dataStart, kSetup5Size, "setup record");
  const std::int32_t symbolArea = opened.SymbolAreaPos();
  const std::vector<std::uint8_t> header =
      reader.Read(symbolArea, ocad::kSymbolHeader5Size, "symbol header");
  const std::int16_t symbols = GetI16(header.data() + 12);
  if (symbols > 0 &&
      !reader.Holds(symbolArea + ocad::kSymbolRecords5Offset,
                    static_cast<std::int64_t>(ocad::kSymbolRecord5Size) * symbols))
    throw OcadFormatError("symbol records lie outside the file");
  ocad::ForEachIndexRecord5(reader, dataStart, [&](std::int32_t, const ocad::IndexRecord5& record) {
    ocad::ReadElement5(reader, dataStart, record.Position, record.Length);
  });
}

void CheckVersion6(const MapModel& opened, const ocad::RecordReader& reader) {
  ocad::ForEachSymbolRecord6(reader, opened.FirstSymbolBlockPos(), [&](std::int32_t recordPos) {
    if (!reader.Holds(recordPos, ocad::kSymbolRecord6ReadSize))
      throw OcadFormatError("symbol record lies outside the file");
  });
  ocad::ForEachIndexEntry6(reader, opened.FirstIndexBlockPos(), opened.OcadVersion,
                           [&](std::int64_t, int, const ocad::IndexEntry6& entry) {
                             ocad::ReadObject6(reader, entry, opened.OcadVersion);
                           });
}

// Reads the header and setup of the map file into opened and checks every record.
void ReadAndCheck(MapModel& opened, const ocad::RecordReader& reader) {
  if (opened.OcadVersion == 5) {
    CheckVersion5(opened, reader);
    const std::vector<std::uint8_t> setup = reader.Read(opened.DataStart(), kSetup5Size, "setup");
    std::copy(setup.begin(), setup.end(), opened.Setup5.begin());
    opened.MapZoom = GetI16(setup.data() + ocad::kSetup5ZoomOffset);
    opened.MapOffsetX = GetI16(setup.data() + ocad::kSetup5OffsetXOffset);
    opened.MapOffsetY = GetI16(setup.data() + ocad::kSetup5OffsetYOffset);
    opened.MapScale = Real6ToDouble(setup.data() + ocad::kSetup5ScaleOffset);
  } else {
    const std::vector<std::uint8_t> header = reader.Read(0, kFileHeader6Size, "header");
    std::copy(header.begin(), header.end(), opened.FileHeader6.begin());
    CheckVersion6(opened, reader);
    // The setup record may end the file: what is there is read, the rest counts as zero.
    const std::int64_t setupPos = opened.SetupPos();
    if (!reader.Holds(setupPos, kSetup6MinimumSize))
      throw OcadFormatError("setup record lies outside the file");
    const std::int64_t present =
        std::min<std::int64_t>(static_cast<std::int64_t>(kSetup6Size), reader.Size() - setupPos);
    opened.Setup6 = reader.Read(setupPos, present, "setup record");
    std::vector<std::uint8_t> setup = opened.Setup6;
    setup.resize(kSetup6Size, 0);
    opened.MapOffsetX = ConvertCoordOf(opened.OcadVersion, GetI32(setup.data() + 0)).Value;
    opened.MapOffsetY = ConvertCoordOf(opened.OcadVersion, GetI32(setup.data() + 4)).Value;
    opened.MapScale = GetDouble(setup.data() + ocad::kSetup6ScaleOffset);
    opened.MapZoom = ZoomFromDouble(GetDouble(setup.data() + ocad::kSetup6ZoomOffset));
    opened.Georef = GeoreferencingFromSetup6(opened.Setup6);
    if (opened.OcadVersion == 8) {
      Georeferencing strings = GeoreferencingFromStrings8(
          reader, GetI32(opened.FileHeader6.data() + kHeader8FirstStringBlockOffset));
      if (strings.Known) opened.Georef = std::move(strings);
    }
  }
  CheckScale(opened.MapScale);
}

// Copies the map file into the working copy in 2048-byte blocks. The copy goes to a new file
// that replaces the working copy only when complete, so a failed copy never leaves the working
// copy of the open map damaged. Returns the stamp of the map as copied.
MapFileStamp CopyMapToWorkingCopy(const FileStream& map, const std::string& workingCopy) {
  SafeFileWriter copy(workingCopy);
  ContentHasher hash;
  std::uint8_t copyBuffer[kCopyBlockSize];
  std::int64_t position = 0;
  for (;;) {
    const std::size_t got = map.ReadSome(position, copyBuffer, kCopyBlockSize);
    copy.Append(copyBuffer, got);
    hash.Add(copyBuffer, got);
    position += static_cast<std::int64_t>(got);
    if (got < kCopyBlockSize) break;
  }
  copy.Commit();
  return {true, position, ModifiedTimeNs(map.Descriptor()), hash.Value()};
}

// Temporaries that a run killed while saving or opening left behind.
void RemoveLeftovers(const std::string& mapFileName, const std::string& workingCopy) {
  RemoveStaleSaveTemporary(mapFileName);
  RemoveStaleSaveTemporary(workingCopy);
  RemoveStaleTemporary(workingCopy + ".new");  // the name earlier versions used
}

}  // namespace

OpenResult OpenMapFile(MapModel& model, const std::string& workingCopy, UserDialogs& dialogs) {
  if (!FileExists(model.MapFileName)) {
    dialogs.Message(kMissingMapMessage, MessageType::Information,
                    static_cast<unsigned>(DialogButton::Ok));
    return OpenResult::Missing;
  }
  RemoveLeftovers(model.MapFileName, workingCopy);
  MapModel opened;
  opened.MapFileName = model.MapFileName;
  {
    // Other readers may read the map at the same time (the command-line tool beside the
    // program); nobody may write it while it is copied.
    const FileStream map(model.MapFileName, FileMode::ReadDenyWrite);
    std::uint8_t first[kRecogniseBytes] = {};
    const std::size_t got = map.ReadSome(0, first, sizeof first);
    const MapFileFormat format = RecogniseMapFile({first, got});
    switch (format.Kind) {
      case MapFileKind::Ocad5To7:
      case MapFileKind::Ocad8:
        break;
      case MapFileKind::Ocad9On:
      case MapFileKind::MapperXml:
        return OpenFormatMapFile(model, map, workingCopy, dialogs);
      default:
        dialogs.Message(RefusalText(RefusalMessage(format, model.MapFileName), model.MapFileName,
                                    DescribeUnopenedFile({first, got}, map.Size())),
                        MessageType::Information, static_cast<unsigned>(DialogButton::Ok));
        return OpenResult::NotOcad;
    }
    try {
      const ocad::RecordReader reader(map);
      const std::vector<std::uint8_t> header = reader.Read(0, kFileHeaderSize, "header");
      std::copy(header.begin(), header.end(), opened.FileHeader.begin());
      opened.OcadVersion = GetI16(header.data() + 4);
      if (GetI16(header.data()) != ocad::kMark ||
          opened.OcadVersion < 5 || opened.OcadVersion > 8)
        throw OcadFormatError("no OCAD mark or an unknown version");
      ReadAndCheck(opened, reader);
      // The working copy holds the same bytes; reading the list before copying means a list
      // that cannot be read leaves the working copy of the open map untouched.
      opened.SymbolList = ReadSymbolList(reader, opened);
    } catch (const OcadFormatError& error) {
      dialogs.Message(RefusalText(kNotOcadMessage, model.MapFileName, error.Detail()),
                      MessageType::Information, static_cast<unsigned>(DialogButton::Ok));
      return OpenResult::NotOcad;
    }
    opened.OpenedFile = CopyMapToWorkingCopy(map, workingCopy);
  }

  model.OcadVersion = opened.OcadVersion;
  model.FileHeader = opened.FileHeader;
  model.FileHeader6 = opened.FileHeader6;
  model.Setup5 = opened.Setup5;
  model.Setup6 = std::move(opened.Setup6);
  model.MapZoom = opened.MapZoom;
  model.MapOffsetX = opened.MapOffsetX;
  model.MapOffsetY = opened.MapOffsetY;
  model.MapScale = opened.MapScale;
  model.Georef = std::move(opened.Georef);
  model.SymbolNumberScale = 10;
  model.Format.reset();
  model.MapModified = false;
  model.OpenedFile = opened.OpenedFile;
  model.SymbolList = std::move(opened.SymbolList);
  // The objects of the previous map point into another file; they go with it.
  model.MapObjects.clear();
  model.ObjectCoords.clear();
  return OpenResult::Opened;
}

}  // namespace terrak

#include "mapfile/open_format.h"

#include <cstdlib>

#include "common/numtext.h"
#include "mapfile/convert_format_object.h"
#include "mapfile/map_format.h"
#include "mapfile/map_formats.h"
#include "platform/safe_file_writer.h"

namespace terrak {

namespace {

// The symbol list as the first reader fills it: every symbol that is not an area symbol, each
// with the number as shown and its description.
std::vector<TmapSymbol> SymbolListOf(const FormatMap& format) {
  std::vector<TmapSymbol> list;
  for (const FormatSymbol& symbol : format.ReadSymbols()) {
    if (symbol.Kind == ObjectKind::Area) continue;
    const std::string description =
        symbol.Description.empty() ? "No Description Found" : symbol.Description;
    list.push_back({symbol.Number, symbol.Code + " " + description, symbol.Kind,
                    static_cast<std::int16_t>(symbol.Kind)});
  }
  return list;
}

}  // namespace

std::string SymbolNumberText(std::int32_t symbol, std::int32_t scale, int width) {
  if (scale == 10) return FormatFixed(symbol / 10.0, width, 1);
  const std::string code = std::string(symbol < 0 ? "-" : "") +
                           std::to_string(std::abs(symbol / scale)) + "." +
                           std::to_string(std::abs(symbol % scale));
  const auto w = static_cast<std::size_t>(width > 0 ? width : 0);
  return code.size() >= w ? code : std::string(w - code.size(), ' ') + code;
}

OpenResult OpenFormatMapFile(MapModel& model, const FileStream& map,
                             const std::string& workingCopy, UserDialogs& dialogs) {
  const std::int64_t size = map.Size();
  std::vector<std::uint8_t> bytes = map.ReadExact(0, static_cast<std::size_t>(size));
  const MapFileStamp stamp = StampOf(bytes, map.Descriptor());
  std::shared_ptr<FormatMap> format;
  std::vector<TmapSymbol> symbols;
  try {
    format = OpenFormatMap(bytes, model.MapFileName);
    symbols = SymbolListOf(*format);
  } catch (const MapFormatError& error) {
    dialogs.Message(RefusalText(error.what(), error.File().empty() ? model.MapFileName : error.File(),
                                error.Detail()),
                    MessageType::Information, static_cast<unsigned>(DialogButton::Ok));
    return OpenResult::NotOcad;
  }
  // The working copy is replaced only by the complete file, so a failure keeps the open map's.
  SafeFileWriter copy(workingCopy);
  copy.Append(format->Bytes().data(), format->Bytes().size());
  copy.Commit();

  const FormatMapInfo& info = format->Info();
  model.Format = std::move(format);
  if (const std::optional<StoredView> view = model.Format->View()) {
    model.MapZoom = view->Zoom;
    model.MapOffsetX = view->OffsetX;
    model.MapOffsetY = view->OffsetY;
  } else {
    // A map that keeps no view of Terrak's opens at 0.5x on the middle of its objects.
    model.MapZoom = 5;
    const FormatExtent extent =
        model.Format->ReadObjects([](std::int32_t) { return false; }).MapExtent;
    model.MapOffsetX = 0;
    model.MapOffsetY = 0;
    if (extent.MinX <= extent.MaxX && extent.MinY <= extent.MaxY) {
      model.MapOffsetX = ModelUnitsFromMicrometres((std::int64_t{extent.MinX} + extent.MaxX) / 2);
      model.MapOffsetY = ModelUnitsFromMicrometres((std::int64_t{extent.MinY} + extent.MaxY) / 2);
    }
  }
  model.MapScale = info.Scale;
  model.Georef = info.Georef;
  model.SymbolNumberScale = info.SymbolNumberScale;
  model.MapModified = false;
  model.OpenedFile = stamp;
  model.SymbolList = std::move(symbols);
  model.MapObjects.clear();
  model.ObjectCoords.clear();
  return OpenResult::Opened;
}

}  // namespace terrak

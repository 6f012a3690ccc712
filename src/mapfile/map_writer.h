#pragma once
// Changes written into the working copy at once, patching records in place, and Save/Save As.
#include <cstdint>
#include <string>
#include <vector>

#include "mapfile/map_model.h"
#include "platform/user_dialogs.h"

namespace terrak {

// Indices into MapObjects of the traced objects.
using TracedObjectList = std::vector<std::int32_t>;

void WriteTracedHeights(MapModel& model, const std::string& workingCopy,
                        const TracedObjectList& traced, std::int16_t newHeight);
void ClearAllHeights(MapModel& model, const std::string& workingCopy, UserDialogs& dialogs);
// Gives every traced object the symbol number symbol (index and object), in memory and file.
void WriteObjectSymbols(MapModel& model, const std::string& workingCopy,
                        const TracedObjectList& traced, std::int16_t symbol);
void WriteZoom(MapModel& model, const std::string& workingCopy);
void WriteOffset(MapModel& model, const std::string& workingCopy);

// Copies the working copy over model.MapFileName, which must exist.
void SaveMap(const MapModel& model, const std::string& workingCopy);
// Copies the working copy into model.MapFileName, creating it when missing.
void SaveMapAs(const MapModel& model, const std::string& workingCopy);

}  // namespace terrak

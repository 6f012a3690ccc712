#pragma once
// Opening a map of today's formats (OCAD 9 on, Mapper XML) for OpenMapFile: the whole file is read
// and checked by its format, copied into the working copy, and its symbols and facts fill the
// model only when all of that succeeded.
#include <string>

#include "mapfile/map_model.h"
#include "mapfile/ocad_file.h"
#include "platform/file_stream.h"
#include "platform/user_dialogs.h"

namespace terrak {

OpenResult OpenFormatMapFile(MapModel& model, const FileStream& map,
                             const std::string& workingCopy, UserDialogs& dialogs);

// The model's number of a symbol of today's formats as the map shows it ("103.2"), right-aligned
// in width characters; OCAD 5 to 8 numbers (scale 10) as "10.1".
std::string SymbolNumberText(std::int32_t symbol, std::int32_t scale, int width);

}  // namespace terrak

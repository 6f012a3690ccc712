#pragma once
// Opening a map (OCAD 5 to 8 by the first reader, today's formats through FormatMap) through the working copy, and the conversions of
// version 6/7 coordinates and objects into the model's form.
#include <cstdint>
#include <string>
#include <vector>

#include "mapfile/map_model.h"
#include "platform/user_dialogs.h"

namespace terrak {

enum class OpenResult { Opened, Missing, NotOcad };

// Checks the map named by model.MapFileName, reads its setup, copies it into the working copy
// and reads the symbol list. A missing file or one that is not a map the program reads is
// reported to the user with the program's message (a refusal names the file and what was wrong
// on a second line), and the model stays as it was.
OpenResult OpenMapFile(MapModel& model, const std::string& workingCopy, UserDialogs& dialogs);

// A version 6/7 coded coordinate: the model value (1/1440 inch) and the flag byte.
struct Coord6 {
  std::int16_t Value = 0;
  std::uint8_t Flags = 0;
};
Coord6 ConvertCoord6(std::int32_t coded);
// Version 8, as OCAD describes its coordinates: the position is the upper 24 bits, taken with
// their sign (-255 is position -1 with flags, where ConvertCoord6 gives 0).
Coord6 ConvertCoord8(std::int32_t coded);
// The conversion of the version: ConvertCoord8 for 8, else ConvertCoord6.
Coord6 ConvertCoordOf(int version, std::int32_t coded);
std::int32_t ModelToCoord6(std::int32_t model);

// An object as a format reads it: its fields and its points in the model's form.
struct ModelElement {
  std::int32_t Symbol = 0;
  ObjectKind Kind = ObjectKind::Line;
  std::int16_t ObjectType = 0;  // the code as stored
  std::int16_t Angle = 0;
  std::int32_t Height = 0;  // as TMapObject keeps it
  bool HasHeight = false;
  std::vector<ModelPoint> Points;
};
// The kind of an OCAD 5 to 8 object or symbol of this type code: 1 to 5 as ObjectKind names
// them, any other code a kind of its own that nothing draws.
constexpr ObjectKind KindOfCode5To8(std::int16_t code) { return static_cast<ObjectKind>(code); }

// Converts a stored version 6 to 8 object (its bytes as read) into the model's form. Version 8
// keeps the object type in one byte. Throws OcadFormatError when the object's own counts do not
// fit its bytes.
ModelElement ConvertObject6(const std::vector<std::uint8_t>& object, int version = 6);

// The version 5 map scale field: a 6-byte real.
double Real6ToDouble(const std::uint8_t* bytes);

// The zoom index kept in a version 6/7 setup record as a double.
std::int16_t ZoomFromDouble(double zoom);

}  // namespace terrak

// Damaged and foreign files of every new kind: each is refused with the program's own message
// and a detail naming what was wrong, never a crash; files of kinds the program does not read are
// told apart by their first bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "common/bytes.h"
#include "mapfile/map_formats.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/mapper/mapper_map.h"
#include "mapfile/ocad9/ocad9_map.h"
#include "mapbuild/mapper_build.h"
#include "mapbuild/ocad_build9.h"
#include "map_files.h"

namespace terrak {
namespace {

using namespace terrak::testing;

// The detail of the refusal, or "opened".
std::string Refusal(std::vector<std::uint8_t> bytes, std::string* message = nullptr) {
  try {
    OpenFormatMap(std::move(bytes), "/nonexistent/map");
    return "opened";
  } catch (const MapFormatError& e) {
    if (message) *message = e.what();
    return e.Detail();
  }
}

Ocad9MapBuilder Sound(int version) {
  Ocad9MapBuilder b(version);
  b.AddSymbol({101000, 2, "Contour"});
  b.AddObject({.Symbol = 101000, .Points = {CodedPoint::At(0, 0), CodedPoint::At(5, 5)}});
  b.AddObject({.Symbol = 101000, .Points = {CodedPoint::At(1, 0), CodedPoint::At(6, 5)}});
  return b;
}

TEST(DamagedMaps, EveryOcadRecordIsCheckedAgainstTheFile) {
  for (int version : {9, 10, 11, 12, 2018}) {
    SCOPED_TRACE(version);
    Ocad9MapBuilder b = Sound(version);
    const std::vector<std::uint8_t> sound = b.Build();
    const Ocad9Layout layout = b.Layout();
    ASSERT_EQ(Refusal(sound), "opened");
    const std::int64_t object = layout.Objects[0].FilePos;
    const std::int64_t entry = layout.Objects[0].EntryPos;
    const std::int64_t items = object + (version >= 12 ? 44 : 8);
    const std::int64_t texts = object + (version >= 12 ? 48 : 12);
    const std::int64_t size = static_cast<std::int64_t>(sound.size());
    // The second object, whole and sound, moved one byte back onto the first one's last byte.
    const auto overlapByOne = [&](std::vector<std::uint8_t>& f) {
      const Object9Layout& second = layout.Objects[1];
      ASSERT_EQ(second.FilePos, object + layout.Objects[0].ByteLength);
      std::memmove(f.data() + second.FilePos - 1, f.data() + second.FilePos,
                   static_cast<std::size_t>(second.ByteLength));
      PutI32(f.data() + second.EntryPos + 16, static_cast<std::int32_t>(second.FilePos - 1));
    };
    struct Case {
      const char* Detail;
      std::function<void(std::vector<std::uint8_t>&)> Damage;
    };
    const Case cases[] = {
        {"header lies outside the file", [&](auto& f) { f.resize(static_cast<std::size_t>(layout.HeaderSize - 1)); }},
        {"symbol block lies outside the file", [&](auto& f) { PutI32(f.data() + 8, static_cast<std::int32_t>(size - 100)); }},
        {"symbol record lies outside the file", [&](auto& f) { PutI32(f.data() + layout.HeaderSize + 4, static_cast<std::int32_t>(size - 10)); }},
        {"object index block lies outside the file", [&](auto& f) { PutI32(f.data() + 12, -5); }},
        {"object index block chain runs in a circle", [&](auto& f) { PutI32(f.data() + layout.IndexBlocks[0], static_cast<std::int32_t>(layout.IndexBlocks[0])); }},
        {"object lies outside the file", [&](auto& f) { PutI32(f.data() + entry + 16, static_cast<std::int32_t>(size - 8)); }},
        {"object with a negative number of coordinates", [&](auto& f) { PutI32(f.data() + items, -1); }},
        {"object's coordinates run past its length", [&](auto& f) { PutI32(f.data() + items, 3); }},
        {"object's text runs past its length", [&](auto& f) { PutU16(f.data() + texts, 1); }},
        {"object's coordinates run past its length", [&](auto& f) { PutI32(f.data() + entry + 20, 8); }},
        {"records overlap", [&](auto& f) { PutI32(f.data() + entry + 16, static_cast<std::int32_t>(layout.Objects[1].FilePos)); }},
        {"records overlap", [&](auto& f) { PutI32(f.data() + layout.Objects[1].EntryPos + 16, static_cast<std::int32_t>(object)); }},
        {"records overlap", [&](auto& f) { overlapByOne(f); }},
        {"string index block lies outside the file", [&](auto& f) { PutI32(f.data() + 32, static_cast<std::int32_t>(size - 4)); }},
        {"parameter string lies outside the file", [&](auto& f) { PutI32(f.data() + layout.StringBlock + 8, 1 << 30); }},
        {"no map scale in the scale parameters", [&](auto& f) { PutI32(f.data() + layout.StringBlock + 4 + 8, 1040); }},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.Detail);
      std::vector<std::uint8_t> damaged = sound;
      c.Damage(damaged);
      std::string message;
      EXPECT_EQ(Refusal(damaged, &message), c.Detail);
      EXPECT_EQ(message, "File is not the correct OCAD format");
    }
    // Deleted entries are not looked at, whatever they hold.
    std::vector<std::uint8_t> deleted = sound;
    deleted[static_cast<std::size_t>(entry + 30)] = 3;
    PutI32(deleted.data() + entry + 16, -77);
    EXPECT_EQ(Refusal(deleted), "opened");
  }
}

TEST(DamagedMaps, MapperDocumentsThatAreNotMapsOrDamaged) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  b.AddObject({.Symbol = 0, .Tags = {{"ele", "5"}}, .Coords = {{0, 0}, {1, 1}}});
  const std::string sound = b.Build();
  ASSERT_EQ(Refusal(TextBytes(sound)), "opened");
  const auto replaced = [&](const std::string& from, const std::string& to) {
    return TextBytes(Replaced(sound, from, to));
  };
  struct Case {
    std::vector<std::uint8_t> Bytes;
    const char* Detail;
  };
  const Case cases[] = {
      {TextBytes(sound.substr(0, sound.size() / 2)), "XML: "},
      {replaced("openorienteering.org", "example.org"), "no <map> of Mapper's namespace"},
      {TextBytes("<?xml version=\"1.0\"?><other/>"), "no <map> of Mapper's namespace"},
      {replaced("scale=\"10000\"", "scale=\"-1\""), "no map scale"},
      {replaced("scale=\"10000\"", "scale=\"1,5\""), "no map scale"},
      {replaced("id=\"0\"", "id=\"zero\""), "symbol without a usable id"},
      {replaced("<symbols count=\"1\">", "<symbols count=\"1\"><symbol type=\"2\" id=\"0\"/>"), "two symbols with id 0"},
      {replaced("0 0;1 1;", "0 0;1 1"), "coordinate text that is not a list of points"},
      {replaced("0 0;1 1;", "0 2147483648;"), "coordinate beyond 32 bits"},
      {replaced("0 0;1 1;", "<coord x=\"1\"/>"), "coordinate without x or y"},
      {replaced(">5</t>", "><b>5</b></t>"), "a tag that holds more than text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Detail);
    std::string message;
    const std::string detail = Refusal(c.Bytes, &message);
    EXPECT_EQ(detail.substr(0, std::string(c.Detail).size()), c.Detail);
    EXPECT_EQ(message, "File is not a map of OpenOrienteering Mapper that Terrak can read");
  }
  std::string message;
  Refusal(replaced("version=\"9\">", "version=\"10\">"), &message);
  EXPECT_EQ(message, "This map was saved by OpenOrienteering Mapper in file version 10, which "
                     "Terrak cannot read");
}

TEST(DamagedMaps, KindsToldApartByTheirFirstBytes) {
  const auto kind = [](const std::string& text) {
    return RecogniseMapFile(TextBytes(text));
  };
  const auto ocad = [](int version) {
    std::vector<std::uint8_t> header(6, 0);
    PutU16(header.data(), 0x0CAD);
    PutI16(header.data() + 4, static_cast<std::int16_t>(version));
    return RecogniseMapFile(header);
  };
  EXPECT_EQ(std::tuple(ocad(5).Kind, ocad(7).Kind, ocad(8).Kind),
            std::tuple(MapFileKind::Ocad5To7, MapFileKind::Ocad5To7, MapFileKind::Ocad8));
  for (int v : {9, 10, 11, 12, 2018}) EXPECT_EQ(ocad(v).Kind, MapFileKind::Ocad9On) << v;
  for (int v : {4, 13, 2017, 2019, -1}) {
    EXPECT_EQ(ocad(v).Kind, MapFileKind::OcadOther) << v;
    EXPECT_EQ(ocad(v).Version, v);
  }
  // The refusals' texts: FormatOpen.ARefusalNamesTheFileAndWhatItIsOnTheNextLine.
  EXPECT_EQ(RefusalMessage(ocad(11)), "");
  EXPECT_EQ(kind("OMAP\x01\x02").Kind, MapFileKind::MapperBinary);
  EXPECT_EQ(kind("\xEF\xBB\xBF\r\n <?xml version=\"1.0\"?>").Kind, MapFileKind::MapperXml);
  EXPECT_EQ(kind("<map xmlns=").Kind, MapFileKind::MapperXml);
  EXPECT_EQ(kind("").Kind, MapFileKind::Unknown);
  EXPECT_EQ(kind("\xAD\x0C").Kind, MapFileKind::Unknown);  // too short for a version

  std::string message;
  EXPECT_EQ(Refusal(TextBytes("OMAP"), &message), "not a map format");
  EXPECT_EQ(Refusal({0xAD, 0x0C, 0, 0, 0xE3, 0x07}, &message), "not a map format");
  EXPECT_EQ(message, "This map was saved by OCAD version 2019, which Terrak cannot read");
  // Versions 5 to 8 open as any format: a bare mark and version is a damaged map.
  EXPECT_EQ(Refusal({0xAD, 0x0C, 0, 0, 6, 0}, &message), "header lies outside the file");
  EXPECT_EQ(message, kNotOcadMessage);
}

}  // namespace
}  // namespace terrak

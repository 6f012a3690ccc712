// Whole maps drawn and held to checksums: our OCAD 6 demo map, the text maps Mapper wrote and,
// where they lie on this machine, Mapper's example maps, the real event map and Mapper's symbol
// sets, each symbol on objects laid out by SymbolGallery. Together they draw every kind of symbol
// the drawing knows (dashes, borders, caps, mid and corner symbols, hatchings and point patterns,
// texts, combined symbols, clipping, opacity). The maps' checksums were fixed when their drawings
// agreed with Mapper's own pictures of them (tools/compare-with-mapper), the galleries' after
// their pictures were looked at. A change of any point by a micrometre, of a colour, a pen, a
// clip or a text shows. On a mismatch the test prints what the picture holds, to be looked at
// before a checksum is renewed; with TERRAK_GOLDEN_DIR set, the painted pictures are written
// there as PNG files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "mapdraw/map_drawing.h"
#include "mapfile/drawing_source.h"
#include "platform/file_stream.h"
#include "platform/picture_painter.h"
#include "support/outside_data.h"
#include "support/temp_folder.h"
#include "viewer/picture_output.h"

namespace terrak::mapdraw {
namespace {

class Checksum {
 public:
  void Add(std::int64_t value) {
    for (int b = 0; b < 8; ++b) {
      hash_ ^= static_cast<std::uint64_t>(value >> (8 * b)) & 0xFF;
      hash_ *= 1099511628211ull;
    }
  }
  // Micrometres of paper, or any float to a fixed number of decimals.
  void Add(float value, double scale) { Add(std::llround(value * scale)); }
  void Add(const std::string& text) {
    Add(static_cast<std::int64_t>(text.size()));
    for (const char c : text) Add(static_cast<std::int64_t>(static_cast<unsigned char>(c)));
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 14695981039346656037ull;
};

void AddParts(Checksum& sum, const VectorPicture& p, std::uint32_t first, std::uint32_t count) {
  for (std::uint32_t i = first; i < first + count; ++i) {
    const PicturePart& part = p.Parts[i];
    sum.Add(std::int64_t{part.Closed});
    sum.Add(std::int64_t{part.Count});
    for (std::uint32_t k = part.First; k < part.First + part.Count; ++k) {
      sum.Add(p.Points[k].X, 1);
      sum.Add(p.Points[k].Y, 1);
    }
  }
}

std::uint64_t PictureChecksum(const VectorPicture& p) {
  Checksum sum;
  for (const PictureItem& item : p.Items) {
    sum.Add(static_cast<std::int64_t>(item.Type) << 16 | static_cast<std::int64_t>(item.Cap) << 8 |
            static_cast<std::int64_t>(item.Join));
    sum.Add(std::int64_t{item.Rgb} << 8 | item.Alpha);
    sum.Add(item.Width, 100);
    sum.Add(item.MiterLimit, 1000);
    sum.Add(std::int64_t{item.Clip});
    if (item.Type == PictureItem::Kind::Text || item.Type == PictureItem::Kind::TextOutline) {
      const PictureText& t = p.Texts[item.TextIndex];
      sum.Add(t.Text);
      sum.Add(t.Family);
      sum.Add(std::int64_t{t.Bold} | std::int64_t{t.Italic} << 1 | std::int64_t{t.Underline} << 2 |
              std::int64_t{t.Kerning} << 3 | static_cast<std::int64_t>(t.HAlign) << 4 |
              static_cast<std::int64_t>(t.VAlign) << 8);
      for (const float f : {t.Size, t.Anchor.X, t.Anchor.Y, t.AbsoluteLineSpacing,
                            t.ParagraphSpacing, t.BoxWidth, t.BoxHeight})
        sum.Add(f, 1);
      for (const float f : {t.Rotation, t.LineSpacing, t.CharacterSpacing}) sum.Add(f, 1e5);
    } else {
      AddParts(sum, p, item.FirstPart, item.PartCount);
    }
  }
  for (const PictureClip& clip : p.Clips) AddParts(sum, p, clip.FirstPart, clip.PartCount);
  return sum.Value();
}

std::uint64_t FileChecksum(const std::vector<std::uint8_t>& bytes) {
  Checksum sum;
  for (const std::uint8_t b : bytes) sum.Add(std::int64_t{b});
  return sum.Value();
}

struct KnownMap {
  std::string Path;
  std::uint64_t File = 0;     // the file's own checksum: another edition of it is not compared
  std::uint64_t Drawing = 0;  // the vector picture's
  std::uint64_t Painted = 0;  // its pixels as the image module paints them, texts left out
  bool Gallery = false;       // a symbol set: drawn as SymbolGallery lays it out
};

using point_flag::kCorner, point_flag::kDash, point_flag::kFirstControl,
    point_flag::kSecondControl, point_flag::kHoleStart;

// Every symbol of a symbol set on an object of its kind, in cells of 12 mm, 20 to a row. Lines,
// areas and combined symbols each go on a line with a curve, a corner and a dash point, and on
// an area with a curved side and a hole, turned with its pattern; points and texts are turned.
std::vector<FormatObject> SymbolGallery(SymbolDefinitions& definitions) {
  std::vector<FormatObject> objects;
  const auto add = [&](std::int32_t symbol, ObjectKind kind, std::vector<FormatPoint> points,
                       std::string text, ObjectPlacement placement) {
    FormatObject& o = objects.emplace_back();
    o.Key = static_cast<std::int64_t>(objects.size());
    o.Symbol = symbol;
    o.Kind = kind;
    o.Points = std::move(points);
    o.Text = std::move(text);
    definitions.Placements[o.Key] = placement;
  };
  for (std::size_t i = 0; i < definitions.Symbols.size(); ++i) {
    const SymbolDefinition& symbol = *definitions.Symbols[i];
    const std::int32_t x = static_cast<std::int32_t>(i % 20) * 12000;
    const std::int32_t y = -static_cast<std::int32_t>(i / 20) * 12000;
    ObjectPlacement turned;
    turned.Rotation = 0.4;
    turned.HAlign = TextHAlign::Centre;
    turned.PatternOrigin = {x + 500, y + 700, 0};
    if (std::holds_alternative<PointDefinition>(symbol.Drawing)) {
      add(symbol.Number, ObjectKind::Point, {{x, y, 0}}, {}, turned);
    } else if (std::holds_alternative<TextDefinition>(symbol.Drawing)) {
      add(symbol.Number, ObjectKind::Text, {{x, y, 0}}, "\u00c5b 12\nCd", turned);
    } else {
      add(symbol.Number, ObjectKind::Line,
          {{x - 5000, y - 5000, 0}, {x - 4000, y - 1000, kFirstControl},
           {x - 2500, y - 1000, kSecondControl}, {x - 1500, y - 4000, 0},
           {x, y - 1000, kCorner}, {x + 2000, y - 4500, kDash}, {x + 5000, y - 2000, 0}},
          {}, turned);
      add(symbol.Number, ObjectKind::Area,
          {{x - 5000, y, 0}, {x + 5000, y, 0}, {x + 5000, y + 5000, 0},
           {x, y + 5500, kFirstControl}, {x - 2000, y + 4000, kSecondControl},
           {x - 5000, y + 5000, 0}, {x - 5000, y, 0}, {x - 1000, y + 1000, kHoleStart},
           {x + 1000, y + 1000, 0}, {x, y + 3000, 0}, {x - 1000, y + 1000, 0}},
          {}, turned);
    }
  }
  return objects;
}

std::vector<KnownMap> KnownMaps() {
  const std::string source = TERRAK_SOURCE_DIR;
  const std::string examples = "/usr/share/openorienteering-mapper/examples/";
  const std::string sets = "/usr/share/openorienteering-mapper/symbol sets/";
  return {
      {source + "/samples/demo6.ocd",
       18035080971065826674ull, 13890935087381940812ull, 5152257529996792225ull},
      {source + "/tests/data/texts/texts.omap",
       10744756203952909367ull, 10672262906692163311ull, 2305132415184743529ull},
      {source + "/tests/data/texts/texts10.ocd",
       871346118384227255ull, 10056452893009511157ull, 8419873748314035758ull},
      {source + "/tests/data/texts/texts12.ocd",
       10216386326131290449ull, 10056452893009511157ull, 8419873748314035758ull},
      {examples + "complete map.omap",
       9831263348792412971ull, 17651659527720489571ull, 10214859955227102123ull},
      {examples + "forest sample.omap",
       6078433790429303464ull, 14675101858926420693ull, 467418744569417973ull},
      {examples + "overprinting.omap",
       13137840873390622550ull, 9823565210191555371ull, 8508525786986222319ull},
      {testing::RealMapperMap(),
       6315056871325260875ull, 13290207263391635916ull, 9088679249128940088ull},
      {sets + "15000/ISOM 2017-2_15000.omap",
       16756267823518745167ull, 1740449608420696837ull, 12117979452778241288ull, true},
      {sets + "4000/ISSprOM 2019_4000.omap",
       459835549977730891ull, 6210974163114716104ull, 2855141336358379795ull, true},
      {sets + "10000/ISMTBOM_10000.omap",
       8070676927520386065ull, 6458730177733113879ull, 9309144814608360955ull, true},
      {sets + "12500/ISSkiOM 2019_12500.omap",
       18433540918444340876ull, 11139854489273929328ull, 7395498743332763501ull, true},
      {sets + "10000/Course_Design_10000.omap",
       17666086327088533363ull, 11634516946812805380ull, 16221290250668404460ull, true},
  };
}

// The maps of KnownMaps that lie here as they were when their checksums were fixed, drawn.
struct DrawnMap {
  const KnownMap* Known;
  MapPicture Drawn;
};

std::vector<DrawnMap> DrawKnownMaps(const std::vector<KnownMap>& known) {
  std::vector<DrawnMap> drawn;
  for (const KnownMap& map : known) {
    if (!FileExists(map.Path)) continue;
    std::vector<std::uint8_t> bytes = ReadWholeFile(map.Path);
    if (FileChecksum(bytes) != map.File) {
      std::cout << map.Path << ": another edition (file checksum " << FileChecksum(bytes)
                << "), not compared\n";
      continue;
    }
    DrawingSource source = ReadDrawingSource(std::move(bytes), map.Path);
    if (map.Gallery) source.Objects = SymbolGallery(source.Definitions);
    drawn.push_back({&map, DrawMap(source.Definitions, source.Objects, {})});
  }
  return drawn;
}

TEST(RealMapPictures, EveryMapDrawsItsFixedPicture) {
  const std::vector<KnownMap> known = KnownMaps();
  const std::vector<DrawnMap> drawn = DrawKnownMaps(known);
  EXPECT_GE(drawn.size(), 4u);  // the project's own maps are always here
  for (const DrawnMap& map : drawn)
    EXPECT_EQ(PictureChecksum(map.Drawn.Picture), map.Known->Drawing)
        << map.Known->Path << ": " << map.Drawn.DrawnObjects << " objects, "
        << map.Drawn.Picture.Items.size() << " items, " << map.Drawn.Picture.Points.size()
        << " points, " << map.Drawn.Picture.Clips.size() << " clips";
}

#ifdef TERRAK_IMAGE_MODULE_PATH
// The same pictures through the image module's painter, 1000 pixels wide over the drawing's
// extent. Texts are left out: their letters come from the fonts of the machine.
TEST(RealMapPictures, ThePainterGivesEachItsFixedPixels) {
  const std::vector<KnownMap> known = KnownMaps();
  const std::unique_ptr<PicturePainter> painter =
      MakeModulePicturePainter({TERRAK_IMAGE_MODULE_PATH});
  for (DrawnMap& map : DrawKnownMaps(known)) {
    VectorPicture& picture = map.Drawn.Picture;
    std::erase_if(picture.Items, [](const PictureItem& item) {
      return item.Type == PictureItem::Kind::Text || item.Type == PictureItem::Kind::TextOutline;
    });
    const Box& extent = map.Drawn.Extent;
    PictureView view;
    view.Left = extent.MinX;
    view.Top = extent.MaxY;
    view.Width = 1000;
    view.PixelsPerMicrometre = 1000.0 / (extent.MaxX - extent.MinX);
    view.Height = static_cast<std::int32_t>(std::ceil((extent.MaxY - extent.MinY) *
                                                      view.PixelsPerMicrometre));
    Picture pixels;
    pixels.Width = view.Width;
    pixels.Height = view.Height;
    painter->Paint(picture, view, pixels.Pixels);
    if (const char* dir = std::getenv("TERRAK_GOLDEN_DIR"))
      testing::WriteBytes(
          std::string(dir) + "/" + std::filesystem::path(map.Known->Path).stem().string() + ".png",
          EncodePng(pixels));
    Checksum sum;
    sum.Add(std::int64_t{view.Height});
    for (const Colour c : pixels.Pixels) sum.Add(std::int64_t{c});
    EXPECT_EQ(sum.Value(), map.Known->Painted) << map.Known->Path;
  }
}
#endif

}  // namespace
}  // namespace terrak::mapdraw

// terrak-cli map draws the whole map in its own colours into a PNG or a bitmap at a resolution
// of paper, and says where on the paper the picture lies.
#include <gtest/gtest.h>


#include <regex>

#include "cli_run.h"
#include "common/bytes.h"
#include "mapfile/drawing_source.h"
#include "platform/file_stream.h"
#include "support/png_image.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

#ifdef TERRAK_IMAGE_MODULE_PATH
TEST(MapCommand, DrawsEveryFormatInItsColours) {
  TempFolder folder;
  for (const std::string name : {"demo6.ocd", "demo7.ocd"}) {
    const std::string map = TERRAK_SOURCE_DIR "/samples/" + name;
    const std::vector<std::uint8_t> before = ReadBytes(map);
    // 1:10000 at 254 dpi: a pixel a metre.
    const CliRun run = RunCli({"map", map, "--out", folder.File("map.png"), "--dpi", "254"});
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(ReadBytes(map), before);
    std::smatch size;
    ASSERT_TRUE(std::regex_search(run.Out, size, std::regex(R"((\d+)x(\d+) pixels at 254 dpi)")))
        << run.Out;
    const std::optional<Picture> picture = DecodePng(ReadBytes(folder.File("map.png")));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width, std::stoi(size[1]));
    EXPECT_EQ(picture->Height, std::stoi(size[2]));
    // The demo map is 500 x 400 m with its frame: that many pixels and a few for the frame's width.
    EXPECT_NEAR(picture->Width, 502, 3);
    EXPECT_NEAR(picture->Height, 402, 3);
    std::size_t brown = 0, blue = 0, black = 0;
    for (const Colour c : picture->Pixels) {
      brown += c == MakeColour(196, 102, 33);
      blue += c == MakeColour(0, 161, 230);
      black += c == MakeColour(0, 0, 0);
    }
    EXPECT_GT(brown, 1000u) << name;  // contours
    EXPECT_GT(blue, 1000u) << name;   // the lake
    EXPECT_GT(black, 500u) << name;   // the frame and the title
  }
  // A bitmap at 100 dpi is 100 / 254 as wide.
  const CliRun bmp = RunCli({"map", TERRAK_SOURCE_DIR "/samples/demo7.ocd", "--out",
                             folder.File("map.bmp"), "--dpi", "100"});
  ASSERT_EQ(bmp.Exit, 0) << bmp.Err;
  const std::vector<std::uint8_t> bitmap = ReadBytes(folder.File("map.bmp"));
  ASSERT_GT(bitmap.size(), 54u);
  EXPECT_NEAR(GetI32(bitmap.data() + 18), 198, 2);
}
#endif

TEST(MapCommand, RefusesWhatItCannotDraw) {
  TempFolder folder;
  const CliRun old = RunCli({"map", TERRAK_SOURCE_DIR "/samples/demo5.ocd", "--out",
                             folder.File("x.png")});
  EXPECT_EQ(old.Exit, 1);
  EXPECT_NE(old.Err.find(kNoDrawingOcad5Message), std::string::npos) << old.Err;
  EXPECT_FALSE(FileExists(folder.File("x.png")));

  const CliRun dpi = RunCli({"map", TERRAK_SOURCE_DIR "/samples/demo7.ocd", "--out",
                             folder.File("x.png"), "--dpi", "0"});
  EXPECT_EQ(dpi.Exit, 2);
  EXPECT_NE(dpi.Err.find("--dpi"), std::string::npos);
}

}  // namespace
}  // namespace terrak

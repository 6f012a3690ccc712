// A map without a bitmap beside it is draped with its own drawing in every picture of the
// terrain terrak-cli makes: the grid, the viewer's mesh and ray trace, the glTF model's texture.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_run.h"
#include "support/exported_files.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

#ifdef TERRAK_IMAGE_MODULE_PATH
TEST(MapDrapeCommands, AMapWithoutItsBitmapIsDrapedWithItsOwnDrawing) {
  TempFolder folder;
  const std::string map = folder.File("alone.ocd");
  std::filesystem::copy_file(TERRAK_SOURCE_DIR "/samples/demo7.ocd", map);

  const auto render = [&](std::vector<std::string> extra, const std::string& out) {
    RunCliOk({"render", map, "--symbols", "101,102", "--size", "240x180", "--out", folder.File(out)},
             extra);
  };
  // The mesh shows the drape: without it (--no-bitmap) they are other pictures.
  render({}, "mesh.bmp");
  render({"--no-bitmap"}, "bare.bmp");
  EXPECT_NE(ReadBytes(folder.File("mesh.bmp")), ReadBytes(folder.File("bare.bmp")));

  const CliRun glb =
      RunCli({"export", map, "--symbols", "101,102", "--glb", folder.File("alone.glb")});
  ASSERT_EQ(glb.Exit, 0) << glb.Err;
  const std::optional<GlbInfo> model = ReadGlbInfo(folder.File("alone.glb"));
  ASSERT_TRUE(model);
  EXPECT_TRUE(model->Textured);
}
#endif

}  // namespace
}  // namespace terrak

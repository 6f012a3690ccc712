// The whole map's drawing is kept while its file stays the same and the drawing is fine enough,
// drawn again for a finer need or a changed file, and a map that cannot be drawn says why.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "mapdraw/whole_map.h"
#include "support/temp_folder.h"

namespace terrak::mapdraw {
namespace {

using testing::ReadBytes, testing::WriteBytes;

TEST(WholeMapDrawing, KeepsADrawingFineEnoughAndDrawsAgainForAFinerNeedOrAChangedFile) {
  testing::TempFolder folder;
  const std::string map = folder.File("demo.ocd");
  WriteBytes(map, ReadBytes(TERRAK_SOURCE_DIR "/samples/demo6.ocd"));
  WholeMapDrawing drawing;
  // Curves stay within a tenth of a pixel: 10 micrometres at 100 micrometres a pixel.
  EXPECT_DOUBLE_EQ(ToleranceFor(0.01), 10);

  const MapPicture* coarse = drawing.For(map, 0.001);
  ASSERT_NE(coarse, nullptr);
  EXPECT_EQ(drawing.For(map, 0.001), coarse);
  EXPECT_EQ(drawing.Generation(), 1u);

  // Ten times finer: drawn again.
  ASSERT_NE(drawing.For(map, 0.01), nullptr);
  EXPECT_EQ(drawing.Generation(), 2u);
  // A coarser need is served by the finer drawing.
  EXPECT_NE(drawing.For(map, 0.002), nullptr);
  EXPECT_EQ(drawing.Generation(), 2u);

  // Another map written over the file.
  WriteBytes(map, ReadBytes(TERRAK_SOURCE_DIR "/samples/demo12.ocd"));
  ASSERT_NE(drawing.For(map, 0.002), nullptr);
  EXPECT_EQ(drawing.Generation(), 3u);
  EXPECT_TRUE(drawing.Problem().empty());
  // The same bytes written a second later, then another file of that size and time.
  const auto later = std::filesystem::last_write_time(map) + std::chrono::seconds(1);
  std::filesystem::last_write_time(map, later);
  ASSERT_NE(drawing.For(map, 0.002), nullptr);
  std::filesystem::copy_file(map, folder.File("twin.ocd"));
  std::filesystem::last_write_time(folder.File("twin.ocd"), later);
  ASSERT_NE(drawing.For(folder.File("twin.ocd"), 0.002), nullptr);
  EXPECT_EQ(drawing.Generation(), 5u);

  // A file that is no map: nothing, and the reason, until the file changes.
  WriteBytes(map, {'n', 'o', 't', ' ', 'a', ' ', 'm', 'a', 'p'});
  EXPECT_EQ(drawing.For(map, 0.002), nullptr);
  EXPECT_FALSE(drawing.Problem().empty());
  EXPECT_EQ(drawing.For(map, 0.002), nullptr);
  EXPECT_EQ(drawing.Generation(), 6u);
}

}  // namespace
}  // namespace terrak::mapdraw

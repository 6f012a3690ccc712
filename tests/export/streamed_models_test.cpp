// The 3D models are written as they are made: their files never lie whole in memory.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>

#include "export/export_error.h"
#include "export/export_fixtures.h"
#include "export/glb_export.h"
#include "export/stl_export.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

std::int64_t PeakBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return std::int64_t{usage.ru_maxrss} * 1024;
}

// In a child process: exits 0 when writing the model of a 1000 x 1000 grid at interval 1 (files
// of 48 MB and 100 MB) raised the peak memory by less than a quarter of the file's size.
void WriteWithLittleMemory(const std::string& file) {
  const GridState grid = testing::FunctionGrid(1000, 1000, 0, 0, [](double x, double y) {
    return 100.0 + 0.01 * x * y;
  });
  const std::int64_t before = PeakBytes();
  if (file.ends_with(".glb"))
    WriteGlbFile(file, grid, {}, {.Interval = 1});
  else
    WriteStlFile(file, grid, {}, {.Interval = 1});
  const auto size = static_cast<std::int64_t>(std::filesystem::file_size(file));
  std::exit(size > 40'000'000 && PeakBytes() - before < size / 4 ? 0 : 1);
}

TEST(StreamedModels, WritingAModelTakesLittleMemoryBesideItsGrid) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: its peak is this test's
  testing::TempFolder folder;
  EXPECT_EXIT(WriteWithLittleMemory(folder.File("m.glb")), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(WriteWithLittleMemory(folder.File("m.stl")), ::testing::ExitedWithCode(0), "");
}

TEST(StreamedModels, CancellingAtAnyPointLeavesTheTargetAsItWas) {
  testing::TempFolder folder;
  const GridState grid = testing::FunctionGrid(300, 200, 0, 0, [](double x, double) { return 5 + x; });
  for (const std::string name : {"m.glb", "m.stl"}) {
    const std::string target = folder.File(name);
    testing::WriteText(target, "old");
    for (const double stopAt : {0.0, 0.3, 0.7, 1.0}) {
      const auto stop = [&](double fraction) { return fraction < stopAt; };
      if (name == "m.glb")
        EXPECT_THROW(WriteGlbFile(target, grid, {}, GlbOptions{}, stop), ExportCancelled);
      else
        EXPECT_THROW(WriteStlFile(target, grid, {}, StlOptions{}, stop), ExportCancelled);
      EXPECT_EQ(testing::ReadText(target), "old") << name << ' ' << stopAt;
    }
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                          std::filesystem::directory_iterator()),
            2);  // no temporary file left
}

}  // namespace
}  // namespace terrak

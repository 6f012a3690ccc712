#include <gtest/gtest.h>

#include <filesystem>

#include "common/numtext.h"
#include "grid/grid_exports.h"
#include "grid/grid_fixtures.h"
#include "platform/file_error.h"
#include "platform/safe_file_writer.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::EmptyGrid;
using testing::ReadText;
using testing::TempFolder;

// Both files row by row from the south, up to column GridWidth - 1 and row GridHeight - 1.
TEST(GridExports, PointsListContourCellsInWholeMetresAndTheMatrixEveryCell) {
  TempFolder folder;
  GridState grid = EmptyGrid(3, 2);
  grid.HeightGrid(2, 0) = 57;
  grid.HeightGrid(0, 1) = 1234;
  grid.HeightGrid(1, 1) = -80;  // interpolated: not a contour
  grid.HeightGrid(3, 1) = 500;  // column GridWidth is not written
  grid.HeightGrid(0, 2) = 500;  // nor row GridHeight
  WritePointsFile(folder.File("points.csv"), grid);
  EXPECT_EQ(ReadText(folder.File("points.csv")), "2,0,5\r\n0,1,123\r\n");
  WriteMatrixFile(folder.File("matrix.csv"), grid);
  EXPECT_EQ(ReadText(folder.File("matrix.csv")), " 0.0, 0.0, 5.7,end\r\n123.4,-8.0, 0.0,end\r\n");
}

TEST(GridExports, MatrixNumbersMatchFixedPointFormattingForEveryHeight) {
  TempFolder folder;
  GridState grid = EmptyGrid(65536, 1);
  std::string expected;
  for (std::int32_t v = -32768; v <= 32767; ++v) {
    grid.HeightGrid(v + 32768, 0) = static_cast<std::int16_t>(v);
    expected += FormatFixed(v / 10.0, 4, 1) + ",";
  }
  expected += "end\r\n";
  WriteMatrixFile(folder.File("all.csv"), grid);
  EXPECT_EQ(ReadText(folder.File("all.csv")), expected);
}

TEST(GridExports, AFullDiskKeepsThePreviousExportsWhole) {
  TempFolder folder;
  GridState grid = EmptyGrid(300, 300);
  for (std::int32_t x = 0; x < 300; ++x) grid.HeightGrid(x, 7) = 1230;
  const std::string points = folder.File("contoursxyz.csv");
  const std::string matrix = folder.File("mapmatrix.csv");
  testing::WriteText(points, "previous points\r\n");
  testing::WriteText(matrix, "previous matrix\r\n");
  {
    testing::FileSizeLimit full(1000);
    EXPECT_THROW(WritePointsFile(points, grid), FileError);
    EXPECT_THROW(WriteMatrixFile(matrix, grid), FileError);
  }
  EXPECT_EQ(std::tuple(ReadText(points), ReadText(matrix)), std::tuple("previous points\r\n", "previous matrix\r\n"));
  for (const std::string& name : {points, matrix})
    EXPECT_FALSE(std::filesystem::exists(name + kSaveTemporarySuffix)) << name;
  WritePointsFile(points, grid);
  EXPECT_EQ(ReadText(points).rfind("0,7,123\r\n", 0), 0u);
}

}  // namespace
}  // namespace terrak

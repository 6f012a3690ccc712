#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "export/dem_export.h"
#include "export/export_file.h"
#include "export/export_fixtures.h"
#include "export/stl_export.h"
#include "platform/file_error.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using testing::NamesIn;
using testing::ReadBytes;
using testing::TempFolder;

TEST(ExportFiles, ExtensionsAndSideFilesAreNamedAfterTheTarget) {
  EXPECT_EQ(std::tuple(FileExtension("/a/b/dem.tif"), FileExtension("dem.tar.gz"),
                       FileExtension("/a.b/dem"), FileExtension("/a/.hidden"),
                       FileExtension("dem")),
            std::tuple(".tif", ".gz", "", "", ""));

  TempFolder folder;
  ExportedFiles files;
  files.Files = {{".asc", {1, 2}}, {".prj", {3}}, {".asc.aux.xml", {4}}};
  WriteExportedFiles(folder.File("hill.asc"), files);
  EXPECT_EQ(NamesIn(folder.Path()),
            (std::vector<std::string>{"hill.asc", "hill.asc.aux.xml", "hill.prj"}));
  EXPECT_EQ(ReadBytes(folder.File("hill.asc")), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(ReadBytes(folder.File("hill.prj")), (std::vector<std::uint8_t>{3}));
  // A target without an extension still gets the side files beside it.
  WriteExportedFiles(folder.File("plain"), files);
  EXPECT_EQ(ReadBytes(folder.File("plain.prj")), (std::vector<std::uint8_t>{3}));
  // A target named like one of its side files holds the main file, not that side file.
  WriteExportedFiles(folder.File("odd.prj"), files);
  EXPECT_EQ(ReadBytes(folder.File("odd.prj")), (std::vector<std::uint8_t>{1, 2}));
}

TEST(ExportFiles, BadTargetsRaiseFileErrorsAndLeaveNoPartialFiles) {
  TempFolder folder;
  const GridState grid = testing::FunctionGrid(20, 20, 0, 0, [](double x, double) { return 5 + x; });
  Georeferencing g = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 0.0);
  g.EpsgCode = 32631;
  const DemOptions ascii = testing::InFormat("AAIGrid");

  // A directory in the way of the main file: no side file is made beside it...
  std::filesystem::create_directory(folder.File("taken.asc"));
  EXPECT_THROW(WriteDemFile(folder.File("taken.asc"), grid, g, ascii), FileError);
  EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"taken.asc"});
  // ... and those there already stay as they were.
  testing::WriteText(folder.File("taken.prj"), "old");
  testing::WriteText(folder.File("taken.asc.aux.xml"), "old too");
  EXPECT_THROW(WriteDemFile(folder.File("taken.asc"), grid, g, ascii), FileError);
  EXPECT_EQ(testing::ReadText(folder.File("taken.prj")), "old");
  EXPECT_EQ(testing::ReadText(folder.File("taken.asc.aux.xml")), "old too");
  EXPECT_EQ(NamesIn(folder.Path()),
            (std::vector<std::string>{"taken.asc", "taken.asc.aux.xml", "taken.prj"}));
  // A disk too full for the main file, with room enough for a side file: the same.
  testing::WriteText(folder.File("full.prj"), "old");
  {
    testing::FileSizeLimit full(1000);
    EXPECT_THROW(WriteDemFile(folder.File("full.asc"), grid, g, ascii), FileError);
  }
  EXPECT_EQ(testing::ReadText(folder.File("full.prj")), "old");
  EXPECT_FALSE(std::filesystem::exists(folder.File("full.asc")));

  // A folder that does not exist, and a place where nobody may create files.
  EXPECT_THROW(WriteStlFile("/proc/terrak-model.stl", grid, {}, StlOptions{}), FileError);
  const std::string refusal = testing::ThrownText<FileError>(
      [&] { WriteStlFile(folder.File("missing/model.stl"), grid, {}, StlOptions{}); },
      &FileError::what);
  EXPECT_NE(refusal.find("missing/model.stl"), std::string::npos) << refusal;
}

// In a child process: with writes failing as on a full disk, the model is refused with a file
// error and the folder stays empty (no target, no temporary file).
void WriteOnAFullDisk(const std::string& folder) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{16384, 16384};
  setrlimit(RLIMIT_FSIZE, &limit);
  const GridState grid =
      testing::FunctionGrid(200, 200, 0, 0, [](double x, double y) { return 5 + x + y; });
  bool refused = false;
  try {
    WriteStlFile(folder + "/model.stl", grid, {}, {.Interval = 1});
  } catch (const FileError&) {
    refused = true;
  }
  std::exit(refused && NamesIn(folder).empty() ? 0 : 1);
}

TEST(ExportFiles, AFullDiskLeavesNeitherTheTargetNorATemporaryFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // GDAL may have started threads by now
  TempFolder folder;
  EXPECT_EXIT(WriteOnAFullDisk(folder.Path()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace terrak

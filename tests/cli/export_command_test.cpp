// terrak-cli export writes the terrain of a map or a 3D map file as a DEM, a glTF model and an
// STL, with progress and notes on standard error.
#include <gtest/gtest.h>

#include <tuple>

#include "cli/export_outputs.h"
#include "cli_run.h"
#include "export/dem_export.h"
#include "export/dem_formats.h"
#include "export/export_fixtures.h"
#include "export/export_error.h"
#include "export/export_notes.h"
#include "terrain/map3d_file.h"
#include "platform/file_stream.h"
#include "support/demo_grid.h"
#include "support/exported_files.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(ExportCommand, WritesTheThreeFilesOfAMapWithProgressAndNotesOnStandardError) {
  TempFolder folder;
  const std::string map = TERRAK_SOURCE_DIR "/samples/demo6.ocd";
  const std::vector<std::uint8_t> before = ReadBytes(map);
  const std::string dem = folder.File("demo.tif"), glb = folder.File("demo.glb"),
                    stl = folder.File("demo.stl");
  const CliRun run = RunCli({"export", map, "--symbols", "101,102", "--dem", dem, "--glb", glb,
                             "--stl", stl, "--interval", "4", "--print-width", "120", "--base",
                             "3", "--exaggeration", "2", "--passes", "2"});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, "dem " + dem + " (GTiff)\nglb " + glb + "\nstl " + stl + "\n");
  EXPECT_EQ(ReadBytes(map), before);
  // The grid's stages, then one line per file into a pipe, and the map's missing georeferencing.
  EXPECT_NE(run.Err.find("Interpolating Heights..."), std::string::npos);
  EXPECT_EQ(Count(run.Err, "Smoothing the Grid...passing through map\n"), 2u);  // --passes 2
  EXPECT_NE(run.Err.find("Writing the DEM to " + dem + ": 100%\n"), std::string::npos);
  EXPECT_NE(run.Err.find("Writing the STL model to " + stl + ": 100%\n"), std::string::npos);
  EXPECT_EQ(Count(run.Err, "Writing the glTF model"), 1u);
  EXPECT_EQ(Count(run.Err, std::string("terrak-cli: note: ") + kDemUngeoreferencedNote + "\n"), 1u);

  const std::optional<DemInfo> d = ReadDemInfo(dem);
  ASSERT_TRUE(d);
  // Each option reaches its file; the files themselves: DemExport, GlbExport, StlExport.
  EXPECT_EQ(std::tie(d->Driver, d->Columns, d->Rows), std::tuple("GTiff", 501, 401));
  const std::optional<GlbInfo> g = ReadGlbInfo(glb);
  ASSERT_TRUE(g);
  EXPECT_TRUE(g->Textured);  // the map image beside the map
  EXPECT_LT(g->Vertices, 127u * 102u);  // every 4th cell
  const std::optional<StlInfo> s = ReadStlInfo(stl);
  ASSERT_TRUE(s);
  EXPECT_FLOAT_EQ(s->Max[0], 120.0f);
  EXPECT_GT(s->Max[2], 3.0f + 10.0f);

  // On a terminal the percentage counts up over itself. A base 3 mm thicker raises the top by 3 mm.
  const CliRun terminal = RunCli({"export", map, "--symbols", "101,102", "--stl", stl, "--force",
                                  "--interval", "4", "--print-width", "120", "--base", "6",
                                  "--exaggeration", "2"},
                                 {true});
  ASSERT_EQ(terminal.Exit, 0) << terminal.Err;
  EXPECT_NE(terminal.Err.find("\rWriting the STL model to " + stl + ": 100%"), std::string::npos);
  const std::optional<StlInfo> thicker = ReadStlInfo(stl);
  ASSERT_TRUE(thicker);
  EXPECT_NEAR(thicker->Max[2] - s->Max[2], 3.0f, 1e-3f);
}

TEST(ExportCommand, A3dMapFileSaysOnceThatItHasNoGeoreferencing) {
  TempFolder folder;
  const GridState grid = MakeDemoGrid(MakeDemoMap({.Width = 200, .Depth = 160}), true);
  Write3dMap(folder.File("demo.o3d"), grid, ViewpointBlock{});
  const std::string asc = folder.File("demo.asc"), xyz = folder.File("demo.dat");
  const CliRun run = RunCli({"export", folder.File("demo.o3d"), "--dem", asc, "--glb",
                             folder.File("demo.glb")});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(Count(run.Err, kMap3dNoGeoreferencingNote), 1u);
  EXPECT_EQ(Count(run.Err, kDemUngeoreferencedNote), 0u);
  EXPECT_EQ(ReadDemInfo(asc)->Driver, "AAIGrid");  // the extension names the format
  EXPECT_EQ(ReadDemInfo(asc)->Columns, grid.GridWidth);  // the cells the 3D map file keeps

  // A format named in any case.
  const CliRun named = RunCli({"export", folder.File("demo.o3d"), "--dem", xyz, "--format", "xyz"});
  ASSERT_EQ(named.Exit, 0) << named.Err;
  EXPECT_EQ(named.Out, "dem " + xyz + " (XYZ)\n");
  EXPECT_EQ(ReadDemInfo(xyz)->Driver, "XYZ");
}

TEST(ExportCommand, WrongArgumentsBadTargetsAndAGridWithoutHeightsFailLeavingNoFile) {
  TempFolder folder;
  const std::string map = TERRAK_SOURCE_DIR "/samples/demo6.ocd";
  const std::string stl = folder.File("x.stl");
  const auto usage = [&](std::vector<std::string> args, const std::string& reason) {
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.Exit, 2) << run.Err;
    EXPECT_NE(run.Err.find(reason), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("usage: terrak-cli export"), std::string::npos) << run.Err;
  };
  usage({"export", map, "--symbols", "101"}, "nothing to export: give --dem, --glb or --stl");
  usage({"export", map, "--stl", stl}, "a map needs --symbols");
  usage({"export", map, "--symbols", "101", "--stl", stl, "--exaggeration", "0"},
        "--exaggeration: wants a number from 0.1 to 100");
  usage({"export", map, "--symbols", "101", "--stl", stl, "--interval", "101"}, "1 to 100");
  // A size no model can have (infinite in the files' numbers).
  usage({"export", map, "--symbols", "101", "--stl", stl, "--print-width", "1e39"},
        "--print-width: wants a number from 10 to 2000");
  usage({"export", map, "--symbols", "101", "--stl", stl, "--base", "0.4"},
        "--base: wants a number from 0.5 to 100");
  // Raster formats that make no DEM file, and one GDAL does not know.
  for (const char* format : {"VRT", "NoSuchFormat"})
    usage({"export", map, "--symbols", "101", "--dem", folder.File("x.tif"), "--format", format},
          "--format: wants one of GTiff, COG, AAIGrid, XYZ, HFA, GS7BG, SAGA, BT, netCDF");
  usage({"export", map, "--symbols", "101", "--glb", folder.File("x.glb"), "--format", "GTiff"},
        "--format names the DEM's format");
  EXPECT_FALSE(FileExists(stl));

  EXPECT_FALSE(FileExists(folder.File("x.tif")));
  // A missing folder, a folder in the way: exit 1, no file.
  const CliRun missing = RunCli({"export", map, "--symbols", "101,102", "--glb",
                                 folder.File("none/x.glb")});
  EXPECT_EQ(missing.Exit, 1);
  EXPECT_NE(missing.Err.find(folder.File("none/x.glb")), std::string::npos) << missing.Err;
  const CliRun directory = RunCli({"export", map, "--symbols", "101,102", "--dem", folder.Path()});
  EXPECT_EQ(directory.Exit, 1);
  EXPECT_NE(directory.Err.find(folder.Path()), std::string::npos) << directory.Err;

  // A grid without heights is refused before any file is written: the demo Mapper map keeps
  // its heights under another tag than the one named.
  const std::string omap = TERRAK_SOURCE_DIR "/samples/demo.omap";
  const std::string xdem = folder.File("x.tif"), glb = folder.File("x.glb");
  const CliRun untagged = RunCli({"export", omap, "--symbols", "101,102", "--height-tag", "none",
                                  "--dem", xdem, "--glb", glb});
  EXPECT_EQ(untagged.Exit, 1) << untagged.Err;
  EXPECT_NE(untagged.Err.find(std::string("terrak-cli: ") + kNoHeightsMessage + "\n"),
            std::string::npos)
      << untagged.Err;
  EXPECT_TRUE(untagged.Out.empty()) << untagged.Out;
  EXPECT_FALSE(FileExists(xdem));
  EXPECT_FALSE(FileExists(glb));
}

TEST(DemFormatForFile, TheExtensionNamesTheFormatWhateverItsLettersAndGeoTiffOtherwise) {
  EXPECT_EQ(std::tuple(DemFormatForFile("/a/dem.TIFF"), DemFormatForFile("/a/dem.Asc"),
                       DemFormatForFile("dem.xyz"), DemFormatForFile("dem.dat")),
            std::tuple("GTiff", "AAIGrid", "XYZ", "GTiff"));
  EXPECT_EQ(DemFormatForFile("/a.asc/dem"), "GTiff");  // a folder's dot is no extension
}

TEST(ExportOutputs, TheGeoreferencingGivenPlacesTheDem) {
  TempFolder folder;
  const GridState grid = FunctionGrid(20, 10, -50, 30, [](double x, double y) { return x + y + 1; });
  Georeferencing georef = GeoreferencingFromOffsetAngle(500000.0, 6200000.0, 0.0, 1.0);
  georef.EpsgCode = 3006;
  cli::ExportOptions options;
  options.Dem = folder.File("placed.tif");
  std::ostringstream out, err;
  cli::ErrorOutput errors(err, false);
  cli::RunContext run(out, errors, folder.Path(), nullptr);
  cli::WriteExportOutputs(options, grid, georef, run);
  const std::optional<DemInfo> d = ReadDemInfo(options.Dem);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->Epsg, 3006);
  EXPECT_DOUBLE_EQ(d->GeoTransform[0], 500000.0 - 50 - 0.5);
  EXPECT_DOUBLE_EQ(d->GeoTransform[3], 6200000.0 + 30 + 10 - 0.5);
  EXPECT_EQ(err.str().find("note"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace terrak

// The viewer's Export menu: options, the file beside the map, the map's georeferencing, the
// progress window of large grids and a Cancel that leaves no file.
#include "viewer/export_commands.h"

#include <gtest/gtest.h>

#include <tuple>
#include <sys/stat.h>

#include <cmath>

#include "export/dem_export.h"
#include "export/export_error.h"
#include "export/export_fixtures.h"
#include "export/export_notes.h"
#include "terrain/map3d_file.h"
#include "platform/file_error.h"
#include "platform/file_stream.h"
#include "platform/read_only_file.h"
#include "support/exported_files.h"
#include "support/temp_folder.h"
#include "viewer_session.h"

namespace terrak {
namespace {

using namespace terrak::testing;

TEST(ViewerExport, OnlyWithAGridAndTheDemGoesBesideTheMapInTheFormatChosen) {
  TempFolder folder;
  ViewerSession s;
  s.Model.MapFileName = folder.File("forest.ocd");
  s.Grid = FlatGrid(10, 10, 700);  // an earlier window's grid, to be built anew
  s.OpenOnMap();
  EXPECT_FALSE(ExportsEnabled(s.Viewer, s.Grid));  // the wedding cake: no grid of its own yet
  TerrainasDEM1Click(s.Window);
  EXPECT_TRUE(s.Host.OptionKinds.empty());
  EXPECT_EQ(s.Dialogs.MessageTexts(), std::vector<std::string>{kNoGridMessage});
  ToggleWiremeshWeddingcake1Click(s.Window);
  FormPaint(s.Window, 160, 140);
  ASSERT_TRUE(ExportsEnabled(s.Viewer, s.Grid));

  s.Host.ExportOptions = [](ExportChoices& c) {
    EXPECT_EQ(c.DemFormat, "GTiff");
    c.DemFormat = "AAIGrid";
    return true;
  };
  const std::string target = folder.File("forest.asc");
  s.Dialogs.FileAnswers = {target};
  TerrainasDEM1Click(s.Window);
  EXPECT_EQ(s.Host.OptionKinds.back(), ExportKind::Dem);
  ASSERT_EQ(s.Dialogs.FileDialogs.size(), 1u);
  const FileDialogOptions& dialog = s.Dialogs.FileDialogs[0];
  EXPECT_EQ(std::tie(dialog.Filter, dialog.DefaultExtension, dialog.ProposedName),
            std::tuple("ESRI ASCII grid|*.asc", "asc", target));
  EXPECT_TRUE(dialog.AskBeforeOverwrite);
  const std::optional<DemInfo> dem = ReadDemInfo(target);
  ASSERT_TRUE(dem);
  EXPECT_EQ(std::tuple(dem->Driver, dem->Columns, dem->Rows), std::tuple("AAIGrid", 40, 30));
  EXPECT_FLOAT_EQ(DemPixel(target, 3, 4), 100.0f);
  EXPECT_EQ(s.Dialogs.MessageTexts().back(), "Terrain exported to " + target + "\n\n" +
                                                 kDemUngeoreferencedNote + ".");

  // The format is offered again; a GeoTIFF proposes ".tif".
  s.Host.ExportOptions = [](ExportChoices& c) {
    EXPECT_EQ(c.DemFormat, "AAIGrid");
    c.DemFormat = "GTiff";
    return true;
  };
  s.Dialogs.FileAnswers = {std::nullopt};  // and the file dialog is cancelled
  TerrainasDEM1Click(s.Window);
  EXPECT_EQ(s.Dialogs.FileDialogs.back().ProposedName, folder.File("forest.tif"));
  EXPECT_EQ(s.Dialogs.FileDialogs.back().Filter, "GeoTIFF|*.tif *.tiff");
  EXPECT_FALSE(FileExists(folder.File("forest.tif")));
}

TEST(ViewerExport, TheMapsGeoreferencingPlacesTheDemButA3dMapFileHasNone) {
  TempFolder folder;
  ViewerSession s(FunctionGrid(30, 20, 100, 200, [](double x, double) { return 50.0 + x; }));
  s.Model.Georef = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 0.0, 1.0);
  s.Model.Georef.EpsgCode = 32631;
  s.OpenOnMesh();
  s.Dialogs.FileAnswers = {folder.File("placed.tif")};
  TerrainasDEM1Click(s.Window);
  std::optional<DemInfo> dem = ReadDemInfo(folder.File("placed.tif"));
  ASSERT_TRUE(dem);
  EXPECT_EQ(dem->Epsg, 32631);
  EXPECT_DOUBLE_EQ(dem->GeoTransform[0], 431000.0 + 100 - 0.5);
  EXPECT_DOUBLE_EQ(dem->GeoTransform[3], 4650000.0 + 200 + 20 - 0.5);
  EXPECT_EQ(s.Dialogs.MessageTexts().back(), "Terrain exported to " + folder.File("placed.tif"));

  // The same grid from a 3D map file, the georeferenced map still open in the main window.
  Write3dMap(folder.File("hill.o3d"), s.Grid, s.Viewer.Viewpoints);
  FormClose(s.Window);
  OpenViewerOn3dMap(s.Viewer, s.Grid, folder.File("hill.o3d"));
  FormActivate(s.Window);
  ASSERT_TRUE(ExportsEnabled(s.Viewer, s.Grid));
  s.Dialogs.FileAnswers = {folder.File("hill.tif")};
  TerrainasDEM1Click(s.Window);
  EXPECT_EQ(s.Dialogs.FileDialogs.back().ProposedName, folder.File("hill.tif"));
  dem = ReadDemInfo(folder.File("hill.tif"));
  ASSERT_TRUE(dem);
  EXPECT_EQ(dem->Epsg, 0);
  EXPECT_DOUBLE_EQ(dem->GeoTransform[0], 100 - 0.5);
  EXPECT_EQ(s.Dialogs.MessageTexts().back(), "Terrain exported to " + folder.File("hill.tif") +
                                                 "\n\n" + kMap3dNoGeoreferencingNote + ".");
}

TEST(ViewerExport, MeshesTakeTheViewersGridIntervalAndTheStlItsPrintSize) {
  TempFolder folder;
  // 41 x 31 cells rising from 100 m in the west to 120 m in the east.
  ViewerSession s(FunctionGrid(41, 31, 0, 0, [](double x, double) { return 100.0 + 0.5 * x; }));
  s.Settings.GridInterval = 3;
  s.Viewer.LastExport.Interval = 7;  // the viewer's interval counts, not the last one typed
  s.OpenOnMesh();
  s.Dialogs.FileAnswers = {folder.File("hill.glb")};
  s.Host.ExportOptions = [](ExportChoices& c) {
    EXPECT_EQ(c.Interval, 3);
    c.Exaggeration = 2;
    return true;
  };
  Terrainas3DmodelglTF1Click(s.Window);
  EXPECT_EQ(s.Host.OptionKinds.back(), ExportKind::Glb);
  const std::optional<GlbInfo> glb = ReadGlbInfo(folder.File("hill.glb"));
  ASSERT_TRUE(glb);
  // Columns 0, 3, .. 39, 40; rows 0, 3, .. 30.
  EXPECT_EQ(std::tuple(glb->Vertices, glb->Indices), std::tuple(15u * 11u, 14u * 10u * 6u));
  EXPECT_NEAR(glb->Max[1], 20.0 * 2, 1e-4);  // the rise of 20 m, exaggerated twice, y up

  s.Host.ExportOptions = [](ExportChoices& c) {
    c.PrintWidthMm = 100;
    c.BaseMm = 2;
    c.Exaggeration = 2;
    return true;
  };
  s.Dialogs.FileAnswers = {folder.File("hill.stl")};
  Terrainfor3DprintingSTL1Click(s.Window);
  const std::optional<StlInfo> stl = ReadStlInfo(folder.File("hill.stl"));
  ASSERT_TRUE(stl);
  // 30 m of 40 m north; up, the base + the rise x mm/m x exaggeration.
  EXPECT_EQ(std::tuple(stl->Min[0], stl->Max[0], stl->Max[1], stl->Max[2]),
            std::tuple(0.0f, 100.0f, 75.0f, 2.0f + 20.0f * 2.5f * 2.0f));
  EXPECT_EQ(s.Viewer.LastExport.PrintWidthMm, 100);

  // Choices out of range say why and ask for no file.
  const std::size_t dialogs = s.Dialogs.FileDialogs.size();
  s.Host.ExportOptions = [](ExportChoices& c) {
    c.BaseMm = 0;
    return true;
  };
  Terrainfor3DprintingSTL1Click(s.Window);
  EXPECT_EQ(s.Dialogs.MessageTexts().back(), "The base must lie between 0.5 and 100 mm thick");
  EXPECT_EQ(s.Dialogs.FileDialogs.size(), dialogs);
  EXPECT_EQ(s.Viewer.LastExport.BaseMm, 2);
}

TEST(ViewerExport, LargeGridsShowProgressAndCancelOrARefusalLeavesTheFileAsItWas) {
  TempFolder folder;
  ViewerSession s(FlatGrid(1000, 1000, 500));  // exactly the cells that get a progress window
  s.OpenOnMesh();
  const std::string target = folder.File("big.stl");
  WriteText(target, "old");
  s.Host.ExportOptions = [](ExportChoices& c) {
    c.Interval = 20;
    return true;
  };
  s.Host.CancelFrom = 0.5;
  s.Dialogs.FileAnswers = {target};
  const std::size_t messages = s.Dialogs.Messages.size();
  Terrainfor3DprintingSTL1Click(s.Window);
  EXPECT_EQ(s.Host.ProgressCaptions, std::vector<std::string>{"Exporting the model for printing"});
  ASSERT_FALSE(s.Host.ProgressShown.empty());
  EXPECT_GE(s.Host.ProgressShown.back(), 0.5);
  EXPECT_FALSE(s.Host.ProgressOpen);
  EXPECT_EQ(ReadText(target), "old");
  EXPECT_EQ(s.Dialogs.Messages.size(), messages);  // cancelling is no failure to report
  EXPECT_EQ(s.Dialogs.BusyDepth, 0);

  // Without Cancel the bar reaches its end and the window goes.
  s.Host.CancelFrom = 2.0;
  s.Host.ProgressShown.clear();
  s.Dialogs.FileAnswers = {target};
  Terrainfor3DprintingSTL1Click(s.Window);
  EXPECT_EQ(s.Host.ProgressShown.back(), 1.0);
  EXPECT_FALSE(s.Host.ProgressOpen);
  EXPECT_TRUE(ReadStlInfo(target));

  // A read-only target is replaced only when the user says so.
  WriteText(target, "kept");
  ::chmod(target.c_str(), 0444);
  s.Dialogs.FileAnswers = {target};
  s.Dialogs.MessageAnswers = {DialogButton::No};
  Terrainfor3DprintingSTL1Click(s.Window);
  EXPECT_EQ(s.Dialogs.MessageTexts().back(), ReplaceReadOnlyQuestion(target));
  EXPECT_EQ(ReadText(target), "kept");

  // Options cancelled: no file dialog. A folder that does not exist: the file error goes on to
  // the window's one handler.
  const std::size_t dialogs = s.Dialogs.FileDialogs.size();
  s.Host.ExportOptions = [](ExportChoices&) { return false; };
  Terrainas3DmodelglTF1Click(s.Window);
  EXPECT_EQ(s.Dialogs.FileDialogs.size(), dialogs);
  s.Host.ExportOptions = {};
  s.Dialogs.FileAnswers = {folder.File("missing/big.glb")};
  EXPECT_THROW(Terrainas3DmodelglTF1Click(s.Window), FileError);
  EXPECT_FALSE(s.Host.ProgressOpen);
  EXPECT_EQ(s.Dialogs.BusyDepth, 0);
}

TEST(CheckExportChoices, EachKindChecksOnlyWhatItUsesWithinTheRangesOffered) {
  ExportChoices c;
  EXPECT_FALSE(CheckExportChoices(ExportKind::Stl, c));
  auto choices = std::tie(c.Interval, c.Exaggeration, c.PrintWidthMm, c.BaseMm);
  choices = std::tuple(1, 0.1, 10.0, 0.5);
  EXPECT_FALSE(CheckExportChoices(ExportKind::Stl, c));  // the lower ends belong to the ranges
  choices = std::tuple(100, 100.0, 2000.0, 100.0);
  EXPECT_FALSE(CheckExportChoices(ExportKind::Stl, c));  // and so do the upper ones
  c.Interval = 101;
  EXPECT_EQ(CheckExportChoices(ExportKind::Glb, c), "The grid interval must lie between 1 and 100");
  EXPECT_FALSE(CheckExportChoices(ExportKind::Dem, c));  // a DEM has no interval
  c.Interval = 5;
  c.Exaggeration = std::nan("");
  EXPECT_EQ(CheckExportChoices(ExportKind::Glb, c),
            "The vertical exaggeration must lie between 0.1 and 100");
  c.Exaggeration = 1;
  c.PrintWidthMm = 9.99;
  EXPECT_FALSE(CheckExportChoices(ExportKind::Glb, c));  // a glTF has no print width
  EXPECT_EQ(CheckExportChoices(ExportKind::Stl, c), "The print width must lie between 10 and 2000 mm");
  c.DemFormat.clear();
  EXPECT_EQ(CheckExportChoices(ExportKind::Dem, c), "Choose a raster format for the DEM");
}

TEST(ViewerExport, SmallGridsGetNoProgressWindowAndNamesAreProposedBesideTheSource) {
  ViewerSession s(FlatGrid(999, 1000, 500));
  s.OpenOnMesh();
  s.Dialogs.FileAnswers = {std::nullopt};
  Terrainfor3DprintingSTL1Click(s.Window);
  EXPECT_EQ(s.Dialogs.FileDialogs.back().ProposedName, "terrain.stl");  // no map: "nofile"
  EXPECT_TRUE(s.Host.ProgressCaptions.empty());

  EXPECT_EQ(ProposedExportName("/maps/forest.v2.omap", ".glb"), "/maps/forest.v2.glb");
  EXPECT_EQ(ProposedExportName("/maps.d/forest", ".stl"), "/maps.d/forest.stl");
  EXPECT_EQ(ProposedExportName("", ".tif"), "terrain.tif");
}

}  // namespace
}  // namespace terrak

#include "viewer/viewer_commands.h"

#include <algorithm>
#include <filesystem>

#include "mapfile/map_file_names.h"
#include "terrain/map3d_codec.h"
#include "terrain/map3d_file.h"
#include "platform/file_stream.h"
#include "platform/read_only_file.h"
#include "viewer/depth_ramp.h"
#include "viewer/options.h"
#include "viewer/picture_output.h"
#include "viewer/viewpoint_placement.h"

namespace terrak {

void OpenViewerOnMap(ViewerState& viewer) {
  viewer.GridPending = true;
  viewer.Map3dLoaded = false;
}

void OpenViewerOn3dMap(ViewerState& viewer, GridState& grid, const std::string& fileName) {
  viewer.Map3dFileName = fileName;
  viewer.Map3dLoaded = true;
  grid.ShowMapBitmap = true;
}

void FormActivate(ViewerWindow& w) {
  ViewerState& v = w.Viewer;
  // A new window: its menu, buffers and depth range start afresh; Ray Trace Mode is kept.
  v.Menu = ViewerMenu{};
  v.OnGround = false;
  v.NearestDepth = v.FarthestDepth = 0;
  v.ZBufferOn = true;
  v.BuffersAllocated = false;
  v.MoveStep = 1;
  v.TurnStep = 1;
  v.GridPending = true;
  if (v.Map3dLoaded) {
    Read3dMap(v.Map3dFileName, w.Grid, v.Viewpoints, w.Dialogs);
    v.GridPending = false;
    v.ContourMode = false;
  } else {
    v.ContourMode = true;
    v.CreateXyzFile = v.CreateMatrixFile = false;
    PlaceViewpoints(w.Model, v.Viewpoints);
  }
  v.DepthRamp = BuildDepthRamp(w.Settings.Front3dColour, w.Settings.Back3dColour);
}

void FormPaint(ViewerWindow& w, std::int32_t clientWidth, std::int32_t clientHeight) {
  w.Viewer.RenderWidth = std::max(clientWidth, 0);
  w.Viewer.RenderHeight = std::max(clientHeight - 20, 0);
  commonpaint(w.Scene(), w.Paint);
}

void FormClose(ViewerWindow& w) {
  w.Viewer.Buffers.Free();
  w.Viewer.MeshShares = MeshScratch{};
  w.Viewer.BuffersAllocated = false;
}

void PresetClick(ViewerWindow& w, ViewpointIndex preset) {
  ChoosePreset(w.Viewer, preset);
  w.Host.Invalidate();
}

void ToggleZBuffer1Click(ViewerWindow& w) {
  w.Viewer.ZBufferOn = !w.Viewer.ZBufferOn;
  w.Host.Invalidate();
}

void ShowbitmapClick(ViewerWindow& w) {
  w.Grid.ShowMapBitmap = !w.Grid.ShowMapBitmap;
  w.Host.Invalidate();
}

void RayTraceMode1Click(ViewerWindow& w) { w.Viewer.RayTraceMode = !w.Viewer.RayTraceMode; }

void ToggleWiremeshWeddingcake1Click(ViewerWindow& w) {
  w.Viewer.ContourMode = !w.Viewer.ContourMode;
  w.Host.Invalidate();
}

void Compass1Click(ViewerWindow& w) {
  w.Viewer.Menu.CompassEnabled = false;
  w.Host.OpenCompass();
}

void Inclinometer1Click(ViewerWindow& w) {
  w.Viewer.Menu.InclinometerEnabled = false;
  w.Host.OpenInclinometer();
}

void CompassClosed(ViewerWindow& w) { w.Viewer.Menu.CompassEnabled = true; }
void InclinometerClosed(ViewerWindow& w) { w.Viewer.Menu.InclinometerEnabled = true; }

namespace {

void AskOption(ViewerWindow& w, const NumberOption& option, std::int32_t& value, bool repaint) {
  if (!AskNumberOption(w.Dialogs, option, value)) return;
  w.Model.MapModified = true;
  if (repaint) w.Host.Invalidate();
}

}  // namespace

void Smoothing1Click(ViewerWindow& w) { AskOption(w, kSmoothingOption, w.Settings.Smoothing, true); }
void Smoothingpasses1Click(ViewerWindow& w) {
  AskOption(w, kSmoothingPassesOption, w.Settings.SmoothingPasses, true);
}
void GridInterval1Click(ViewerWindow& w) {
  AskOption(w, kGridIntervalOption, w.Settings.GridInterval, true);
}
void ContourGap1Click(ViewerWindow& w) {
  AskOption(w, kContourGapOption, w.Settings.ContourGap, false);
}

void CreateXYZfileofcontours1Click(ViewerWindow& w) {
  w.Viewer.CreateXyzFile = !w.Viewer.CreateXyzFile;
  w.Viewer.Menu.CreateXyzChecked = w.Viewer.CreateXyzFile;
}

void Creatematrixofwholegrid1Click(ViewerWindow& w) {
  w.Viewer.CreateMatrixFile = !w.Viewer.CreateMatrixFile;
  w.Viewer.Menu.CreateMatrixChecked = w.Viewer.CreateMatrixFile;
}

void StepClick(ViewerWindow& w, std::int32_t moveStep, std::int32_t turnStep) {
  SetSteps(w.Viewer, moveStep, turnStep);
}

void Ontheground1Click(ViewerWindow& w) {
  if (OnTheGroundClick(w.Viewer, w.Grid) != Refresh::None) w.Host.Invalidate();
}

void FormKeyDown(ViewerWindow& w, ArrowKey key, KeyModifiers modifiers) {
  const Refresh refresh = FormKeyDown(w.Viewer, w.Grid, key, modifiers);
  if (refresh == Refresh::None) return;
  w.Host.Invalidate();
  if (refresh == Refresh::ViewAndDirection) w.Host.RepaintDirectionWindows();
}

void Colours1Click(ViewerWindow& w) {
  w.Host.ShowColourDialog();
  w.Model.MapModified = true;
  w.Viewer.DepthRamp = BuildDepthRamp(w.Settings.Front3dColour, w.Settings.Back3dColour);
  w.Host.Invalidate();
}

const Picture& RenderOutputPicture(ViewerWindow& w) {
  w.Viewer.RenderWidth = kOutputWidth;
  w.Viewer.RenderHeight = kOutputHeight;
  commonpaint(w.Scene(), w.Paint);
  return w.Viewer.Composed;
}

void Print1Click(ViewerWindow& w) {
  const std::optional<PageSize> page = w.Host.ChoosePrinter();
  if (!page) return;
  const Rect rect = PrintRectFor(page->Width, page->Height);
  w.Host.PrintPicture(RenderOutputPicture(w), rect);
}

void PrinterSetup1Click(ViewerWindow& w) { w.Host.PrinterSetup(); }

namespace {

// Where a save dialog of the viewer starts: beside the file of its kind saved last, else beside
// the 3D map file or the map the terrain comes from; empty (the dialog's own choice) without any.
std::string SaveFolder(const ViewerWindow& w, const std::string& savedLast) {
  std::string beside = savedLast;
  if (beside.empty()) beside = w.Viewer.Map3dLoaded ? w.Viewer.Map3dFileName : w.Model.MapFileName;
  if (beside.empty() || beside == "nofile") return "";
  return std::filesystem::path(beside).parent_path().string();
}

}  // namespace

void SaveBitmap1Click(ViewerWindow& w) {
  FileDialogOptions options;
  options.DefaultExtension = "bmp";
  options.Filter = "Bitmap (.bmp)|*.bmp";
  options.InitialFolder = SaveFolder(w, w.Viewer.BitmapFileName);
  options.AskBeforeOverwrite = true;
  const std::optional<std::string> name = w.Dialogs.SaveFileName(options);
  if (!name || !MayReplaceFile(w.Dialogs, *name)) return;
  w.Viewer.BitmapFileName = *name;
  ReplaceFileAtomically(*name, EncodeBmp24(RenderOutputPicture(w)));
  w.Dialogs.Message(BitmapSavedMessage(*name, kOutputWidth, kOutputHeight), MessageType::Plain,
                    static_cast<unsigned>(DialogButton::Ok));
}

void SaveLocation1Click(ViewerWindow& w) { SaveLocation(w.Viewer, w.Settings, w.Model); }

void LoadLocation1Click(ViewerWindow& w) {
  LoadLocation(w.Viewer, w.Settings);
  w.Host.Invalidate();
}

void Save3dMapClick(ViewerWindow& w) {
  // Said before a file is chosen: the file cannot hold every terrain's heights.
  if (const std::optional<std::string> notHeld = Map3dHeightsNotHeld(w.Grid)) {
    w.Dialogs.Message(*notHeld, MessageType::Warning, static_cast<unsigned>(DialogButton::Ok));
    return;
  }
  FileDialogOptions options;
  options.DefaultExtension = ".o3d";
  options.Filter = "Ocad 3d Map (.o3d)|*.o3d";
  options.ProposedName = Proposed3dMapName(w.Model.MapFileName);
  options.InitialFolder = SaveFolder(w, w.Viewer.Map3dFileName);
  options.AskBeforeOverwrite = true;
  const std::optional<std::string> name = w.Dialogs.SaveFileName(options);
  if (!name || !MayReplaceFile(w.Dialogs, *name)) return;
  {
    BusyCursor busy(w.Dialogs);
    w.Viewer.Map3dFileName = *name;
    Write3dMap(*name, w.Grid, w.Viewer.Viewpoints);
  }
  w.Host.ShowStatusMessage("Saved " + *name);
}

void Show2Dmap1Click(ViewerWindow& w) {
  w.Viewer.Menu.Show2DmapEnabled = false;
  w.Host.OpenOverview();
}

}  // namespace terrak

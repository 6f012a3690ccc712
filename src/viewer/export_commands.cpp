#include "viewer/export_commands.h"

#include <algorithm>
#include <memory>

#include "export/dem_formats.h"
#include "export/export_error.h"
#include "export/export_file.h"
#include "export/export_notes.h"
#include "export/glb_export.h"
#include "export/stl_export.h"
#include "platform/read_only_file.h"

namespace terrak {
namespace {

struct KindText {
  const char* Caption;   // of the file dialog
  const char* Progress;  // of the progress window
};

KindText TextOf(ExportKind kind) {
  switch (kind) {
    case ExportKind::Dem: return {"Export the terrain as a DEM", "Exporting the DEM"};
    case ExportKind::Glb: return {"Export the terrain as a 3D model", "Exporting the 3D model"};
    case ExportKind::Stl: break;
  }
  return {"Export the terrain for 3D printing", "Exporting the model for printing"};
}

// The file dialog of an export: the format's files, the name proposed beside the map (or the 3D
// map file the viewer shows).
FileDialogOptions FileDialogFor(ExportKind kind, const ExportChoices& choices,
                                const std::string& source) {
  std::string description, extensions;
  std::vector<std::string> patterns;
  if (kind == ExportKind::Dem) {
    const std::vector<DemFormat> offered = OfferedDemFormats();
    const DemFormat* format = FindDemFormat(offered, choices.DemFormat);
    description = format ? format->Description : choices.DemFormat;
    if (format) patterns = format->Extensions;
  } else if (kind == ExportKind::Glb) {
    description = "glTF binary";
    patterns = {".glb"};
  } else {
    description = "STL";
    patterns = {".stl"};
  }
  FileDialogOptions options;
  options.Caption = TextOf(kind).Caption;
  for (const std::string& extension : patterns)
    extensions += (extensions.empty() ? "*" : " *") + extension;
  options.Filter = extensions.empty() ? description + "|*" : description + "|" + extensions;
  if (!patterns.empty()) options.DefaultExtension = patterns.front().substr(1);
  options.ProposedName =
      ProposedExportName(source, patterns.empty() ? std::string() : patterns.front());
  options.AskBeforeOverwrite = true;
  return options;
}

std::vector<std::string> WriteExport(ExportKind kind, const std::string& target,
                                     const ExportChoices& c, const GridState& grid,
                                     const Georeferencing& georef,
                                     const ExportProgressCallback& progress) {
  if (kind == ExportKind::Dem) {
    DemOptions options;
    options.Format = c.DemFormat;
    return WriteDemFile(target, grid, georef, options, progress);
  }
  if (kind == ExportKind::Glb) {
    GlbOptions options;
    options.Interval = c.Interval;
    options.Exaggeration = c.Exaggeration;
    return WriteGlbFile(target, grid, georef, options, progress);
  }
  StlOptions options;
  options.Interval = c.Interval;
  options.Exaggeration = c.Exaggeration;
  options.PrintWidthMm = c.PrintWidthMm;
  options.BaseMm = c.BaseMm;
  return WriteStlFile(target, grid, georef, options, progress);
}

void ExportTerrain(ViewerWindow& w, ExportKind kind) {
  if (!ExportsEnabled(w.Viewer, w.Grid)) {
    w.Dialogs.Message(kNoGridMessage, MessageType::Information,
                      static_cast<unsigned>(DialogButton::Ok));
    return;
  }
  ExportChoices choices = w.Viewer.LastExport;
  choices.Interval = std::clamp<std::int32_t>(w.Settings.GridInterval,
                                              static_cast<std::int32_t>(kExportIntervalRange.Min),
                                              static_cast<std::int32_t>(kExportIntervalRange.Max));
  if (!w.Host.ChooseExportOptions(kind, choices)) return;
  if (const std::optional<std::string> problem = CheckExportChoices(kind, choices)) {
    w.Dialogs.Message(*problem, MessageType::Warning, static_cast<unsigned>(DialogButton::Ok));
    return;
  }
  w.Viewer.LastExport = choices;

  const bool from3dMap = w.Viewer.Map3dLoaded;
  const std::string source = from3dMap ? w.Viewer.Map3dFileName : w.Model.MapFileName;
  const std::optional<std::string> name =
      w.Dialogs.SaveFileName(FileDialogFor(kind, choices, source));
  if (!name || !MayReplaceFile(w.Dialogs, *name)) return;

  // A 3D map file keeps no georeferencing, whatever map is open in the main window.
  const Georeferencing georef = from3dMap ? Georeferencing{} : w.Model.Georef;
  std::vector<std::string> notes;
  {
    BusyCursor busy(w.Dialogs);
    std::unique_ptr<ExportProgressWindow> window;
    if (w.Grid.HeightGrid.Columns() * w.Grid.HeightGrid.Rows() >= kExportProgressCells)
      window = w.Host.OpenExportProgress(TextOf(kind).Progress);
    ExportProgressCallback progress;
    if (window) progress = [&window](double fraction) { return window->Report(fraction); };
    try {
      notes = WriteExport(kind, *name, choices, w.Grid, georef, progress);
    } catch (const ExportCancelled&) {
      return;  // the user's own choice: nothing was written, nothing to report
    }
  }
  if (from3dMap) {
    notes = WithoutNote(std::move(notes), kDemUngeoreferencedNote);
    notes.insert(notes.begin(), kMap3dNoGeoreferencingNote);
  }
  w.Dialogs.Message(ExportedMessage(*name, notes), MessageType::Information,
                    static_cast<unsigned>(DialogButton::Ok));
}

}  // namespace

bool ExportsEnabled(const ViewerState& viewer, const GridState& grid) {
  return !viewer.GridPending && !grid.HeightGrid.Empty();
}

std::string ProposedExportName(const std::string& source, const std::string& extension) {
  if (source.empty() || source == "nofile") return "terrain" + extension;
  return source.substr(0, source.size() - FileExtension(source).size()) + extension;
}

std::string ExportedMessage(const std::string& fileName, const std::vector<std::string>& notes) {
  std::string text = "Terrain exported to " + fileName;
  if (!notes.empty()) text += "\n";
  for (const std::string& note : notes) text += "\n" + note + ".";
  return text;
}

void TerrainasDEM1Click(ViewerWindow& w) { ExportTerrain(w, ExportKind::Dem); }
void Terrainas3DmodelglTF1Click(ViewerWindow& w) { ExportTerrain(w, ExportKind::Glb); }
void Terrainfor3DprintingSTL1Click(ViewerWindow& w) { ExportTerrain(w, ExportKind::Stl); }

}  // namespace terrak

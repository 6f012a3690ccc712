#include "cli/export_outputs.h"

#include <cmath>
#include <functional>
#include <ostream>

#include "export/dem_export.h"
#include "export/dem_formats.h"
#include "export/export_notes.h"
#include "export/glb_export.h"
#include "export/stl_export.h"

namespace terrak::cli {
namespace {

// "Writing the DEM to FILE: 37%", the counter written over itself on a terminal; elsewhere
// only the last line stays.
ExportProgressCallback PercentLine(ErrorOutput& err, const std::string& what) {
  return [&err, what, shown = -1](double fraction) mutable {
    const int percent = static_cast<int>(std::floor(fraction * 100.0));
    if (percent == shown) return true;
    if (shown >= 0) err.BackUp();
    shown = percent;
    err.Progress(what + ": " + std::to_string(percent) + "%");
    return true;
  };
}

void Write(RunContext& run, const std::string& what, const std::string& summary,
           const std::function<std::vector<std::string>(const ExportProgressCallback&)>& write,
           bool from3dMap) {
  std::vector<std::string> notes = write(PercentLine(run.Err, what));
  run.Err.EndProgress();
  // The missing georeferencing of a 3D map file is said once, for all its outputs.
  if (from3dMap) notes = WithoutNote(std::move(notes), kDemUngeoreferencedNote);
  for (const std::string& note : notes) run.Err.Line("terrak-cli: note: " + note);
  run.Out << summary << '\n';
}

struct Outputs {
  DemOptions Dem;
  GlbOptions Glb;
  StlOptions Stl;
};

Outputs OptionsOf(const ExportOptions& o, RunContext& run) {
  Outputs outputs;
  if (!o.Dem.empty()) {
    // The name as the program spells it, whatever letters the user typed.
    const DemFormat& format =
        DemFormatNamed(o.DemFormat.empty() ? DemFormatForFile(o.Dem) : o.DemFormat);
    outputs.Dem.Format = format.Driver;
    if (format.NeedsDiskFile) outputs.Dem.DiskFolder = run.Scratch().Path();
  }
  outputs.Glb.Interval = outputs.Stl.Interval = o.Interval;
  outputs.Glb.Exaggeration = outputs.Stl.Exaggeration = o.Exaggeration;
  outputs.Stl.PrintWidthMm = o.PrintWidthMm;
  outputs.Stl.BaseMm = o.BaseMm;
  return outputs;
}

}  // namespace

void WriteExportOutputs(const ExportOptions& o, const GridState& grid, const Georeferencing& georef,
                        RunContext& run) {
  const Outputs options = OptionsOf(o, run);
  // Whatever one of the files would refuse stops the run before any file is written.
  if (!o.Dem.empty()) CheckDemExport(grid, options.Dem);
  if (!o.Glb.empty()) CheckGlbExport(grid, georef, options.Glb);
  if (!o.Stl.empty()) CheckStlExport(grid, georef, options.Stl);

  if (o.Map3dFile) run.Err.Line(std::string("terrak-cli: note: ") + kMap3dNoGeoreferencingNote);
  if (!o.Dem.empty()) {
    Write(run, "Writing the DEM to " + o.Dem, "dem " + o.Dem + " (" + options.Dem.Format + ")",
          [&](const ExportProgressCallback& progress) {
            return WriteDemFile(o.Dem, grid, georef, options.Dem, progress);
          },
          o.Map3dFile);
  }
  if (!o.Glb.empty()) {
    Write(run, "Writing the glTF model to " + o.Glb, "glb " + o.Glb,
          [&](const ExportProgressCallback& progress) {
            return WriteGlbFile(o.Glb, grid, georef, options.Glb, progress);
          },
          o.Map3dFile);
  }
  if (!o.Stl.empty()) {
    Write(run, "Writing the STL model to " + o.Stl, "stl " + o.Stl,
          [&](const ExportProgressCallback& progress) {
            return WriteStlFile(o.Stl, grid, georef, options.Stl, progress);
          },
          o.Map3dFile);
  }
}

}  // namespace terrak::cli

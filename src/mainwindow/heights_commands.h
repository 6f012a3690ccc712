#pragma once
// The Edit menu's heights commands over the open map: heights from the known contours with a
// preview to accept or cancel, and undo of each change of heights. Every change goes through
// the map's own height writing into the model and the working copy.
#include <optional>
#include <string>

#include "common/colour.h"
#include "heights/height_result.h"
#include "mainwindow/map_window.h"

namespace terrak {

inline constexpr const char* kNoContoursMessage =
    "None of the shown symbols is a contour, index contour or form line: choose them in "
    "Edit > Contour Settings.";
inline constexpr const char* kPreviewLegend =
    "Black: known, green: derived, orange: guessed, blue: from the DEM, red: in conflict, "
    "magenta: without a height.";
inline constexpr const char* kDemDialogCaption = "Heights from a DEM";
inline constexpr const char* kDemFilter =
    "Elevation rasters (GeoTIFF, ASCII grid, ...)|*.tif *.tiff *.asc *.img *.vrt *.dem *.hgt *.bil "
    "*.flt *.xyz|All files|*";
inline constexpr const char* kNoFindingsMessage = "No contradiction among the heights";
inline constexpr const char* kNothingToUndoMessage = "No change of heights to undo";

// The colour a contour object is drawn in while its state is previewed.
Colour PreviewColour(heights::HeightState state);

// The heights core's picture of the shown objects with the map's contour roles.
heights::HeightMap ShownHeightMap(const AppState& app);

// Writes changes as one undo step; says (in a message) which ones the map cannot hold. Marks
// the map changed when anything was written. Returns how many objects got a new height.
std::size_t WriteHeightsStep(MapWindow& w, const heights::HeightChanges& changes);

// Shows result as a preview with its status text, asks whether to write it and writes its
// heights when the user agrees. Returns whether they were written.
bool PreviewAndAccept(MapWindow& w, const heights::HeightMap& map,
                      const heights::HeightsResult& result);

// Forgets the preview and the undo steps: the objects they number are read again.
void ForgetHeightsHistory(AppState& app);

void HeightsFromKnownClick(MapWindow& w);
// Samples a DEM along each contour object and offers the heights as a preview; a map that does
// not say where it lies, a DEM without a coordinate system or one that does not cover the map
// get a message and nothing changes.
void HeightsFromDemClick(MapWindow& w);
// Lists every contradiction among the heights (the window shows the list).
void CheckHeightsClick(MapWindow& w);
// Centres the map on a finding of the list, highlights its objects and says its reason.
void ShowFinding(MapWindow& w, std::int32_t index);
// The next (step 1) or previous (-1) finding, round the list; the first or last to begin with.
void NextFinding(MapWindow& w, std::int32_t step);
void UndoHeightsClick(MapWindow& w);

}  // namespace terrak

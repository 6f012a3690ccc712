#pragma once
// The viewer's Export menu: the terrain grid as a DEM, as a glTF model and as an STL for
// printing. Each item asks for its options, then for the file (proposed beside the map), writes
// it with a progress window on large grids, and shows where it went and what the user should
// know about it. A cancelled export writes nothing.
#include <cstdint>
#include <string>

#include "viewer/export_choices.h"
#include "viewer/viewer_window.h"

namespace terrak {

// Grids of at least this many cells get a progress window; smaller ones only the busy cursor.
inline constexpr std::int64_t kExportProgressCells = 1'000'000;

// Whether the viewer holds a grid to export: built at a mesh paint or read from a 3D map file.
bool ExportsEnabled(const ViewerState& viewer, const GridState& grid);

// The source's name with its extension replaced ("/maps/forest.ocd" and ".tif" give
// "/maps/forest.tif"); "terrain" and the extension when there is no source.
std::string ProposedExportName(const std::string& source, const std::string& extension);

// What the user sees after a written export: where it went, then every note.
std::string ExportedMessage(const std::string& fileName, const std::vector<std::string>& notes);

void TerrainasDEM1Click(ViewerWindow& w);
void Terrainas3DmodelglTF1Click(ViewerWindow& w);
void Terrainfor3DprintingSTL1Click(ViewerWindow& w);

}  // namespace terrak

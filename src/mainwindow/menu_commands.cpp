#include "mainwindow/menu_commands.h"

#include "mainwindow/along_line_mode.h"
#include "mainwindow/contour_settings.h"
#include "mainwindow/edit_commands.h"
#include "mainwindow/file_commands.h"
#include "mainwindow/height_tag_choice.h"
#include "mainwindow/heights_commands.h"
#include "mainwindow/navigation.h"

namespace terrak {

void MenuItemClick(MapWindow& w, MenuItem item) {
  switch (item) {
    case MenuItem::Openmap: return OpenmapClick(w);
    case MenuItem::Savemap: return SavemapClick(w);
    case MenuItem::saveasmap: return saveasmapClick(w);
    case MenuItem::exit: return exitClick(w);
    case MenuItem::Open3Dmap: return Open3DmapClick(w);
    case MenuItem::Addsymbols: return AddsymbolsClick(w);
    case MenuItem::Elevations: return ElevationsClick(w);
    case MenuItem::ChangeType: return ChangeTypeClick(w);
    case MenuItem::TraceTolerance: return TraceToleranceClick(w);
    case MenuItem::ChangeColourScheme: return ChangeColourSchemeClick(w);
    case MenuItem::Changeallheights1: return Changeallheights1Click(w);
    case MenuItem::ChooseHeightTag: return ChooseHeightTagClick(w);
    case MenuItem::ContourSettings: return ContourSettingsClick(w);
    case MenuItem::HeightsFromKnown: return HeightsFromKnownClick(w);
    case MenuItem::HeightsAlongLine: return HeightsAlongLineClick(w);
    case MenuItem::HeightsFromDem: return HeightsFromDemClick(w);
    case MenuItem::CheckHeights: return CheckHeightsClick(w);
    case MenuItem::UndoHeights: return UndoHeightsClick(w);
    case MenuItem::Redraw: return RedrawClick(w);
    case MenuItem::MoveView: return MoveViewClick(w);
    case MenuItem::sixteensize: return ZoomItemClick(w, 0);
    case MenuItem::eightsize: return ZoomItemClick(w, 1);
    case MenuItem::foursize: return ZoomItemClick(w, 2);
    case MenuItem::doublesize: return ZoomItemClick(w, 3);
    case MenuItem::normalsize: return ZoomItemClick(w, 4);
    case MenuItem::halfsize: return ZoomItemClick(w, 5);
    case MenuItem::quartersize: return ZoomItemClick(w, 6);
    case MenuItem::ToggleView: return ToggleViewClick(w);
    case MenuItem::ShowWholeMap: return ShowWholeMapClick(w);
    case MenuItem::N3DViews1: return WeddingCake1Click(w);
  }
}

}  // namespace terrak

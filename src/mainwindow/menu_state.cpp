#include "mainwindow/menu_state.h"

namespace terrak {

const std::array<MenuItemInfo, kMenuItemCount> kMenuTree = {{
    {MenuItem::Openmap, "File", "Openmap", "&Open OCAD Map", "", "Open an OCAD 5 map"},
    {MenuItem::Savemap, "File", "Savemap", "&Save", "", ""},
    {MenuItem::saveasmap, "File", "saveasmap", "Save &As", "", ""},
    {MenuItem::exit, "File", "exit", "E&xit", "", ""},
    {MenuItem::Open3Dmap, "File", "Open3Dmap", "Open 3D map", "", ""},
    {MenuItem::Addsymbols, "Edit", "Addsymbols", "Add &Symbol to Map Selection", "", ""},
    {MenuItem::Elevations, "Edit", "Elevations", "Give Symbols an &Elevation", "Ins", ""},
    {MenuItem::ChangeType, "Edit", "ChangeType", "&Change the Symbol Type", "", ""},
    {MenuItem::TraceTolerance, "Edit", "TraceTolerance", "&Trace Tolerance", "", ""},
    {MenuItem::ChangeColourScheme, "Edit", "ChangeColourScheme", "Change &Colour Scheme", "", ""},
    {MenuItem::Changeallheights1, "Edit", "Changeallheights1", "Change all heights", "", ""},
    {MenuItem::ChooseHeightTag, "Edit", "ChooseHeightTag", "Choose &Height Tag...", "",
     "Which tag of a Mapper map holds the heights of its contours"},
    {MenuItem::ContourSettings, "Edit", "ContourSettings", "Co&ntour Settings...", "",
     "Which symbols are contours, index contours, form lines and slope lines; the interval"},
    {MenuItem::HeightsFromKnown, "Edit", "HeightsFromKnown", "Heights from &Known Contours...",
     "", "Derive every contour's height from the ones that have a height"},
    {MenuItem::HeightsAlongLine, "Edit", "HeightsAlongLine", "Heights &Along a Line", "",
     "Drag across contours to number them up (Shift: down) from one with a height"},
    {MenuItem::HeightsFromDem, "Edit", "HeightsFromDem", "Heights from a &DEM...", "",
     "Take every contour's height from a terrain model (GeoTIFF or any raster GDAL reads)"},
    {MenuItem::CheckHeights, "Edit", "CheckHeights", "Check Hei&ghts", "",
     "List every contradiction among the heights and step through them"},
    {MenuItem::UndoHeights, "Edit", "UndoHeights", "&Undo Heights", "Ctrl+Z",
     "Take back the last change of heights"},
    {MenuItem::Redraw, "View", "Redraw", "Redraw", "F5", ""},
    {MenuItem::MoveView, "View", "MoveView", "Move View", "F6", ""},
    {MenuItem::sixteensize, "View", "sixteensize", "16x", "F12", ""},
    {MenuItem::eightsize, "View", "eightsize", "8x", "F11", ""},
    {MenuItem::foursize, "View", "foursize", "4x", "F10", ""},
    {MenuItem::doublesize, "View", "doublesize", "2x", "F9", ""},
    {MenuItem::normalsize, "View", "normalsize", "1x", "Shift+F10", ""},
    {MenuItem::halfsize, "View", "halfsize", "0.5x", "Shift+F11", ""},
    {MenuItem::quartersize, "View", "quartersize", "0.25x", "Shift+F12", ""},
    {MenuItem::ToggleView, "View", "ToggleView", "Toggle View", "F2", ""},
    {MenuItem::ShowWholeMap, "View", "ShowWholeMap", "Show Whole Map", "F3",
     "The whole map in its own colours under the selected symbols"},
    {MenuItem::N3DViews1, "3D-Views", "N3DViews1", "3D-Views", "", ""},
}};

const std::array<MenuItem, 7> kZoomItems = {
    MenuItem::sixteensize, MenuItem::eightsize, MenuItem::foursize,   MenuItem::doublesize,
    MenuItem::normalsize,  MenuItem::halfsize,  MenuItem::quartersize,
};

const MenuItemInfo& InfoOf(MenuItem item) { return kMenuTree[static_cast<std::size_t>(item)]; }

MenuState InitialMenuState() {
  MenuState menu;
  for (MenuItem item : {MenuItem::Openmap, MenuItem::exit, MenuItem::Open3Dmap,
                        MenuItem::N3DViews1})
    menu.Enable(item, true);
  return menu;
}

void EnableDrawingItems(MenuState& menu, bool enabled) {
  for (MenuItem item : {MenuItem::Elevations, MenuItem::ChangeType, MenuItem::TraceTolerance,
                        MenuItem::ChangeColourScheme, MenuItem::Changeallheights1,
                        MenuItem::ContourSettings, MenuItem::HeightsFromKnown,
                        MenuItem::HeightsAlongLine, MenuItem::HeightsFromDem,
                        MenuItem::CheckHeights, MenuItem::UndoHeights, MenuItem::Redraw, MenuItem::MoveView, MenuItem::ToggleView,
                        MenuItem::ShowWholeMap})
    menu.Enable(item, enabled);
  for (MenuItem item : kZoomItems) menu.Enable(item, enabled);
}

MenuItem ZoomItemOf(std::int32_t zoomIndex) {
  if (zoomIndex < 0 || zoomIndex > 5) return MenuItem::quartersize;
  return kZoomItems[static_cast<std::size_t>(zoomIndex)];
}

void UncheckZoomItems(MenuState& menu) {
  for (MenuItem item : kZoomItems) menu.Check(item, false);
}

}  // namespace terrak
